// SPDX-License-Identifier: GPL-2.0-or-later
// trovik reads a program in its small Pascal-flavoured language one line at a
// time and writes Z80 assembly for the TI-83 as it goes: the prologue from
// the first lines, a fixed run of lines for each statement, and at `end.` the
// strings and library routines that the statements asked for. It holds one
// line, a few flags and the string table, never the program. The run's
// failures travel up as values to this file, which reports them and chooses
// the exit status.

#include "trovik.hpp"

#include "assembler_messages.hpp"
#include "command_line.hpp"
#include "statement_loop.hpp"
#include "translation.hpp"

namespace trovik {

namespace {

constexpr std::string_view assemblerProgram = "tasm.exe";

int reportFileFailure(Console& console, const FileFailure& failure) {
    console.setAttribute(Stream::err, Attribute::normal);
    console.write(Stream::err, "trovik: " + failure.fileName + ": " + failure.cause + "\n");
    return exitFileFailure;
}

int reportTranslationError(Console& console, FileSystem& files, const TranslationError& error,
                           const std::string& sourceName, bool keepWarnings) {
    if (error.clearScreenFirst && !keepWarnings) console.clearScreen(Stream::err);
    for (const MessagePiece& piece : error.message) {
        console.setAttribute(Stream::err, piece.attribute);
        console.write(Stream::err, piece.text);
    }
    console.write(Stream::err, "\n");
    console.setAttribute(Stream::err, Attribute::normal);
    if (error.sourceLineNumber > 0) {
        console.write(Stream::err,
                      sourceLineDisplay(sourceName, error.sourceLineNumber,
                                        SourceLines(files, sourceName).lineAt(error.sourceLineNumber),
                                        error.column));
    }
    if (error.waitForEnter && console.inputIsTerminal()) {
        std::string ignored;
        console.readLine(ignored);
    }
    return exitTranslationError;
}

/// Runs the assembler on the output; the exit status that tells whether it
/// built the program.
int runAssembler(Console& console, ProcessStarter& processStarter, const CommandLine& line,
                 AssemblerMessages& messages) {
    const std::string program(assemblerProgram);
    const ProgramEnd end =
        processStarter.run(program, splitAtBlanks(line.assemblerArguments), messages);
    if (end.notStarted) {
        console.write(Stream::err, "trovik: " + program + " could not be started (" +
                                       *end.notStarted + "); " + line.outputName +
                                       " was written\n");
        return exitNormal;
    }
    if (end.status == 0) return exitNormal;
    console.write(Stream::err, program + " failed (exit status " + std::to_string(end.status) +
                                   "); " + line.outputName + " was written\n");
    return exitAssemblerFailed;
}

/// trovik: 3 warnings, so that a status of 0 is not read as a clean build.
void countWarnings(Console& console, const Translation& t) {
    auto counted = [](int n, std::string_view what) {
        return std::to_string(n) + " " + std::string(what) + (n == 1 ? "" : "s");
    };
    std::string count;
    if (t.warningCount() > 0) count = counted(t.warningCount(), "warning");
    if (t.noteCount() > 0) count += (count.empty() ? "" : ", ") + counted(t.noteCount(), "note");
    if (count.empty()) return;
    if (t.warningCount() + t.noteCount() > Translation::shownWarnings) {
        count += " (the first " + std::to_string(Translation::shownWarnings) + " shown)";
    }
    console.setAttribute(Stream::err, Attribute::normal);
    console.write(Stream::err, "trovik: " + count + "\n");
}

/// A FILENAME given with its .p83 is not found as FILENAME.p83.p83.
void suggestNameWithoutExtension(Console& console, const std::vector<std::string>& arguments) {
    constexpr std::string_view extension = ".p83";
    const std::string& name = arguments.front();
    if (name.size() <= extension.size() || !name.ends_with(extension)) return;
    std::string suggestion = "did you mean: trovik " + name.substr(0, name.size() - extension.size());
    for (std::size_t i = 1; i < arguments.size(); ++i) suggestion += " " + arguments[i];
    console.write(Stream::err, suggestion + "\n");
}

}  // namespace

int runTrovik(const std::vector<std::string>& arguments, Console& console,
              ProcessStarter& processStarter, FileSystem& files, bool checkStatements) {
    if (arguments.size() == 1 && arguments.front() == "--version") {
        console.write(Stream::out, TOOLCHAIN_VERSION "\n");
        return exitNormal;
    }
    if (arguments.size() == 1 && (arguments.front() == "--help" || arguments.front() == "-h")) {
        showHelp(console);
        return exitNormal;
    }
    const auto line = parseCommandLine(arguments);
    if (!line) {
        showHelp(console);
        if (const std::string why = describeRefusedArguments(arguments); !why.empty()) {
            console.write(Stream::err, why + "\n");
        }
        return exitHelpShown;
    }

    LineReader source;
    if (auto failure = source.open(files, line->sourceName)) {
        const int status = reportFileFailure(console, *failure);
        suggestNameWithoutExtension(console, arguments);
        return status;
    }
    OutputFile output;
    if (auto failure = output.create(files, line->outputName)) {
        return reportFileFailure(console, *failure);
    }

    const TranslationSettings settings{line->fileName, line->sourceName, line->spriteFileName,
                                       line->optimise, checkStatements};
    Translation t(settings, source, output, nullptr, console, files);
    console.clearScreen(Stream::out);
    translateSource(t);
    // A clear would wipe the warnings before anyone could read them.
    if (!t.stopped() && !t.warned()) console.clearScreen(Stream::out);
    // What was written stays, also when the run stops early.
    const auto closeFailure = output.close();
    if (auto failure = t.fileFailure()) return reportFileFailure(console, *failure);
    if (closeFailure) return reportFileFailure(console, *closeFailure);
    if (t.error()) {
        const int status =
            reportTranslationError(console, files, *t.error(), line->sourceName, t.warned());
        countWarnings(console, t);
        return status;
    }

    AssemblerMessages messages(console, files, settings, line->outputName, output.bytesWritten());
    const int status = runAssembler(console, processStarter, *line, messages);
    countWarnings(console, t);
    return status;
}

}  // namespace trovik
