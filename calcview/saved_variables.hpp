// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What a run leaves behind for the next one: the variables the program
// created or changed (a high score kept in a variable), read back from the
// variable table and written as .83p files, so that
// `calcview GAME.83p FOLDER/*.83p` starts where the last run ended.

#include <filesystem>
#include <span>
#include <vector>

#include "program_file.hpp"
#include "ti83_file.hpp"

namespace calcview {

class Machine;

/// The variables in the table that the files did not hold as they are now:
/// created or changed by the program. The running program is not one of
/// them (its code changes as it runs; a shell decides whether to keep that).
std::vector<ti83::Variable> changedVariables(const Machine& calc, const Loaded& loaded);

/// Writes each variable as FOLDER/NAME.83p (the folder is made when
/// missing); NAME keeps letters and digits, other bytes as _XX in hex.
ti83::Status saveVariables(const std::filesystem::path& folder,
                           std::span<const ti83::Variable> variables);

}  // namespace calcview
