// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Running Debian's z80asm on the rewritten source, and mapping its messages
// back to the source lines they concern.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "diagnostics.hpp"
#include "rewriter.hpp"

namespace tasm {

struct Z80asmResult {
    std::vector<uint8_t> bytes;              ///< all bytes, in source order
    std::map<std::string, uint32_t> labels;  ///< every label's value
    /// The address at the start of each line, and after the last.
    std::vector<uint32_t> lineAddresses;
    Diagnostics errors;
    Diagnostics warnings;
};

/// Assembles `lines` with the z80asm found on PATH, in a temporary folder
/// that is removed afterwards. A failure of the run as a whole (z80asm
/// missing, no temporary folder) is reported on `mainSource`: the first
/// line may well come from an include file.
Z80asmResult runZ80asm(const std::vector<AsmLine>& lines, const std::string& mainSource);

/// Turns z80asm's messages about the file `asmPath` into messages about the
/// source lines that `lines` came from. Lines in another form are dropped.
void mapMessages(const std::string& messages, const std::string& asmPath,
                 const std::vector<AsmLine>& lines, Z80asmResult& result);

/// The addresses of z80asm's list file: one line per source line, each
/// beginning with the address in hexadecimal, between "# File" and "# End of
/// file", then the address after the last. Empty when there are not
/// `lineCount` of them.
std::vector<uint32_t> parseListAddresses(const std::string& text, size_t lineCount);

/// Reads z80asm's label file ("name:\tequ $1234" lines).
std::map<std::string, uint32_t> parseLabelFile(const std::string& text);

}  // namespace tasm
