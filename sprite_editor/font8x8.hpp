// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace pixelkin {

/// Width and height of a glyph in pixels.
inline constexpr int glyphSize = 8;

/// One 8 x 8 glyph: a byte per row, top row first; the most significant bit is the leftmost
/// pixel.
using Glyph = std::array<std::uint8_t, glyphSize>;

/// The glyph of a printable ASCII character (space to tilde); any other character gets the
/// blank glyph.
const Glyph& glyphFor(char character);

/// True when the glyph paints the pixel at (column, row), both counted from 0.
inline bool glyphPixel(const Glyph& glyph, int column, int row) {
    return (glyph[row] & (0x80 >> column)) != 0;
}

}  // namespace pixelkin
