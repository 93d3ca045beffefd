#pragma once
// Places in the source and the messages attached to them.

#include <string>
#include <vector>

namespace tasm {

/// A line of a source or include file, counted from 1.
struct Location {
    std::string file;
    int line = 0;
};

/// One message about one line.
struct Diagnostic {
    Location where;
    std::string message;
};

using Diagnostics = std::vector<Diagnostic>;

/// "FILE:LINE: message", or "FILE: message" for the file as a whole.
inline std::string format(const Diagnostic& d) {
    if (d.where.line <= 0) return d.where.file + ": " + d.message;
    return d.where.file + ":" + std::to_string(d.where.line) + ": " + d.message;
}

}  // namespace tasm
