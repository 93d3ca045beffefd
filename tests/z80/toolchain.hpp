// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The way from a source program to a loaded test machine: trovik translates
// the program in a folder of its own and starts the stand-in assembler from
// PATH, as on a user's machine; the assembled program is then loaded into a
// Machine whose stubs stand for the routines the test include files name.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "machine.hpp"
#include "program_image.hpp"

namespace z80test {

/// The whole contents of a file; empty when it cannot be read.
std::string readWholeFile(const std::filesystem::path& path);

/// The names the test include files define, looked up without regard to
/// case, as the assembler does.
class Symbols {
  public:
    /// Reads every `NAME .equ VALUE` line of the .inc files in `folder`.
    static Symbols fromIncludeFolder(const std::filesystem::path& folder);

    /// The value of `name`; throws when the name is not defined.
    std::uint16_t at(std::string_view name) const;
    const std::map<std::string, std::uint16_t>& all() const { return values_; }

  private:
    std::map<std::string, std::uint16_t> values_;
};

/// Where the system and shell routines of the include files lie: every
/// symbol in this range is a routine and gets a stub.
constexpr std::uint16_t firstRoutineAddress = 0x4000;
constexpr std::uint16_t lastRoutineAddress = 0x7FFF;
/// The circle routine's address, which the translated program defines itself.
constexpr std::uint16_t circleRoutineAddress = 0x4AD8;
/// Where every shell header puts the program.
constexpr std::uint16_t programOrigin = 0x9327;

/// A program to translate: its source, trovik's arguments after the file
/// name, and further files (sprite or picture files) by name.
struct SourceProgram {
    std::string name = "prog";
    std::string source;
    std::vector<std::string> options;
    std::map<std::string, std::string> files;
};

/// What came of translating and assembling a program.
struct BuiltProgram {
    /// trovik's exit status and everything it and the assembler printed.
    int status = -1;
    std::string log;
    /// The assembled program, when the assembler wrote one.
    std::optional<ProgramImage> image;
    /// The generated assembly, for failure messages.
    std::string assembly;
};

/// Runs trovik in a fresh folder under `workRoot` with the stand-in first
/// on PATH and TASM_INCLUDE set to the test include folder, then reads the
/// assembler's output: NAME.bin when the options chose a plain binary,
/// otherwise NAME.obj (Intel HEX). The folder is removed afterwards.
BuiltProgram translateAndAssemble(const SourceProgram& program, const std::string& folderName);

/// The test include folder, the symbols in it, and the tools' paths.
const std::filesystem::path& includeFolder();
const Symbols& includeSymbols();

/// The shell a program is written for, as its `shell(` line names it.
enum class Shell { ion, ashell, sos, none };
std::string_view shellName(Shell shell);

/// Where the shell starts the program: ION starts it after its leading
/// `ret` (which returns at once when the program is started without the
/// shell) with the carry flag clear, so that `jr nc, begin` is taken; the
/// other headers are entered at their first byte.
std::uint16_t entryPoint(Shell shell);

/// A machine with the stubs of every routine the include files define (and
/// of the circle routine) and `image` loaded.
void prepareMachine(Machine& machine, const ProgramImage& image);

/// Runs the program as the shell would start it.
RunResult runProgram(Machine& machine, Shell shell, std::uint64_t limit = 2'000'000);

}  // namespace z80test
