// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One run of the stand-in assembler, from the source file to the object file.

#include <iosfwd>
#include <string>
#include <vector>

#include "command_line.hpp"
#include "rewriter.hpp"
#include "source_files.hpp"

namespace tasm {

/// Reads `path` with its includes from `files` and rewrites it for z80asm,
/// without starting z80asm: everything up to the encoding of instructions.
/// The errors of reading come first; when there are any, nothing is
/// rewritten.
Rewritten translateSource(const std::string& path, const SourceFiles& files,
                          const std::vector<std::string>& includeDirs);

/// The exit statuses of TASM's manual.
enum ExitStatus : int {
    assembled = 0,
    sourceErrors = 1,     ///< errors in the source
    outOfMemory = 2,      ///< a source too big to hold
    fileAccessError = 3,  ///< a file that could not be read or written
    generalError = 4,     ///< anything else: a bad command line, z80asm missing or failing
};

/// The exit status for a run that reported `diagnostics`: the status of the
/// first failure that is not a source error, else sourceErrors; assembled
/// when there are none.
int exitStatus(const Diagnostics& diagnostics);

/// Assembles `job.source` and writes `job.output`, the listing
/// `job.listing` (none when empty) and, when asked for, the symbol file.
/// Messages go to `errors` as "FILE:LINE: message", a summary to `report`.
/// On any error no object file or listing is left behind (an older one is
/// removed). Returns the exit status.
/// `includeDirs` are searched after the source's folder.
int assemble(const Job& job, const std::vector<std::string>& includeDirs, std::ostream& report,
             std::ostream& errors);

}  // namespace tasm
