// SPDX-License-Identifier: GPL-2.0-or-later
// Prints the translator's statement keywords, one a line, in the table's
// order: the list the editor files are made from.

#include <iostream>

#include "statement_loop.hpp"

int main() {
    for (std::string_view keyword : trovik::statementKeywords()) std::cout << keyword << '\n';
    return std::cout.flush() ? 0 : 1;
}
