#pragma once
// The body of a program: the statement loop, counted loops and the keyword
// table that dispatches every other line.

#include <span>
#include <string_view>

#include "translation.hpp"

namespace trovik {

/// One keyword test of the statement translator.
struct StatementRow {
    std::string_view keyword;
    void (*translate)(Translation&);
};

/// The keyword tests in the order in which they run on every line.
std::span<const StatementRow> statementTable();

/// Runs every keyword test, in order, on the current line; each one that
/// matches translates its statement, and later tests see the line as that
/// statement left it.
void translateStatement(Translation& t);

/// Translates body lines until the line `EOF`.
void translateBody(Translation& t);

}  // namespace trovik
