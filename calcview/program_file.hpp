// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Reading what to run: TI-83 files (.83p or .83g, every variable in them) or
// the assembler's plain binary (.bin, the bytes from 9327h on). The first
// program of the first file is run; an unsquished program (its code as
// hex-digit text) is decoded first, and its first bytes then tell how a shell
// would start it.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "calculator.hpp"
#include "ti83_file.hpp"

namespace calcview {

struct Program {
    std::vector<std::uint8_t> code;  ///< the bytes at 9327h
    StartKind start = StartKind::plain;
    std::string shell;  ///< "Ion", "AShell", "SOS" or "no shell", for messages
};

/// The program to run and every variable of the files, in the order given.
struct Loaded {
    Program program;
    std::vector<ti83::Variable> variables;
    /// The variable whose program runs.
    std::size_t running = 0;
};

/// The most code that fits between 9327h and the symbol table at FE6Eh.
inline constexpr std::size_t largestProgram = 0xFE6E - programOrigin;

/// Decides how a shell starts `code`: Ion's header (C9h or AFh, then 30h)
/// starts as Ion does, everything else at 9327h.
Program programFromCode(std::vector<std::uint8_t> code);

/// The program in a variable's data (the 2-byte length, then the program).
ti83::Result<Program> programFromVariable(std::span<const std::uint8_t> data);

/// The variables of FILE.83p, FILE.83g or FILE.bin (one protected program
/// named after the file). The message names the file and the cause.
ti83::Result<std::vector<ti83::Variable>> readVariables(const std::filesystem::path& path);

/// Reads every file; the first one must hold a program.
ti83::Result<Loaded> loadFiles(std::span<const std::filesystem::path> paths);

/// Reads FILE.83p or FILE.bin for its first program.
ti83::Result<Program> loadProgramFile(const std::filesystem::path& path);

/// Puts the loaded program and variables into `calc` and sets it up to start.
ti83::Status startLoaded(Calculator& calc, const Loaded& loaded);

}  // namespace calcview
