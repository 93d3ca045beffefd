// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Expressions: read in this dialect, written for z80asm.
//
// This dialect evaluates strictly from left to right with no precedence
// (2+3*4 is 20); z80asm has C-like precedence. The translation therefore
// puts every partial result that is combined again in parentheses, writes
// numbers, character constants and every part made of them alone as one
// decimal number, and hands each label to a caller-supplied function that
// returns the name z80asm is to see.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tasm {

/// Maps a label as written to the name given to z80asm.
using LabelMapper = std::function<std::string(std::string_view)>;

struct Translated {
    std::string text;   ///< z80asm expression; empty when `error` is set
    std::string error;  ///< what is wrong with the expression
};

/// Translates one expression. Operators: + - * / % & | ^ << >> == != = < >
/// <= >=, unary - ~ +, parentheses or brackets; operands: numbers, 'c', labels and $ or
/// *, the location counter.
Translated translateExpression(std::string_view text, const LabelMapper& labels);

/// The value of a name, if it has one.
using ValueLookup = std::function<std::optional<int64_t>(std::string_view)>;

struct Evaluated {
    int64_t value = 0;
    std::string error;  ///< what is wrong; also when a name has no value
};

/// Computes one expression of the same form, strictly from left to right.
/// Comparisons give 1 or 0; a division by zero is an error. The location
/// counter is looked up as "$".
Evaluated evaluateExpression(std::string_view text, const ValueLookup& values);

/// Reads one number: 255, 33381d, $FF, 0FFh, %0101, 0101b, @17, 17o, 17q.
/// Nothing when the text is not a number or exceeds 32 bits.
std::optional<uint32_t> parseNumber(std::string_view text);

}  // namespace tasm
