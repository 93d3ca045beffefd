// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What a debugger knows of a program besides its bytes: which source line
// made each stretch of code, and where the labels, variables and strings the
// source names live. It comes from the same translation and layout that made
// the program, never from reading its listing afterwards.

#include <cstdint>
#include <string>
#include <vector>

namespace calcview {

/// A stretch of code [start, end) that one source line made.
struct CodeRange {
    std::uint16_t start = 0;
    std::uint16_t end = 0;  ///< one past its last byte
    int file = 0;           ///< index into DebugInfo::files
    int line = 0;           ///< counted from 1
    /// Where a breakpoint or a step on this line stops: the first instruction
    /// of its statement. A line whose code comes in several stretches (a
    /// loop's scaffolding at its end) has it on the first one only.
    bool statementStart = false;
};

/// A name the source gives to an address.
struct Symbol {
    std::string name;
    std::uint16_t address = 0;
    int file = 0;
    int line = 0;  ///< where it is declared
};

struct DebugInfo {
    /// The source files by index: the .p83 first when there is one, then the
    /// .asm its translation wrote; for a hand-written TASM source, that file.
    /// After them the #include files that place code or data (not those that
    /// only name things, as the calculator's do). Paths are whole.
    std::vector<std::string> files;
    /// Each file's lines as they were translated (lines[file][line - 1]),
    /// for messages that show the source line.
    std::vector<std::vector<std::string>> lines;
    /// The code of every file, by file and line.
    std::vector<CodeRange> code;
    /// The :labels of the source (what goto( and if( jump to).
    std::vector<Symbol> labels;
    /// The declared variables: a 16-bit word each.
    std::vector<Symbol> variables;
    /// The named strings: zero-terminated text.
    std::vector<Symbol> strings;
};

}  // namespace calcview
