#include "command_line.hpp"

#include <filesystem>

namespace tasm {

std::optional<Job> parseArguments(const std::vector<std::string>& arguments) {
    using Words = std::vector<std::string>;
    const auto startsWith = [&](const Words& options) {
        return arguments.size() > options.size() &&
               std::equal(options.begin(), options.end(), arguments.begin());
    };
    if (arguments.size() == 5 && startsWith(Words{"-80", "-p60", "-i", "-o20"})) {
        const std::string& source = arguments[4];
        return Job{source, std::filesystem::path(source).replace_extension(".obj").string(),
                   ObjectFormat::intelHex};
    }
    if (arguments.size() == 5 && startsWith(Words{"-t80", "-b", "-i"})) {
        return Job{arguments[3], arguments[4], ObjectFormat::binary};
    }
    return std::nullopt;
}

std::string usage() {
    return "usage: tasm.exe -80 -p60 -i -o20 FILE.asm        (Intel HEX into FILE.obj)\n"
           "       tasm.exe -t80 -b -i FILE.asm FILE.bin     (plain binary into FILE.bin)\n"
           "       tasm.exe --version\n"
           "A stand-in for the TASM assembler that assembles the Z80 code with z80asm.\n"
           "Include files are looked for next to the including file, next to the main\n"
           "source, in the folders of TASM_INCLUDE (separated by ':'), then in\n"
           "../share/trovik/include beside this program.\n"
           "Exit status: 0 assembled, 1 errors in the source, 2 out of memory,\n"
           "3 a file could not be read or written, 4 anything else.\n";
}

}  // namespace tasm
