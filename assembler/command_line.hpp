#pragma once
// The two argument sets the stand-in accepts.

#include <optional>
#include <string>
#include <vector>

namespace tasm {

enum class ObjectFormat { intelHex, binary };

/// What to assemble and where to write it.
struct Job {
    std::string source;
    std::string output;
    ObjectFormat format = ObjectFormat::intelHex;
};

/// "-80 -p60 -i -o20 F.asm": Intel HEX into F.obj (F.asm with its extension
/// replaced). "-t80 -b -i F.asm F.bin": plain binary into F.bin. Nothing for
/// any other argument list (the program's name not included).
std::optional<Job> parseArguments(const std::vector<std::string>& arguments);

/// The usage text for anything else.
std::string usage();

/// Bytes per Intel HEX data record that -o20 asks for (hexadecimal 20).
inline constexpr size_t hexRecordLength = 0x20;

}  // namespace tasm
