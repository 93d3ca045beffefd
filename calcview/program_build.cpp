// SPDX-License-Identifier: GPL-2.0-or-later
// A launch's program in three shapes:
// - FILE.p83: built where it is, as the README builds it (trovik, tasm.exe,
//   pack83), then translated and laid out once more in-process for the
//   tables, whose .asm must be the one the build assembled;
// - FILE.83p or FILE.bin: loaded, and the FILE.p83 (or FILE.asm) beside it
//   built again aside; only when that gives the program's bytes do its
//   tables belong to the program;
// - FILE.asm: assembled in its folder into FILE.bin, which is run.

#include "program_build.hpp"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>

#include "build_tables.hpp"

namespace calcview {

namespace {

using pack83::Failure;
namespace fs = std::filesystem;

std::string lowerExtension(const fs::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

bool isFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

std::optional<std::string> readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    return text;
}

fs::path folderOf(const fs::path& path) {
    return path.parent_path().empty() ? fs::path(".") : path.parent_path();
}

/// Whether `line` is a warning or a note, which does not fail a build, or
/// trovik's count of them ("trovik: 2 warnings, 1 note").
bool isWarning(std::string_view line) {
    static const std::regex count("trovik: \\d+ (warning|note)s?(, \\d+ (warning|note)s?)*");
    return line.starts_with("Warning:") || line.find(": warning:") != std::string_view::npos ||
           line.find(": note:") != std::string_view::npos ||
           std::regex_match(line.begin(), line.end(), count);
}

/// A line of nothing but blanks and a caret under the place a message means.
bool isCaret(std::string_view line) {
    const auto mark = line.find_first_not_of(" \t");
    return mark != std::string_view::npos && line[mark] == '^' && mark + 1 == line.size();
}

/// Whether `line` shows a line of `sourceName` ("NAME.p83:N: text").
bool namesSourceLine(std::string_view line, const std::string& sourceName) {
    return line.starts_with(sourceName + ":") && line.size() > sourceName.size() + 1 &&
           std::isdigit(static_cast<unsigned char>(line[sourceName.size() + 1]));
}

/// What failed a build: its first message that is not a warning (nor the
/// source line and caret shown under one), with the first line after it
/// that shows a line of `sourceName`.
std::string firstMessage(const std::vector<std::string>& lines, const std::string& sourceName) {
    bool underWarning = false;
    for (auto line = lines.begin(); line != lines.end(); ++line) {
        if (isWarning(*line)) {
            underWarning = true;
            continue;
        }
        if (line->empty() || isCaret(*line) || (underWarning && namesSourceLine(*line, sourceName))) {
            continue;
        }
        const auto shown = std::find_if(line + 1, lines.end(), [&](const std::string& next) {
            return namesSourceLine(next, sourceName);
        });
        return shown == lines.end() ? *line : *line + "\n" + *shown;
    }
    return {};
}

/// Runs one program of the build, passing its lines on: the lines.
pack83::Result<std::vector<std::string>> runStep(ToolRunner& tools, const std::string& tool,
                             const std::vector<std::string>& arguments, const fs::path& folder,
                             const BuildOutput& output, const std::string& sourceName) {
    std::string command = tool;
    for (const std::string& argument : arguments) command += " " + argument;
    if (output) output("> " + command);
    std::vector<std::string> lines;
    const ToolEnd end = tools.run(tool, arguments, folder, [&](std::string_view line) {
        lines.emplace_back(line);
        if (output) output(line);
    });
    if (end.notStarted) {
        return Failure{tool + " could not be started (" + *end.notStarted + ")"};
    }
    if (end.status != 0) {
        const std::string first = firstMessage(lines, sourceName);
        return Failure{first.empty() ? command + " failed (exit status " + std::to_string(end.status) + ")"
                                     : first};
    }
    return lines;
}

/// trovik, tasm.exe and pack83 on `source`, in its folder: the .83p.
pack83::Result<fs::path> runBuild(const fs::path& source, const std::vector<std::string>& options,
                                  const BuildOutput& output, ToolRunner& tools) {
    const auto objectName = objectFileName(source, options);
    if (!objectName) return Failure{"trovikOptions " + objectName.message()};
    const fs::path folder = folderOf(source);
    const std::string sourceName = source.filename().string();
    std::vector<std::string> trovikArguments{source.stem().string()};
    trovikArguments.insert(trovikArguments.end(), options.begin(), options.end());

    std::error_code error;
    const auto before = fs::last_write_time(folder / *objectName, error);
    const bool hadObject = !error;
    const auto built = runStep(tools, "trovik", trovikArguments, folder, output, sourceName);
    if (!built) return Failure{built.message()};
    // trovik ends well also when it could not start tasm.exe.
    const auto after = fs::last_write_time(folder / *objectName, error);
    if (error || (hadObject && after == before)) {
        const auto said = std::find_if(built->begin(), built->end(), [](const std::string& line) {
            return line.find("could not be started") != std::string::npos;
        });
        return Failure{said != built->end() ? *said
                                            : "tasm.exe did not write " + *objectName +
                                                  " (is it beside calcview or on PATH?)"};
    }
    if (auto packed = runStep(tools, "pack83", {*objectName}, folder, output, sourceName); !packed) {
        return Failure{packed.message()};
    }
    return folder / (source.stem().string() + ".83p");
}

std::vector<std::string> includeFolders(const fs::path& asmPath, ToolRunner& tools) {
    return includeFoldersFor(asmPath, tools.locate("tasm.exe").value_or(fs::path()));
}

/// The tables of `source` translated with `options`, and its .asm text.
struct SourceTables {
    DebugInfo debug;
    std::string asmText;
    std::vector<int> sourceLineOf;  ///< of each .asm line, as TranslatedSource has it
};

/// `message` about a line of the .asm, followed by the .p83 line that wrote
/// it, as trovik passes the assembler's messages on.
std::string withSourceLine(const std::string& message, const SourceTables& tables) {
    const std::string asmName = fs::path(tables.debug.files[1]).filename().string() + ":";
    if (!message.starts_with(asmName)) return message;
    const int asmLine = std::atoi(message.c_str() + asmName.size());
    if (asmLine < 1 || asmLine > static_cast<int>(tables.sourceLineOf.size())) return message;
    const int line = tables.sourceLineOf[static_cast<std::size_t>(asmLine) - 1];
    const auto& lines = tables.debug.lines[0];
    if (line < 1 || line > static_cast<int>(lines.size())) return message;
    return message + "\n" + fs::path(tables.debug.files[0]).filename().string() + ":" +
           std::to_string(line) + ": " + lines[static_cast<std::size_t>(line) - 1];
}

pack83::Result<SourceTables> tablesOfP83(const fs::path& source, const std::vector<std::string>& options,
                                         ToolRunner& tools) {
    const auto text = readText(source);
    if (!text) return Failure{"cannot read " + source.string() + ": " + std::strerror(errno)};
    auto translated = translateInMemory(source, options);
    if (!translated) return Failure{translated.message()};
    const fs::path asmPath = folderOf(source) / (source.stem().string() + ".asm");
    const auto layout = layOut(asmPath, translated->asmText, includeFolders(asmPath, tools));
    if (!layout) return Failure{layout.message()};
    return SourceTables{tablesOfSource(source, *text, asmPath, *translated, *layout),
                        std::move(translated->asmText), std::move(translated->sourceLineOf)};
}

pack83::Result<Loaded> load(const fs::path& program, const std::vector<fs::path>& files) {
    std::vector<fs::path> paths{program};
    paths.insert(paths.end(), files.begin(), files.end());
    return loadFiles(paths);
}

pack83::Result<BuiltProgram> buildFromSource(const BuildRequest& request, const BuildOutput& output,
                                             ToolRunner& tools) {
    const fs::path& source = request.program;
    const auto programFile = runBuild(source, request.trovikOptions, output, tools);
    if (!programFile) return Failure{programFile.message()};
    auto tables = tablesOfP83(source, request.trovikOptions, tools);
    if (!tables) return Failure{tables.message()};
    // The tables are this calcview's translation; the program is the
    // translation of the trovik that ran. They must be the same.
    const auto written = readText(tables->debug.files[1]);
    if (!written || *written != tables->asmText) {
        return Failure{tables->debug.files[1] + " is not what calcview's own trovik writes for " +
                       source.filename().string() +
                       ": the trovik that ran is another version; put calcview's beside it"};
    }
    auto loaded = load(*programFile, request.files);
    if (!loaded) return Failure{loaded.message()};
    return BuiltProgram{std::move(*loaded), std::move(tables->debug), *programFile};
}

/// The option sets a program file was likely built with, when the launch
/// names none: the README's forms, with -s only where a sprite file is.
std::vector<std::vector<std::string>> likelyOptions(const fs::path& source) {
    const bool sprites = isFile(folderOf(source) / (source.stem().string() + ".spr"));
    std::vector<std::vector<std::string>> sets{{}};
    if (sprites) sets.push_back({"-s"});
    sets.push_back({"-ns", "-nc", "-o"});
    if (sprites) sets.push_back({"-s", "-nc", "-o"});
    return sets;
}

/// The tables of the .p83 or .asm beside `programFile`, when it still
/// makes `code`. Nothing when there is no source beside it; a failure when
/// the source no longer makes the program.
pack83::Result<std::optional<DebugInfo>> tablesBeside(const fs::path& programFile,
                                                      const std::vector<std::uint8_t>& code,
                                                      const std::vector<std::string>& options,
                                                      ToolRunner& tools) {
    const fs::path folder = folderOf(programFile);
    const fs::path p83 = folder / (programFile.stem().string() + ".p83");
    const fs::path asmPath = folder / (programFile.stem().string() + ".asm");
    const std::string changed = " changed since " + programFile.filename().string() +
                                " was written: building it again does not give the program's bytes";
    if (isFile(p83)) {
        const auto sets = options.empty() ? likelyOptions(p83) : std::vector<std::vector<std::string>>{options};
        // When no form builds at all, the first one's message says why.
        std::optional<std::string> firstFailure;
        bool built = false;
        for (const auto& set : sets) {
            auto tables = tablesOfP83(p83, set, tools);
            if (!tables) {
                if (!firstFailure) firstFailure = tables.message();
                continue;
            }
            const auto bytes = assembleAside(asmPath.filename().string(), tables->asmText,
                                             includeFolders(asmPath, tools));
            if (bytes && *bytes == code) return std::optional(std::move(tables->debug));
            built = built || bytes;
            if (!bytes && !firstFailure) firstFailure = withSourceLine(bytes.message(), *tables);
        }
        const bool failed = !built && firstFailure;
        return Failure{p83.string() + changed + (failed ? " (it fails: " + *firstFailure + ")" : "")};
    }
    if (isFile(asmPath)) {
        const auto text = readText(asmPath);
        if (!text) return Failure{"cannot read " + asmPath.string() + ": " + std::strerror(errno)};
        const auto includes = includeFolders(asmPath, tools);
        const auto bytes = assembleAside(asmPath.filename().string(), *text, includes);
        if (!bytes) return Failure{asmPath.string() + changed + " (it fails: " + bytes.message() + ")"};
        if (*bytes != code) return Failure{asmPath.string() + changed};
        const auto layout = layOut(asmPath, *text, includes);
        if (!layout) return Failure{layout.message()};
        return std::optional(tablesOfAssembly(asmPath, *text, *layout));
    }
    return std::optional<DebugInfo>();
}

pack83::Result<BuiltProgram> checkProgramFile(const BuildRequest& request, const BuildOutput& output,
                                              ToolRunner& tools) {
    auto loaded = load(request.program, request.files);
    if (!loaded) return Failure{loaded.message()};
    auto tables = tablesBeside(request.program, loaded->program.code, request.trovikOptions, tools);
    if (!tables) return Failure{tables.message()};
    if (!*tables && output) {
        output("no " + request.program.stem().string() + ".p83 or .asm beside " +
               request.program.filename().string() + ": no source lines, only instructions");
    }
    return BuiltProgram{std::move(*loaded), tables->value_or(DebugInfo{}), request.program};
}

/// A hand-written FILE.asm: assembled in its folder into FILE.bin, as
/// `tasm.exe -t80 -b -i FILE.asm FILE.bin` does, and run from there.
pack83::Result<BuiltProgram> assembleSource(const BuildRequest& request, const BuildOutput& output,
                                            ToolRunner& tools) {
    const fs::path& source = request.program;
    const std::string binary = source.stem().string() + ".bin";
    const std::string sourceName = source.filename().string();
    if (auto built = runStep(tools, "tasm.exe", {"-t80", "-b", "-i", sourceName, binary},
                             folderOf(source), output, sourceName);
        !built) {
        return Failure{built.message()};
    }
    const auto text = readText(source);
    if (!text) return Failure{"cannot read " + source.string() + ": " + std::strerror(errno)};
    const auto layout = layOut(source, *text, includeFolders(source, tools));
    if (!layout) return Failure{layout.message()};
    auto loaded = load(folderOf(source) / binary, request.files);
    if (!loaded) return Failure{loaded.message()};
    return BuiltProgram{std::move(*loaded), tablesOfAssembly(source, *text, *layout),
                        folderOf(source) / binary};
}

}  // namespace

pack83::Result<BuiltProgram> buildProgram(const BuildRequest& given, const BuildOutput& output,
                                          ToolRunner& tools) {
    // The tables name files as the editor will: by their whole path.
    BuildRequest request = given;
    std::error_code error;
    if (const auto absolute = fs::absolute(request.program, error); !error) {
        request.program = absolute.lexically_normal();
    }
    const std::string extension = lowerExtension(request.program);
    auto built = extension == ".p83"   ? buildFromSource(request, output, tools)
                 : extension == ".asm" ? assembleSource(request, output, tools)
                                       : checkProgramFile(request, output, tools);
    if (!built || built->debug.code.empty()) return built;
    // The layout works lengths out itself; z80asm made the bytes. Where they
    // part, no line of the tables can be trusted.
    std::uint32_t end = 0;
    for (const CodeRange& range : built->debug.code) end = std::max<std::uint32_t>(end, range.end);
    const std::uint32_t programEnd = programOrigin + built->loaded.program.code.size();
    if (end != programEnd) {
        const auto hex = [](std::uint32_t value) {
            char text[8];
            std::snprintf(text, sizeof text, "%04Xh", static_cast<unsigned>(value));
            return std::string(text);
        };
        const std::string& assembly = built->debug.files[lowerExtension(built->debug.files[0]) == ".p83"];
        return Failure{"the stand-in's layout of " + assembly + " ends at " + hex(end) +
                       ", the program at " + hex(programEnd) +
                       ": a fault of the stand-in; please report it with the source"};
    }
    return built;
}

pack83::Result<BuiltProgram> buildProgram(const BuildRequest& request, const BuildOutput& output) {
    return buildProgram(request, output, *systemToolRunner());
}

std::optional<std::string> sourceLineAt(const DebugInfo& debug, std::uint16_t address) {
    for (std::size_t file = 0; file < debug.files.size(); ++file) {
        for (const CodeRange& range : debug.code) {
            if (range.file != static_cast<int>(file) || address < range.start || address >= range.end) {
                continue;
            }
            const auto& lines = debug.lines[file];
            const std::string text =
                range.line >= 1 && range.line <= static_cast<int>(lines.size()) ? lines[range.line - 1] : "";
            return fs::path(debug.files[file]).filename().string() + ":" + std::to_string(range.line) +
                   ": " + text;
        }
    }
    return std::nullopt;
}

std::optional<std::string> faultSourceLine(const fs::path& programFile, std::uint16_t address) {
    const std::string extension = lowerExtension(programFile);
    if (extension != ".83p" && extension != ".bin") return std::nullopt;
    const auto program = loadProgramFile(programFile);
    if (!program) return std::nullopt;
    auto tools = systemToolRunner();
    const auto tables = tablesBeside(programFile, program->code, {}, *tools);
    if (!tables) return tables.message() + "; no source line is named";
    if (!*tables) return std::nullopt;
    return sourceLineAt(**tables, address);
}

}  // namespace calcview
