// SPDX-License-Identifier: GPL-2.0-or-later
// Reading and testing the keypad through port 1. The keypad answers in seven
// groups: writing a group's mask selects it, reading gives one bit per key,
// 0 for a key held down. The leading arguments are cut by fixed widths, not
// at commas: a group or mode is one character, a key value three.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "statements.hpp"

namespace trovik {

namespace {

struct KeyGroup {
    std::string_view group;
    std::string_view mask;
};

/// Group g gives 0FFh with bit g - 1 cleared.
constexpr std::array<KeyGroup, 7> keyGroups{{
    {"1", "0feh"},
    {"2", "0fdh"},
    {"3", "0fbh"},
    {"4", "0f7h"},
    {"5", "0efh"},
    {"6", "0dfh"},
    {"7", "0bfh"},
}};

std::optional<std::string_view> groupMask(std::string_view group) {
    for (const KeyGroup& row : keyGroups) {
        if (row.group == group) return row.mask;
    }
    return std::nullopt;
}

/// What follows the key comparison, by mode: 0 acts on an equal byte, 1 on a
/// different one, 2 calls whatever the outcome. Conditional calls (3 and 4)
/// exist for iskey( only.
struct KeyMode {
    std::string_view mode;
    std::string_view instruction;
    bool singleKeyOnly;
};

constexpr std::array<KeyMode, 5> keyModes{{
    {"0", "\tjp z, ", false},
    {"1", "\tjp nz, ", false},
    {"2", "\tcall ", false},
    {"3", "\tcall z, ", true},
    {"4", "\tcall nz, ", true},
}};

/// The fixed fields: a key value is three characters, a group or mode one,
/// each followed by its comma.
constexpr long keyWidth = 3;
constexpr long keyWithComma = keyWidth + 1;
constexpr long choiceWithComma = 2;

/// Writes the branch of `mode` to `target`; an unknown mode writes nothing.
void emitKeyBranch(Translation& t, std::string_view mode, std::string_view target, bool singleKey) {
    for (const KeyMode& row : keyModes) {
        if (row.mode == mode && (singleKey || !row.singleKeyOnly)) t.emit(row.instruction, target);
    }
}

}  // namespace

// A group other than 1 to 7 selects no mask; it stops the translation
// rather than write a load without an operand.
void translateGetKey(Translation& t, std::string_view keyword) {
    t.loadWork();
    t.cutInner(keyword, 0);
    t.storeWork();
    const auto mask = groupMask(firstChars(t.workString, 1));
    if (!mask) {
        // The current line now starts at the group.
        t.stopWithError({{"Key group must be 1 to 7", Attribute::normal}}, false, false, 0);
        return;
    }
    t.loadWork();
    t.cutInner(choiceWithComma, 2);
    const std::string_view variable = t.workString;
    t.emitEmpty();
    t.emit("\tld a,0ffh");
    t.emit("\tout (1),a");
    t.emit("\tld a, ", *mask);
    t.emit("\tout (1),a");
    t.emit("\tin a,(1)");
    t.emit("\tld (", variable, "), a");
}

// The current line keeps what follows the key value and its comma.
void translateIsKey(Translation& t, std::string_view keyword) {
    t.loadWork();
    t.cutInner(keyword, 0);
    t.storeWork();
    const std::string_view key = firstChars(t.workString, keyWidth);
    t.loadWork();
    t.cutInner(keyWithComma, 0);
    t.storeWork();
    const std::string_view mode = firstChars(t.workString, 1);
    t.loadWork();
    t.cutInner(choiceWithComma, 2);
    const std::string_view target = t.workString;
    t.emitEmpty();
    t.emit("\tcp ", key);
    emitKeyBranch(t, mode, target, true);
}

// Compares with LLL & KKK: the byte read while both keys of one group are
// held down. Every cut counts from the start of the argument list.
void translateMultipleKeys(Translation& t, std::string_view keyword) {
    t.loadWork();
    t.cutInner(keyword, 2);
    t.storeWork();
    const std::string_view firstKey = firstChars(t.workString, keyWidth);
    t.loadWork();
    t.cutInner(keyWithComma, 0);
    const std::string_view secondKey = firstChars(t.workString, keyWidth);
    t.cutInner(2 * keyWithComma, 0);
    const std::string_view mode = firstChars(t.workString, 1);
    t.cutInner(2 * keyWithComma + choiceWithComma, 0);
    const std::string_view target = t.workString;
    t.emitEmpty();
    t.emit("\tcp ", secondKey, " & ", firstKey);
    emitKeyBranch(t, mode, target, false);
}

}  // namespace trovik
