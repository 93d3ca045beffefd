// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Warnings about statement lines that the translation will read otherwise
// than their writer meant. They hold a line against its row of the statement
// table before the translation cuts it, and never change what is written.

#include <string>
#include <string_view>

#include "statement_table.hpp"
#include "translation.hpp"

namespace trovik {

/// Warns, at most once for each kind of fault, where the current line
/// differs from `form`: how it ends, how many arguments it has, and the
/// arguments whose kind is fixed. A ^ line that loads a variable's address
/// gets a note.
[[gnu::cold]] void checkStatementLineInFull(Translation& t, std::string_view keyword,
                                            const StatementForm& form);

/// A line of plain arguments that is well formed: it ends in ");", has as
/// many commas as the form wants, and no argument is empty or a text.
/// Most lines are, so this is the one look most of them get; the statement
/// loop knows the keyword's length and the commas at compile time.
template <std::size_t keywordLength, std::size_t commasWanted>
bool isWellFormedPlainLine(std::string_view line) {
    if (line.size() < keywordLength + 2 || line[line.size() - 2] != ')' || line.back() != ';') {
        return false;
    }
    // An argument is empty or a text when a comma or a quote follows the
    // "(" or a comma, or when ")" does.
    const char* c = line.data() + keywordLength;
    const char* const end = line.data() + line.size() - 2;  // at the ")"
    if (*c == ',' || *c == '"' || *c == ')') return false;
    std::size_t commas = 0;
#pragma GCC unroll 4
    for (; c < end; ++c) {
        if (*c != ',') continue;
        if (c[1] == ',' || c[1] == '"' || c[1] == ')') return false;
        ++commas;
    }
    return commas == commasWanted;
}

/// ^X:=N; with a number N, the common assignment, which needs no note.
inline bool isNumberAssignment(std::string_view line) {
    if (line.size() < 6 || line.back() != ';') return false;
    // The first ":=", found without a library call: most lines are short.
    std::size_t assign = 1;
    while (assign + 3 < line.size() && !(line[assign] == ':' && line[assign + 1] == '=')) ++assign;
    return assign > 1 && assign + 3 < line.size() && line[assign + 2] >= '0' &&
           line[assign + 2] <= '9';
}

/// The current line, as a statement `first` left it, matched the statement
/// `second` too.
[[gnu::cold]] void warnAboutSecondStatement(Translation& t, std::string_view first,
                                            std::string_view second);

/// Warns that no statement matches the current line, with the statement
/// it probably meant.
void warnAboutUnknownStatement(Translation& t);

/// What a line that matches no statement probably meant: a keyword within
/// two edits ("write("), or the whole line mended ("^n:=10;",
/// "mult(score,2);"); empty when nothing is close.
std::string suggestStatement(std::string_view line);

/// Warns when the ending of a line of the form keyword...`ending` is
/// missing or followed by more text. Returns the length of the line without
/// its ending and what follows it.
/// `dropsEnding`: the translation drops as many characters as the ending
/// has, whatever they are.
std::size_t checkLineEnding(Translation& t, std::string_view keyword, std::string_view ending,
                            std::string_view whatIsRead, bool dropsEnding = true);

/// Whether `text` is a name the assembler takes as a label: letters, digits,
/// _ and ., not beginning with a digit.
bool isPlainName(std::string_view text);

/// `text` in double quotes for a message, shortened when it is long.
std::string quoted(std::string_view text);

}  // namespace trovik
