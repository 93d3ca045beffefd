// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The start of the generated file: the source's leading comments, the program
// line, the fixed header lines, the variables and the shell header.

#include "translation.hpp"

namespace trovik {

/// Copies the source's leading `//` lines as assembler comments and leaves
/// the first other line in the current line.
void copyLeadingComments(Translation& t);
/// Checks that the current line is the program line, takes the program's
/// name from it and writes it as a comment; stops the run otherwise.
void checkProgramLine(Translation& t);
/// Skips empty lines after the program line and writes the six fixed lines.
void writeFixedHeader(Translation& t);
/// Reads the optional shell line and `var` section, writes a `#define` for
/// each variable and then the shell's program header.
void declareShellAndVariables(Translation& t);

/// True when `name` is a Z80 register or condition name, in any letter case.
bool isRegisterOrConditionName(std::string_view name);

}  // namespace trovik
