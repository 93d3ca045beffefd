// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The program as a calculator variable: its name, its type and its data, in
// the squished form the shells run or the hex text form the calculator runs
// with Send(9prgmNAME.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "program_input.hpp"
#include "result.hpp"
#include "ti83_file.hpp"

namespace pack83 {

using ti83::detectShell;
using ti83::Shell;
using ti83::shellName;

/// How the program is stored: squished is the machine code itself, as a
/// protected program; unsquished is the code as hex text, as a plain program.
enum class Form { squished, unsquished };
/// Shell programs are squished, the others unsquished.
Form formFor(Shell shell);

using ti83::programType;
using ti83::protectedProgramType;

/// The calculator's program name for `requested`, in upper case: 1 to 8
/// letters and digits, a letter first.
Result<std::string> programName(std::string_view requested);

using ti83::Variable;

/// The program in `form` as a variable named `name` (already checked).
Result<Variable> programVariable(const Program& program, Form form, const std::string& name);

/// How many code bytes one line of the hex text holds: one screen row.
inline constexpr size_t bytesPerHexLine = 8;

}  // namespace pack83
