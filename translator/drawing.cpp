// SPDX-License-Identifier: GPL-2.0-or-later
// Pixels, lines, circles and pictures on the graph screen. Each statement
// sets the routine flag it needs as soon as its keyword matches, so that even
// a malformed line gets its routine at the program end.

#include <string>

#include "statements.hpp"

namespace trovik {

namespace {

/// The column and row of a pixel statement.
struct PixelArguments {
    std::string_view x;
    std::string_view y;
};

/// The bracket form: the text from the last "(" to the last ")" of the line
/// is taken from the end of the line, split at its last comma into X and the
/// rest, and Y is that rest up to its last ")". The current line ends up
/// holding Y. Without a comma X is empty and Y comes from the whole bracket
/// text; without a ")" after the last comma Y is the whole text after it.
PixelArguments cutPixelArguments(Translation& t) {
    const long closing = lastPosition(t.currentLine, ')');
    const long opening = lastPosition(t.currentLine, '(');
    t.loadWork();
    t.workString = lastChars(t.workString, closing - opening + 1);
    t.storeWork();
    t.currentLine = t.peelLast(',');
    const std::string_view x = t.workString;
    t.loadWork();
    if (lastPosition(t.currentLine, ')') > 0) t.peelLast(')');
    t.storeWork();
    return {x, t.workString};
}

}  // namespace

void translatePixelOn(Translation& t, std::string_view) {
    t.usesPix = true;
    const auto [x, y] = cutPixelArguments(t);
    t.emitEmpty();
    t.emit("\tld\ta, (", y, ")");
    t.emit("\tld\tl, a");
    t.emit("\tld\ta, (", x, ")");
    t.emit("\tcall pix");
    t.emit("\tor     (hl)");
    t.emit("\tld     (hl), a");
    t.emitEmpty();
}

void translatePixelOff(Translation& t, std::string_view) {
    t.usesPix = true;
    const auto [x, y] = cutPixelArguments(t);
    t.emitEmpty();
    t.emit("\tld\ta,(", y, ")");
    t.emit("\tld\tl, a");
    t.emit("\tld\ta, (", x, ")");
    t.emit("\tcall pix");
    t.emit("\tcpl");
    t.emit("\tand     (hl)");
    t.emit("\tld     (hl), a");
    t.emitEmpty();
}

// Leaves the test's outcome in the registers and flags that _ipoint sets; it
// needs no pix routine of its own, but asks for it like the other two.
void translatePixelTest(Translation& t, std::string_view) {
    t.usesPix = true;
    const auto [x, y] = cutPixelArguments(t);
    t.emitEmpty();
    t.emit("\tld a, (", x, ")");
    t.emit("\tld b, a");
    t.emit("\tld a, (", y, ")");
    t.emit("\tld c, a");
    t.emit("\tld d, 3");
    t.emit("\tcall _ipoint");
}

void translateLine(Translation& t, std::string_view keyword) {
    const auto arguments = t.cutArguments<5>(keyword);
    t.emitEmpty();
    if (!t.optimise) {
        t.emit("\tpush bc");
        t.emit("\tpush de");
        t.emit("\tpush hl");
    }
    t.emit("\tld b, ", arguments[0]);
    t.emit("\tld c, ", arguments[1]);
    t.emit("\tld d, ", arguments[2]);
    t.emit("\tld e, ", arguments[3]);
    t.emit("\tld h, ", arguments[4]);
    t.emit("\tcall _iline");
    if (!t.optimise) {
        t.emit("\tpop hl");
        t.emit("\tpop de");
        t.emit("\tpop bc");
    }
}

void translateCircle(Translation& t, std::string_view keyword) {
    t.usesCircle = true;
    const auto arguments = t.cutArguments<4>(keyword);
    t.emitEmpty();
    t.emit("\tld a, ", arguments[0]);
    t.emit("\tld (curgx2), a");
    t.emit("\tld a, ", arguments[1]);
    t.emit("\tld (curgy2), a");
    t.emit("\tld a, ", arguments[2]);
    t.emit("\tld (curgx), a");
    t.emit("\tld a, ", arguments[3]);
    t.emit("\tld (curgy), a");
    t.emit("\tcall _grphcirc");
}

void translateClearDrawing(Translation& t, std::string_view) {
    t.emitEmpty();
    t.emit("\tcall _grbufclr");
}

// The picture's 768 bytes (the whole graph buffer) come from FILENAME.pic,
// which the program end copies in; p is a label in it.
void translateShowPicture(Translation& t, std::string_view keyword) {
    t.usesPicture = true;
    t.loadWork();
    t.cutInner(keyword, 2);
    const std::string_view picture = t.workString;
    t.emitEmpty();
    t.emit("\tld hl, ", picture);
    t.emit("\tld de,PLOTSSCREEN");
    t.emit("\tld bc,768");
    t.emit("\tldir ");
    t.emit(t.shellIsIon() ? "\tcall ionfastcopy" : "\tcall _GRBUFCPY_V ");
}

}  // namespace trovik
