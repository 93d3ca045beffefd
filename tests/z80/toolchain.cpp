// SPDX-License-Identifier: GPL-2.0-or-later
#include "toolchain.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace z80test {

namespace fs = std::filesystem;

namespace {

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

void writeWholeFile(const fs::path& path, const std::string& contents) {
    std::ofstream file(path, std::ios::binary);
    file << contents;
    if (!file.flush()) throw std::runtime_error("cannot write " + path.string());
}

/// A number as the include files write it: decimal, or hexadecimal with a
/// trailing h.
std::optional<std::uint16_t> parseValue(std::string_view text) {
    std::string digits(text);
    int base = 10;
    if (!digits.empty() && (digits.back() == 'h' || digits.back() == 'H')) {
        digits.pop_back();
        base = 16;
    }
    if (digits.empty()) return std::nullopt;
    char* end = nullptr;
    const unsigned long value = std::strtoul(digits.c_str(), &end, base);
    if (*end != '\0' || value > 0xFFFF) return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

/// Runs `argv` in `folder` with `environment` added, standard input empty
/// and both output streams into `logFile`. Returns the exit status, or -1
/// when the program could not be run or had to be stopped after `timeout`.
int runProgramIn(const fs::path& folder, const std::vector<std::string>& argv,
                 const std::vector<std::pair<std::string, std::string>>& environment,
                 const fs::path& logFile, std::chrono::seconds timeout) {
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (::chdir(folder.c_str()) != 0) ::_exit(126);
        for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
        const int in = ::open("/dev/null", O_RDONLY);
        const int log = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || log < 0) ::_exit(126);
        ::dup2(in, 0);
        ::dup2(log, 1);
        ::dup2(log, 2);
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        int status = 0;
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (done < 0) return -1;
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

bool choosesPlainBinary(const std::vector<std::string>& options) {
    return options.size() >= 2 && (options[1] == "-c" || options[1] == "-C");
}

}  // namespace

std::string readWholeFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

Symbols Symbols::fromIncludeFolder(const fs::path& folder) {
    Symbols symbols;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".inc") continue;
        std::istringstream lines(readWholeFile(entry.path()));
        std::string line;
        while (std::getline(lines, line)) {
            std::istringstream words(line);
            std::string name, directive, value;
            if (!(words >> name >> directive >> value) || lowerCase(directive) != ".equ") continue;
            auto number = parseValue(value);
            if (!number) throw std::runtime_error("unreadable value in " + line);
            symbols.values_[lowerCase(name)] = *number;
        }
    }
    return symbols;
}

std::uint16_t Symbols::at(std::string_view name) const {
    auto found = values_.find(lowerCase(name));
    if (found == values_.end()) throw std::out_of_range("no symbol " + std::string(name));
    return found->second;
}

const fs::path& includeFolder() {
    static const fs::path folder = Z80_INCLUDE_DIR;
    return folder;
}

const Symbols& includeSymbols() {
    static const Symbols symbols = Symbols::fromIncludeFolder(includeFolder());
    return symbols;
}

BuiltProgram translateAndAssemble(const SourceProgram& program, const std::string& folderName) {
    const fs::path folder =
        fs::temp_directory_path() / ("trovik-z80-" + folderName + "-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    writeWholeFile(folder / (program.name + ".p83"), program.source);
    for (const auto& [name, contents] : program.files) writeWholeFile(folder / name, contents);

    std::vector<std::string> argv{TROVIK_BINARY, program.name};
    argv.insert(argv.end(), program.options.begin(), program.options.end());
    const char* path = std::getenv("PATH");
    const std::string searchPath =
        fs::path(TASM_STANDIN).parent_path().string() + ":" + (path ? path : "/usr/bin:/bin");
    BuiltProgram built;
    built.status = runProgramIn(folder, argv,
                                {{"PATH", searchPath}, {"TASM_INCLUDE", includeFolder().string()}},
                                folder / "log.txt", std::chrono::seconds(30));
    built.log = readWholeFile(folder / "log.txt");
    built.assembly = readWholeFile(folder / (program.name + ".asm"));

    if (choosesPlainBinary(program.options)) {
        const fs::path binary = folder / (program.name + ".bin");
        if (fs::exists(binary))
            built.image = plainBinary(programOrigin, bytesOf(readWholeFile(binary)));
    } else {
        const fs::path object = folder / (program.name + ".obj");
        if (fs::exists(object)) {
            std::string error;
            built.image = parseIntelHex(readWholeFile(object), error);
            if (!built.image) built.log += "\nunreadable object file: " + error;
        }
    }
    fs::remove_all(folder);
    return built;
}

std::string_view shellName(Shell shell) {
    switch (shell) {
        case Shell::ion:
            return "ion";
        case Shell::ashell:
            return "ashell";
        case Shell::sos:
            return "sos";
        case Shell::none:
            return "none";
    }
    return "?";
}

std::uint16_t entryPoint(Shell shell) {
    return shell == Shell::ion ? programOrigin + 1 : programOrigin;
}

void prepareMachine(Machine& machine, const ProgramImage& image) {
    for (const auto& [name, value] : includeSymbols().all()) {
        if (value >= firstRoutineAddress && value <= lastRoutineAddress)
            machine.addStub(name, value);
    }
    machine.addStub("_grphcirc", circleRoutineAddress);
    image.loadInto(machine);
}

RunResult runProgram(Machine& machine, Shell shell, std::uint64_t limit) {
    machine.setCarry(false);
    return machine.call(entryPoint(shell), limit);
}

}  // namespace z80test
