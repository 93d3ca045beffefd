// The statement loop: one line at a time, counted loops translated in place,
// every other line run through the ordered keyword table. A line may match
// several keywords: a statement that writes its cut text back into the
// current line changes what the later tests see.

#include "statement_loop.hpp"

#include <algorithm>
#include <array>
#include <vector>

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

using RowIndex = std::array<std::vector<std::size_t>, 256>;

/// For each first character, the numbers of the rows whose keyword begins
/// with it, in table order.
const RowIndex& rowsByFirstCharacter() {
    static const RowIndex index = [] {
        RowIndex rows;
        for (std::size_t i = 0; i < statementRows.size(); ++i) {
            rows[static_cast<unsigned char>(statementRows[i].keyword.front())].push_back(i);
        }
        return rows;
    }();
    return index;
}

/// Reads the next body line without its leading blanks. False at the end of
/// the source.
bool readBodyLine(Translation& t, std::string& line) {
    const bool read = t.readSourceLine(line);
    line.erase(0, std::min(line.size(), line.find_first_not_of("\t\n\r ")));
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
        t.currentLine.swap(line);
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
    // Only rows whose keyword starts with the line's first character can
    // match. After a match the line may have changed, so the candidates are
    // looked up again, from the next row of the table on.
    std::size_t nextRow = 0;
    while (!t.currentLine.empty()) {
        const auto& candidates = rowsByFirstCharacter()[static_cast<unsigned char>(
            foldAsciiLetter(t.currentLine.front()))];
        const auto candidate = std::lower_bound(candidates.begin(), candidates.end(), nextRow);
        if (candidate == candidates.end()) return;
        const StatementRow& row = statementRows[*candidate];
        nextRow = *candidate + 1;
        if (!t.matchKeyword(row.keyword)) continue;
        row.translate(t);
        if (t.stopped()) return;
    }
}

void translateBody(Translation& t) {
    while (!t.stopped()) {
        if (!readBodyLine(t, t.currentLine)) {
            t.warnEndOfSource("the line EOF");
            return;
        }
        if (t.matchKeyword("for(")) {
            translateCountedLoop(t);
        } else {
            translateStatement(t);
        }
        if (t.currentLine == "EOF") return;
    }
}

}  // namespace trovik
