// SPDX-License-Identifier: GPL-2.0-or-later
#include "packer.hpp"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string_view>

#include "ti83_file.hpp"

namespace pack83 {

namespace {

namespace fs = std::filesystem;

enum class InputKind { binary, intelHex };

struct Extension {
    const char* text;
    InputKind kind;
};

constexpr Extension inputExtensions[] = {
    {".bin", InputKind::binary},
    {".obj", InputKind::intelHex},
    {".hex", InputKind::intelHex},
};

std::optional<InputKind> inputKind(const std::string& input) {
    const std::string extension = fs::path(input).extension().string();
    for (const Extension& known : inputExtensions) {
        if (extension == known.text) return known.kind;
    }
    return std::nullopt;
}

Result<std::string> readWholeFile(const std::string& path) {
    std::error_code ignored;
    if (fs::is_directory(path, ignored)) return Failure{path + ": is a folder, not a file"};
    std::ifstream in(path, std::ios::binary);
    if (!in) return Failure{path + ": cannot open (" + std::strerror(errno) + ")"};
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return Failure{path + ": cannot read (" + std::strerror(errno) + ")"};
    return bytes.str();
}

Result<Program> readProgram(const std::string& path, const std::string& bytes, InputKind kind) {
    Result<Program> program = kind == InputKind::binary ? readBinary(bytes) : readIntelHex(bytes);
    if (!program) return Failure{path + ": " + program.message()};
    return program;
}

/// The message of the step that failed, and whether the input had been read.
struct PackFailure {
    std::string message;
    bool inputRead;
};

/// The whole job, up to the first step that fails.
std::optional<PackFailure> pack(const Options& options, const std::string& output,
                                std::ostream& out) {
    const Result<std::string> bytes = readWholeFile(options.input);
    if (!bytes) return PackFailure{bytes.message(), false};
    const Result<Program> program = readProgram(options.input, *bytes, *inputKind(options.input));
    if (!program) return PackFailure{program.message(), true};
    const Result<std::string> name =
        programName(options.name.value_or(fs::path(options.input).stem().string()));
    if (!name) return PackFailure{name.message(), true};
    const Shell shell = detectShell(program->code);
    const Form form = options.form.value_or(formFor(shell));
    const Result<Variable> variable = programVariable(*program, form, *name);
    if (!variable) return PackFailure{options.input + ": " + variable.message(), true};
    if (const auto written = ti83::writeCalculatorFile(output, *variable); !written)
        return PackFailure{written.message(), true};
    out << "pack83: wrote " << output << ": program " << *name << ", " << program->code.size()
        << " bytes of code (" << shellName(shell) << " header), "
        << (form == Form::squished ? "squished, as a protected program (06h)"
                                   : "unsquished hex text, as a program (05h)")
        << "\n";
    return std::nullopt;
}

}  // namespace

Result<Options> parseArguments(const std::vector<std::string>& arguments) {
    Options options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--squished" || argument == "--unsquished") {
            if (options.form) return Failure{"choose one of --squished and --unsquished"};
            options.form = argument == "--squished" ? Form::squished : Form::unsquished;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument.starts_with("--name=")) {
            options.name = argument.substr(std::string_view("--name=").size());
        } else if (argument == "--name") {
            if (i + 1 == arguments.size()) return Failure{"--name needs a program name"};
            options.name = arguments[++i];
        } else if (argument.starts_with("-")) {
            return Failure{"unknown option " + argument};
        } else if (!options.input.empty()) {
            return Failure{"one input file only"};
        } else {
            options.input = argument;
        }
    }
    if (options.help || options.version) return options;
    if (options.input.empty()) return Failure{"no input file"};
    if (!inputKind(options.input)) {
        return Failure{options.input + ": the input must be FILE.bin or FILE.obj"};
    }
    return options;
}

std::string usage() {
    return "Usage: pack83 [--name NAME] [--squished|--unsquished] FILE.bin|FILE.obj\n"
           "\n"
           "Writes the assembled TI-83 program FILE.bin (plain binary) or FILE.obj\n"
           "(Intel HEX) as FILE.83p, the program file a link program such as TiLP\n"
           "sends to the calculator. The code must be assembled for 9327h.\n"
           "\n"
           "A program starting with an Ion, AShell or SOS header is written squished,\n"
           "as a protected program the shell lists; any other program as hex text,\n"
           "which the calculator runs with Send(9prgmNAME.\n"
           "\n"
           "  --name NAME    program name on the calculator (1 to 8 letters and digits,\n"
           "                 a letter first); default: FILE in upper case\n"
           "  --squished     write the machine code as a protected program (06h)\n"
           "  --unsquished   write hex text with End/0000/End as a program (05h)\n"
           "  --help, -h     show this text\n"
           "  --version      show the version\n"
           "\n"
           "Exit status: 0 when the .83p was written, 1 when it was not (no .83p of\n"
           "a refused input is left behind; a missing input touches nothing), 2 for\n"
           "a command line it does not understand.\n";
}

std::optional<std::string> outputPath(const std::string& input) {
    if (!inputKind(input)) return std::nullopt;
    return fs::path(input).replace_extension(".83p").string();
}

int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& errors) {
    const Result<Options> options = parseArguments(arguments);
    if (!options) {
        errors << "pack83: " << options.message() << "\n" << usage();
        return 2;
    }
    if (options->help) {
        out << usage();
        return 0;
    }
    if (options->version) {
        out << TOOLCHAIN_VERSION << "\n";
        return 0;
    }
    const std::string output = *outputPath(options->input);
    if (const auto failed = pack(*options, output, out)) {
        errors << "pack83: " << failed->message << "\n";
        // A file from an earlier run of this input would pass for this one's; without the
        // input (a typo, say) the file of that name is someone else's.
        std::error_code ignored;
        if (failed->inputRead) fs::remove(output, ignored);
        return 1;
    }
    return 0;
}

}  // namespace pack83
