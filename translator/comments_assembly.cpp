// SPDX-License-Identifier: GPL-2.0-or-later
// Comments, inline assembly and random numbers: a source comment becomes an
// assembler comment, an asm{ block is copied through untouched, and rand(
// calls the ION shell's random routine.

#include "statements.hpp"

namespace trovik {

namespace {

/// The line that closes an asm{ block, compared exactly: no blanks around it.
constexpr std::string_view assemblyBlockEnd = "}";

}  // namespace

void translateComment(Translation& t, std::string_view) { t.emit(";", t.currentLine); }

/// rand(X,N); stores a random number below N in the low byte of X. Only the
/// ION shell has the routine, so any other shell stops the translation.
void translateRandom(Translation& t, std::string_view keyword) {
    if (!t.shellIsIon()) {
        t.stopWithError({{"ION must be used to use random!", Attribute::normal}}, true);
        return;
    }
    const auto [x, n] = t.cutArguments<2>(keyword);
    t.emitEmpty();
    t.emit("\tld b, ", n);
    t.emit("\tcall ionrandom");
    t.emit("\tld (", x, "), a");
}

/// Copies the source lines after asm{ as they stand, leading blanks and
/// keywords included, up to a line that is exactly "}". A source that ends
/// first ends the block.
void translateInlineAssembly(Translation& t, std::string_view) {
    t.emitEmpty();
    std::string_view line;
    while (t.readSourceLine(line)) {
        if (line == assemblyBlockEnd) return;
        t.emit(line);
    }
    t.warnEndOfSource("the } line of an asm{ block");
}

}  // namespace trovik
