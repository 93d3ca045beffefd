// tasm.exe: a stand-in for the TASM cross assembler on machines without it.

#include <cstdlib>
#include <iostream>

#include "assembly.hpp"
#include "command_line.hpp"
#include "source_reader.hpp"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const std::optional<tasm::Job> job = tasm::parseArguments(arguments);
    if (!job) {
        std::cerr << tasm::usage();
        return 2;
    }
    return tasm::assemble(*job, tasm::splitIncludePath(std::getenv("TASM_INCLUDE")), std::cout,
                          std::cerr);
}
