// SPDX-License-Identifier: GPL-2.0-or-later
#include "program_file.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "variable_table.hpp"

namespace calcview {

namespace {

bool isProgram(const ti83::Variable& variable) {
    return variable.type == ti83::programType || variable.type == ti83::protectedProgramType;
}

ti83::Status checkSize(const std::vector<std::uint8_t>& code) {
    if (code.empty()) return ti83::Failure{"the program is empty"};
    if (code.size() > largestProgram) {
        return ti83::Failure{"the program has " + std::to_string(code.size()) +
                             " bytes; at most " + std::to_string(largestProgram) +
                             " fit in the calculator's memory"};
    }
    return {};
}

std::string lowerExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

/// A .bin's program as the protected program a shell would run, named after
/// the file (letters and digits, at most 8).
ti83::Result<ti83::Variable> binaryVariable(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return ti83::Failure{"cannot open " + path.string() + ": " + std::strerror(errno)};
    std::vector<std::uint8_t> code((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
    if (file.bad()) {
        return ti83::Failure{"cannot read " + path.string() + ": " + std::strerror(errno)};
    }
    if (const auto size = checkSize(code); !size) {
        return ti83::Failure{path.string() + ": " + size.message()};
    }
    std::string name;
    for (char c : path.stem().string()) {
        if (name.size() < 8 && std::isalnum(static_cast<unsigned char>(c)))
            name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0]))) name = "A" + name;
    return ti83::Variable{name.substr(0, 8), ti83::protectedProgramType,
                          ti83::withLengthWord(code)};
}

}  // namespace

Program programFromCode(std::vector<std::uint8_t> code) {
    Program program;
    const ti83::Shell shell = ti83::detectShell(code);
    program.shell = ti83::shellName(shell);
    program.start = shell == ti83::Shell::ion ? StartKind::ion : StartKind::plain;
    program.code = std::move(code);
    return program;
}

ti83::Result<Program> programFromVariable(std::span<const std::uint8_t> data) {
    const auto body = ti83::programBytes(data);
    if (!body) return ti83::Failure{body.message()};
    std::vector<std::uint8_t> code(body->begin(), body->end());
    if (ti83::isHexText(*body)) {
        auto decoded = ti83::decodeHexText(*body);
        if (!decoded) return ti83::Failure{decoded.message()};
        code = std::move(*decoded);
    }
    if (const auto size = checkSize(code); !size) return ti83::Failure{size.message()};
    return programFromCode(std::move(code));
}

ti83::Result<std::vector<ti83::Variable>> readVariables(const std::filesystem::path& path) {
    const std::string extension = lowerExtension(path);
    if (extension == ".bin") {
        auto variable = binaryVariable(path);
        if (!variable) return ti83::Failure{variable.message()};
        return std::vector<ti83::Variable>{std::move(*variable)};
    }
    if (extension != ".83p" && extension != ".83g") {
        return ti83::Failure{path.string() + ": not a .83p, .83g or .bin file"};
    }
    return ti83::readCalculatorFile(path.string());
}

ti83::Result<Loaded> loadFiles(std::span<const std::filesystem::path> paths) {
    if (paths.empty()) return ti83::Failure{"no program file given"};
    Loaded loaded;
    for (const auto& path : paths) {
        auto variables = readVariables(path);
        if (!variables) return ti83::Failure{variables.message()};
        if (&path == &paths.front()) {
            const auto first = std::find_if(variables->begin(), variables->end(), isProgram);
            if (first == variables->end()) return ti83::Failure{path.string() + " holds no program"};
            auto program = programFromVariable(first->data);
            if (!program) return ti83::Failure{path.string() + ": " + program.message()};
            loaded.program = std::move(*program);
            loaded.running = static_cast<std::size_t>(first - variables->begin());
        }
        for (auto& variable : *variables) loaded.variables.push_back(std::move(variable));
    }
    return loaded;
}

ti83::Result<Program> loadProgramFile(const std::filesystem::path& path) {
    auto loaded = loadFiles(std::span(&path, 1));
    if (!loaded) return ti83::Failure{loaded.message()};
    return std::move(loaded->program);
}

ti83::Status startLoaded(Calculator& calc, const Loaded& loaded) {
    calc.start(loaded.program.code, loaded.program.start);
    return storeVariables(calc, loaded.variables, loaded.running, loaded.program.code.size());
}

}  // namespace calcview
