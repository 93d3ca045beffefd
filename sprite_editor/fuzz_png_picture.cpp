// SPDX-License-Identifier: GPL-2.0-or-later
// libFuzzer target: the PNG reader and the import of its pictures. Each input is decoded as a
// picture file; one that decodes must have as many bytes as its size says, and becomes a
// sprite, a sheet or a refusal. A sheet's sprites, exported again and read back, must come back
// unchanged, through an encoded and decoded PNG as the editor writes and reads it.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <variant>

#include "png_file.hpp"
#include "sprite_picture.hpp"

namespace {

using namespace pixelkin;

void check(bool condition) {
    if (!condition) std::abort();
}

void checkSize(const SpriteRecord& sprite) {
    check(sprite.width >= 1 && sprite.width <= gridSize && sprite.height >= 1 &&
          sprite.height <= gridSize);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const auto picture = pngfile::decodePng(std::span<const std::uint8_t>(data, size), error);
    if (!picture) {
        check(!error.empty());
        return 0;
    }
    check(picture->width > 0 && picture->height > 0 &&
          picture->rgba.size() == static_cast<std::size_t>(picture->width) *
                                      static_cast<std::size_t>(picture->height) * 4);
    const PictureSprites found = spritesOf(*picture);
    if (const auto* one = std::get_if<OneSprite>(&found)) {
        checkSize(one->sprite);
        check(one->sprite.width == picture->width && one->sprite.height == picture->height);
        return 0;
    }
    const auto* sheet = std::get_if<WholeSheet>(&found);
    if (sheet == nullptr) return 0;
    for (const SpriteRecord& sprite : sheet->sprites) checkSize(sprite);
    const pngfile::Picture exported = sheetOf(sheet->sprites);
    const auto encoded = pngfile::encodePng(exported.width, exported.height,
                                            pngfile::Channels::rgba, exported.rgba, error);
    check(encoded.has_value());
    const auto readBack = pngfile::decodePng(*encoded, error);
    check(readBack && readBack->rgba == exported.rgba);
    const PictureSprites foundAgain = spritesOf(*readBack);
    const auto* again = std::get_if<WholeSheet>(&foundAgain);
    check(again != nullptr && again->sprites == sheet->sprites);
    return 0;
}
