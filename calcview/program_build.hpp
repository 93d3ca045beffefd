// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// From what a user names to what calcview runs: a .p83 is built on the spot
// (trovik, tasm.exe, pack83 in its folder, as the README does it); a .83p or
// .bin is checked against the .p83 (or hand-written .asm) beside it. Either
// way the program comes with its DebugInfo, made by the same translation and
// layout that made its bytes.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "debug_info.hpp"
#include "program_file.hpp"
#include "result.hpp"

namespace calcview {

/// What to build and run.
struct BuildRequest {
    /// FILE.p83; or FILE.83p or FILE.bin built from the FILE.p83 (or the
    /// hand-written FILE.asm) beside it; or a hand-written FILE.asm.
    std::filesystem::path program;
    /// More variables to load after the program, as calcview's FILE...
    std::vector<std::filesystem::path> files;
    /// trovik's options for a .p83, e.g. {"-s"}.
    std::vector<std::string> trovikOptions;
};

/// The program as calcview loads it, and what a debugger knows of it.
struct BuiltProgram {
    Loaded loaded;
    DebugInfo debug;
    /// The .83p or .bin that was loaded.
    std::filesystem::path programFile;
};

/// Receives each line the build writes: what it runs, and every line the
/// programs write to standard output or error.
using BuildOutput = std::function<void(std::string_view line)>;

/// How a program of the build ended.
struct ToolEnd {
    /// Why it could not be started; empty when it ran.
    std::optional<std::string> notStarted;
    /// Its exit status, 128 plus the signal's number when a signal ended it.
    int status = 0;
};

/// Starts the build's programs: the one part of a build that touches the
/// system's processes, so that the rest can be tested without them.
class ToolRunner {
  public:
    virtual ~ToolRunner() = default;
    /// Runs `tool` ("trovik", "tasm.exe" or "pack83") with `arguments` in the
    /// folder `folder`, hands each line it writes to `output` as it comes,
    /// and waits for it to end.
    virtual ToolEnd run(const std::string& tool, const std::vector<std::string>& arguments,
                        const std::filesystem::path& folder, const BuildOutput& output) = 0;
    /// Where `tool` would be found; nothing when it would not.
    virtual std::optional<std::filesystem::path> locate(const std::string& tool) = 0;
};

/// The runner of this system: the programs in `programs`, else those on
/// PATH; trovik finds tasm.exe the same way.
std::unique_ptr<ToolRunner> toolRunnerIn(const std::filesystem::path& programs);
/// toolRunnerIn() the folder of calcview's own executable.
std::unique_ptr<ToolRunner> systemToolRunner();

/// Builds or checks `request.program` and loads it with `request.files`.
/// Fails with a message in terms of the user's files: a failed build with
/// its first message and the .p83 line it names; a program file whose .p83
/// changed since it was written with that .p83's name.
pack83::Result<BuiltProgram> buildProgram(const BuildRequest& request, const BuildOutput& output,
                                          ToolRunner& tools);
/// The same with systemToolRunner().
pack83::Result<BuiltProgram> buildProgram(const BuildRequest& request, const BuildOutput& output);

/// "FILE.p83:N: the source line" for the code at `address`, from the first
/// file that has code there (the .p83 before the .asm); nothing when no
/// line made it.
std::optional<std::string> sourceLineAt(const DebugInfo& debug, std::uint16_t address);

/// For calcview's fault messages: the source line of the code at `address`
/// in the program file `programFile`, when its .p83 (or .asm) is beside it
/// and still makes its bytes; when it no longer does, a line that says so.
/// Runs nothing when there is no such source; the tables are only made
/// here, when a fault asks for them.
std::optional<std::string> faultSourceLine(const std::filesystem::path& programFile,
                                           std::uint16_t address);

}  // namespace calcview
