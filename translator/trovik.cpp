// trovik reads a program in its small Pascal-flavoured language one line at a
// time and writes Z80 assembly for the TI-83 as it goes: the prologue from
// the first lines, a fixed run of lines for each statement, and at `end.` the
// strings and library routines that the statements asked for. It holds one
// line, a few flags and the string table, never the program. The run's
// failures travel up as values to this file, which reports them and chooses
// the exit status.

#include "trovik.hpp"

#include "command_line.hpp"
#include "prologue.hpp"
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

/// Line `number` of the source, read again for an error report: the
/// translation itself keeps no copy of the lines it has passed.
std::string sourceLineAt(FileSystem& files, const std::string& sourceName, long number) {
    LineReader source;
    std::string line;
    if (source.open(files, sourceName)) return line;
    for (long i = 0; i < number && source.readLine(line); ++i) {
    }
    return line;
}

int reportTranslationError(Console& console, FileSystem& files, const TranslationError& error,
                           const std::string& sourceName) {
    if (error.clearScreenFirst) console.clearScreen(Stream::err);
    for (const MessagePiece& piece : error.message) {
        console.setAttribute(Stream::err, piece.attribute);
        console.write(Stream::err, piece.text);
    }
    console.write(Stream::err, "\n");
    console.setAttribute(Stream::err, Attribute::normal);
    if (error.sourceLineNumber > 0) {
        console.write(Stream::err,
                      sourceName + ":" + std::to_string(error.sourceLineNumber) + ": " +
                          sourceLineAt(files, sourceName, error.sourceLineNumber) + "\n");
    }
    if (error.waitForEnter && console.inputIsTerminal()) {
        std::string ignored;
        console.readLine(ignored);
    }
    return exitTranslationError;
}

void translate(Translation& t) {
    for (auto step : {copyLeadingComments, checkProgramLine, writeFixedHeader,
                      declareShellAndVariables, translateBody}) {
        if (t.stopped()) return;
        step(t);
    }
}

void runAssembler(Console& console, ProcessStarter& processStarter, const CommandLine& line) {
    const auto why = processStarter.runAndWait(std::string(assemblerProgram),
                                               splitAtBlanks(line.assemblerArguments));
    if (why) {
        console.write(Stream::err, "trovik: " + std::string(assemblerProgram) +
                                       " could not be started (" + *why + "); " +
                                       line.outputName + " was written\n");
    }
}

}  // namespace

int runTrovik(const std::vector<std::string>& arguments, Console& console,
              ProcessStarter& processStarter, FileSystem& files) {
    const auto line = parseCommandLine(arguments);
    if (!line) {
        showHelp(console);
        return exitHelpShown;
    }

    LineReader source;
    if (auto failure = source.open(files, line->sourceName)) {
        return reportFileFailure(console, *failure);
    }
    OutputFile output;
    if (auto failure = output.create(files, line->outputName)) {
        return reportFileFailure(console, *failure);
    }

    Translation t({line->fileName, line->sourceName, line->spriteFileName, line->optimise}, source,
                  output, console, files);
    console.clearScreen(Stream::out);
    translate(t);
    if (!t.stopped()) console.clearScreen(Stream::out);
    // What was written stays, also when the run stops early.
    const auto closeFailure = output.close();
    if (auto failure = t.fileFailure()) return reportFileFailure(console, *failure);
    if (closeFailure) return reportFileFailure(console, *closeFailure);
    if (t.error()) return reportTranslationError(console, files, *t.error(), line->sourceName);

    runAssembler(console, processStarter, *line);
    return exitNormal;
}

}  // namespace trovik
