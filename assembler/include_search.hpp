// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Where #include looks for a file, after the folder of the including file.

#include <string>
#include <vector>

namespace tasm {

/// The folders searched after the including file's own folder, in order: the
/// folder of the main source, each folder of `tasmInclude` (a ':'-separated
/// list; null or empty entries give none), then the include folder shipped
/// with the program, `<folder of executable>/../share/trovik/include` (left
/// out when `executable` is empty). A user's copy next to the source thus
/// wins over the shipped one.
std::vector<std::string> includeFolders(const std::string& mainSource, const char* tasmInclude,
                                        const std::string& executable);

/// The path of the running program (from /proc/self/exe), empty when it
/// cannot be found.
std::string runningExecutable();

}  // namespace tasm
