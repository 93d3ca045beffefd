// SPDX-License-Identifier: GPL-2.0-or-later
#include "sprite_picture.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace pixelkin {

namespace {

constexpr std::uint8_t half = 128;

struct Rgba {
    std::uint8_t red, green, blue, alpha;
};
constexpr Rgba setColour{0, 0, 0, 255};
constexpr Rgba clearColour{255, 255, 255, 255};
constexpr Rgba outsideColour{255, 255, 255, 0};

std::size_t offsetOf(const pngfile::Picture& picture, int x, int y) {
    return (static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) +
            static_cast<std::size_t>(x)) *
           4;
}

void put(pngfile::Picture& picture, int x, int y, Rgba colour) {
    std::uint8_t* pixel = picture.rgba.data() + offsetOf(picture, x, y);
    pixel[0] = colour.red;
    pixel[1] = colour.green;
    pixel[2] = colour.blue;
    pixel[3] = colour.alpha;
}

bool isOpaque(const pngfile::Picture& picture, int x, int y) {
    return picture.rgba[offsetOf(picture, x, y) + 3] > half;
}

/// Dark and opaque. Luminance by the Rec. 601 weights, in thousandths.
bool isDark(const pngfile::Picture& picture, int x, int y) {
    const std::uint8_t* pixel = picture.rgba.data() + offsetOf(picture, x, y);
    const int luminance = 299 * pixel[0] + 587 * pixel[1] + 114 * pixel[2];
    return luminance < 1000 * half && pixel[3] > half;
}

/// The sprite of `width` x `height` whose pixels are those of the picture from (left, top).
SpriteRecord spriteAt(const pngfile::Picture& picture, int left, int top, int width, int height) {
    SpriteRecord sprite;
    sprite.width = static_cast<std::int16_t>(width);
    sprite.height = static_cast<std::int16_t>(height);
    for (int c = 1; c <= width; ++c) {
        for (int r = 1; r <= height; ++r) {
            sprite.pixels[c - 1][r - 1] = isDark(picture, left + c - 1, top + r - 1) ? 1 : 0;
        }
    }
    return sprite;
}

/// The sprite of the cell at (left, top): as far as its opaque pixels reach.
SpriteRecord cellSprite(const pngfile::Picture& picture, int left, int top) {
    int width = 0;
    int height = 0;
    for (int y = 0; y < gridSize; ++y) {
        for (int x = 0; x < gridSize; ++x) {
            if (isOpaque(picture, left + x, top + y)) {
                width = std::max(width, x + 1);
                height = std::max(height, y + 1);
            }
        }
    }
    if (width == 0) {
        return SpriteRecord{};
    }
    return spriteAt(picture, left, top, width, height);
}

}  // namespace

pngfile::Picture sheetOf(const SpriteRecords& records) {
    pngfile::Picture sheet{sheetWidth, sheetHeight,
                           std::vector<std::uint8_t>(std::size_t{sheetWidth} * sheetHeight * 4)};
    for (int number = 1; number <= spriteCount; ++number) {
        const SpriteRecord& sprite = records[static_cast<std::size_t>(number - 1)];
        const int left = (number - 1) % sheetColumns * gridSize;
        const int top = (number - 1) / sheetColumns * gridSize;
        for (int c = 1; c <= gridSize; ++c) {
            for (int r = 1; r <= gridSize; ++r) {
                const Rgba colour = !sprite.isInside(c, r) ? outsideColour
                                    : sprite.isSet(c, r)   ? setColour
                                                           : clearColour;
                put(sheet, left + c - 1, top + r - 1, colour);
            }
        }
    }
    return sheet;
}

PictureSprites spritesOf(const pngfile::Picture& picture) {
    if (picture.width >= 1 && picture.width <= gridSize && picture.height >= 1 &&
        picture.height <= gridSize) {
        return OneSprite{spriteAt(picture, 0, 0, picture.width, picture.height)};
    }
    if (picture.width != sheetWidth || picture.height != sheetHeight) {
        return OtherSize{};
    }
    WholeSheet sheet;
    for (int number = 1; number <= spriteCount; ++number) {
        sheet.sprites[static_cast<std::size_t>(number - 1)] =
            cellSprite(picture, (number - 1) % sheetColumns * gridSize,
                       (number - 1) / sheetColumns * gridSize);
    }
    return sheet;
}

}  // namespace pixelkin
