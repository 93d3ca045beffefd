// SPDX-License-Identifier: GPL-2.0-or-later
#include "command_line.hpp"

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

#include "framebuffer.hpp"

namespace pixelkin {

namespace {

constexpr std::string_view scaleOption = "--scale";
constexpr std::string_view scaleOptionJoined = "--scale=";

std::optional<int> parseScale(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc{} || stop != end || value < smallestScale || value > largestScale) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<Options> parseCommandLine(std::span<const std::string_view> arguments) {
    Options options;
    bool optionsEnded = false;
    bool folderGiven = false;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string_view argument = arguments[index];
        std::optional<std::string_view> scaleText;
        if (optionsEnded || !argument.starts_with('-') || argument == "-") {
            if (folderGiven || argument.empty()) {
                return std::nullopt;
            }
            options.folder = std::filesystem::path(argument);
            folderGiven = true;
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--version") {
            options.version = true;
            return options;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
            return options;
        } else if (argument == scaleOption && index + 1 < arguments.size()) {
            scaleText = arguments[++index];
        } else if (argument.starts_with(scaleOptionJoined)) {
            scaleText = argument.substr(scaleOptionJoined.size());
        } else {
            return std::nullopt;
        }
        if (scaleText) {
            if (options.scale) {
                return std::nullopt;  // given twice
            }
            options.scale = parseScale(*scaleText);
            if (!options.scale) {
                return std::nullopt;
            }
        }
    }
    return options;
}

std::optional<std::string> folderProblem(const std::filesystem::path& folder) {
    std::error_code error;
    const auto status = std::filesystem::status(folder, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return "no such folder";
    }
    if (!error && status.type() != std::filesystem::file_type::directory) {
        return "not a folder";
    }
    DIR* opened = opendir(folder.c_str());
    if (opened == nullptr) {
        return std::string("cannot open it: ") + std::strerror(errno);
    }
    closedir(opened);
    return std::nullopt;
}

std::string windowTitle(const std::filesystem::path& folder) {
    std::error_code ignored;
    std::filesystem::path shown = std::filesystem::absolute(folder, ignored).lexically_normal();
    if (shown.has_relative_path() && !shown.has_filename()) {
        shown = shown.parent_path();  // "/a/b/" from "/a/b/." or "/a/b/"
    }
    return "pixelkin: " + shown.string();
}

int fittingScale(int screenWidth, int screenHeight) {
    const int fits = std::min(screenWidth / canvasWidth, screenHeight / canvasHeight);
    return std::clamp(fits, smallestScale, largestScale);
}

}  // namespace pixelkin
