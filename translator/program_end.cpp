// SPDX-License-Identifier: GPL-2.0-or-later
// The end of a program: its return, the named strings, and once each the data
// and routines that the statements asked for, in a fixed order.

#include <array>
#include <string_view>

#include "statements.hpp"

namespace trovik {

namespace {

constexpr std::array<std::string_view, 3> circleEquates{
    "_grphCirc    equ   4AD8h",
    "curgx2        equ   8870h",
    "curgy2        equ   886Fh",
};

// HL := A * DE (low 16 bits), B counts the eight steps.
constexpr std::array<std::string_view, 12> multiplyRoutine{
    "multiply:",    "\tLD     HL, 0", "\tLD     B, 8", "_loop:",
    "\tRRCA",       "\tJR     NC, _skip", "\tADD    HL, DE", "_skip:",
    "\tSLA    E",   "\tRL     D",     "\tDJNZ   _loop", "\tRET",
};

// HL := HL / D, A := the remainder, B counts the sixteen steps. Its local
// labels differ from those of multiply, so that one program can use both.
constexpr std::array<std::string_view, 15> divideRoutine{
    "divide:",
    "\tXOR    A",
    "\tLD     B, 16",
    "_divloop:",
    "\tADD    HL, HL",
    "\tRLA",
    "\tJR     C, _overflow",
    "\tCP     D",
    "\tJR     C, _divskip",
    "_overflow:",
    "\tSUB    D",
    "\tINC    L",
    "_divskip:",
    "\tDJNZ   _divloop",
    "\tRET",
};

// XORs the 8x8 sprite at BC into the graph buffer at column A, row E.
constexpr std::array<std::string_view, 59> spriteXorRoutine{
    "SPRXOR:",
    "\t        push    bc",
    "\t        ld      hl,0",
    "\t        ld      d,0",
    "\t        add     hl,de",
    "\t        add     hl,de",
    "\t        add     hl,de",
    "\t        add     hl,hl",
    "\t        add     hl,hl",
    "\t        ld      d,0",
    "\t        ld      e,a",
    "\t        srl     e",
    "\t        srl     e",
    "\t        srl     e",
    "\t        add     hl,de",
    "\t        ld      de,8e29h",
    "\t        add     hl,de",
    "\t        ld      b,00000111b ",
    "\t        and     b",
    "\t        cp      0",
    "\t        jp      z,ALIGN",
    "\t        pop     ix",
    "\t        ld      d,a",
    "\t        ld      e,8",
    "LILOP:  ld      b,(ix+0)",
    "\t        ld      c,0",
    "\t        push    de",
    "SHLOP:  srl     b",
    "\t        rr      c",
    "\t        dec     d",
    "\t        jp      nz,SHLOP",
    "\t        pop     de",
    "\t        ld      a,b",
    "\t        xor     (hl)",
    "\t        ld      (hl),a",
    "\t        inc     hl",
    "\t        ld      a,c",
    "\t        xor     (hl)",
    "\t        ld      (hl),a",
    "\t        ld      bc,11",
    "\t        add     hl,bc",
    "\t        inc     ix",
    "\t        dec     e",
    "\t        jp      nz,LILOP",
    "\t        jp      DONE1",
    "ALIGN:",
    "\t        pop     de",
    "\t        ld      b,8",
    "ALOP1:  ld      a,(de)",
    "\t        xor     (hl)",
    "\t        ld      (hl),a",
    "\t        inc     de",
    "\t        push    bc",
    "\t        ld      bc,12",
    "\t        add     hl,bc",
    "\t        pop     bc",
    "\t        djnz    ALOP1",
    "DONE1:",
    "\t        ret",
};

// Switches the calculator off.
constexpr std::array<std::string_view, 10> offRoutine{
    "OFF:",          "\tDI",        "\tLD A,001H", "\tOUT (003H),A", "\tLD A,000H",
    "\tOUT (004H),A", "\tEX AF,AF'", "\tEXX",       "\tEI",           "\tRET ",
};

// For column A and row L: HL := the graph buffer byte, A := the pixel's mask.
constexpr std::array<std::string_view, 25> pixRoutine{
    "pix:",
    "\t    ld       h, 0",
    "\t    ld       d,h",
    "\t    ld       e,l",
    "\t    add    hl, hl",
    "\t    add    hl, de",
    "\t    add    hl, hl",
    "\t    add    hl, hl",
    "\t    ld\t      d, 0",
    "\t    ld       e, a",
    "\t    srl      e",
    "\t    srl      e",
    "\t    srl      e",
    "\t    add    hl, de",
    "\t    Ld      de, plotsscreen",
    "\t    add    hl, de",
    "\t    ld\t     de,0007h",
    "\t    and    e",
    "\t    ld\t     e,a",
    "\t    Ld     a, $80",
    "\t    Ld     b, e",
    "pixloop:",
    "\t    rrca",
    "\t    djnz   pixloop",
    "\t    ret",
};

constexpr std::string_view endOfCopy = "end.";

/// Each string's lines are attributed to the line that named it.
void writeStringTable(Translation& t) {
    const long endLine = t.sourceLineNumber();
    for (const StringEntry& entry : t.stringTable) {
        t.attributeTo(entry.sourceLine);
        t.emitEmpty();
        t.emit(entry.name, ":");
        t.emit("\t.db \"", entry.text, "\",0");
    }
    t.attributeTo(endLine);
}

/// Copies the lines of `fileName` up to a line `end.` or the end of the
/// file. Returns the line it stopped at: `end.`, or empty at the end.
std::string copyFileLines(Translation& t, const std::string& fileName) {
    LineReader file;
    if (auto failure = file.open(t.files(), fileName)) {
        t.stopWithFileFailure(*failure);
        return {};
    }
    std::string_view line;
    while (!t.stopped() && file.readLine(line) && line != endOfCopy) {
        t.emit(line);
    }
    if (file.failure()) t.stopWithFileFailure(*file.failure());
    return std::string(line);
}

void copyPicture(Translation& t) {
    t.emitEmpty();
    copyFileLines(t, t.settings.fileName + ".pic");
}

void copySprites(Translation& t) {
    if (t.settings.spriteFileName.empty()) {
        t.warn("Warning: a sprite statement was used without the -s option; no sprite file "
               "was copied");
        return;
    }
    // Later keyword tests see the line the copy stopped at.
    t.setCurrentLine(copyFileLines(t, t.settings.spriteFileName));
}

template <typename Lines>
void writeRoutine(Translation& t, const Lines& lines) {
    t.emitEmpty();
    t.emitLines(lines);
}

}  // namespace

void translateProgramEnd(Translation& t, std::string_view) {
    t.emitEmpty();
    t.emit("\tret");
    t.emitEmpty();
    writeStringTable(t);
    if (t.usesPicture) copyPicture(t);
    if (t.usesCircle) writeRoutine(t, circleEquates);
    if (t.usesMultiply) writeRoutine(t, multiplyRoutine);
    if (t.usesDivide) writeRoutine(t, divideRoutine);
    if (t.usesSprites && !t.shellIsIon()) writeRoutine(t, spriteXorRoutine);
    if (t.usesOff) writeRoutine(t, offRoutine);
    if (t.usesPix) writeRoutine(t, pixRoutine);
    if (t.usesSprites) copySprites(t);
    t.emitEmpty();
    t.emit(".end");
    t.emit("END");
}

}  // namespace trovik
