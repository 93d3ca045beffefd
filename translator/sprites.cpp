// SPDX-License-Identifier: GPL-2.0-or-later
// Sprites drawn into the graph buffer and copied to the display. Under ION
// the shell's own sprite routines draw them; under any other shell the
// library routine SPRXOR does, which the program end appends. The sprite data
// comes from the sprite file, which the program end copies in; a statement
// names it by label.

#include <string>

#include "statements.hpp"

namespace trovik {

// ionlargesprite draws any size: row in l, column in a, height in b, width in
// bytes in c, data at ix. There is no such routine without ION.
void translateLargeSprite(Translation& t, std::string_view keyword) {
    if (!t.shellIsIon()) {
        t.stopWithError({{"ION must be used for LSprite to work!", Attribute::normal}}, true);
        return;
    }
    t.usesSprites = true;
    const auto [sprite, x, y, width, height] = t.cutArguments<5>(keyword);
    t.emitEmpty();
    t.emit("\tld b, ", height);
    t.emit("\tld c, ", width);
    t.emit("\tld a, (", y, ")");
    t.emit("\tld l, a");
    t.emit("\tld a, (", x, ")");
    t.emit("\tld ix ,", sprite);
    t.emit("\tcall ionlargesprite");
    t.emit("\tcall ionfastcopy");
}

// sprite(S,A,B); is cut from the right end of the line: the two closing
// characters, then B and A at the last commas, then S after the last "(".
// The current line keeps the keyword, "(" and S. ionputsprite takes the row
// in l and the column in a, SPRXOR the row in e and the column in a, and the
// loads differ to match: under ION A is the row and B the column, under any
// other shell the reverse.
void translateSprite(Translation& t, std::string_view) {
    t.usesSprites = true;
    t.loadWork();
    t.cutInner(0, 2);
    t.storeWork();
    const std::string_view b = t.peelLast(',');
    t.storeWork();
    const bool commaBeforeA = t.currentLine.find(',') != std::string_view::npos;
    const std::string_view a = t.peelLast(',');
    if (commaBeforeA) t.storeWork();
    t.loadWork();
    const std::string_view sprite = t.peelLast('(');
    t.emitEmpty();
    if (t.shellIsIon()) {
        t.emit("\tld b,8");
        t.emit("\tld a, (", a, ")");
        t.emit("\tld l, a");
        t.emit("\tld a, (", b, ")");
        t.emit("\tld ix, ", sprite);
        t.emit("\tcall ionputsprite");
        t.emit("\tcall ionfastcopy");
    } else {
        t.emit("     ld a, (", b, ")");
        t.emit("     ld e,a");
        t.emit("     ld a, (", a, ")");
        t.emit("     ld bc, ", sprite);
        t.emit("     call SPRXOR");
        t.emit("     call _grbufcpy_v");
    }
    t.emitEmpty();
}

}  // namespace trovik
