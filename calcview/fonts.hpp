// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// The calculator's two fonts, indexed by its own character codes: ASCII positions for space,
// digits, letters and most punctuation, θ at 5Bh, and the calculator's symbols (cursors, Greek
// letters, accented letters, ...) elsewhere. Codes with no known picture show a hollow box.

#include <array>
#include <cstdint>

namespace calcview {

/// The large font of the home screen: 5 x 7 pixels, drawn in the top left of a 6 x 8 cell.
inline constexpr int largeGlyphWidth = 5, largeGlyphHeight = 7;

/// One large glyph: a byte per row, row 0 at the top; bit 4 is the leftmost pixel.
struct LargeGlyph {
    std::array<std::uint8_t, 7> rows;
};

/// The large glyph of a character code; every code 00h..FFh has one.
const LargeGlyph& largeGlyph(std::uint8_t code);

/// Rows the small font covers below the pen: a blank row on top, then five rows of ink.
inline constexpr int smallGlyphHeight = 6;

/// One small glyph: `width` is how far the pen moves right (ink plus one blank column);
/// `rows[0..smallGlyphHeight)` hold the picture, row 0 at the top; bit 7 is the leftmost pixel.
/// Rows from smallGlyphHeight on are always 0.
struct SmallGlyph {
    std::uint8_t width;
    std::array<std::uint8_t, 8> rows;
};

/// The small (variable-width) glyph of a character code; every code 00h..FFh has one.
const SmallGlyph& smallGlyph(std::uint8_t code);

}  // namespace calcview
