// SPDX-License-Identifier: GPL-2.0-or-later
// libFuzzer target: a whole translation from memory, through the same entry
// point as the command line, with the source, picture and sprite files held
// by a MemoryFileSystem.
//
// An input is one settings byte, then the source text, then optionally the
// separator line "%%%%" and the picture file, then another such line and the
// sprite file. Settings: bit 0 gives -s, bit 1 -c, bit 2 -o (with all three
// clear the command line is the file name alone), bits 3 to 5 choose how many
// bytes one read of a file hands out, bit 7 has the statement lines checked
// in both runs (below), and with bits 6 and 7 both set (a quarter of the
// inputs) the assembler names lines of the output, so that the way back to
// the source lines is taken, a second translation included.
//
// Every input is translated twice, in short reads and in whole-file reads,
// the first with the statement checks. With bit 7 the second checks too,
// and the two runs must agree byte for byte in everything they produce;
// without it the second does not, and they must write the same files with
// the same status: warnings never change the output.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "memory_files.hpp"
#include "trovik.hpp"

namespace {

using namespace trovik;

constexpr std::string_view separator = "\n%%%%\n";
constexpr std::array<std::size_t, 8> readSizes{1, 2, 3, 5, 8, 64, 4096, 1 << 20};

/// Keeps what goes to standard error; nobody types at standard input.
class RecordingConsole final : public Console {
public:
    void clearScreen(Stream) override {}
    void setAttribute(Stream, Attribute) override {}
    void write(Stream stream, std::string_view text) override {
        if (stream == Stream::err) errors.append(text);
    }
    bool inputIsTerminal() override { return false; }
    bool readLine(std::string&) override { return false; }

    std::string errors;
};

/// Records the command it was given and, like an assembler with something to
/// say about each line, names lines of demo.asm, so that their source lines
/// are looked up.
class RecordingStarter final : public ProcessStarter {
public:
    RecordingStarter(const MemoryFileSystem& files, bool namesLines)
        : files_(files), namesLines_(namesLines) {}
    ProgramEnd run(const std::string& program, const std::vector<std::string>& arguments,
                   ProgramOutput& output) override {
        started = program;
        for (const std::string& argument : arguments) started += " " + argument;
        const auto found = files_.files.find("demo.asm");
        const long lines = found == files_.files.end()
                               ? 0
                               : static_cast<long>(std::count(found->second.begin(),
                                                              found->second.end(), '\n'));
        const long step = std::max(1L, lines / 32);
        for (long n = lines + 1; namesLines_ && n >= 0; n -= step) {
            output.line(Stream::err, "demo.asm:" + std::to_string(n) + ": x, first at demo.asm:1");
        }
        return {std::nullopt, lines % 2 == 0 ? 0 : 1};
    }

    std::string started;

private:
    const MemoryFileSystem& files_;
    bool namesLines_;
};

struct Outcome {
    int status = 0;
    std::string errors;
    std::string started;
    std::map<std::string, std::string> files;

    bool operator==(const Outcome&) const = default;
};

/// Cuts `text` at the first separator: what comes before it, and `text`
/// keeps the rest (or becomes empty).
std::string takeUntilSeparator(std::string_view& text) {
    const std::size_t at = text.find(separator);
    const std::string part(text.substr(0, at));
    text = at == std::string_view::npos ? std::string_view() : text.substr(at + separator.size());
    return part;
}

std::vector<std::string> commandLine(std::uint8_t settings) {
    if ((settings & 7) == 0) return {"demo"};
    std::vector<std::string> arguments{"demo", settings & 1 ? "-s" : "-ns",
                                       settings & 2 ? "-c" : "-nc"};
    if (settings & 4) arguments.push_back("-o");
    return arguments;
}

Outcome translate(const std::vector<std::string>& arguments, const MemoryFileSystem& input,
                  std::size_t largestRead, bool namesLines, bool checkStatements = true) {
    MemoryFileSystem files = input;
    files.largestRead = largestRead;
    RecordingConsole console;
    RecordingStarter starter(files, namesLines);
    const int status = runTrovik(arguments, console, starter, files, checkStatements);
    return {status, console.errors, starter.started, files.files};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t settings = data[0];
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    MemoryFileSystem input;
    input.files["demo.p83"] = takeUntilSeparator(rest);
    if (!rest.empty()) input.files["demo.pic"] = takeUntilSeparator(rest);
    if (!rest.empty()) input.files["demo.spr"] = std::string(rest);

    const auto arguments = commandLine(settings);
    const bool namesLines = (settings & 0xc0) == 0xc0;
    const bool bothChecked = (settings & 0x80) != 0;
    const Outcome inShortReads =
        translate(arguments, input, readSizes[(settings >> 3) & 7], namesLines);
    Outcome inWholeReads = translate(arguments, input, readSizes.back(), namesLines, bothChecked);
    if (!bothChecked) inWholeReads.errors = inShortReads.errors;  // the warnings differ
    const bool knownStatus =
        inShortReads.status == exitNormal || inShortReads.status == exitTranslationError ||
        inShortReads.status == exitHelpShown || inShortReads.status == exitFileFailure ||
        inShortReads.status == exitAssemblerFailed;
    if (!knownStatus || !(inShortReads == inWholeReads)) std::abort();
    return 0;
}
