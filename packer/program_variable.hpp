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

namespace pack83 {

/// The shell whose program header the code starts with.
enum class Shell { ion, ashell, sos, none };

/// Ion: `ret` or `xor a`, then `jr nc,`. AShell: `nop`, `jr`. SOS: `ccf`,
/// `jr`.
Shell detectShell(const std::vector<std::uint8_t>& code);
std::string_view shellName(Shell shell);

/// How the program is stored: squished is the machine code itself, as a
/// protected program; unsquished is the code as hex text, as a plain program.
enum class Form { squished, unsquished };
/// Shell programs are squished, the others unsquished.
Form formFor(Shell shell);

/// Variable types of the TI-83.
inline constexpr std::uint8_t programType = 0x05;
inline constexpr std::uint8_t protectedProgramType = 0x06;

/// The calculator's program name for `requested`, in upper case: 1 to 8
/// letters and digits, a letter first.
Result<std::string> programName(std::string_view requested);

/// A variable as the calculator stores it.
struct Variable {
    std::string name;
    std::uint8_t type = programType;
    /// The two-byte length of the program and the program itself.
    std::vector<std::uint8_t> data;
};

/// The program in `form` as a variable named `name` (already checked).
Result<Variable> programVariable(const Program& program, Form form, const std::string& name);

/// How many code bytes one line of the hex text holds: one screen row.
inline constexpr size_t bytesPerHexLine = 8;

}  // namespace pack83
