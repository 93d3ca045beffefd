// The statement loop: one line at a time, counted loops translated in place,
// every other line run through the ordered keyword table. A line may match
// several keywords: a statement that writes its cut text back into the
// current line changes what the later tests see.

#include "statement_loop.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

#include "prologue.hpp"
#include "statements.hpp"

namespace trovik {

namespace {

/// One keyword test of the statement translator.
struct StatementRow {
    std::string_view keyword;
    void (*translate)(Translation&);
};

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

constexpr std::size_t rowCount = statementRows.size();

/// For each first character of a line and each row number i, the first row
/// from i on whose keyword begins with that character (rowCount for none).
using NextRowTable = std::array<std::array<std::uint8_t, rowCount + 1>, 256>;

constexpr NextRowTable makeNextRowTable() {
    NextRowTable table{};
    for (std::size_t c = 0; c < 256; ++c) {
        table[c][rowCount] = rowCount;
        for (std::size_t i = rowCount; i-- > 0;) {
            const bool begins = static_cast<unsigned char>(statementRows[i].keyword.front()) == c;
            table[c][i] = begins ? static_cast<std::uint8_t>(i) : table[c][i + 1];
        }
    }
    return table;
}

constexpr NextRowTable nextRowTable = makeNextRowTable();

/// Lines that are meant to write nothing: empty or blank ones (their leading
/// blanks are gone), and the structural lines.
bool isStructuralLine(std::string_view line) {
    return line.empty() || line == "begin" || line == "end;" || line == "EOF";
}

/// Reads the next body line without its leading blanks. False at the end of
/// the source.
inline bool readBodyLine(Translation& t, std::string_view& line) {
    const bool read = t.readSourceLine(line);
    line.remove_prefix(leadingBlankCount(line));
    return read;
}

/// A loop body opens with `begin` or an empty line; only the first line read
/// is tested for it.
bool opensLoopBody(std::string_view line) { return line == "begin" || line.empty(); }

/// for(A,B,T); begin ... end; runs the body (A) - (B) times, counted in b.
/// Each body line is read before it becomes the current line, so the line
/// end; leaves the current line as the last statement left it.
void translateCountedLoop(Translation& t) {
    const long loopLine = t.sourceLineNumber();  // it wrote every line but the body's
    const auto [start, limit, labelInLine] = t.cutArguments<3>(4);
    const std::string label(labelInLine);  // the body's lines replace the line it is cut from

    t.emitEmpty();
    t.emit("\tld a, (", limit, ")");
    t.emit("\tld h, a");
    t.emit("\tld a, (", start, ")");
    t.emit("\tsub h");
    t.emit("\tld b, a");

    std::string_view line;
    bool more = readBodyLine(t, line);
    if (more && opensLoopBody(line)) {
        t.attributeTo(loopLine);
        t.emit(label, ":");
        more = readBodyLine(t, line);
        t.attributeTo(loopLine);
        t.emit("\tpush bc");
        t.attributeTo(t.sourceLineNumber());  // the body line read before it
    }
    while (more && line != "end;" && !t.stopped()) {
        t.setCurrentLine(line);
        translateStatement(t);
        more = readBodyLine(t, line);
    }
    if (!more) t.warnEndOfSource("the line end; that closes a loop");

    t.attributeTo(loopLine);
    t.emit("\tpop bc");
    t.emit("\tdjnz ", label);
}

}  // namespace

void translateStatement(Translation& t) {
    // Only rows whose keyword begins with the line's first character can
    // match. A matching statement may change the line, so the next candidate
    // is looked up again from the line as it is then.
    std::size_t row = 0;
    bool matched = false;
    while (!t.currentLine.empty()) {
        const auto first = static_cast<unsigned char>(foldAsciiLetter(t.currentLine.front()));
        row = nextRowTable[first][row];
        if (row == rowCount) break;
        const StatementRow& statement = statementRows[row++];
        if (!t.matchKeyword(statement.keyword)) continue;
        matched = true;
        statement.translate(t);
        if (t.stopped()) return;
    }
    if (!matched && !isStructuralLine(t.currentLine)) {
        // The body loop takes for( lines itself; one that reaches here is in a loop body.
        t.warnAtLine(t.matchKeyword("for(")
                         ? "loops do not nest; this for( line is skipped"
                         : "no statement matches this line; nothing was written for it");
    }
}

void translateBody(Translation& t) {
    std::string_view line;
    while (!t.stopped()) {
        const bool read = readBodyLine(t, line);
        t.setCurrentLine(line);
        if (!read) {
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

void translateSource(Translation& t) {
    for (auto step : {copyLeadingComments, checkProgramLine, writeFixedHeader,
                      declareShellAndVariables, translateBody}) {
        if (t.stopped()) return;
        step(t);
    }
}

}  // namespace trovik
