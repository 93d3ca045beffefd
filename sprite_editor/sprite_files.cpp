// SPDX-License-Identifier: GPL-2.0-or-later
#include "sprite_files.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "sprite_picture.hpp"

namespace pixelkin {

namespace {

const char* const lineEnd = "\r\n";
const char* const rowPrefix = "\t .db %";
constexpr int digitsPerByte = 8;

/// What was being done to a file when it failed; decides the runtime error number.
enum class FileStep { opening, creating, reading, writing, renaming };

FileError errorFromErrno(int err, FileStep step, const std::string& fileName) {
    FileError error{0, fileName, "", std::strerror(err)};
    const bool reading = step == FileStep::opening || step == FileStep::reading;
    switch (err) {
        case ENOENT:
            if (step == FileStep::opening) {
                error.runtimeError = 2;
                error.cause = "not found";
            } else {
                error.runtimeError = 3;
                error.cause = "no folder";
            }
            break;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            error.runtimeError = 3;
            error.cause = "no folder";
            break;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case ETXTBSY:
            error.runtimeError = 5;
            error.cause = "no access";
            break;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            error.runtimeError = 101;
            error.cause = "no room";
            break;
        default:
            error.runtimeError = reading ? 100 : 101;
            error.cause = "failed";
            break;
    }
    return error;
}

FileError invalidImage(const std::string& cause, const std::string& detail) {
    return FileError{100, setImageFileName, cause, detail};
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

/// An open C stream, closed when it goes out of scope unless close() was called first.
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

/// Closes the stream and reports whether closing (which flushes) succeeded.
bool closeChecked(FileHandle& file) { return std::fclose(file.release()) == 0; }

/// Removes a file this editor created; a failure here changes nothing the user relies on.
void removeQuietly(const std::filesystem::path& path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

/// Writes `bytes` to `path`, flushed and closed; `fileName` names the file in a failure.
FileOutcome writeWholeFile(const std::filesystem::path& path, std::span<const char> bytes,
                           const std::string& fileName) {
    FileHandle file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        return errorFromErrno(errno, FileStep::creating, fileName);
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
                         std::fflush(file.get()) == 0;
    const int writeErr = errno;
    const bool closed = closeChecked(file);
    const int closeErr = errno;
    if (written && closed) {
        return std::nullopt;
    }
    removeQuietly(path);
    return errorFromErrno(written ? closeErr : writeErr, FileStep::writing, fileName);
}

std::string rowDigits(const SpriteRecord& sprite, int row) {
    const int width = std::clamp<int>(sprite.width, 1, gridSize);
    const int digitCount = width <= digitsPerByte ? digitsPerByte : gridSize;
    std::string rowText;
    for (int c = 1; c <= digitCount; ++c) {
        if (c == digitsPerByte + 1) {
            rowText += ",%";
        }
        // A loaded byte other than 0 or 1 is shown as a set pixel, so it is written as one.
        rowText += (c <= width && sprite.isSet(c, row)) ? '1' : '0';
    }
    return rowText;
}

void appendSpriteLines(std::string& text, const SpriteRecord& sprite, int number) {
    text.append(";").append(std::to_string(sprite.width));
    text.append("*").append(std::to_string(sprite.height)).append(lineEnd);
    text.append(";sprite ").append(std::to_string(number)).append(lineEnd);
    const int height = std::clamp<int>(sprite.height, 1, gridSize);
    for (int r = 1; r <= height; ++r) {
        text.append(rowPrefix).append(rowDigits(sprite, r)).append(lineEnd);
    }
}

void putInt16(std::uint8_t* out, std::int16_t value) {
    const auto bits = static_cast<std::uint16_t>(value);
    out[0] = static_cast<std::uint8_t>(bits & 0xFF);
    out[1] = static_cast<std::uint8_t>(bits >> 8);
}

std::int16_t getInt16(const std::uint8_t* in) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(in[0] | (in[1] << 8)));
}

bool sizeInRange(std::int16_t size) { return size >= 1 && size <= gridSize; }

std::filesystem::path temporaryPath(const std::filesystem::path& folder, const char* name) {
    return folder / (std::string(name) + ".tmp");
}

/// Reads at most `count` bytes of `path`; `fileName` names the file in a failure.
FileOutcome readUpTo(const std::filesystem::path& path, std::size_t count,
                     std::vector<std::uint8_t>& bytes, const std::string& fileName) {
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return errorFromErrno(errno, FileStep::opening, fileName);
    }
    bytes.resize(count);
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
    if (got < bytes.size() && std::ferror(file.get())) {
        return errorFromErrno(errno, FileStep::reading, fileName);
    }
    bytes.resize(got);
    if (!closeChecked(file)) {
        return errorFromErrno(errno, FileStep::reading, fileName);
    }
    return std::nullopt;
}

}  // namespace

std::string FileError::report() const {
    return "Runtime error " + std::to_string(runtimeError) + ": " + fileName + ": " + detail;
}

std::string FileError::statusText() const {
    return "Runtime error " + std::to_string(runtimeError) + ": " + fileName + " " + cause;
}

std::string formatSpriteFile(const SpriteSet& set) {
    std::string text;
    for (int number = 1; number <= set.highestDrawn(); ++number) {
        appendSpriteLines(text, set.record(number), number);
    }
    return text;
}

std::vector<std::uint8_t> encodeSetImage(const SpriteRecords& records) {
    std::vector<std::uint8_t> image(setImageBytes);
    std::uint8_t* out = image.data();
    for (const SpriteRecord& sprite : records) {
        for (const auto& column : sprite.pixels) {
            out = std::copy(column.begin(), column.end(), out);
        }
        putInt16(out, sprite.width);
        putInt16(out + 2, sprite.height);
        out[4] = sprite.neverDrawn;
        out[5] = sprite.filler;
        out += 6;
    }
    return image;
}

FileOutcome decodeSetImage(std::span<const std::uint8_t> bytes, SpriteRecords& records) {
    if (bytes.size() < setImageBytes) {
        return invalidImage("short", "the file holds " + std::to_string(bytes.size()) + " bytes, " +
                                         std::to_string(setImageBytes) + " are needed");
    }
    SpriteRecords decoded{};
    const std::uint8_t* in = bytes.data();
    for (std::size_t index = 0; index < decoded.size(); ++index) {
        SpriteRecord& sprite = decoded[index];
        for (auto& column : sprite.pixels) {
            std::copy(in, in + gridSize, column.begin());
            in += gridSize;
        }
        sprite.width = getInt16(in);
        sprite.height = getInt16(in + 2);
        sprite.neverDrawn = in[4];
        sprite.filler = in[5];
        in += 6;
        if (!sizeInRange(sprite.width) || !sizeInRange(sprite.height)) {
            return invalidImage("invalid", "sprite " + std::to_string(index + 1) + " is " +
                                               std::to_string(sprite.width) + " x " +
                                               std::to_string(sprite.height) +
                                               ", sizes must lie in 1 to 16");
        }
    }
    records = decoded;
    return std::nullopt;
}

FileOutcome saveSet(const SpriteSet& set, const std::filesystem::path& folder) {
    if (set.usedCount() == 0) {
        return std::nullopt;
    }
    const std::string text = formatSpriteFile(set);
    const std::vector<std::uint8_t> image = encodeSetImage(set.records());
    const auto spriteTemp = temporaryPath(folder, spriteFileName);
    const auto imageTemp = temporaryPath(folder, setImageFileName);
    if (auto failure = writeWholeFile(spriteTemp, text, spriteFileName)) {
        return failure;
    }
    const std::span<const char> imageBytes(reinterpret_cast<const char*>(image.data()),
                                           image.size());
    if (auto failure = writeWholeFile(imageTemp, imageBytes, setImageFileName)) {
        removeQuietly(spriteTemp);
        return failure;
    }
    FileOutcome failure;
    if (std::rename(spriteTemp.c_str(), (folder / spriteFileName).c_str()) != 0) {
        failure = errorFromErrno(errno, FileStep::renaming, spriteFileName);
        removeQuietly(spriteTemp);
    } else if (std::rename(imageTemp.c_str(), (folder / setImageFileName).c_str()) != 0) {
        failure = errorFromErrno(errno, FileStep::renaming, setImageFileName);
    }
    if (failure) {
        removeQuietly(imageTemp);
    }
    return failure;
}

FileOutcome loadSet(SpriteSet& set, const std::filesystem::path& folder) {
    std::vector<std::uint8_t> bytes;
    if (auto failure =
            readUpTo(folder / setImageFileName, setImageBytes, bytes, setImageFileName)) {
        return failure;
    }
    SpriteRecords records{};
    if (auto failure = decodeSetImage(bytes, records)) {
        return failure;
    }
    set.replaceRecords(records);
    return std::nullopt;
}

FileOutcome exportSheet(const SpriteRecords& records, const std::filesystem::path& folder) {
    const pngfile::Picture sheet = sheetOf(records);
    std::string cause;
    const auto encoded =
        pngfile::encodePng(sheet.width, sheet.height, pngfile::Channels::rgba, sheet.rgba, cause);
    if (!encoded) {
        return FileError{101, sheetFileName, "failed", cause};
    }
    const auto temporary = temporaryPath(folder, sheetFileName);
    const std::span<const char> bytes(reinterpret_cast<const char*>(encoded->data()),
                                      encoded->size());
    if (auto failure = writeWholeFile(temporary, bytes, sheetFileName)) {
        return failure;
    }
    if (std::rename(temporary.c_str(), (folder / sheetFileName).c_str()) != 0) {
        FileError failure = errorFromErrno(errno, FileStep::renaming, sheetFileName);
        removeQuietly(temporary);
        return failure;
    }
    return std::nullopt;
}

FileOutcome readPicture(const std::filesystem::path& path, pngfile::Picture& picture) {
    const std::string fileName = path.filename().string();
    std::vector<std::uint8_t> bytes;
    if (auto failure = readUpTo(path, largestPictureFile + 1, bytes, fileName)) {
        return failure;
    }
    if (bytes.size() > largestPictureFile) {
        return FileError{100, fileName, "too large",
                         "larger than " + std::to_string(largestPictureFile >> 20) +
                             " MiB: not a sprite picture"};
    }
    std::string cause;
    auto decoded = pngfile::decodePng(bytes, cause);
    if (!decoded) {
        const bool isPng = pngfile::hasPngSignature(bytes);
        return FileError{100, fileName, isPng ? "damaged" : "not a PNG", cause};
    }
    picture = std::move(*decoded);
    return std::nullopt;
}

}  // namespace pixelkin
