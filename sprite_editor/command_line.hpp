// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pixelkin {

/// The usage lines shown for a command line the editor does not accept.
inline constexpr const char* usageLine =
    "usage: pixelkin [--scale N] [FOLDER]   (N a whole number from 1 to 8)\n"
    "       pixelkin --version";

/// What --help prints on standard output: the usage, what the editor does, its options and
/// exit statuses.
inline constexpr const char* helpText =
    "usage: pixelkin [--scale N] [FOLDER]\n"
    "       pixelkin --help | --version\n"
    "Edits a set of 50 monochrome sprites of up to 16 x 16 pixels in FOLDER (the\n"
    "current folder when none is given). Save writes pixelkin.spr, the .db rows\n"
    "trovik copies into a program with its sprite option, and pixelkin2.dat,\n"
    "which Load reads.\n"
    "\n"
    "  --scale N, --scale=N  enlarge the window N times (1 to 8); without it, the\n"
    "                        largest enlargement that fits the screen\n"
    "  --help, -h            show this text\n"
    "  --version             print the version\n"
    "\n"
    "Exit status: 0 after Quit or closing the window, 1 when no window could be\n"
    "opened, 2 for a bad command line or a folder that cannot be opened.\n";

/// Smallest and largest enlargement of the canvas in the window.
inline constexpr int smallestScale = 1;
inline constexpr int largestScale = 8;

/// What the command line asks for.
struct Options {
    /// The enlargement asked for with --scale; empty means the largest that fits the screen.
    std::optional<int> scale;
    /// The folder whose pixelkin.spr and pixelkin2.dat are edited.
    std::filesystem::path folder = ".";
    /// --version: print the version and do nothing else.
    bool version = false;
    /// --help or -h: print the help text and do nothing else.
    bool help = false;
};

/// Reads the arguments after the program name: "--scale N" or "--scale=N" with N a whole number
/// from 1 to 8, at most once, and at most one FOLDER, in any order ("--" ends the options). A
/// "--version", "--help" or "-h" met before anything wrong asks for the version or the help
/// alone. Anything else gives no
/// options.
std::optional<Options> parseCommandLine(std::span<const std::string_view> arguments);

/// Why `folder` cannot be edited in (it does not exist, is no folder or cannot be opened), or
/// nothing when it can.
std::optional<std::string> folderProblem(const std::filesystem::path& folder);

/// The window's title: the program and the folder's full path.
std::string windowTitle(const std::filesystem::path& folder);

/// The largest enlargement from 1 to 8 at which the canvas fits a screen area of the given
/// size; 1 when even that does not fit.
int fittingScale(int screenWidth, int screenHeight);

}  // namespace pixelkin
