#pragma once
// The TI-83 program file (.83p), written through libtifiles.

#include <optional>
#include <string>

#include "program_variable.hpp"

namespace pack83 {

/// Writes `variable` as a TI-83 file at `path`: first under a temporary name
/// in the same folder, then renamed over `path`. On failure nothing is left
/// at the temporary name and the message names the file and the cause.
std::optional<std::string> writeCalculatorFile(const std::string& path, const Variable& variable);

}  // namespace pack83
