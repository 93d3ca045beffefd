// SPDX-License-Identifier: GPL-2.0-or-later
#include "png_file.hpp"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace pngfile {

namespace {

/// libpng's simplified interface, freed however the reading or writing ended.
struct ImageGuard {
    png_image image{};
    ImageGuard() { image.version = PNG_IMAGE_VERSION; }
    ~ImageGuard() { png_image_free(&image); }
    ImageGuard(const ImageGuard&) = delete;
    ImageGuard& operator=(const ImageGuard&) = delete;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string decoderMessage(const png_image& image) {
    return image.message[0] != '\0' ? image.message : "the PNG decoder failed";
}

/// Writes `bytes` to `path`, flushed and closed; false with `error` naming the file.
bool writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes,
               std::string& error) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        error = "cannot write " + path.string() + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
                         std::fflush(file.get()) == 0;
    const int writeErrno = errno;
    const bool closed = std::fclose(file.release()) == 0;
    if (!written || !closed) {
        error =
            "cannot write " + path.string() + ": " + std::strerror(written ? errno : writeErrno);
        return false;
    }
    return true;
}

}  // namespace

bool hasPngSignature(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 8 && png_sig_cmp(bytes.data(), 0, 8) == 0;
}

std::optional<Picture> decodePng(std::span<const std::uint8_t> bytes, std::string& error) {
    if (!hasPngSignature(bytes)) {
        error = "not a PNG file";
        return std::nullopt;
    }
    ImageGuard guard;
    png_image& image = guard.image;
    if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0) {
        error = "damaged: " + decoderMessage(image);
        return std::nullopt;
    }
    if (std::size_t{image.width} * image.height > largestPicture) {
        error = "too large: " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                " pixels";
        return std::nullopt;
    }
    image.format = PNG_FORMAT_RGBA;
    Picture picture{static_cast<int>(image.width), static_cast<int>(image.height), {}};
    picture.rgba.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr) == 0) {
        error = "damaged: " + decoderMessage(image);
        return std::nullopt;
    }
    return picture;
}

std::optional<std::vector<std::uint8_t>> encodePng(int width, int height, Channels channels,
                                                   std::span<const std::uint8_t> pixels,
                                                   std::string& error) {
    ImageGuard guard;
    png_image& image = guard.image;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = channels == Channels::rgba ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    // Speed over size: a screenshot of flat colours compresses well either way,
    // and the picture at the end of a run is waited for.
    image.flags = PNG_IMAGE_FLAG_FAST;
    if (width <= 0 || height <= 0 || pixels.size() != PNG_IMAGE_SIZE(image)) {
        error = "the picture's pixels do not match its size";
        return std::nullopt;
    }
    png_alloc_size_t size = 0;
    if (png_image_write_get_memory_size(image, size, 0, pixels.data(), 0, nullptr) == 0) {
        error = "the PNG encoder failed: " + decoderMessage(image);
        return std::nullopt;
    }
    std::vector<std::uint8_t> file(size);
    if (png_image_write_to_memory(&image, file.data(), &size, 0, pixels.data(), 0, nullptr) == 0) {
        error = "the PNG encoder failed: " + decoderMessage(image);
        return std::nullopt;
    }
    file.resize(size);
    return file;
}

bool writePng(const std::filesystem::path& path, int width, int height, Channels channels,
              std::span<const std::uint8_t> pixels, std::string& error) {
    std::string cause;
    const auto encoded = encodePng(width, height, channels, pixels, cause);
    if (!encoded) {
        error = "cannot write " + path.string() + ": " + cause;
        return false;
    }
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    std::error_code ignored;
    if (!writeFile(temporary, *encoded, error)) {
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    std::error_code renameError;
    std::filesystem::rename(temporary, path, renameError);
    if (renameError) {
        error = "cannot write " + path.string() + ": " + renameError.message();
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    return true;
}

}  // namespace pngfile
