// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// calcview's command line and help text.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "key_script.hpp"

namespace calcview {

struct Options {
    /// The program's file first, then files of further variables.
    std::vector<std::filesystem::path> files;
    int scale = 4;
    bool headless = false;
    std::vector<KeyStroke> keys;
    std::optional<double> timeLimit;  ///< seconds of calculator time
    std::optional<std::filesystem::path> screenshot;
    /// Where the variables the program created or changed are written.
    std::optional<std::filesystem::path> saveVariables;
    /// The random numbers' seed; by default fixed headless, the clock in a window.
    std::optional<std::uint64_t> seed;
    bool help = false;
    bool version = false;
    /// Serve the Debug Adapter Protocol on standard input and output.
    bool dap = false;
};

/// A PC key (as the window library names it) and the calculator key it presses.
struct PcKey {
    std::string_view pcKey;
    std::string_view calcKey;
};
/// The PC keys beyond letters and digits, which press the key of that letter or digit.
const std::vector<PcKey>& pcKeys();

/// nullopt with `error` set for a bad command line.
std::optional<Options> parseCommandLine(const std::vector<std::string_view>& args,
                                        std::string& error);

std::string helpText();

}  // namespace calcview
