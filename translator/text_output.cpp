// SPDX-License-Identifier: GPL-2.0-or-later
// Text on the home and graph screens. write( and outtextxy( name their text
// and add it to the string table, which the program end writes out as data;
// the display code refers to each text by that name, and rewrite( can show a
// named text again.
//
// The position arguments of write(, outtextxy( and rewrite( are fixed fields
// of four characters, each followed by one skipped separator; only the name
// and the text are found by searching, from the last comma of the line.

#include "statements.hpp"

namespace trovik {

namespace {

/// Characters `first` to `last` of `text`, counted from 1; only those that
/// exist.
std::string_view charactersBetween(std::string_view text, long first, long last) {
    return firstChars(lastChars(text, lengthOf(text) - first + 1), last - first + 1);
}

/// The arguments of write(PPPP,QQQQ,S,"T"); and outtextxy(: two positions,
/// the name of the new string and its text.
struct NamedTextArguments {
    std::string_view first;
    std::string_view second;
    std::string_view name;
    std::string_view text;
};

/// Cuts a line of a statement with a keyword of length k. The positions are
/// characters k+1 to k+4 and k+6 to k+9; the name runs from character k+11
/// up to the last comma; the text starts one character after that comma and
/// leaves out the last three characters of the line (normally "");"). The
/// current line keeps the text with those three characters.
NamedTextArguments cutNamedText(Translation& t, long k) {
    NamedTextArguments arguments;
    arguments.first = charactersBetween(t.currentLine, k + 1, k + 4);
    arguments.second = charactersBetween(t.currentLine, k + 6, k + 9);
    t.loadWork();
    const std::string_view afterLastComma = t.peelLast(',');
    arguments.name = lastChars(t.workString, lengthOf(t.workString) - (k + 10));
    t.workString = lastChars(afterLastComma, lengthOf(afterLastComma) - 1);
    t.storeWork();
    arguments.text = firstChars(t.workString, lengthOf(t.workString) - 3);
    return arguments;
}

/// Makes room for one more named string before the line is cut, so a
/// statement beyond the limit writes nothing.
bool addStringEntry(Translation& t) {
    if (t.stringCount() + 1 > stringTableCapacity) {
        t.stopWithError({{"Error: Can't have more than ", Attribute::normal},
                         {"100 strings", Attribute::bright}},
                        true, true);
        return false;
    }
    t.stringTable.emplace_back();
    return true;
}

/// write( and outtextxy( differ in their keyword, the two system variables
/// that take the position and the routine that shows the text.
void translateNamedText(Translation& t, long keywordLength, std::string_view firstPosition,
                        std::string_view secondPosition, std::string_view showRoutine) {
    if (!addStringEntry(t)) return;
    const auto arguments = cutNamedText(t, keywordLength);
    if (arguments.name.find('"') != std::string_view::npos) {
        t.warnAtLine("the text holds a comma, and the comma ends the text there (the arguments "
                     "are cut at commas)");
    }
    t.stringTable.back() = StringEntry{std::string(arguments.name), std::string(arguments.text),
                                       t.sourceLineNumber()};
    t.emitEmpty();
    t.emit("\tld hl, ", arguments.first);
    t.emit("\tld (", firstPosition, "), hl");
    t.emit("\tld hl, ", arguments.second);
    t.emit("\tld (", secondPosition, "), hl");
    t.emit("\tld hl, ", arguments.name);
    t.emit("\tcall ", showRoutine);
}

}  // namespace

void translateClearScreen(Translation& t, std::string_view) {
    t.emitEmpty();
    t.emit("\tcall _clrlcdfull");
}

/// rewrite(RRRR,CCCC,M,S); shows the named string S at a text position in
/// the large font (M = 1), or at the pen position RRRR, CCCC in the small one
/// (M = 2).
void translateRewrite(Translation& t, std::string_view keyword) {
    t.loadWork();
    t.cutInner(keyword, 2);
    t.storeWork();
    const std::string_view row = charactersBetween(t.workString, 1, 4);
    const std::string_view column = charactersBetween(t.workString, 6, 9);
    const std::string_view mode = charactersBetween(t.workString, 11, 11);
    const std::string_view name = lastChars(t.workString, lengthOf(t.workString) - 12);
    t.emitEmpty();
    if (mode == "2") {
        // The small font draws at the pen position: column first, as outtextxy( does.
        t.emit("\tld hl, ", column);
        t.emit("\tld (pencol), hl");
        t.emit("\tld hl, ", row);
        t.emit("\tld (penrow), hl");
    } else {
        t.emit("\tld hl, ", row);
        t.emit("\tld (currow), hl");
        t.emit("\tld hl, ", column);
        t.emit("\tld (curcol), hl");
    }
    t.emit("\tld hl, ", name);
    if (mode == "1") t.emit("\tcall _puts");
    if (mode == "2") t.emit("\tcall _vputs");
}

void translateWrite(Translation& t, std::string_view keyword) {
    translateNamedText(t, lengthOf(keyword), "currow", "curcol", "_puts");
}

void translateOutTextXY(Translation& t, std::string_view keyword) {
    translateNamedText(t, lengthOf(keyword), "pencol", "penrow", "_vputs");
}

}  // namespace trovik
