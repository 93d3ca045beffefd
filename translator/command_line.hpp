// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// trovik's positional command line and its help screen.

#include <optional>
#include <string>
#include <vector>

#include "platform.hpp"

namespace trovik {

/// What an accepted command line asks for.
struct CommandLine {
    std::string fileName;        ///< FILENAME, argument 1
    std::string sourceName;      ///< FILENAME.p83
    std::string outputName;      ///< FILENAME.asm
    std::string spriteFileName;  ///< FILENAME.spr with -s/-S, else empty
    std::string assemblerArguments;
    bool optimise = false;
};

/// Reads FILENAME [-s|-ns [-c|-nc [-o]]], each option only at its own
/// position. Nothing when the arguments are missing, wrong or surplus.
std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& arguments);

/// The line that says which argument of a refused command line was not
/// understood and what was expected in its place; empty when there were no
/// arguments.
std::string describeRefusedArguments(const std::vector<std::string>& arguments);

/// Clears the screen and writes the help screen to standard output.
void showHelp(Console& console);

/// `assemblerArguments` split at blanks.
std::vector<std::string> splitAtBlanks(const std::string& text);

}  // namespace trovik
