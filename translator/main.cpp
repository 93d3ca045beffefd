// SPDX-License-Identifier: GPL-2.0-or-later
// trovik: translates FILENAME.p83 into FILENAME.asm and runs the assembler.

#include <string>
#include <vector>

#include "posix_platform.hpp"
#include "trovik.hpp"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    trovik::TerminalConsole console;
    trovik::PosixProcessStarter processStarter;
    trovik::PosixFileSystem files;
    return trovik::runTrovik(arguments, console, processStarter, files);
}
