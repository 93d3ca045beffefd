#pragma once
// Reading the source: include files, #define substitution, comments and the
// end of the source at the first .end.

#include <string>
#include <vector>

#include "diagnostics.hpp"

namespace tasm {

/// A line ready to assemble: comment removed, defines substituted.
struct SourceLine {
    Location where;
    std::string text;
};

struct SourceText {
    std::vector<SourceLine> lines;
    Diagnostics errors;
};

/// Reads `path` and the files it includes, in order, up to the first .end
/// (which is not part of the result). `#include "file"` is looked for in the
/// folder of the including file, then in `includeDirs` in order (see
/// includeFolders()).
/// `#define NAME text` replaces NAME as a whole word in the lines after it
/// (not inside strings); names are compared with their case.
SourceText readSource(const std::string& path, const std::vector<std::string>& includeDirs);

/// The folders of a ':'-separated list such as TASM_INCLUDE; empty entries
/// are skipped. A null pointer gives no folders.
std::vector<std::string> splitIncludePath(const char* value);

}  // namespace tasm
