// SPDX-License-Identifier: GPL-2.0-or-later
// tasm.exe: a stand-in for the TASM cross assembler on machines without it.

#include <cstdlib>
#include <iostream>
#include <new>

#include "assembly.hpp"
#include "command_line.hpp"
#include "include_search.hpp"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments == std::vector<std::string>{"--version"}) {
        std::cout << TOOLCHAIN_VERSION << '\n';
        return 0;
    }
    const std::optional<tasm::Job> job = tasm::parseArguments(arguments);
    if (!job) {
        std::cerr << tasm::usage();
        return tasm::generalError;
    }
    try {
        const std::vector<std::string> includeFolders = tasm::includeFolders(
            job->source, std::getenv("TASM_INCLUDE"), tasm::runningExecutable());
        return tasm::assemble(*job, includeFolders, std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        std::cerr << job->source << ": not enough memory to assemble it\n";
        return tasm::outOfMemory;
    }
}
