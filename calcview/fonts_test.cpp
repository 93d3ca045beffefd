// SPDX-License-Identifier: GPL-2.0-or-later
#include "fonts.hpp"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace calcview {
namespace {

constexpr int firstPrintable = 0x20, lastPrintable = 0x7E;
constexpr std::uint8_t undrawnCode = 0xFF;

TEST(LargeFont, PrintableCharactersAllLookDifferentAndNoneIsTheBox) {
    std::set<std::array<std::uint8_t, 7>> seen = {largeGlyph(undrawnCode).rows};
    for (int code = firstPrintable; code <= lastPrintable; ++code) {
        EXPECT_TRUE(seen.insert(largeGlyph(code).rows).second) << "code " << std::hex << code;
    }
}

TEST(SmallFont, PrintableCharactersAllLookDifferentAndNoneIsTheBox) {
    const auto picture = [](std::uint8_t code) {
        return std::pair{smallGlyph(code).width, smallGlyph(code).rows};
    };
    std::set<decltype(picture(0))> seen = {picture(undrawnCode)};
    for (int code = firstPrintable; code <= lastPrintable; ++code) {
        EXPECT_TRUE(seen.insert(picture(code)).second) << "code " << std::hex << code;
    }
}

// The preview clears and inverts whole cells, so ink must stay inside the advance (its last
// column is the gap to the next character) and inside the rows _vputmap covers.
TEST(SmallFont, EveryGlyphKeepsItsInkInsideItsCell) {
    for (int code = 0; code <= 0xFF; ++code) {
        const SmallGlyph& glyph = smallGlyph(code);
        ASSERT_GE(glyph.width, 1) << "code " << std::hex << code;
        ASSERT_LE(glyph.width, 6) << "code " << std::hex << code;
        const std::uint8_t outsideInk = 0xFF >> (glyph.width - 1);
        EXPECT_EQ(glyph.rows[0], 0) << "code " << std::hex << code;
        for (int row = 0; row < 8; ++row) {
            const std::uint8_t allowed = row < smallGlyphHeight ? ~outsideInk : 0;
            EXPECT_EQ(glyph.rows[row] & ~allowed, 0) << "code " << std::hex << code;
        }
    }
}

TEST(LargeFont, SpotChecks) {
    const struct {
        std::uint8_t code;
        std::array<std::uint8_t, 7> rows;
    } cases[] = {
        {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
        {0xD0, {0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F}},  // block
        {0x80, {0x00, 0x00, 0x04, 0x0A, 0x0A, 0x0A, 0x04}},  // subscript 0
        {0x00, {0x1F, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1F}},  // not a known character
    };
    for (const auto& [code, rows] : cases) {
        EXPECT_EQ(largeGlyph(code).rows, rows) << "code " << std::hex << int{code};
    }
}

TEST(SmallFont, SpotChecks) {
    const struct {
        std::uint8_t code;
        std::uint8_t width;
        std::array<std::uint8_t, 8> rows;
    } cases[] = {
        {'A', 4, {0x00, 0x40, 0xA0, 0xE0, 0xA0, 0xA0, 0x00, 0x00}},
        {' ', 1, {}},
        {'M', 6, {0x00, 0x88, 0xD8, 0xA8, 0x88, 0x88, 0x00, 0x00}},
    };
    for (const auto& [code, width, rows] : cases) {
        EXPECT_EQ(smallGlyph(code).width, width) << "code " << std::hex << int{code};
        EXPECT_EQ(smallGlyph(code).rows, rows) << "code " << std::hex << int{code};
    }
}

}  // namespace
}  // namespace calcview
