// SPDX-License-Identifier: GPL-2.0-or-later
// libFuzzer target: pack83's readers of an assembled program. Each input is
// read as a plain binary and as Intel HEX text. A program that is read must
// fit user memory and become a calculator variable in both forms; a program
// read from Intel HEX must read back the same when written out again as
// Intel HEX records.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "program_input.hpp"
#include "program_variable.hpp"

namespace {

using namespace pack83;

void check(bool condition) {
    if (!condition) std::abort();
}

/// `code` as Intel HEX data records of 16 bytes from `userMemory` on, and
/// the end record.
std::string asIntelHex(const std::vector<std::uint8_t>& code) {
    std::string text;
    char field[8];
    for (std::size_t at = 0; at < code.size(); at += 16) {
        const std::size_t count = std::min<std::size_t>(16, code.size() - at);
        const std::uint32_t address = userMemory + static_cast<std::uint32_t>(at);
        unsigned sum = static_cast<unsigned>(count + (address >> 8) + (address & 0xFF));
        std::snprintf(field, sizeof field, ":%02zX", count);
        text += field;
        std::snprintf(field, sizeof field, "%04X00", address & 0xFFFF);
        text += field;
        for (std::size_t i = 0; i < count; ++i) {
            std::snprintf(field, sizeof field, "%02X", code[at + i]);
            text += field;
            sum += code[at + i];
        }
        std::snprintf(field, sizeof field, "%02X\n", (0x100 - (sum & 0xFF)) & 0xFF);
        text += field;
    }
    return text + ":00000001FF\n";
}

void checkProgram(const Program& program) {
    check(program.code.size() <= largestProgram);
    for (Form form : {Form::squished, Form::unsquished}) {
        if (const auto variable = programVariable(program, form, "FUZZ")) {
            check(variable->data.size() >= 2);
        }
    }
    detectShell(program.code);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (const auto binary = readBinary(bytes)) {
        check(binary->code.size() == size);
        checkProgram(*binary);
    }
    if (const auto hex = readIntelHex(bytes)) {
        checkProgram(*hex);
        const auto again = readIntelHex(asIntelHex(hex->code));
        check(again && again->code == hex->code);
    }
    return 0;
}
