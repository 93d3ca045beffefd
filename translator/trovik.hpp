// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// trovik's main sequence: command line, translation, assembler.

#include <string>
#include <vector>

#include "platform.hpp"

namespace trovik {

/// Exit statuses of a run.
enum ExitStatus : int {
    exitNormal = 0,
    exitTranslationError = 1,
    exitHelpShown = 2,
    exitAssemblerFailed = 3,
    exitFileFailure = 217,
};

/// Runs trovik with the command-line `arguments` (without the program name):
/// translates FILENAME.p83 into FILENAME.asm and starts the assembler on it,
/// passing its messages on. Returns the exit status. Without
/// `checkStatements` the statement lines are not checked, which changes
/// nothing but the warnings.
int runTrovik(const std::vector<std::string>& arguments, Console& console,
              ProcessStarter& processStarter, FileSystem& files, bool checkStatements = true);

}  // namespace trovik
