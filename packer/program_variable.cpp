// SPDX-License-Identifier: GPL-2.0-or-later
#include "program_variable.hpp"

#include <algorithm>

namespace pack83 {

namespace {

bool isUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

Form formFor(Shell shell) { return shell == Shell::none ? Form::unsquished : Form::squished; }

Result<std::string> programName(std::string_view requested) {
    std::string name(requested);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    const bool valid = !name.empty() && name.size() <= 8 && isUpperLetter(name[0]) &&
                       std::all_of(name.begin(), name.end(),
                                   [](char c) { return isUpperLetter(c) || isDigit(c); });
    if (!valid) {
        std::string message = "\"";
        message += requested;
        message +=
            "\" is not a program name the calculator accepts: 1 to 8 letters and digits, a "
            "letter first (choose one with --name)";
        return Failure{message};
    }
    return name;
}

Result<Variable> programVariable(const Program& program, Form form, const std::string& name) {
    Variable variable{name, protectedProgramType, {}};
    if (form == Form::unsquished) {
        variable.type = programType;
        variable.data = ti83::withLengthWord(ti83::hexText(program.code, bytesPerHexLine));
    } else {
        variable.data = ti83::withLengthWord(program.code);
    }
    if (variable.data.size() > 0xFFFF) return Failure{"the program is too large for a variable"};
    return variable;
}

}  // namespace pack83
