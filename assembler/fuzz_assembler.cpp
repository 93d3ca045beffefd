// SPDX-License-Identifier: GPL-2.0-or-later
// libFuzzer target: the stand-in assembler up to the encoding of
// instructions (reading, includes, the preprocessor and macros, directives,
// expressions and the rewriting for z80asm), from files held in memory;
// z80asm is not started.
//
// An input is the source a.asm, then optionally, each after a line "%%%%",
// the include files ion.inc, ti83asm.inc, tokens.inc and sos.inc.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "assembly.hpp"
#include "source_files.hpp"

namespace {

constexpr std::string_view separator = "\n%%%%\n";
constexpr std::array<const char*, 4> includeNames{"ion.inc", "ti83asm.inc", "tokens.inc",
                                                  "sos.inc"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::map<std::string, std::string> files;
    auto takePart = [&rest] {
        const std::size_t at = rest.find(separator);
        const std::string part(rest.substr(0, at));
        rest =
            at == std::string_view::npos ? std::string_view() : rest.substr(at + separator.size());
        return part;
    };
    files["a.asm"] = takePart();
    for (const char* name : includeNames) {
        if (rest.empty()) break;
        files[name] = takePart();
    }
    const tasm::Rewritten program = tasm::translateSource("a.asm", tasm::MemoryFiles(files), {});
    for (const tasm::Diagnostic& error : program.errors) tasm::format(error);
    return 0;
}
