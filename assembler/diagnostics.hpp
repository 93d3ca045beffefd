// SPDX-License-Identifier: GPL-2.0-or-later
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

/// What kind of failure a message reports; the kind picks the exit status.
enum class Failure { source, memory, fileAccess, general };

/// One message about one line.
struct Diagnostic {
    Location where;
    std::string message;
    Failure kind = Failure::source;
};

using Diagnostics = std::vector<Diagnostic>;

/// "FILE:LINE: message", or "FILE: message" for the file as a whole.
inline std::string format(const Diagnostic& d) {
    if (d.where.line <= 0) return d.where.file + ": " + d.message;
    return d.where.file + ":" + std::to_string(d.where.line) + ": " + d.message;
}

}  // namespace tasm
