#include "command_line.hpp"

#include <algorithm>
#include <charconv>

#include "framebuffer.hpp"

namespace pixelkin {

namespace {

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
    if (arguments.empty()) {
        return Options{};
    }
    if (arguments.size() != 2 || arguments[0] != "--scale") {
        return std::nullopt;
    }
    const auto scale = parseScale(arguments[1]);
    if (!scale) {
        return std::nullopt;
    }
    return Options{scale};
}

int fittingScale(int screenWidth, int screenHeight) {
    const int fits = std::min(screenWidth / canvasWidth, screenHeight / canvasHeight);
    return std::clamp(fits, smallestScale, largestScale);
}

}  // namespace pixelkin
