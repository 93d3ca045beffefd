// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What the translator's fuzz targets share: an input read as one settings
// byte, then the source text, then optionally the separator line "%%%%" and
// the picture file, then another such line and the sprite file; and a whole
// translation from memory through the same entry point as the command line.
// Settings: bit 0 gives -s, bit 1 -c, bit 2 -o (with all three clear the
// command line is the file name alone), bits 3 to 5 choose how many bytes one
// read of a file hands out; the targets read the other bits themselves.

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "memory_files.hpp"
#include "trovik.hpp"

namespace trovik::fuzzing {

inline constexpr std::string_view separator = "\n%%%%\n";
inline constexpr std::array<std::size_t, 8> readSizes{1, 2, 3, 5, 8, 64, 4096, 1 << 20};

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

/// Records the command it was given and, when `namesLines`, names lines of
/// demo.asm like an assembler with something to say about each line, so
/// that their source lines are looked up.
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

    bool hasKnownStatus() const {
        return status == exitNormal || status == exitTranslationError || status == exitHelpShown ||
               status == exitFileFailure || status == exitAssemblerFailed;
    }
};

/// One fuzz input: its settings byte and the files it holds.
struct FuzzInput {
    std::uint8_t settings = 0;
    MemoryFileSystem files;

    std::size_t shortRead() const { return readSizes[(settings >> 3) & 7]; }
    std::vector<std::string> commandLine() const {
        if ((settings & 7) == 0) return {"demo"};
        std::vector<std::string> arguments{"demo", settings & 1 ? "-s" : "-ns",
                                           settings & 2 ? "-c" : "-nc"};
        if (settings & 4) arguments.push_back("-o");
        return arguments;
    }
};

/// Cuts `text` at the first separator: what comes before it, and `text`
/// keeps the rest (or becomes empty).
inline std::string takeUntilSeparator(std::string_view& text) {
    const std::size_t at = text.find(separator);
    const std::string part(text.substr(0, at));
    text = at == std::string_view::npos ? std::string_view() : text.substr(at + separator.size());
    return part;
}

/// Reads the input of `size` bytes at `data`, which is not empty.
inline FuzzInput readFuzzInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input;
    input.settings = data[0];
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    input.files.files["demo.p83"] = takeUntilSeparator(rest);
    if (!rest.empty()) input.files.files["demo.pic"] = takeUntilSeparator(rest);
    if (!rest.empty()) input.files.files["demo.spr"] = std::string(rest);
    return input;
}

/// Translates `input` in reads of at most `largestRead` bytes.
inline Outcome translate(const FuzzInput& input, std::size_t largestRead, bool namesLines,
                         bool checkStatements) {
    MemoryFileSystem files = input.files;
    files.largestRead = largestRead;
    RecordingConsole console;
    RecordingStarter starter(files, namesLines);
    const int status =
        runTrovik(input.commandLine(), console, starter, files, checkStatements);
    return {status, console.errors, starter.started, files.files};
}

}  // namespace trovik::fuzzing
