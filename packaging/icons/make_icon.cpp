// SPDX-License-Identifier: GPL-2.0-or-later
// make_icon: turns a pixel map (.icon) into a PNG of a given size.
//
// A map holds "colour C RRGGBBAA" lines, one per character C, then the rows
// of a square picture, one character per pixel; lines starting with // are
// comments. Each pixel becomes a block of SIZE / width pixels, so the
// drawing stays crisp at every size the desktop asks for.

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "png_file.hpp"

namespace {

struct Rgba {
    unsigned char red, green, blue, alpha;
};

struct PixelMap {
    std::map<char, Rgba> colours;
    std::vector<std::string> rows;
};

std::optional<Rgba> parseColour(const std::string& hex) {
    if (hex.size() != 8 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return std::nullopt;
    }
    const unsigned long value = std::stoul(hex, nullptr, 16);
    return Rgba{static_cast<unsigned char>(value >> 24), static_cast<unsigned char>(value >> 16),
                static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
}

/// The map in `path`, or a message naming the file, the line and the fault.
std::optional<PixelMap> readMap(const std::string& path, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = path + ": cannot open (" + std::strerror(errno) + ")";
        return std::nullopt;
    }
    PixelMap map;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string where = path + ":" + std::to_string(number) + ": ";
        if (line.empty() || line.starts_with("//")) continue;
        if (line.starts_with("colour ")) {
            const auto colour = line.size() == 17 ? parseColour(line.substr(9)) : std::nullopt;
            if (!colour || line[8] != ' ') {
                error = where + "expected \"colour C RRGGBBAA\"";
                return std::nullopt;
            }
            map.colours[line[7]] = *colour;
            continue;
        }
        for (char pixel : line) {
            if (!map.colours.contains(pixel)) {
                error = where + "the character '" + pixel + "' has no colour";
                return std::nullopt;
            }
        }
        if (!map.rows.empty() && line.size() != map.rows.front().size()) {
            error = where + "the rows differ in length";
            return std::nullopt;
        }
        map.rows.push_back(line);
    }
    if (in.bad()) {
        error = path + ": cannot read (" + std::strerror(errno) + ")";
        return std::nullopt;
    }
    if (map.rows.empty() || map.rows.size() != map.rows.front().size()) {
        error = path + ": the picture must be square";
        return std::nullopt;
    }
    return map;
}

bool writePng(const std::string& path, const PixelMap& map, int size, std::string& error) {
    const int scale = size / static_cast<int>(map.rows.size());
    std::vector<std::uint8_t> pixels;
    pixels.reserve(static_cast<std::size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Rgba c = map.colours.at(map.rows[y / scale][x / scale]);
            pixels.insert(pixels.end(), {c.red, c.green, c.blue, c.alpha});
        }
    }
    return pngfile::writePng(path, size, size, pngfile::Channels::rgba, pixels, error);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make_icon MAP.icon SIZE OUT.png\n";
        return 2;
    }
    std::string error;
    const std::optional<PixelMap> map = readMap(argv[1], error);
    if (!map) {
        std::cerr << "make_icon: " << error << "\n";
        return 1;
    }
    const int size = std::atoi(argv[2]);
    const int width = static_cast<int>(map->rows.size());
    if (size < width || size % width != 0) {
        std::cerr << "make_icon: " << argv[2] << " is not a multiple of the map's width " << width
                  << "\n";
        return 2;
    }
    if (!writePng(argv[3], *map, size, error)) {
        std::cerr << "make_icon: " << error << "\n";
        return 1;
    }
    return 0;
}
