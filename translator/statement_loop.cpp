// The statement loop: one line at a time, counted loops translated in place,
// every other line run through the ordered keyword table. A line may match
// several keywords: a statement that writes its cut text back into the
// current line changes what the later tests see.

#include "statement_loop.hpp"

#include <array>

#include "statements.hpp"

namespace trovik {

namespace {

constexpr std::array<StatementRow, 34> statementRows{{
    {"//", translateComment},
    {"rand(", translateRandom},
    {"asm{", translateInlineAssembly},
    {"circle(", translateCircle},
    {"if(", translateIf},
    {"rewrite(", translateRewrite},
    {"contrast(", translateContrast},
    {"calcoff;", translateCalcOff},
    {"mult(", translateMultiply},
    {"div(", translateDivide},
    {"line(", translateLine},
    {"runindic(", translateRunIndicator},
    {"multkey(", translateMultipleKeys},
    {"disppic(", translateShowPicture},
    {"inc(", translateIncrement},
    {"dec(", translateDecrement},
    {"add(", translateAdd},
    {"sub(", translateSubtract},
    {"ret;", translateReturn},
    {"goto(", translateGoto},
    {"lsprite(", translateLargeSprite},
    {"sprite(", translateSprite},
    {"pixelon(", translatePixelOn},
    {"clrdrw;", translateClearDrawing},
    {"getkey(", translateGetKey},
    {":", translateLabel},
    {"iskey(", translateIsKey},
    {"pixeltest(", translatePixelTest},
    {"pixeloff(", translatePixelOff},
    {"end.", translateProgramEnd},
    {"clrscr();", translateClearScreen},
    {"^", translateAssignment},
    {"write(", translateWrite},
    {"outtextxy(", translateOutTextXY},
}};

/// Reads the next body line without its leading blanks. False at the end of
/// the source.
bool readBodyLine(Translation& t, std::string& line) {
    const bool read = t.readSourceLine(line);
    line = withoutLeadingBlanks(line);
    return read;
}

/// A loop body opens with `begin` or an empty line; only the first line read
/// is tested for it.
bool opensLoopBody(const std::string& line) { return line == "begin" || line.empty(); }

/// for(A,B,T); begin ... end; runs the body (A) - (B) times, counted in b.
void translateCountedLoop(Translation& t) {
    t.loadWork();
    t.cutInner(4, 2);
    t.storeWork();
    const std::string label = t.peelLast(',');
    t.storeWork();
    const std::string limit = t.peelLast(',');
    const std::string start = t.workString;

    t.emitEmpty();
    t.emit("\tld a, (", limit, ")");
    t.emit("\tld h, a");
    t.emit("\tld a, (", start, ")");
    t.emit("\tsub h");
    t.emit("\tld b, a");

    std::string line;
    bool more = readBodyLine(t, line);
    if (more && opensLoopBody(line)) {
        t.emit(label, ":");
        more = readBodyLine(t, line);
        t.emit("\tpush bc");
    }
    while (more && line != "end;" && !t.stopped()) {
        t.currentLine = line;
        translateStatement(t);
        more = readBodyLine(t, line);
    }
    if (!more) t.warnEndOfSource("the line end; that closes a loop");

    t.emit("\tpop bc");
    t.emit("\tdjnz ", label);
}

}  // namespace

std::span<const StatementRow> statementTable() { return statementRows; }

void translateStatement(Translation& t) {
    for (const StatementRow& row : statementRows) {
        if (t.matchKeyword(row.keyword)) row.translate(t);
        if (t.stopped()) return;
    }
}

void translateBody(Translation& t) {
    std::string line;
    while (!t.stopped()) {
        if (!readBodyLine(t, line)) {
            t.warnEndOfSource("the line EOF");
            return;
        }
        t.currentLine = line;
        if (t.matchKeyword("for(")) {
            translateCountedLoop(t);
        } else {
            translateStatement(t);
        }
        if (t.currentLine == "EOF") return;
    }
}

}  // namespace trovik
