// SPDX-License-Identifier: GPL-2.0-or-later
#include "graph.hpp"

#include <cmath>
#include <cstdlib>

#include "addresses.hpp"
#include "lcd.hpp"
#include "machine.hpp"

namespace calcview {

namespace {

constexpr int bytesPerRow = screenWidth / 8;

bool onScreen(int x, int row) {
    return x >= 0 && x < screenWidth && row >= 0 && row < screenHeight;
}

bool applyMode(bool old, PlotMode mode) {
    switch (mode) {
        case PlotMode::off:
            return false;
        case PlotMode::on:
            return true;
        case PlotMode::invert:
            return !old;
    }
    return old;
}

/// Display row of graph coordinate y.
int rowOf(int y) { return screenHeight - 1 - y; }

}  // namespace

PlotTarget plotTarget(const Machine& calc) {
    return {true, !calc.systemFlag(plotFlagsOffset, plotLocBit)};
}

std::uint16_t bufferAddress(int x, int row) {
    return static_cast<std::uint16_t>(plotsscreenAddress + row * bytesPerRow + x / 8);
}

std::uint8_t bufferMask(int x) { return static_cast<std::uint8_t>(0x80 >> (x % 8)); }

bool bufferPixel(const Machine& calc, int x, int row) {
    if (!onScreen(x, row)) return false;
    return (calc.read(bufferAddress(x, row)) & bufferMask(x)) != 0;
}

void plotPixel(Machine& calc, int x, int row, PlotMode mode, PlotTarget target) {
    if (!onScreen(x, row)) return;
    if (target.buffer) {
        const std::uint16_t address = bufferAddress(x, row);
        const std::uint8_t mask = bufferMask(x);
        const bool on = applyMode((calc.read(address) & mask) != 0, mode);
        calc.write(address, static_cast<std::uint8_t>(on ? calc.read(address) | mask
                                                         : calc.read(address) & ~mask));
    }
    if (target.display) calc.lcd().setPixel(x, row, applyMode(calc.lcd().pixel(x, row), mode));
}

void drawLine(Machine& calc, int x1, int y1, int x2, int y2, PlotMode mode) {
    const PlotTarget target = plotTarget(calc);
    const int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
    const int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
    int error = dx + dy;
    while (true) {
        plotPixel(calc, x1, rowOf(y1), mode, target);
        if (x1 == x2 && y1 == y2) break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x1 += sx;
        }
        if (twice <= dx) {
            error += dx;
            y1 += sy;
        }
    }
}

void drawCircle(Machine& calc, int centreX, int centreY, int radius) {
    const PlotTarget target = plotTarget(calc);
    int x = radius, y = 0, error = 1 - radius;
    while (x >= y) {
        const int points[8][2] = {{x, y},   {y, x},   {-y, x}, {-x, y},
                                  {-x, -y}, {-y, -x}, {y, -x}, {x, -y}};
        for (const auto& point : points) {
            plotPixel(calc, centreX + point[0], rowOf(centreY + point[1]), PlotMode::on, target);
        }
        ++y;
        if (error < 0) {
            error += 2 * y + 1;
        } else {
            --x;
            error += 2 * (y - x) + 1;
        }
    }
}

void copyBufferToDisplay(Machine& calc) {
    for (int row = 0; row < screenHeight; ++row) {
        for (int x = 0; x < screenWidth; ++x)
            calc.lcd().setPixel(x, row, bufferPixel(calc, x, row));
    }
}

void clearBuffer(Machine& calc) {
    for (int i = 0; i < graphBufferSize; ++i)
        calc.write(static_cast<std::uint16_t>(plotsscreenAddress + i), 0);
}

void xorSprite(Machine& calc, int x, int row, int widthBytes, int height, std::uint16_t data) {
    const int shift = x & 7;
    for (int line = 0; line < height; ++line) {
        auto address =
            static_cast<std::uint16_t>(plotsscreenAddress + (row + line) * bytesPerRow + x / 8);
        for (int column = 0; column < widthBytes; ++column) {
            const std::uint8_t bits = calc.read(data++);
            calc.write(address, static_cast<std::uint8_t>(calc.read(address) ^ (bits >> shift)));
            ++address;
            if (shift != 0) {
                calc.write(address,
                           static_cast<std::uint8_t>(calc.read(address) ^ (bits << (8 - shift))));
            }
        }
    }
}

}  // namespace calcview
