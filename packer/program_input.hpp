// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The assembled program, read from the assembler's plain binary or its Intel
// HEX object file. Both readers work on the file's bytes in memory.

#include <cstdint>
#include <string_view>
#include <vector>

#include "result.hpp"

namespace pack83 {

/// Where the calculator runs an assembly program, and the first address it
/// may not use: the symbol table grows down from there.
inline constexpr std::uint32_t userMemory = 0x9327;
inline constexpr std::uint32_t symbolTable = 0xFE6E;
inline constexpr std::uint32_t largestProgram = symbolTable - userMemory;

/// The program's bytes as they lie in memory from `userMemory` on.
struct Program {
    std::vector<std::uint8_t> code;
};

/// A plain binary: the bytes are the program, starting at `userMemory`.
Result<Program> readBinary(std::string_view bytes);

/// Intel HEX: data records (type 00) and an end-of-file record (type 01).
/// Every record's checksum is checked; records may not overlap and must lie
/// between `userMemory` and `symbolTable`. Bytes between records, and from
/// `userMemory` up to the first record, are zero.
Result<Program> readIntelHex(std::string_view text);

}  // namespace pack83
