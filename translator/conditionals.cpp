// SPDX-License-Identifier: GPL-2.0-or-later
// Labels, jumps, calls, returns and comparisons. Labels are plain assembler
// labels written as the source spells them; nothing checks that a target is
// defined.

#include <array>

#include "statements.hpp"

namespace trovik {

namespace {

/// A kind character of goto( and the instruction it stands for.
struct JumpKind {
    std::string_view kind;
    std::string_view instruction;
};

constexpr std::array<JumpKind, 6> jumpKinds{{
    {"1", "\tjp "},
    {"2", "\tjp z, "},
    {"3", "\tjp nz, "},
    {"4", "\tcall "},
    {"5", "\tcall z, "},
    {"6", "\tcall nz, "},
}};

/// A condition code of if( and the jump it makes after the comparison.
constexpr std::array<JumpKind, 2> comparisonJumps{{
    {"1", "\tjp z, "},
    {"2", "\tjp nz, "},
}};

/// The jump line for `kind` to `target`, if `kind` is one of `kinds`.
template <std::size_t Size>
void emitJump(Translation& t, const std::array<JumpKind, Size>& kinds, std::string_view kind,
              std::string_view target) {
    for (const JumpKind& row : kinds) {
        if (row.kind == kind) t.emit(row.instruction, target);
    }
}

}  // namespace

/// :N defines the label N, which is the whole rest of the line.
void translateLabel(Translation& t, std::string_view keyword) {
    t.loadWork();
    t.cutInner(keyword, 0);
    const std::string_view name = t.workString;
    t.emitEmpty();
    t.emit(name, ":");
    t.declare(Declaration::Kind::label, name, t.sourceLineNumber());
}

void translateReturn(Translation& t, std::string_view) {
    t.emitEmpty();
    t.emit("\tret");
}

/// The kind of goto( and the comma after it.
constexpr long kindWithComma = 2;

/// goto(K,T); is not split at commas: K is the one character after the
/// keyword, the character after it is skipped, and the rest is the target.
void translateGoto(Translation& t, std::string_view keyword) {
    t.loadWork();
    t.cutInner(keyword, 2);
    t.storeWork();
    const std::string_view kind = firstChars(t.workString, 1);
    const std::string_view target =
        lastChars(t.workString, t.lineLength - lengthOf(keyword) - kindWithComma - 2);
    t.emitEmpty();
    emitJump(t, jumpKinds, kind, target);
}

/// if(X,Y,Q,T); compares the low bytes of X and Y and jumps to T when they
/// are equal (Q = 1) or differ (Q = 2). a and hl are saved on the stack and
/// restored before the jump with loads and pops, which keep the flags of the
/// comparison, so a taken jump leaves the stack as it found it.
void translateIf(Translation& t, std::string_view keyword) {
    const auto [x, y, condition, target] = t.cutArguments<4>(keyword);
    t.emitEmpty();
    if (!t.optimise) {
        t.emit("\tpush hl");
        t.emit("\tpush af");
    }
    t.emit("\tld a, (", x, ")");
    t.emit("\tld hl, ", y);
    t.emit("\tld h, (hl)");
    t.emit("\tcp h");
    if (!t.optimise) {
        t.emit("\tpop hl");
        t.emit("\tld a, h");
        t.emit("\tpop hl");
    }
    emitJump(t, comparisonJumps, condition, target);
}

}  // namespace trovik
