// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The statements of the language as one ordered table: for each keyword the
// function that translates its line and the form a correct line has. The
// statement loop dispatches on the rows; the checks hold a line against its
// row's form before the translation cuts it; editors and the README can list
// the keywords from it.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "translation.hpp"

namespace trovik {

/// What an argument of a statement stands for, as far as its text shows it.
enum class ArgumentKind : std::uint8_t {
    memory,   ///< a variable (or address) that is read or written: X, Y, A, B
    operand,  ///< a value loaded as written, normally a number: N, W, H
    label,    ///< a label or name written into the code as it stands
    text,     ///< a text in double quotes
    choice,   ///< one character out of `choices`
    field,    ///< exactly as many characters as the argument's name: RRRR, KKK
};

struct ArgumentForm {
    std::string_view name;  ///< as the README writes it
    ArgumentKind kind = ArgumentKind::operand;
    std::string_view choices = {};  ///< the characters a choice may be
};

/// How the text after a keyword is laid out.
enum class LineShape : std::uint8_t {
    free,         ///< not examined: //, asm{, end.
    keywordOnly,  ///< the keyword is the whole statement, its ";" included
    arguments,    ///< comma-separated arguments closed by ");"
    label,        ///< :label, the whole rest of the line
    assignment,   ///< ^X:=V;
};

inline constexpr std::size_t maxArguments = 5;

struct StatementForm {
    LineShape shape = LineShape::free;
    std::array<ArgumentForm, maxArguments> arguments{};
    std::size_t argumentCount = 0;
    /// The last argument takes the rest of the line, commas included.
    bool lastTakesRest = false;
    /// The translation drops the last two characters of the line, whatever
    /// they are (the pixel statements and the texts are cut otherwise).
    bool dropsLastTwo = true;
    /// Every argument is a variable, an operand or a label, which a line
    /// shows well enough by its commas and the first character of each (a
    /// blank inside a label is found only when the line has another fault).
    bool plainArguments = false;
};

/// One keyword test of the statement translator.
struct StatementRow {
    std::string_view keyword;  ///< in small letters, as a line starts
    void (*translate)(Translation&, std::string_view keyword);
    StatementForm form;
};

/// The statement rows in the order in which every line is tested.
std::span<const StatementRow> statementTable();

/// The keyword and form of a for( line, which the body loop takes itself.
inline constexpr std::string_view countedLoopKeyword = "for(";
const StatementForm& countedLoopForm();

}  // namespace trovik
