#include "png_file.hpp"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace calcview {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

/// libpng reports errors by longjmp; this keeps that inside one function
/// with no C++ objects to unwind.
bool encode(std::FILE* file, int width, int height, const std::uint8_t* rgb) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, rgb + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writePng(const std::filesystem::path& path, int width, int height,
              const std::vector<std::uint8_t>& rgb, std::string& error) {
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(temporary.c_str(), "wb"));
    if (!file) {
        error = "cannot write " + temporary.string() + ": " + std::strerror(errno);
        return false;
    }
    const bool encoded = encode(file.get(), width, height, rgb.data());
    const bool flushed = encoded && std::fflush(file.get()) == 0 && !std::ferror(file.get());
    const int savedErrno = errno;
    const bool closed = std::fclose(file.release()) == 0;
    if (!encoded || !flushed || !closed) {
        error = "cannot write " + temporary.string() + ": " +
                (encoded ? std::strerror(savedErrno) : "the PNG encoder failed");
        std::filesystem::remove(temporary);
        return false;
    }
    std::error_code renameError;
    std::filesystem::rename(temporary, path, renameError);
    if (renameError) {
        error = "cannot write " + path.string() + ": " + renameError.message();
        std::filesystem::remove(temporary);
        return false;
    }
    return true;
}

}  // namespace calcview
