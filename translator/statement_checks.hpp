// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Warnings about statement lines that the translation will read otherwise
// than their writer meant. They hold a line against its row of the statement
// table before the translation cuts it, and never change what is written.

#include <bit>
#include <cstdint>
#include <cstring>
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

namespace wellFormed {

/// Whether a character may not follow the "(" or a comma of a well-formed
/// line: the argument it begins would be empty or a text.
inline bool badAfterSeparator(char c) { return c == ',' || c == '"' || c == ')'; }

/// The high bit of each byte of `word` that holds a comma.
inline std::uint64_t commaBytes(std::uint64_t word) {
    constexpr std::uint64_t low7 = 0x7f7f7f7f7f7f7f7full;
    const std::uint64_t x = word ^ 0x2c2c2c2c2c2c2c2cull;  // a comma becomes 0
    return ~(((x & low7) + low7) | x | low7);
}

/// Looks at the commas marked in `commas` (bytes from `at` on): false when
/// one is followed by a character `badAfterSeparator` names, else counts them.
inline bool countCommas(std::uint64_t commas, const char* at, std::size_t& count) {
    for (; commas != 0; commas &= commas - 1) {
        const char* comma = at + (std::countr_zero(commas) >> 3);
        if (badAfterSeparator(comma[1])) return false;
        ++count;
    }
    return true;
}

inline std::uint64_t eightBytesAt(const char* at) {
    std::uint64_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

}  // namespace wellFormed

/// A line of plain arguments that is well formed: it ends in ");", has as
/// many commas as the form wants, and no argument is empty or a text.
/// Most lines are, so this is the one look most of them get: eight
/// characters at a time, commas being few.
inline bool isWellFormedPlainLine(std::string_view line, std::size_t keywordLength,
                                  std::size_t commasWanted) {
    using namespace wellFormed;
    if (line.size() < keywordLength + 2 || line[line.size() - 2] != ')' || line.back() != ';') {
        return false;
    }
    // An argument is empty or a text when a comma or a quote follows the
    // "(" or a comma, or when ")" does.
    const char* c = line.data() + keywordLength;
    const char* const end = line.data() + line.size() - 1;  // at the ";"
    if (badAfterSeparator(*c)) return false;
    std::size_t commas = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; end - c >= 8; c += 8) {
            if (!countCommas(commaBytes(eightBytesAt(c)), c, commas)) return false;
        }
        const auto left = static_cast<std::size_t>(end - c);
        if (left > 0 && line.size() > 8) {
            // The eight characters before the ";", of which the last `left`
            // are still to be seen: the others are shifted out.
            const std::uint64_t word = eightBytesAt(end - 8) >> (8 * (8 - left));
            if (!countCommas(commaBytes(word), c, commas)) return false;
            c = end;
        }
    }
    for (; c < end; ++c) {
        if (*c != ',') continue;
        if (badAfterSeparator(c[1])) return false;
        ++commas;
    }
    return commas == commasWanted;
}

/// ^X:=N; with a number N, the common assignment, which needs no note.
inline bool isNumberAssignment(std::string_view line) {
    if (line.size() < 6 || line.back() != ';') return false;
    const std::size_t assign = line.find(":=");
    return assign != std::string_view::npos && assign > 1 && assign + 3 < line.size() &&
           line[assign + 2] >= '0' && line[assign + 2] <= '9' && line.find(';') == line.size() - 1;
}

/// `checkStatementLineInFull`, with a short way for well-formed lines.
inline void checkStatementLine(Translation& t, std::string_view keyword,
                               const StatementForm& form) {
    if (form.shape == LineShape::free) return;
    if (form.plainArguments &&
        isWellFormedPlainLine(t.currentLine, keyword.size(), form.argumentCount - 1)) [[likely]] {
        return;
    }
    if (form.shape == LineShape::assignment && isNumberAssignment(t.currentLine)) [[likely]] {
        return;
    }
    checkStatementLineInFull(t, keyword, form);
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
