// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The listing file and the symbol file, in the layouts of TASM's manual.
//
// Each line read (skipped ones and include files' included) becomes
//   0005+  1000 E6 40 00 00 <the line as written>
// its number in its file, a '+' for each level of include, the location
// counter at its start (a '~' after it when #if and the like skipped the
// line), up to four bytes it gave, then the line itself; further bytes
// follow on lines of their own. A line of several statements lists the
// others below it without text. .list/.nolist, .codes/.nocodes,
// .page/.nopage, .eject and .title steer it as the manual says.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "command_line.hpp"
#include "memory_image.hpp"
#include "rewriter.hpp"
#include "source_reader.hpp"

namespace tasm {

/// Where a statement sits: the location counter at its start, the one the
/// listing shows for it (after it, for .org) and how many of the bytes from
/// there on it wrote.
struct StatementPlace {
    uint32_t start = 0;
    uint32_t shown = 0;
    uint32_t bytes = 0;
};

/// A label and its final value.
struct LabelValue {
    std::string name;
    uint32_t value = 0;
    bool local = false;
};

struct ListingInput {
    const std::vector<ListedLine>& lines;
    const std::vector<StatementPlace>& statements;
    const std::vector<ListingStep>& steps;
    const MemoryImage& image;
    uint32_t end = 0;  ///< the location counter after the last statement
    std::vector<LabelValue> labels;
};

/// The places of the statements from z80asm's line addresses: a statement
/// wrote the bytes up to the next one, but .org and .block none (the one
/// shown at its new address, the other at its old).
std::vector<StatementPlace> placeStatements(const Rewritten& program,
                                            const std::vector<uint32_t>& lineAddresses);

/// The listing, or nothing when the source and the options leave it off
/// throughout.
std::optional<std::string> listingText(const ListingInput& input, const Job& job);

/// The symbol file: one line per label, sorted, the name then its value in
/// four hexadecimal digits.
std::string symbolFileText(const std::vector<LabelValue>& labels);

}  // namespace tasm
