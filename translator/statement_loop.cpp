// SPDX-License-Identifier: GPL-2.0-or-later
// The statement loop: one line at a time, counted loops translated in place,
// every other line run through the ordered keyword table. A line may match
// several keywords: a statement that writes its cut text back into the
// current line changes what the later tests see.

#include "statement_loop.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "prologue.hpp"
#include "statement_checks.hpp"
#include "statement_table.hpp"
#include "statements.hpp"

namespace trovik {

namespace {

constexpr ArgumentForm memory(std::string_view name) { return {name, ArgumentKind::memory}; }
constexpr ArgumentForm operand(std::string_view name) { return {name, ArgumentKind::operand}; }
constexpr ArgumentForm label(std::string_view name) { return {name, ArgumentKind::label}; }
constexpr ArgumentForm field(std::string_view name) { return {name, ArgumentKind::field}; }
constexpr ArgumentForm choice(std::string_view name, std::string_view choices) {
    return {name, ArgumentKind::choice, choices};
}
constexpr ArgumentForm quotedText() { return {"\"text\"", ArgumentKind::text}; }

constexpr StatementForm freeLine{};
constexpr StatementForm keywordOnly{LineShape::keywordOnly};
constexpr StatementForm labelLine{LineShape::label, {label("label")}, 1};
constexpr StatementForm assignment{LineShape::assignment, {memory("X"), operand("V")}, 2};

/// kw(a1,...,aN); with the arguments `forms`.
template <typename... Forms>
constexpr StatementForm withArguments(Forms... forms) {
    StatementForm form{LineShape::arguments, {forms...}, sizeof...(Forms)};
    form.plainArguments = ((forms.kind == ArgumentKind::memory ||
                            forms.kind == ArgumentKind::operand ||
                            forms.kind == ArgumentKind::label) && ...);
    return form;
}
/// write( and outtextxy(: the text takes the rest of the line.
constexpr StatementForm namedText(std::string_view first, std::string_view second) {
    StatementForm form = withArguments(field(first), field(second), label("name"), quotedText());
    form.lastTakesRest = true;
    form.dropsLastTwo = false;
    form.plainArguments = false;
    return form;
}
/// The pixel statements: the arguments between the last "(" and ")".
constexpr StatementForm pixelForm() {
    StatementForm form = withArguments(memory("X"), memory("Y"));
    form.dropsLastTwo = false;
    return form;
}

constexpr StatementForm variable = withArguments(memory("X"));
constexpr StatementForm twoVariables = withArguments(memory("X"), memory("Y"));
constexpr StatementForm variableAndNumber = withArguments(memory("X"), operand("N"));

constexpr std::array<StatementRow, 34> statementRows{{
    {"//", translateComment, freeLine},
    {"rand(", translateRandom, variableAndNumber},
    {"asm{", translateInlineAssembly, freeLine},
    {"circle(", translateCircle,
     withArguments(operand("px"), operand("py"), operand("cx"), operand("cy"))},
    {"if(", translateIf, withArguments(memory("X"), memory("Y"), choice("Q", "12"), label("label"))},
    {"rewrite(", translateRewrite,
     withArguments(field("RRRR"), field("CCCC"), choice("M", "12"), label("name"))},
    {"contrast(", translateContrast, variable},
    {"calcoff;", translateCalcOff, keywordOnly},
    {"mult(", translateMultiply, variableAndNumber},
    {"div(", translateDivide, variableAndNumber},
    {"line(", translateLine,
     withArguments(operand("x1"), operand("y1"), operand("x2"), operand("y2"), operand("m"))},
    {"runindic(", translateRunIndicator, withArguments(label("on"))},
    {"multkey(", translateMultipleKeys,
     withArguments(field("KKK"), field("LLL"), choice("M", "012"), label("label"))},
    {"disppic(", translateShowPicture, withArguments(label("label"))},
    {"inc(", translateIncrement, variable},
    {"dec(", translateDecrement, variable},
    {"add(", translateAdd, twoVariables},
    {"sub(", translateSubtract, twoVariables},
    {"ret;", translateReturn, keywordOnly},
    {"goto(", translateGoto, withArguments(choice("K", "123456"), label("label"))},
    {"lsprite(", translateLargeSprite,
     withArguments(label("S"), memory("X"), memory("Y"), operand("W"), operand("H"))},
    {"sprite(", translateSprite, withArguments(label("S"), memory("A"), memory("B"))},
    {"pixelon(", translatePixelOn, pixelForm()},
    {"clrdrw;", translateClearDrawing, keywordOnly},
    {"getkey(", translateGetKey, withArguments(choice("G", "1234567"), memory("X"))},
    {":", translateLabel, labelLine},
    {"iskey(", translateIsKey, withArguments(field("KKK"), choice("M", "01234"), label("label"))},
    {"pixeltest(", translatePixelTest, pixelForm()},
    {"pixeloff(", translatePixelOff, pixelForm()},
    {"end.", translateProgramEnd, freeLine},
    {"clrscr();", translateClearScreen, keywordOnly},
    {"^", translateAssignment, assignment},
    {"write(", translateWrite, namedText("RRRR", "CCCC")},
    {"outtextxy(", translateOutTextXY, namedText("XXXX", "YYYY")},
}};

constexpr StatementForm forLoopForm = withArguments(memory("A"), memory("B"), label("label"));
constexpr std::string_view forKeyword = countedLoopKeyword;

constexpr std::size_t rowCount = statementRows.size();

/// Holds the current line against row i's form: a quick look at the common
/// well-formed lines, the full check at the others. The keyword's length and
/// the form are known at compile time.
template <std::size_t i>
void checkLineOfRow(Translation& t) {
    constexpr const StatementRow& row = statementRows[i];
    constexpr const StatementForm& form = row.form;
    if constexpr (form.shape != LineShape::free) {
        bool wellFormed = false;
        if constexpr (form.shape == LineShape::assignment) {
            wellFormed = isNumberAssignment(t.currentLine);
        } else if constexpr (form.shape == LineShape::arguments && form.plainArguments) {
            wellFormed =
                isWellFormedPlainLine<row.keyword.size(), form.argumentCount - 1>(t.currentLine);
        }
        if (!wellFormed) [[unlikely]] checkStatementLineInFull(t, row.keyword, form);
    }
}

/// The first statement that matches a line, checked and translated, with
/// the keyword known at compile time.
template <std::size_t i>
void checkAndTranslate(Translation& t) {
    checkLineOfRow<i>(t);
    statementRows[i].translate(t, statementRows[i].keyword);
}

/// The rows as the statement loop walks them: the keyword, the translation
/// alone and with the check of the line, so that the rows it skips take
/// little room.
struct DispatchRow {
    std::string_view keyword;
    void (*translate)(Translation&, std::string_view keyword);
    void (*checkAndTranslate)(Translation&);
};

constexpr std::array<DispatchRow, rowCount> dispatchRows =
    []<std::size_t... i>(std::index_sequence<i...>) {
        return std::array<DispatchRow, rowCount>{DispatchRow{
            statementRows[i].keyword, statementRows[i].translate, checkAndTranslate<i>}...};
    }(std::make_index_sequence<rowCount>());

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

/// The first row from `row` on whose keyword the current line begins with;
/// rowCount for none. Only rows whose keyword begins with the line's first
/// character are tested.
std::size_t nextMatchingRow(const Translation& t, std::size_t row) {
    if (t.currentLine.empty()) return rowCount;
    const auto first = static_cast<unsigned char>(foldAsciiLetter(t.currentLine.front()));
    for (;;) {
        row = nextRowTable[first][row];
        if (row == rowCount || t.matchKeyword(dispatchRows[row].keyword)) return row;
        ++row;
    }
}

/// A line that no statement matches.
void warnAboutUnmatchedLine(Translation& t) {
    // The body loop takes for( lines itself; one that reaches here is in a loop body.
    if (t.matchKeyword(forKeyword)) {
        t.warnAtLine("loops do not nest; this for( line is skipped", 0);
    } else {
        warnAboutUnknownStatement(t);
    }
}

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
    if (t.settings.checkStatements &&
        !isWellFormedPlainLine<forKeyword.size(), forLoopForm.argumentCount - 1>(t.currentLine)) {
        checkStatementLineInFull(t, forKeyword, forLoopForm);
    }
    const auto [start, limit, labelInLine] = t.cutArguments<3>(forKeyword);
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
        t.declare(Declaration::Kind::label, label, loopLine);
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

std::span<const StatementRow> statementTable() { return statementRows; }

const StatementForm& countedLoopForm() { return forLoopForm; }

void translateStatement(Translation& t) {
    std::size_t row = nextMatchingRow(t, 0);
    if (row == rowCount) {
        if (!isStructuralLine(t.currentLine)) warnAboutUnmatchedLine(t);
        return;
    }
    const DispatchRow& first = dispatchRows[row];
    if (t.settings.checkStatements) {
        first.checkAndTranslate(t);
    } else {
        first.translate(t, first.keyword);
    }
    // What the first statement leaves of the line may match further rows.
    bool secondWarned = !t.settings.checkStatements;
    while (!t.stopped() && (row = nextMatchingRow(t, row + 1)) != rowCount) {
        const DispatchRow& statement = dispatchRows[row];
        if (!secondWarned) {
            secondWarned = true;
            warnAboutSecondStatement(t, first.keyword, statement.keyword);
        }
        statement.translate(t, statement.keyword);
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
        if (t.matchKeyword(forKeyword)) {
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

std::vector<std::string_view> statementKeywords() {
    std::vector<std::string_view> keywords;
    for (const StatementRow& row : statementRows) keywords.push_back(row.keyword);
    keywords.push_back(countedLoopKeyword);
    return keywords;
}

}  // namespace trovik
