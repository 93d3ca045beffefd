#pragma once
// Reading a program to run: a TI-83 program file (.83p, read with libtifiles)
// or the assembler's plain binary (.bin, the bytes from 9327h on). An
// unsquished program (its code as hex-digit text) is decoded first; the first
// bytes then tell how a shell would start it.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "calculator.hpp"

namespace calcview {

struct Program {
    std::vector<std::uint8_t> code;  ///< the bytes at 9327h
    StartKind start = StartKind::plain;
    std::string shell;  ///< "Ion", "AShell" or "no shell", for messages
};

/// The most code that fits between 9327h and the symbol table at FE6Eh.
inline constexpr std::size_t largestProgram = 0xFE6E - programOrigin;

/// Decides how a shell starts `code`: Ion's header (C9h or AFh, then 30h)
/// starts as Ion does, everything else at 9327h.
Program programFromCode(std::vector<std::uint8_t> code);

/// Whether a program variable's bytes are hex text: the digits 0-9 and A-F as
/// tokens, lines ended by the newline token 3Fh, the end token D4h.
bool isHexText(std::span<const std::uint8_t> tokens);
/// The code written as hex text, up to the first End token. nullopt with
/// `error` set for an odd digit count or a token that does not belong.
std::optional<std::vector<std::uint8_t>> decodeHexText(std::span<const std::uint8_t> tokens,
                                                       std::string& error);

/// The program in a variable's data (the 2-byte length, then the program).
std::optional<Program> programFromVariable(std::span<const std::uint8_t> data, std::string& error);

/// Reads FILE.83p or FILE.bin. On failure the error names the file and the cause.
std::optional<Program> loadProgramFile(const std::filesystem::path& path, std::string& error);

}  // namespace calcview
