// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The fields of a source line: a label in column 1, then a mnemonic or
// directive, then its operands.

#include <string>
#include <string_view>
#include <vector>

namespace tasm {

struct LineFields {
    std::string label;     ///< as written, without its colon; empty if none
    std::string word;      ///< mnemonic or directive as written
    std::string operands;  ///< the rest, trimmed
};

/// A line that begins in column 1 begins with a label (a colon after it is
/// optional), unless it begins with a period: then it is a directive.
/// Instructions are indented. "name = value" (in column 1) gives the word
/// "=", and "*=value" or "$=value" the word ".org".
LineFields splitFields(std::string_view text);

/// The operands split at the commas outside parentheses, strings and
/// character constants, each trimmed.
std::vector<std::string> splitOperands(std::string_view operands);

/// Index of the ')' that closes the '(' at text[0] (parentheses inside
/// strings and character constants do not count), or npos.
size_t closingParenthesis(std::string_view text);

/// The text up to the first ';' outside strings and character constants.
std::string_view stripComment(std::string_view text);

}  // namespace tasm
