// SPDX-License-Identifier: GPL-2.0-or-later
// The assembler speaks of lines of FILENAME.asm; the user wrote FILENAME.p83.
// The translation keeps no record of where its lines came from, so that a run
// without messages costs nothing for them. The first message that names an
// output line translates the source once more, into nothing, with a line map
// (line_map.hpp) that records which source line wrote each output line; the
// source lines themselves are read again from the file by number. When the
// second translation does not write the bytes of the first (the source
// changed in between), no source line is named.

#include "assembler_messages.hpp"

#include <algorithm>
#include <cctype>
#include <vector>

#include "statement_loop.hpp"

namespace trovik {

namespace {

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
long mapOutputLines(TranslationSettings settings, FileSystem& files, std::size_t outputBytes,
                    LineMap& map) {
    LineReader source;
    if (source.open(files, settings.sourceName)) return 0;
    OutputFile output;
    output.openDiscarding();
    SilentConsole console;
    settings.checkStatements = false;  // its warnings were written by the first run
    Translation t(settings, source, output, &map, console, files);
    translateSource(t);
    if (t.stopped() || output.bytesWritten() != outputBytes) return 0;
    return output.linesWritten();
}

}  // namespace

std::string SourceLines::lineAt(long number) {
    if (reader_ && number == linesRead_) return line_;
    if (number < linesRead_ || !reader_) {
        reader_.emplace();
        linesRead_ = 0;
        if (reader_->open(files_, name_)) return {};
    }
    while (linesRead_ < number && reader_->readLine(line_)) ++linesRead_;
    return linesRead_ == number ? line_ : std::string();
}

AssemblerMessages::AssemblerMessages(Console& console, FileSystem& files,
                                     TranslationSettings settings, std::string outputName,
                                     std::size_t outputBytes)
    : console_(console),
      files_(files),
      settings_(std::move(settings)),
      source_(files, settings_.sourceName),
      outputName_(std::move(outputName)),
      outputBytes_(outputBytes) {}

void AssemblerMessages::line(Stream stream, std::string_view text) {
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

long AssemblerMessages::sourceLineOf(long outputLine) {
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

}  // namespace trovik
