#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace pixelkin {

/// The usage line shown for a command line the editor does not accept.
inline constexpr const char* usageLine =
    "usage: pixelkin [--scale N]   (N a whole number from 1 to 8)";

/// Smallest and largest enlargement of the canvas in the window.
inline constexpr int smallestScale = 1;
inline constexpr int largestScale = 8;

/// What the command line asks for.
struct Options {
    /// The enlargement asked for with --scale; empty means the largest that fits the screen.
    std::optional<int> scale;
};

/// Reads the arguments after the program name: none, or "--scale" followed by a whole number
/// from 1 to 8. Anything else gives no options.
std::optional<Options> parseCommandLine(std::span<const std::string_view> arguments);

/// The largest enlargement from 1 to 8 at which the canvas fits a screen area of the given
/// size; 1 when even that does not fit.
int fittingScale(int screenWidth, int screenHeight);

}  // namespace pixelkin
