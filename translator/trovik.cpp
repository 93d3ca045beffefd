// trovik reads a program in its small Pascal-flavoured language one line at a
// time and writes Z80 assembly for the TI-83 as it goes: the prologue from
// the first lines, a fixed run of lines for each statement, and at `end.` the
// strings and library routines that the statements asked for. It holds one
// line, a few flags and the string table, never the program. The run's
// failures travel up as values to this file, which reports them and chooses
// the exit status.

#include "trovik.hpp"

#include <algorithm>
#include <cctype>
#include <optional>

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

/// Reads source lines again by number for messages about them: the
/// translation keeps no copy of the lines it has passed. Messages mostly
/// come in the order of their lines, so the file stays open and is only
/// read again from its start for an earlier line.
class SourceLines {
public:
    SourceLines(FileSystem& files, std::string name) : files_(files), name_(std::move(name)) {}

    /// Line `number` (counted from 1), empty when the file does not have it.
    std::string lineAt(long number) {
        if (reader_ && number == linesRead_) return line_;
        if (number < linesRead_ || !reader_) {
            reader_.emplace();
            linesRead_ = 0;
            if (reader_->open(files_, name_)) return {};
        }
        while (linesRead_ < number && reader_->readLine(line_)) ++linesRead_;
        return linesRead_ == number ? line_ : std::string();
    }

private:
    FileSystem& files_;
    std::string name_;
    std::optional<LineReader> reader_;
    long linesRead_ = 0;
    std::string line_;
};

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
                      sourceName + ":" + std::to_string(error.sourceLineNumber) + ": " +
                          SourceLines(files, sourceName).lineAt(error.sourceLineNumber) + "\n");
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

bool isNameCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '-' ||
           c == '/' || c == '\\';
}

/// The output line numbers N that `text` names as `outputName:N`, in order.
std::vector<long> outputLinesNamed(std::string_view text, std::string_view outputName) {
    std::vector<long> lines;
    for (std::size_t at = text.find(outputName); at != std::string_view::npos;
         at = text.find(outputName, at + 1)) {
        if (at > 0 && isNameCharacter(text[at - 1])) continue;  // part of a longer name
        std::size_t digit = at + outputName.size() + 1;
        if (digit > text.size() || text[digit - 1] != ':') continue;
        long number = 0;
        const std::size_t first = digit;
        for (; digit < text.size() && std::isdigit(static_cast<unsigned char>(text[digit]));
             ++digit) {
            number = std::min(number * 10 + (text[digit] - '0'), 1L << 40);
        }
        if (digit > first) lines.push_back(number);
    }
    return lines;
}

/// A console that nobody sees.
class SilentConsole final : public Console {
public:
    void clearScreen(Stream) override {}
    void setAttribute(Stream, Attribute) override {}
    void write(Stream, std::string_view) override {}
    bool inputIsTerminal() override { return false; }
    bool readLine(std::string&) override { return false; }
};

/// Translates the source once more, into nothing, and records in `map`
/// which source line wrote each output line. Returns how many lines it
/// wrote; 0 when it did not write the `outputBytes` bytes of the first run
/// (a file changed in between).
long mapOutputLines(const TranslationSettings& settings, FileSystem& files,
                    std::size_t outputBytes, LineMap& map) {
    LineReader source;
    if (source.open(files, settings.sourceName)) return 0;
    OutputFile output;
    output.openDiscarding();
    SilentConsole console;
    Translation t(settings, source, output, &map, console, files);
    translate(t);
    if (t.stopped() || output.bytesWritten() != outputBytes) return 0;
    return output.linesWritten();
}

/// Passes the assembler's lines on as they come. After a line that names
/// FILENAME.asm:N it writes FILENAME.p83:M: and the source line M whose
/// translation wrote output line N.
///
/// The translation keeps no record of where its lines came from, so that a
/// run without messages costs nothing for them. The first message that
/// names an output line translates the source again into a line map.
class AssemblerMessages final : public ProgramOutput {
public:
    AssemblerMessages(Console& console, FileSystem& files, TranslationSettings settings,
                      std::string outputName, std::size_t outputBytes)
        : console_(console),
          files_(files),
          settings_(std::move(settings)),
          source_(files, settings_.sourceName),
          outputName_(std::move(outputName)),
          outputBytes_(outputBytes) {}

    void line(Stream stream, std::string_view text) override {
        console_.write(stream, text);
        console_.write(stream, "\n");
        std::vector<long> named;
        for (long outputLine : outputLinesNamed(text, outputName_)) {
            const long sourceLine = sourceLineOf(outputLine);
            if (sourceLine < 1 || std::find(named.begin(), named.end(), sourceLine) != named.end()) {
                continue;
            }
            named.push_back(sourceLine);
            console_.write(stream, settings_.sourceName + ":" + std::to_string(sourceLine) + ": " +
                                       source_.lineAt(sourceLine) + "\n");
        }
    }

private:
    /// 0 when the output has no such line or the map could not be made.
    long sourceLineOf(long outputLine) {
        if (!map_) {
            map_.emplace(files_);
            outputLines_ = mapOutputLines(settings_, files_, outputBytes_, *map_);
            if (const auto& failure = map_->failure()) {
                console_.write(Stream::err, "trovik: " + failure->fileName + ": " + failure->cause +
                                                "; the assembler's messages do not name source "
                                                "lines\n");
            }
        }
        return outputLine >= 1 && outputLine <= outputLines_ ? map_->sourceLineOf(outputLine) : 0;
    }

    Console& console_;
    FileSystem& files_;
    TranslationSettings settings_;
    SourceLines source_;
    std::string outputName_;
    std::size_t outputBytes_;
    long outputLines_ = 0;  ///< as the second translation wrote them
    std::optional<LineMap> map_;
};

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
              ProcessStarter& processStarter, FileSystem& files) {
    if (arguments.size() == 1 && arguments.front() == "--version") {
        console.write(Stream::out, TOOLCHAIN_VERSION "\n");
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
                                       line->optimise};
    Translation t(settings, source, output, nullptr, console, files);
    console.clearScreen(Stream::out);
    translate(t);
    // A clear would wipe the warnings before anyone could read them.
    if (!t.stopped() && !t.warned()) console.clearScreen(Stream::out);
    // What was written stays, also when the run stops early.
    const auto closeFailure = output.close();
    if (auto failure = t.fileFailure()) return reportFileFailure(console, *failure);
    if (closeFailure) return reportFileFailure(console, *closeFailure);
    if (t.error()) {
        return reportTranslationError(console, files, *t.error(), line->sourceName, t.warned());
    }

    AssemblerMessages messages(console, files, settings, line->outputName, output.bytesWritten());
    return runAssembler(console, processStarter, *line, messages);
}

}  // namespace trovik
