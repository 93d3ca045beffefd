#include "posix_platform.hpp"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

extern char** environ;

namespace trovik {

namespace {

std::FILE* fileOf(Stream stream) { return stream == Stream::out ? stdout : stderr; }

constexpr std::string_view clearSequence = "\x1b[H\x1b[2J";
constexpr std::string_view brightSequence = "\x1b[1m";
constexpr std::string_view normalSequence = "\x1b[0m";

void writeRaw(Stream stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), fileOf(stream));
}

}  // namespace

TerminalConsole::TerminalConsole()
    : outIsTerminal_(isatty(STDOUT_FILENO) == 1), errIsTerminal_(isatty(STDERR_FILENO) == 1) {}

void TerminalConsole::clearScreen(Stream stream) {
    if (stream == Stream::out ? outIsTerminal_ : errIsTerminal_) {
        writeRaw(stream, clearSequence);
        std::fflush(fileOf(stream));
    }
}

void TerminalConsole::setAttribute(Stream stream, Attribute attribute) {
    Attribute& current = stream == Stream::out ? outAttribute_ : errAttribute_;
    const bool terminal = stream == Stream::out ? outIsTerminal_ : errIsTerminal_;
    if (terminal && attribute != current) {
        writeRaw(stream, attribute == Attribute::bright ? brightSequence : normalSequence);
    }
    current = attribute;
}

void TerminalConsole::write(Stream stream, std::string_view text) { writeRaw(stream, text); }

bool TerminalConsole::inputIsTerminal() { return isatty(STDIN_FILENO) == 1; }

bool TerminalConsole::readLine(std::string& line) {
    std::fflush(stdout);
    std::fflush(stderr);
    return static_cast<bool>(std::getline(std::cin, line));
}

std::optional<std::string> PosixProcessStarter::runAndWait(
    const std::string& program, const std::vector<std::string>& arguments) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    pid_t child = 0;
    const int spawnError = posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv.data(), environ);
    if (spawnError != 0) return std::string(std::strerror(spawnError));
    int status = 0;
    while (waitpid(child, &status, 0) == -1) {
        if (errno != EINTR) return std::string(std::strerror(errno));
    }
    return std::nullopt;
}

}  // namespace trovik
