// SPDX-License-Identifier: GPL-2.0-or-later
#include "z80asm_run.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <variant>

#include "text.hpp"

extern char** environ;

namespace tasm {

namespace {

namespace fs = std::filesystem;

/// A fresh folder under the system's temporary folder, removed with its
/// contents when it goes out of scope.
class TemporaryFolder {
  public:
    TemporaryFolder() {
        std::error_code failure;
        const fs::path base = fs::temp_directory_path(failure);
        std::string pattern =
            ((failure ? fs::path("/tmp") : base) / "tasm-standin-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

std::optional<std::string> readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool writeWhole(const std::string& path, const std::vector<AsmLine>& lines) {
    std::ofstream out(path, std::ios::binary);
    for (const AsmLine& line : lines) out << line.text << '\n';
    out.close();
    return static_cast<bool>(out);
}

// Runs z80asm with its output and error streams in `messagesPath`; the
// exit status, or an error text when it could not be started.
std::variant<int, std::string> spawnZ80asm(std::vector<std::string> arguments,
                                           const std::string& messagesPath) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, messagesPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    const int spawnError = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawnError == ENOENT) return std::string("it is not installed (not found on PATH)");
    if (spawnError != 0) return std::string(std::strerror(spawnError));
    int status = 0;
    while (waitpid(child, &status, 0) == -1) {
        if (errno != EINTR) return std::string(std::strerror(errno));
    }
    if (!WIFEXITED(status)) return std::string("it was stopped by a signal");
    return WEXITSTATUS(status);
}

// z80asm reports the references it cannot resolve at the end of the file.
// Every label has been checked before it runs, so such a reference is an
// operand that names a register where the instruction allows none, such as
// "ld b,(de)"; it is reported on the first line with that operand.
std::optional<Diagnostic> unresolvedOperand(const std::string& text,
                                            const std::vector<AsmLine>& lines) {
    const std::string lead = "error: unable to resolve reference: ";
    if (text.rfind(lead, 0) != 0) return std::nullopt;
    std::string operand = text.substr(lead.size());
    while (!operand.empty() && operand.back() == ' ') operand.pop_back();
    for (const AsmLine& line : lines) {
        const size_t blank = line.text.find(' ');
        if (blank != std::string::npos && line.text.find(operand, blank) != std::string::npos) {
            return Diagnostic{line.where, "invalid operand " + operand};
        }
    }
    return std::nullopt;
}

// The first word of a z80asm line: its mnemonic or directive.
std::string mnemonicOf(const std::string& text) {
    const size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return "";
    return text.substr(start, text.find_first_of(" \t", start) - start);
}

// "relative jump out of range (N)", N counted from the next instruction, as
// how far the jump reaches and how far its label is.
std::optional<std::string> jumpDistance(const std::string& message, const std::string& line) {
    const std::string lead = "relative jump out of range (";
    if (message.rfind(lead, 0) != 0) return std::nullopt;
    const long distance = std::strtol(message.c_str() + lead.size(), nullptr, 10);
    if (distance < 0) {
        return mnemonicOf(line) + " reaches 128 bytes back, the label is " +
               std::to_string(-distance) + " bytes back";
    }
    return mnemonicOf(line) + " reaches 127 bytes ahead, the label is " + std::to_string(distance) +
           " bytes ahead";
}

// z80asm only warns when an operand does not fit its field and keeps its
// low bits; an instruction operand that does not fit is an error here. Data
// directives keep the warning.
std::optional<std::string> operandTooWide(const std::string& message, const std::string& line) {
    for (const char* field : {"byte", "word"}) {
        const std::string lead = "warning: " + std::string(field) + " value ";
        if (message.rfind(lead, 0) != 0) continue;
        const std::string mnemonic = mnemonicOf(line);
        if (mnemonic == "defb" || mnemonic == "defw" || mnemonic == "defs") return std::nullopt;
        const std::string value =
            message.substr(lead.size(), message.find(' ', lead.size()) - lead.size());
        const char* range = field[0] == 'b' ? "-128 to 255" : "-32768 to 65535";
        return "the operand value " + value + " does not fit in a " + field + " (" + range + ")";
    }
    return std::nullopt;
}

}  // namespace

Z80asmResult runZ80asm(const std::vector<AsmLine>& lines, const std::string& mainSource) {
    Z80asmResult result;
    const auto fail = [&](std::string message, Failure kind = Failure::general) {
        result.errors.push_back({Location{mainSource, 0}, std::move(message), kind});
        return result;
    };
    TemporaryFolder folder;
    if (folder.path().empty()) {
        return fail("cannot create a temporary folder", Failure::fileAccess);
    }
    const std::string source = folder.path() + "/source.z80";
    const std::string labels = folder.path() + "/labels.txt";
    const std::string binary = folder.path() + "/code.bin";
    const std::string messages = folder.path() + "/messages.txt";
    const std::string list = folder.path() + "/list.txt";
    if (!writeWhole(source, lines)) {
        return fail("cannot write the temporary file " + source, Failure::fileAccess);
    }

    const std::variant<int, std::string> status =
        spawnZ80asm({"z80asm", "--label=" + labels, "--list=" + list, "--output=" + binary, source},
                    messages);
    if (const auto* why = std::get_if<std::string>(&status)) {
        return fail("cannot run z80asm: " + *why + "; install the z80asm package");
    }
    const std::string messageText = readWhole(messages).value_or("");
    mapMessages(messageText, source, lines, result);
    if (std::get<int>(status) != 0) {
        if (!result.errors.empty()) return result;
        return fail("z80asm failed: " + messageText);
    }
    const std::optional<std::string> code = readWhole(binary);
    const std::optional<std::string> labelText = readWhole(labels);
    if (!code || !labelText) return fail("z80asm wrote no output");
    result.bytes.assign(code->begin(), code->end());
    result.labels = parseLabelFile(*labelText);
    result.lineAddresses = parseListAddresses(readWhole(list).value_or(""), lines.size());
    if (result.lineAddresses.empty()) return fail("z80asm wrote no list of addresses");
    return result;
}

std::vector<uint32_t> parseListAddresses(const std::string& text, size_t lineCount) {
    std::vector<uint32_t> addresses;
    addresses.reserve(lineCount + 1);
    std::istringstream in(text);
    std::string line;
    bool inFile = false;
    while (std::getline(in, line)) {
        if (line.starts_with("# File ")) {
            inFile = true;
            continue;
        }
        if (line.starts_with("# End of file")) {
            inFile = false;
            continue;
        }
        if (!inFile && addresses.size() != lineCount) continue;
        if (line.size() < 4 || !std::all_of(line.begin(), line.begin() + 4, [](char c) {
                return std::isxdigit(static_cast<unsigned char>(c)) != 0;
            })) {
            return {};
        }
        addresses.push_back(static_cast<uint32_t>(std::stoul(line.substr(0, 4), nullptr, 16)));
    }
    if (addresses.size() != lineCount + 1) return {};
    return addresses;
}

void mapMessages(const std::string& messages, const std::string& asmPath,
                 const std::vector<AsmLine>& lines, Z80asmResult& result) {
    std::istringstream in(messages);
    std::string message;
    const std::string prefix = asmPath + ":";
    while (std::getline(in, message)) {
        if (message.rfind(prefix, 0) != 0) continue;
        size_t end = prefix.size();
        while (end < message.size() && isDigit(message[end])) ++end;
        if (end == prefix.size() || message.compare(end, 2, ": ") != 0) continue;
        const size_t lineNumber = std::stoul(message.substr(prefix.size(), end - prefix.size()));
        if (lines.empty()) continue;
        const AsmLine& line = lines[std::min(std::max<size_t>(lineNumber, 1), lines.size()) - 1];
        const Location& where = line.where;
        std::string text = message.substr(end + 2);
        if (std::optional<std::string> wide = operandTooWide(text, line.text)) {
            result.errors.push_back({where, std::move(*wide)});
            continue;
        }
        if (const std::optional<Diagnostic> found = unresolvedOperand(text, lines)) {
            result.errors.push_back(*found);
            continue;
        }
        if (text.rfind("error: ", 0) == 0) {
            text.erase(0, 7);
            result.errors.push_back({where, jumpDistance(text, line.text).value_or(text)});
        } else if (text.rfind("warning: ", 0) == 0) {
            result.warnings.push_back({where, text});
        } else {
            result.errors.push_back({where, text});
        }
    }
}

std::map<std::string, uint32_t> parseLabelFile(const std::string& text) {
    std::map<std::string, uint32_t> labels;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const size_t colon = line.find(':');
        const size_t dollar = line.find('$', colon == std::string::npos ? 0 : colon);
        if (colon == std::string::npos || dollar == std::string::npos) continue;
        labels[line.substr(0, colon)] =
            static_cast<uint32_t>(std::strtoul(line.c_str() + dollar + 1, nullptr, 16));
    }
    return labels;
}

}  // namespace tasm
