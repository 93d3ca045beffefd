// SPDX-License-Identifier: GPL-2.0-or-later
// Arithmetic on declared variables: steps, sums and differences of low
// bytes, products and quotients through the library routines, assignment.

#include "statements.hpp"

namespace trovik {

namespace {

void translateStep(Translation& t, std::string_view keyword, std::string_view stepInstruction) {
    t.loadWork();
    t.cutInner(keyword, 2);
    const std::string_view x = t.workString;
    t.emitEmpty();
    t.emit("\tld hl, (", x, ")");
    t.emit(stepInstruction);
    t.emit("\tld (", x, "), hl");
}

/// add( and sub( differ in the register they save and the instruction that
/// combines the two bytes.
void translateByteSum(Translation& t, std::string_view keyword, std::string_view savedPair,
                      std::string_view combine) {
    const auto [x, y] = t.cutArguments<2>(keyword);
    t.emitEmpty();
    if (!t.optimise) {
        t.emit("\tpush ", savedPair);
        t.emit("\tpush bc");
    }
    t.emit("\tld a, (", y, ")");
    t.emit("\tld b, a");
    t.emit("\tld a, (", x, ")");
    t.emit(combine);
    t.emit("\tld (", x, "), a");
    if (!t.optimise) {
        t.emit("\tpop bc");
        t.emit("\tpop ", savedPair);
    }
}

}  // namespace

void translateIncrement(Translation& t, std::string_view keyword) {
    translateStep(t, keyword, "\tinc hl");
}

void translateDecrement(Translation& t, std::string_view keyword) {
    translateStep(t, keyword, "\tdec hl");
}

void translateAdd(Translation& t, std::string_view keyword) {
    translateByteSum(t, keyword, "hl", "\tadd a, b");
}

void translateSubtract(Translation& t, std::string_view keyword) {
    translateByteSum(t, keyword, "af", "\tsub b");
}

void translateMultiply(Translation& t, std::string_view keyword) {
    t.usesMultiply = true;
    const auto [x, n] = t.cutArguments<2>(keyword);
    t.emitEmpty();
    t.emit("\tld de, ", n);
    t.emit("\tld a,(", x, ")");
    t.emit("\tcall multiply");
    t.emit("\tld (", x, "), hl");
}

void translateDivide(Translation& t, std::string_view keyword) {
    t.usesDivide = true;
    const auto [x, n] = t.cutArguments<2>(keyword);
    t.emitEmpty();
    t.emit("\tld hl, (", x, ")");
    t.emit("\tld d, ", n);
    t.emit("\tcall divide");
    t.emit("\tld (", x, "), hl");
}

void translateAssignment(Translation& t, std::string_view keyword) {
    t.loadWork();
    t.cutInner(keyword, 1);
    t.storeWork();
    const std::string_view value = t.peelLast('=');
    t.loadWork();
    t.peelLast(':');
    const std::string_view variable = t.workString;
    t.emitEmpty();
    if (!t.optimise) t.emit("\tpush hl");
    t.emit("\tld hl, ", value);
    t.emit("\tld (", variable, "), hl");
    if (!t.optimise) t.emit("\tpop hl");
}

}  // namespace trovik
