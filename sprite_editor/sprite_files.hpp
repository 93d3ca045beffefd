// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "png_file.hpp"
#include "sprite_set.hpp"

namespace pixelkin {

/// The assembler include file of the set, read by the translator.
inline constexpr const char* spriteFileName = "pixelkin.spr";
/// The byte image of the whole set, read back by Load.
inline constexpr const char* setImageFileName = "pixelkin2.dat";
/// The sheet of the whole set as a picture, written by Export and read by Import.
inline constexpr const char* sheetFileName = "pixelkin.png";
/// The largest picture file Import reads.
inline constexpr std::size_t largestPictureFile = std::size_t{16} << 20;
/// Bytes of one record in the set image.
inline constexpr std::size_t recordBytes = 262;
/// Bytes of the whole set image: 50 records, no header.
inline constexpr std::size_t setImageBytes = recordBytes * spriteCount;

/// A failed file operation, as the editor reports it.
struct FileError {
    /// 2 file not found, 3 path not found, 5 access denied, 100 read error or a short or
    /// invalid file, 101 write error or disk full.
    int runtimeError = 0;
    /// The name of the file the user knows (pixelkin.spr, pixelkin2.dat, pixelkin.png or the
    /// name of a picture dropped on the window).
    std::string fileName;
    /// The cause in a few words, short enough for the status line.
    std::string cause;
    /// The cause in full, for standard error.
    std::string detail;

    /// "Runtime error N: FILE: detail", the line written to standard error.
    std::string report() const;
    /// "Runtime error N: FILE cause", at most 40 characters, for the status line.
    std::string statusText() const;
};

/// Outcome of a file operation: empty on success.
using FileOutcome = std::optional<FileError>;

/// The text of pixelkin.spr for sprites 1 to the last one drawn in, with CR LF line ends.
std::string formatSpriteFile(const SpriteSet& set);

/// The 13100-byte image of all 50 records.
std::vector<std::uint8_t> encodeSetImage(const SpriteRecords& records);

/// Reads records from the first 13100 bytes of `bytes`; later bytes are ignored. Fails with
/// runtime error 100 when there are fewer bytes or a width or height lies outside 1 to 16;
/// `records` is then unchanged.
FileOutcome decodeSetImage(std::span<const std::uint8_t> bytes, SpriteRecords& records);

/// Writes pixelkin.spr and pixelkin2.dat into `folder`; does nothing when no sprite was drawn
/// in. Each file is written under a temporary name and renamed over the old one, so a failure
/// leaves the previous files whole.
FileOutcome saveSet(const SpriteSet& set, const std::filesystem::path& folder);

/// Replaces the set's records from pixelkin2.dat in `folder`. On failure the set is unchanged.
FileOutcome loadSet(SpriteSet& set, const std::filesystem::path& folder);

/// Writes the sheet of `records` (see sprite_picture.hpp) as pixelkin.png into `folder`, under
/// a temporary name renamed over the old file, so a failure leaves the previous file whole.
FileOutcome exportSheet(const SpriteRecords& records, const std::filesystem::path& folder);

/// Reads the picture file at `path` into `picture`. Fails with runtime error 100 for a file
/// that is not a PNG, is damaged or is larger than largestPictureFile; the error names the
/// file by its name alone.
FileOutcome readPicture(const std::filesystem::path& path, pngfile::Picture& picture);

}  // namespace pixelkin
