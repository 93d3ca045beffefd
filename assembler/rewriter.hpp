// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The source rewritten for z80asm, line by line.
//
// Labels are compared without regard to case, so every label is written in
// lower case; a label that begins with '_' (or the character .locallabelchar
// chose) belongs to the current .module (the module "noname" until the first
// .module) and is written as "module._name", which is also how other modules
// can name it. Directives become org, defb, defw, defs and equ (.block a new
// org; .msfirst words and .addinstr instructions defb); instructions keep
// their mnemonic and get their operands rewritten. Every label used must be defined somewhere, and
// those used by .org, .equ, .set, .block and .fill on an earlier line, since
// z80asm can only compute those at once. Code before the first .org starts
// at address 0. .set gives a label that an earlier line defined a
// new value: a new z80asm label each time, and each use names the latest one.
//
// Each run of code that a .org starts is a segment; z80asm writes the bytes of
// all segments one after another, so each segment is framed by the labels
// segmentStart(n) and segmentEnd(n), whose addresses tell where its bytes go.

#include <string>
#include <vector>

#include "diagnostics.hpp"
#include "directives.hpp"
#include "source_reader.hpp"

namespace tasm {

/// One line of z80asm source and the source line it came from.
struct AsmLine {
    std::string text;
    Location where;
};

/// A .chk byte: the sum of the bytes from the address `from` (an
/// expression over z80asm's labels, where $ is the byte's own address) up
/// to the byte at the label `at`.
struct Checksum {
    std::string at;
    std::string from;
    Location where;
};

/// The one-byte relative operand of an .addinstr instruction: `target` (an
/// expression over z80asm's labels; $ is the label `at` on the instruction)
/// must lie within reach of the instruction's end, `length` bytes on.
struct RelativeReach {
    std::string at;
    std::string target;
    std::string mnemonic;
    size_t length = 0;
    Location where;
};

/// A .echo item: `text` as it is, or the value of `value` (an expression
/// over z80asm's labels; $ is the address of the label `at`) in decimal.
struct Echo {
    std::string text;
    std::string value;
    std::string at;
    Location where;
};

/// A statement that steers the listing (.list, .title, ...) or moves the
/// location counter without writing bytes (.org, .block).
struct ListingStep {
    size_t statement = 0;  ///< index in the source statements
    Directive directive = Directive::list;
    std::string operands;
};

/// A label of the source, for the symbol file and the label table.
struct Symbol {
    std::string name;   ///< as first written; local ones as module._name
    std::string label;  ///< z80asm's label that holds its final value
    bool local = false;
};

struct Rewritten {
    std::vector<AsmLine> lines;
    std::vector<ListedLine> listed;  ///< the source's lines, for the listing
    /// Per source statement: the index in `lines` of its first line (lines
    /// of its own or the next statement's when it has none).
    std::vector<size_t> statementLines;
    std::vector<ListingStep> listingSteps;
    std::vector<Symbol> symbols;
    std::vector<Location> segmentOrigins;  ///< per segment: its .org line
    std::vector<Checksum> checksums;
    std::vector<RelativeReach> reaches;
    std::vector<Echo> echoes;
    std::vector<AddressCheck> addressChecks;  ///< with the labels that mark them
    Diagnostics errors;
};

/// Rewrites `source`; each of `checks` (in the order of their places) gets
/// a label at its place.
Rewritten rewrite(const std::vector<SourceLine>& source, std::vector<AddressCheck> checks = {});

/// Labels no source label can be written as: they begin with '_' and hold
/// no period.
std::string segmentStart(size_t segment);
std::string segmentEnd(size_t segment);

}  // namespace tasm
