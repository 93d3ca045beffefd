// SPDX-License-Identifier: GPL-2.0-or-later
#include "build_tables.hpp"

#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <tuple>

// trovik's translation (calcview has a command_line.hpp of its own)
#include "../translator/command_line.hpp"
#include "line_map.hpp"
#include "memory_files.hpp"
#include "posix_platform.hpp"
#include "statement_loop.hpp"
#include "text_files.hpp"
#include "translation.hpp"
// the stand-in assembler's reader and layout
#include "../assembler/command_line.hpp"
#include "assembly.hpp"
#include "directives.hpp"
#include "include_search.hpp"
#include "layout.hpp"
#include "line_syntax.hpp"
#include "source_reader.hpp"
#include "text.hpp"

namespace calcview {

namespace {

/// The translator's files: read from the source's folder, written to memory.
class SourceFolder final : public trovik::FileSystem {
  public:
    explicit SourceFolder(std::filesystem::path folder) : folder_(std::move(folder)) {}

    trovik::Opened<trovik::FileReader> openForReading(const std::string& path) override {
        if (written.files.contains(path)) return written.openForReading(path);
        return disk_.openForReading((folder_ / path).string());
    }
    trovik::Opened<trovik::FileWriter> createForWriting(const std::string& path) override {
        return written.createForWriting(path);
    }
    trovik::Opened<trovik::ScratchFile> createScratchFile() override {
        return written.createScratchFile();
    }
    std::string scratchFolder() override { return written.scratchFolder(); }

    trovik::MemoryFileSystem written;

  private:
    std::filesystem::path folder_;
    trovik::PosixFileSystem disk_;
};

/// A console nobody sees: the translation's warnings reached the user
/// when the build ran.
class SilentConsole final : public trovik::Console {
  public:
    void clearScreen(trovik::Stream) override {}
    void setAttribute(trovik::Stream, trovik::Attribute) override {}
    void write(trovik::Stream, std::string_view) override {}
    bool inputIsTerminal() override { return false; }
    bool readLine(std::string&) override { return false; }
};

std::string messageOf(const trovik::TranslationError& error, const std::string& sourceName,
                      const std::vector<std::string>& sourceLines) {
    std::string message;
    for (const trovik::MessagePiece& piece : error.message) message += piece.text;
    const long line = error.sourceLineNumber;
    if (line > 0) {
        message += "\n" + sourceName + ":" + std::to_string(line) + ": ";
        if (line <= static_cast<long>(sourceLines.size())) message += sourceLines[line - 1];
    }
    return message;
}

std::string readAll(trovik::FileSystem& files, const std::string& name) {
    trovik::LineReader reader;
    std::string text;
    if (reader.open(files, name)) return text;
    std::string line;
    while (reader.readLine(line)) text += line + "\n";
    return text;
}

/// What a statement puts where the location counter points.
enum class Places { nothing, code, data };

/// Instructions place code; of the directives (the stand-in's table) those
/// that give bytes place data, those that move or name (.org, .block, .equ)
/// nothing.
Places placedBy(const std::string& word) {
    const tasm::DirectiveRow* row = tasm::findDirective(word);
    if (!row) return Places::code;
    switch (row->directive) {
        case tasm::Directive::bytes:
        case tasm::Directive::words:
        case tasm::Directive::fill:
        case tasm::Directive::checksum:
            return Places::data;
        default:
            return Places::nothing;
    }
}

/// One stretch of code of one source line, before merging.
struct Piece {
    std::uint16_t start;
    std::uint16_t end;
    int line;
    int file = 0;
};

/// Joins adjacent pieces of the same line; the first stretch of each line
/// is where its statement starts.
void addRanges(const std::vector<Piece>& pieces, std::vector<CodeRange>& code) {
    std::vector<CodeRange> ranges;
    std::vector<std::pair<int, int>> seen;
    for (const Piece& piece : pieces) {
        if (!ranges.empty() && ranges.back().file == piece.file && ranges.back().line == piece.line &&
            ranges.back().end == piece.start) {
            ranges.back().end = piece.end;
            continue;
        }
        const std::pair place{piece.file, piece.line};
        const bool first = std::find(seen.begin(), seen.end(), place) == seen.end();
        if (first) seen.push_back(place);
        ranges.push_back({piece.start, piece.end, piece.file, piece.line, first});
    }
    std::stable_sort(ranges.begin(), ranges.end(), [](const CodeRange& a, const CodeRange& b) {
        return std::tie(a.file, a.line, a.start) < std::tie(b.file, b.line, b.start);
    });
    code.insert(code.end(), ranges.begin(), ranges.end());
}

std::optional<std::uint16_t> addressOf(const SourceLayout& layout, const std::string& name) {
    const std::string wanted = tasm::lower(name);
    for (const DeclaredName& label : layout.labels) {
        if (tasm::lower(label.name) == wanted) return label.address;
    }
    return std::nullopt;
}

/// The names of `declared` that the layout placed, as symbols of file 0.
std::vector<Symbol> placed(const std::vector<DeclaredName>& declared, const SourceLayout& layout) {
    std::vector<Symbol> symbols;
    for (const DeclaredName& name : declared) {
        if (const auto address = addressOf(layout, name.name)) {
            symbols.push_back({name.name, *address, 0, name.line});
        }
    }
    return symbols;
}

}  // namespace

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (line.ends_with('\r')) line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

pack83::Result<TranslatedSource> translateInMemory(const std::filesystem::path& source,
                                                   const std::vector<std::string>& trovikOptions) {
    std::vector<std::string> arguments{source.stem().string()};
    arguments.insert(arguments.end(), trovikOptions.begin(), trovikOptions.end());
    const auto line = trovik::parseCommandLine(arguments);
    if (!line) {
        return pack83::Failure{trovik::describeRefusedArguments(arguments)};
    }
    SourceFolder files(source.parent_path().empty() ? "." : source.parent_path());
    trovik::LineReader reader;
    if (auto failure = reader.open(files, line->sourceName)) {
        return pack83::Failure{source.string() + ": " + failure->cause};
    }
    trovik::OutputFile output;
    if (auto failure = output.create(files, line->outputName)) {
        return pack83::Failure{failure->fileName + ": " + failure->cause};
    }
    output.countLines();
    trovik::LineMap map(files);
    SilentConsole console;
    std::vector<trovik::Declaration> declarations;
    // The statement checks only warn, and the build showed its warnings.
    trovik::Translation t(
        {line->fileName, line->sourceName, line->spriteFileName, line->optimise, false}, reader,
        output, &map, console, files);
    t.declarations = &declarations;
    trovik::translateSource(t);
    const long outputLines = output.linesWritten();
    const auto closeFailure = output.close();
    if (auto failure = t.fileFailure()) return pack83::Failure{failure->fileName + ": " + failure->cause};
    if (closeFailure) return pack83::Failure{closeFailure->fileName + ": " + closeFailure->cause};
    if (t.error()) {
        const auto sourceLines = linesOf(readAll(files, line->sourceName));
        return pack83::Failure{messageOf(*t.error(), source.filename().string(), sourceLines)};
    }

    TranslatedSource translated;
    translated.asmText = files.written.files[line->outputName];
    translated.sourceLineOf.reserve(static_cast<std::size_t>(outputLines));
    for (long asmLine = 1; asmLine <= outputLines; ++asmLine) {
        translated.sourceLineOf.push_back(static_cast<int>(map.sourceLineOf(asmLine)));
    }
    for (const trovik::Declaration& d : declarations) {
        const bool variable = d.kind == trovik::Declaration::Kind::variable;
        auto& list = variable ? translated.variables : translated.labels;
        list.push_back({d.name, static_cast<int>(d.sourceLine),
                        static_cast<std::uint16_t>(variable ? d.address : 0)});
    }
    // Entry 0 is the program's description, which the source does not name.
    for (std::size_t i = 1; i < t.stringTable.size(); ++i) {
        const trovik::StringEntry& entry = t.stringTable[i];
        translated.strings.push_back({entry.name, static_cast<int>(entry.sourceLine), 0});
    }
    return translated;
}

pack83::Result<SourceLayout> layOut(const std::filesystem::path& asmPath, const std::string& text,
                                    const std::vector<std::string>& includeDirs) {
    /// The source from memory, its include files from the disk.
    class Files final : public tasm::SourceFiles {
      public:
        Files(std::string path, const std::string& text) : path_(std::move(path)), text_(text) {}
        std::optional<std::string> find(const std::string& dir, const std::string& name) const override {
            return disk_.find(dir, name);
        }
        tasm::FileText read(const std::string& path) const override {
            if (path == path_) return {text_, {}};
            return disk_.read(path);
        }

      private:
        std::string path_;
        const std::string& text_;
        tasm::DiskFiles disk_;
    };
    const std::string path = asmPath.string();
    const tasm::SourceText source = tasm::readSource(path, Files(path, text), includeDirs);
    if (!source.errors.empty()) return pack83::Failure{tasm::format(source.errors.front())};

    SourceLayout layout;
    layout.files.push_back(path);
    const auto fileIndex = [&](const std::string& file) {
        const auto found = std::find(layout.files.begin(), layout.files.end(), file);
        if (found != layout.files.end()) return static_cast<int>(found - layout.files.begin());
        layout.files.push_back(file);
        return static_cast<int>(layout.files.size() - 1);
    };
    tasm::Layout addresses;
    for (const tasm::SourceLine& statement : source.lines) {
        const tasm::LineFields fields = tasm::splitFields(statement.text);
        const std::string word = tasm::lower(fields.word);
        const auto before = addresses.location();
        addresses.add(statement.text, fields, statement.where);
        const auto after = addresses.location();
        const tasm::DirectiveRow* directive = tasm::findDirective(word);
        const auto kindOf = [&](tasm::Directive d) { return directive && directive->directive == d; };
        // A label names the address after an .org on its line, else the one
        // its statement starts at; .equ and .set give values, not places.
        const auto labelled = kindOf(tasm::Directive::origin) ? after : before;
        const bool labels = !fields.label.empty() && labelled && !kindOf(tasm::Directive::equate) &&
                            !kindOf(tasm::Directive::set);
        const Places kind = placedBy(word);
        const bool places = before && after && *after > *before && *after <= 0x10000 &&
                            kind != Places::nothing;
        // An include file that only names things (the calculator's) is no source to show.
        if (!places && !(labels && statement.where.file == path)) continue;
        const int file = fileIndex(statement.where.file);
        if (labels) {
            layout.labels.push_back({fields.label, statement.where.line,
                                     static_cast<std::uint16_t>(*labelled)});
            layout.labelFiles.push_back(file);
        }
        if (!places) continue;
        layout.statements.push_back({file, statement.where.line, static_cast<std::uint16_t>(*before),
                                     static_cast<std::uint16_t>(*after), kind == Places::data});
    }
    return layout;
}

namespace {

/// The assembler files of `layout` from index `first` of `debug.files` on:
/// the include files' names and lines, and every file's stretches.
void addAssemblyFiles(const SourceLayout& layout, int first, DebugInfo& debug) {
    for (std::size_t i = 1; i < layout.files.size(); ++i) {
        debug.files.push_back(layout.files[i]);
        tasm::DiskFiles disk;
        debug.lines.push_back(linesOf(disk.read(layout.files[i]).text.value_or("")));
    }
    std::vector<Piece> pieces;
    for (const PlacedStatement& s : layout.statements) {
        pieces.push_back({s.start, s.end, s.line, first + s.file});
    }
    addRanges(pieces, debug.code);
}

}  // namespace

DebugInfo tablesOfSource(const std::filesystem::path& p83, const std::string& p83Text,
                         const std::filesystem::path& asmPath, const TranslatedSource& translated,
                         const SourceLayout& layout) {
    DebugInfo debug;
    debug.files = {p83.string(), asmPath.string()};
    debug.lines = {linesOf(p83Text), linesOf(translated.asmText)};
    std::vector<Piece> sourcePieces;
    for (const PlacedStatement& s : layout.statements) {
        const std::size_t index = static_cast<std::size_t>(s.line) - 1;
        const bool inAsm = s.file == 0 && index < translated.sourceLineOf.size();
        const int sourceLine = inAsm ? translated.sourceLineOf[index] : 0;
        // The strings a statement names are data at the program's end, not
        // a stretch of that statement.
        if (sourceLine > 0 && !s.data) sourcePieces.push_back({s.start, s.end, sourceLine});
    }
    addRanges(sourcePieces, debug.code);
    addAssemblyFiles(layout, 1, debug);
    debug.labels = placed(translated.labels, layout);
    debug.strings = placed(translated.strings, layout);
    for (const DeclaredName& v : translated.variables) {
        debug.variables.push_back({v.name, v.address, 0, v.line});
    }
    return debug;
}

DebugInfo tablesOfAssembly(const std::filesystem::path& asmPath, const std::string& asmText,
                           const SourceLayout& layout) {
    DebugInfo debug;
    debug.files = {asmPath.string()};
    debug.lines = {linesOf(asmText)};
    addAssemblyFiles(layout, 0, debug);
    for (std::size_t i = 0; i < layout.labels.size(); ++i) {
        const DeclaredName& label = layout.labels[i];
        debug.labels.push_back({label.name, label.address, layout.labelFiles[i], label.line});
    }
    return debug;
}

pack83::Result<std::string> objectFileName(const std::filesystem::path& source,
                                           const std::vector<std::string>& trovikOptions) {
    std::vector<std::string> arguments{source.stem().string()};
    arguments.insert(arguments.end(), trovikOptions.begin(), trovikOptions.end());
    const auto line = trovik::parseCommandLine(arguments);
    if (!line) return pack83::Failure{trovik::describeRefusedArguments(arguments)};
    const auto job = tasm::parseArguments(trovik::splitAtBlanks(line->assemblerArguments));
    if (!job) return pack83::Failure{"tasm.exe does not take " + line->assemblerArguments};
    return job->output;
}

std::vector<std::string> includeFoldersFor(const std::filesystem::path& asmPath,
                                           const std::filesystem::path& tasmProgram) {
    return tasm::includeFolders(asmPath.string(), std::getenv("TASM_INCLUDE"), tasmProgram.string());
}

namespace {

/// A folder of its own under $TMPDIR (or /tmp), removed with all it holds.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::error_code error;
        std::string pattern = (std::filesystem::temp_directory_path(error) / "calcview-XXXXXX").string();
        if (error) pattern = "/tmp/calcview-XXXXXX";
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    /// Empty when it could not be made.
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace

pack83::Result<std::vector<std::uint8_t>> assembleAside(const std::string& asmName,
                                                        const std::string& asmText,
                                                        const std::vector<std::string>& includeDirs) {
    const ScratchFolder folder;
    if (folder.path().empty()) {
        return pack83::Failure{"no temporary folder could be made: " + std::string(std::strerror(errno))};
    }
    const std::filesystem::path source = folder.path() / asmName;
    const std::filesystem::path binary = std::filesystem::path(source).replace_extension(".bin");
    {
        std::ofstream out(source, std::ios::binary);
        out << asmText;
        out.close();
        if (!out) return pack83::Failure{source.string() + ": could not be written"};
    }
    std::ostringstream report;
    std::ostringstream errors;
    const int status = tasm::assemble({source.string(), binary.string(), tasm::ObjectFormat::binary},
                                      includeDirs, report, errors);
    if (status != tasm::assembled) {
        const auto lines = linesOf(errors.str());
        std::string first = lines.empty() ? "tasm.exe failed" : lines.front();
        // The temporary folder is nothing the user knows.
        if (first.starts_with(source.string())) first.replace(0, source.string().size(), asmName);
        return pack83::Failure{first};
    }
    std::ifstream in(binary, std::ios::binary);
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return pack83::Failure{binary.string() + ": could not be read"};
    return bytes;
}

}  // namespace calcview
