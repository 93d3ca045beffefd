// SPDX-License-Identifier: GPL-2.0-or-later
#include "home_screen.hpp"

#include "addresses.hpp"
#include "lcd.hpp"
#include "machine.hpp"
#include "fonts.hpp"
#include "graph.hpp"

namespace calcview {

namespace {

constexpr int cellWidth = 6;
constexpr int cellHeight = 8;
constexpr int sGrFlagsOffset = 0x14;
constexpr int textWriteBit = 7;

bool inverse(const Machine& calc) { return calc.systemFlag(textFlagsOffset, textInverseBit); }

std::uint8_t cursor(const Machine& calc, std::uint16_t address, int limit) {
    const std::uint8_t value = calc.read(address);
    return value < limit ? value : static_cast<std::uint8_t>(limit - 1);
}

}  // namespace

void putLargeChar(Machine& calc, std::uint8_t code, int row, int column) {
    if (row < 0 || row >= homeRows || column < 0 || column >= homeColumns) return;
    const LargeGlyph& glyph = largeGlyph(code);
    const bool invert = inverse(calc);
    for (int y = 0; y < cellHeight; ++y) {
        const int glyphRow = y - largeGlyphTop;
        const std::uint8_t bits = glyphRow >= 0 && glyphRow < largeGlyphHeight
                                      ? glyph.rows[static_cast<std::size_t>(glyphRow)]
                                      : 0;
        for (int x = 0; x < cellWidth; ++x) {
            const int glyphColumn = x - largeGlyphLeft;
            const bool on = glyphColumn >= 0 && glyphColumn < largeGlyphWidth &&
                            (bits >> (largeGlyphWidth - 1 - glyphColumn) & 1) != 0;
            calc.lcd().setPixel(column * cellWidth + x, row * cellHeight + y, on != invert);
        }
    }
    calc.write(static_cast<std::uint16_t>(textShadowAddress + row * homeColumns + column), code);
}

void scrollHomeUp(Machine& calc) {
    Lcd& lcd = calc.lcd();
    for (int y = 0; y < screenHeight; ++y) {
        for (int x = 0; x < screenWidth; ++x) {
            lcd.setPixel(x, y, y + cellHeight < screenHeight && lcd.pixel(x, y + cellHeight));
        }
    }
    for (int i = 0; i < homeRows * homeColumns; ++i) {
        const int from = i + homeColumns;
        calc.write(static_cast<std::uint16_t>(textShadowAddress + i),
                   from < homeRows * homeColumns
                       ? calc.read(static_cast<std::uint16_t>(textShadowAddress + from))
                       : ' ');
    }
}

void newLine(Machine& calc) {
    calc.write(curcolAddress, 0);
    const int row = cursor(calc, currowAddress, homeRows) + 1;
    if (row >= homeRows) {
        scrollHomeUp(calc);
        calc.write(currowAddress, homeRows - 1);
    } else {
        calc.write(currowAddress, static_cast<std::uint8_t>(row));
    }
}

void putCharAdvance(Machine& calc, std::uint8_t code) {
    if (code == enterCode) {
        newLine(calc);
        return;
    }
    const int row = cursor(calc, currowAddress, homeRows);
    const int column = cursor(calc, curcolAddress, homeColumns);
    putLargeChar(calc, code, row, column);
    if (column + 1 < homeColumns) {
        calc.write(curcolAddress, static_cast<std::uint8_t>(column + 1));
    } else {
        calc.write(currowAddress, static_cast<std::uint8_t>(row));
        newLine(calc);
    }
}

void clearTextShadow(Machine& calc) {
    for (int i = 0; i < homeRows * homeColumns; ++i)
        calc.write(static_cast<std::uint16_t>(textShadowAddress + i), ' ');
}

void clearDisplay(Machine& calc) { calc.lcd().clear(); }

void putSmallChar(Machine& calc, std::uint8_t code) {
    const SmallGlyph& glyph = smallGlyph(code);
    const int left = calc.read(pencolAddress);
    const int top = calc.read(penrowAddress);
    const bool toBuffer = calc.systemFlag(sGrFlagsOffset, textWriteBit);
    const bool invert = inverse(calc);
    const PlotTarget target{toBuffer, !toBuffer};
    for (int y = 0; y < smallGlyphHeight; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            const bool on = (glyph.rows[static_cast<std::size_t>(y)] >> (7 - x) & 1) != 0;
            plotPixel(calc, left + x, top + y, on != invert ? PlotMode::on : PlotMode::off, target);
        }
    }
    calc.write(pencolAddress, static_cast<std::uint8_t>(left + glyph.width));
}

}  // namespace calcview
