// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The set as a picture and pictures as sprites. A sheet holds the 50 sprites in 10 columns by
// 5 rows of 16 x 16 cells, sprite 1 at the top left, row by row. In a cell the sprite's active
// region sits at the top left, set pixels black on white; the rest of the cell is transparent,
// so that a sheet read back gives each sprite its size again.

#include <variant>

#include "png_file.hpp"
#include "sprite_set.hpp"

namespace pixelkin {

inline constexpr int sheetColumns = 10;
inline constexpr int sheetRows = 5;
inline constexpr int sheetWidth = sheetColumns * gridSize;
inline constexpr int sheetHeight = sheetRows * gridSize;
static_assert(sheetColumns * sheetRows == spriteCount);

/// The sheet of `records`, as pixelkin.png holds it.
pngfile::Picture sheetOf(const SpriteRecords& records);

/// A picture of at most 16 x 16 pixels: one sprite of its size.
struct OneSprite {
    SpriteRecord sprite;
};
/// A picture of the sheet's size: all 50 sprites.
struct WholeSheet {
    SpriteRecords sprites;
};
/// Any other size: nothing to import.
struct OtherSize {};
using PictureSprites = std::variant<OneSprite, WholeSheet, OtherSize>;

/// What `picture` holds for the editor. A pixel is set when it is dark (luminance below half)
/// and opaque (alpha above half). A sprite from a small picture has the picture's size; a cell
/// of a sheet gives a sprite reaching to the last column and row holding an opaque pixel, or
/// a blank 8 x 8 one when the cell is all transparent. The sprites come with neverDrawn set.
PictureSprites spritesOf(const pngfile::Picture& picture);

}  // namespace pixelkin
