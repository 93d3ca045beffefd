// tasm.exe: a stand-in for the TASM cross assembler on machines without it.

#include <cstdlib>
#include <iostream>

#include "assembly.hpp"
#include "command_line.hpp"
#include "include_search.hpp"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const std::optional<tasm::Job> job = tasm::parseArguments(arguments);
    if (!job) {
        std::cerr << tasm::usage();
        return 2;
    }
    const std::vector<std::string> includeFolders =
        tasm::includeFolders(job->source, std::getenv("TASM_INCLUDE"), tasm::runningExecutable());
    return tasm::assemble(*job, includeFolders, std::cout, std::cerr);
}
