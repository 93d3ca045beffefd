// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// pack83's command line and its one run: read the assembled program, choose
// the form and the name, write the .83p file.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "program_variable.hpp"
#include "result.hpp"

namespace pack83 {

struct Options {
    std::string input;
    /// --name NAME or --name=NAME; otherwise the input's file name.
    std::optional<std::string> name;
    /// --squished or --unsquished; otherwise chosen by the program header.
    std::optional<Form> form;
    bool help = false;
    bool version = false;
};

/// The options after the program's name.
Result<Options> parseArguments(const std::vector<std::string>& arguments);

/// The help text.
std::string usage();

/// FILE.bin or FILE.obj becomes FILE.83p; nothing for other names.
std::optional<std::string> outputPath(const std::string& input);

/// Runs pack83 on `arguments` (after the program's name); what it did goes
/// to `out`, problems to `errors`. Returns the exit status: 0 when the file
/// was written, 1 when it was not (and no .83p of that name is left), 2 for
/// a command line it does not understand.
int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& errors);

}  // namespace pack83
