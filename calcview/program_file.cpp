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

bool checkSize(const std::vector<std::uint8_t>& code, std::string& error) {
    if (code.empty()) {
        error = "the program is empty";
        return false;
    }
    if (code.size() > largestProgram) {
        error = "the program has " + std::to_string(code.size()) + " bytes; at most " +
                std::to_string(largestProgram) + " fit in the calculator's memory";
        return false;
    }
    return true;
}

std::string lowerExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

/// A .bin's program as the protected program a shell would run, named after
/// the file (letters and digits, at most 8).
std::optional<ti83::Variable> binaryVariable(const std::filesystem::path& path,
                                             std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path.string() + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::vector<std::uint8_t> code((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
    if (file.bad()) {
        error = "cannot read " + path.string() + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::string cause;
    if (!checkSize(code, cause)) {
        error = path.string() + ": " + cause;
        return std::nullopt;
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

std::optional<Program> programFromVariable(std::span<const std::uint8_t> data, std::string& error) {
    const auto body = ti83::programBytes(data);
    if (!body) {
        error = body.message();
        return std::nullopt;
    }
    std::vector<std::uint8_t> code(body->begin(), body->end());
    if (ti83::isHexText(*body)) {
        auto decoded = ti83::decodeHexText(*body);
        if (!decoded) {
            error = decoded.message();
            return std::nullopt;
        }
        code = std::move(*decoded);
    }
    if (!checkSize(code, error)) return std::nullopt;
    return programFromCode(std::move(code));
}

std::optional<std::vector<ti83::Variable>> readVariables(const std::filesystem::path& path,
                                                         std::string& error) {
    const std::string extension = lowerExtension(path);
    if (extension == ".bin") {
        auto variable = binaryVariable(path, error);
        if (!variable) return std::nullopt;
        return std::vector<ti83::Variable>{std::move(*variable)};
    }
    if (extension != ".83p" && extension != ".83g") {
        error = path.string() + ": not a .83p, .83g or .bin file";
        return std::nullopt;
    }
    auto variables = ti83::readCalculatorFile(path.string());
    if (!variables) {
        error = variables.message();
        return std::nullopt;
    }
    return std::move(*variables);
}

std::optional<Loaded> loadFiles(std::span<const std::filesystem::path> paths, std::string& error) {
    if (paths.empty()) {
        error = "no program file given";
        return std::nullopt;
    }
    Loaded loaded;
    for (const auto& path : paths) {
        auto variables = readVariables(path, error);
        if (!variables) return std::nullopt;
        if (&path == &paths.front()) {
            const auto first = std::find_if(variables->begin(), variables->end(), isProgram);
            if (first == variables->end()) {
                error = path.string() + " holds no program";
                return std::nullopt;
            }
            std::string cause;
            auto program = programFromVariable(first->data, cause);
            if (!program) {
                error = path.string() + ": " + cause;
                return std::nullopt;
            }
            loaded.program = std::move(*program);
            loaded.running = static_cast<std::size_t>(first - variables->begin());
        }
        for (auto& variable : *variables) loaded.variables.push_back(std::move(variable));
    }
    return loaded;
}

std::optional<Program> loadProgramFile(const std::filesystem::path& path, std::string& error) {
    auto loaded = loadFiles(std::span(&path, 1), error);
    if (!loaded) return std::nullopt;
    return std::move(loaded->program);
}

std::optional<std::string> startLoaded(Calculator& calc, const Loaded& loaded) {
    calc.start(loaded.program.code, loaded.program.start);
    return storeVariables(calc, loaded.variables, loaded.running, loaded.program.code.size());
}

}  // namespace calcview
