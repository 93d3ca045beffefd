// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Reading the source: include files, conditional assembly, #define macros,
// comments, several statements on a line, and the end of the source at the
// first .end.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "diagnostics.hpp"
#include "source_files.hpp"

namespace tasm {

/// One statement ready to assemble: comment removed, macros expanded. The
/// statements that `\` separates on one line share its location; those
/// after the first are indented unless they begin with "label:".
struct SourceLine {
    Location where;
    std::string text;
};

/// An #if that read the location counter or an address: the address it
/// computed, to be checked against the assembled code.
struct AddressCheck {
    size_t before = 0;  ///< index in SourceText::lines of the statement after the #if
    int64_t address = 0;
    Location where;     ///< the #if
    std::string label;  ///< the z80asm label that marks the place, once rewritten
};

/// A line of a source or include file as the listing shows it: each line
/// read, in order, skipped ones included, up to the .end.
struct ListedLine {
    Location where;
    int depth = 0;        ///< 0 in the main source, 1 in a file it includes, ...
    std::string text;     ///< as written, comment included
    bool skipped = false; ///< not assembled: #if and the like decided against it
    size_t firstStatement = 0;  ///< index in SourceText::lines of its first statement
    size_t statements = 0;      ///< how many statements it gave
};

struct SourceText {
    std::vector<SourceLine> lines;
    std::vector<ListedLine> listed;
    Diagnostics errors;
    std::vector<AddressCheck> addressChecks;
};

/// Bounds that keep a hostile or broken source from exhausting the machine.
inline constexpr size_t maxLineLength = 4096;              ///< of a line as read
inline constexpr size_t maxExpandedLength = 65536;         ///< of a line after its macros
inline constexpr size_t maxSourceSize = 64 * 1024 * 1024;  ///< of all statements together
inline constexpr int maxMacroDepth = 64;
inline constexpr int maxIncludeDepth = 16;

/// Reads `path` and the files it includes, in order, up to the first .end
/// (which is not part of the result).
/// - `#include "file"` (or `#include file`, without quotes, as DOS TASM
///   took it) is looked for in the folder of the including file,
///   then in `includeDirs` in order (see includeFolders()). A file that is
///   already being read may not be included again inside itself.
/// - `#define NAME text` and `#define NAME(a,b) text` replace NAME, or
///   NAME(x,y) with x and y put for the whole words a and b, in the lines
///   after it (not inside strings; names keep their case); the replacement
///   is expanded again. `#defcont text` adds " text" to the last #define.
/// - `#ifdef NAME`, `#ifndef NAME` and `#if expression` keep or skip the
///   lines up to their `#else` or `#endif`; they nest. The expression may use
///   numbers, macros, $ and the labels defined above it (see Layout).
/// - A name in column 1 that a #define of another file would replace is an
///   error that names both places.
SourceText readSource(const std::string& path, const SourceFiles& files,
                      const std::vector<std::string>& includeDirs);

/// The folders of a ':'-separated list such as TASM_INCLUDE; empty entries
/// are skipped. A null pointer gives no folders.
std::vector<std::string> splitIncludePath(const char* value);

}  // namespace tasm
