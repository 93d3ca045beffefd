// SPDX-License-Identifier: GPL-2.0-or-later
#include "framebuffer.hpp"

#include <gtest/gtest.h>

#include "font8x8.hpp"

namespace pixelkin {
namespace {

TEST(FramebufferTest, SolidFillIncludesBothCornersAndNothingElse) {
    Framebuffer screen;
    screen.fillRect(10, 20, 12, 21, FillStyle::solid, white);
    for (int y = 18; y <= 23; ++y) {
        for (int x = 8; x <= 14; ++x) {
            const bool inside = x >= 10 && x <= 12 && y >= 20 && y <= 21;
            EXPECT_EQ(screen.at(x, y), inside ? white : black) << x << "," << y;
        }
    }
    EXPECT_EQ(screen.takeChangedArea(), (Rect{10, 20, 12, 21}));
    EXPECT_TRUE(screen.takeChangedArea().empty());
}

TEST(FramebufferTest, LightSlashPaintsRisingDiagonalsAndColourZeroElsewhere) {
    Framebuffer screen;
    screen.fillRect(0, 0, canvasWidth - 1, canvasHeight - 1, FillStyle::solid, white);
    screen.fillRect(3, 5, 40, 30, FillStyle::lightSlash, blue);
    for (int y = 5; y <= 30; ++y) {
        for (int x = 3; x <= 40; ++x) {
            const bool onSlash = (x % 8) + (y % 8) == 7;
            ASSERT_EQ(screen.at(x, y), onSlash ? blue : black) << x << "," << y;
        }
    }
    EXPECT_EQ(screen.at(2, 5), white);
    EXPECT_EQ(screen.at(41, 30), white);
}

TEST(FramebufferTest, DrawingIsClippedToTheCanvas) {
    Framebuffer screen;
    screen.fillRect(-5, -5, 2, 1, FillStyle::solid, green);
    screen.drawLine(canvasWidth - 2, 0, canvasWidth + 5, 0, white);
    screen.drawText(canvasWidth - 4, canvasHeight - 4, "WW", white);
    EXPECT_EQ(screen.at(0, 0), green);
    EXPECT_EQ(screen.at(2, 1), green);
    EXPECT_EQ(screen.at(canvasWidth - 1, 0), white);
    EXPECT_EQ(screen.takeChangedArea(), (Rect{0, 0, canvasWidth - 1, canvasHeight - 1}));
}

TEST(FramebufferTest, LinesIncludeBothEnds) {
    Framebuffer screen;
    screen.drawLine(8, 16, 16, 16, gridBlack);
    screen.drawLine(8, 16, 8, 24, gridBlack);
    screen.drawLine(30, 30, 33, 33, white);
    EXPECT_EQ(screen.at(7, 16), black);
    EXPECT_EQ(screen.at(8, 16), gridBlack);
    EXPECT_EQ(screen.at(16, 16), gridBlack);
    EXPECT_EQ(screen.at(17, 16), black);
    EXPECT_EQ(screen.at(8, 24), gridBlack);
    EXPECT_EQ(screen.at(8, 25), black);
    EXPECT_EQ(screen.at(30, 30), white);
    EXPECT_EQ(screen.at(32, 32), white);
    EXPECT_EQ(screen.at(33, 33), white);
    EXPECT_EQ(screen.at(33, 32), black);
}

TEST(FramebufferTest, TextPaintsOnlyTheGlyphsOwnPixels) {
    Framebuffer screen;
    screen.fillRect(0, 0, 40, 20, FillStyle::solid, green);
    screen.drawText(4, 6, "Ab", white);
    for (int index = 0; index < 2; ++index) {
        const Glyph& glyph = glyphFor("Ab"[index]);
        for (int row = 0; row < glyphSize; ++row) {
            for (int column = 0; column < glyphSize; ++column) {
                const int x = 4 + 8 * index + column;
                EXPECT_EQ(screen.at(x, 6 + row), glyphPixel(glyph, column, row) ? white : green);
            }
        }
    }
}

TEST(FontTest, EveryPrintableCharacterButSpaceHasPixelsAndOthersAreBlank) {
    for (char character = '!'; character <= '~'; ++character) {
        const Glyph& glyph = glyphFor(character);
        EXPECT_TRUE(std::any_of(glyph.begin(), glyph.end(), [](auto row) { return row != 0; }))
            << character;
        for (char other = '!'; other < character; ++other) {
            EXPECT_NE(glyphFor(other), glyph) << other << " and " << character;
        }
    }
    EXPECT_EQ(glyphFor(' '), Glyph{});
    EXPECT_EQ(glyphFor('\t'), Glyph{});
    EXPECT_EQ(glyphFor('\x7F'), Glyph{});
}

}  // namespace
}  // namespace pixelkin
