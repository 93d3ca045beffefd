// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The body of a program: the statement loop, counted loops and the keyword
// table that dispatches every other line.

#include <string_view>
#include <vector>

#include "translation.hpp"

namespace trovik {

/// Runs every keyword test, in order, on the current line; each one that
/// matches translates its statement, and later tests see the line as that
/// statement left it.
void translateStatement(Translation& t);

/// Translates body lines until the line `EOF`.
void translateBody(Translation& t);

/// Translates the whole source: the prologue, then the body.
void translateSource(Translation& t);

/// The keyword of every row of the table, in its order, then the counted
/// loop's: the words editors show as statements.
std::vector<std::string_view> statementKeywords();

}  // namespace trovik
