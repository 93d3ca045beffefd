#pragma once
// The source rewritten for z80asm, line by line.
//
// Labels are compared without regard to case, so every label is written in
// lower case; a label that begins with '_' belongs to the current .module
// (the module "noname" until the first .module) and is written as
// "module._name", which is also how other modules can name it. Directives
// become org, defb, defw and equ; instructions keep their mnemonic and get
// their operands rewritten. Every label used must be defined somewhere, and
// those used by .org and .equ on an earlier line, since z80asm can only
// compute those at once. Code before the first .org starts at address 0.
//
// Each run of code that a .org starts is a segment; z80asm writes the bytes of
// all segments one after another, so each segment is framed by the labels
// segmentStart(n) and segmentEnd(n), whose addresses tell where its bytes go.

#include <string>
#include <vector>

#include "diagnostics.hpp"
#include "source_reader.hpp"

namespace tasm {

/// One line of z80asm source and the source line it came from.
struct AsmLine {
    std::string text;
    Location where;
};

struct Rewritten {
    std::vector<AsmLine> lines;
    std::vector<Location> segmentOrigins;  ///< per segment: its .org line
    Diagnostics errors;
};

Rewritten rewrite(const std::vector<SourceLine>& source);

/// Labels no source label can be written as: they begin with '_' and hold
/// no period.
std::string segmentStart(size_t segment);
std::string segmentEnd(size_t segment);

}  // namespace tasm
