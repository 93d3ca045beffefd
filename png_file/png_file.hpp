// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// PNG pictures through libpng, shared by calcview (screenshots) and pixelkin
// (sprite sheets): decoding any PNG into 8-bit RGBA, encoding RGB or RGBA, and
// writing a file through a temporary name that replaces it only when complete.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pngfile {

/// Bytes a pixel: red, green, blue, and for rgba an alpha (0 transparent, 255 opaque).
enum class Channels { rgb = 3, rgba = 4 };

/// A picture: `height` rows, top first, of `width` pixels of four bytes (R, G, B, alpha).
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

/// The most pixels a decoded picture may have (64 MiB as RGBA); larger ones are refused
/// before their rows are read.
inline constexpr std::size_t largestPicture = std::size_t{1} << 24;

/// True when `bytes` begin with the PNG signature.
bool hasPngSignature(std::span<const std::uint8_t> bytes);

/// Decodes a PNG of any colour type, bit depth and interlacing. nullopt with `error` saying
/// what is wrong ("not a PNG file", or the decoder's complaint about a damaged one).
std::optional<Picture> decodePng(std::span<const std::uint8_t> bytes, std::string& error);

/// The PNG file of `height` rows of `width` pixels of `channels` bytes each.
std::optional<std::vector<std::uint8_t>> encodePng(int width, int height, Channels channels,
                                                   std::span<const std::uint8_t> pixels,
                                                   std::string& error);

/// Writes `pixels` (`height` rows of `width` pixels of `channels` bytes each) as a PNG to
/// FILE.tmp and renames it to FILE. false with `error` naming the file and the cause.
bool writePng(const std::filesystem::path& path, int width, int height, Channels channels,
              std::span<const std::uint8_t> pixels, std::string& error);

/// The same for RGB pixels, three bytes each.
inline bool writePng(const std::filesystem::path& path, int width, int height,
                     const std::vector<std::uint8_t>& rgb, std::string& error) {
    return writePng(path, width, height, Channels::rgb, rgb, error);
}

}  // namespace pngfile
