#include "posix_platform.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
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

bool parentFolderExists(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (parent.empty()) return true;
    std::error_code ignored;
    return std::filesystem::is_directory(parent, ignored);
}

/// Owns a POSIX file descriptor.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (valid()) ::close(fd_);
    }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    /// Closes the descriptor; the error number of a failed close, else 0.
    int close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int fd_;
};

class PosixFileReader final : public FileReader {
public:
    explicit PosixFileReader(int fd) : file_(fd) {}
    ReadResult read(char* buffer, std::size_t size) override {
        for (;;) {
            const ssize_t got = ::read(file_.get(), buffer, size);
            if (got >= 0) return {static_cast<std::size_t>(got), std::nullopt};
            if (errno != EINTR) return {0, describeTransferFailure(errno, false)};
        }
    }

private:
    FileDescriptor file_;
};

class PosixFileWriter final : public FileWriter {
public:
    explicit PosixFileWriter(int fd) : file_(fd) {}
    std::optional<std::string> write(std::string_view bytes) override {
        std::size_t written = 0;
        while (written < bytes.size()) {
            const ssize_t done =
                ::write(file_.get(), bytes.data() + written, bytes.size() - written);
            if (done >= 0) {
                written += static_cast<std::size_t>(done);
            } else if (errno != EINTR) {
                return describeTransferFailure(errno, true);
            }
        }
        return std::nullopt;
    }
    std::optional<std::string> close() override {
        if (!file_.valid()) return std::nullopt;
        if (const int error = file_.close()) return describeTransferFailure(error, true);
        return std::nullopt;
    }

private:
    FileDescriptor file_;
};

}  // namespace

std::string describeOpenFailure(int errorNumber, const std::string& path, bool forWriting) {
    switch (errorNumber) {
        case ENOENT:
            return forWriting || !parentFolderExists(path) ? "Path not found" : "File not found";
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return "Path not found";
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case ETXTBSY:
            return "Access denied";
        case ENOSPC:
        case EDQUOT:
            return "Disk Full";
        default:
            return forWriting ? "Disk write error" : "Disk read error";
    }
}

std::string describeTransferFailure(int errorNumber, bool writing) {
    switch (errorNumber) {
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return "Disk Full";
        case EISDIR:
        case EACCES:
        case EPERM:
            return "Access denied";
        default:
            return writing ? "Disk write error" : "Disk read error";
    }
}

Opened<FileReader> PosixFileSystem::openForReading(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {nullptr, describeOpenFailure(errno, path, false)};
    return {std::make_unique<PosixFileReader>(fd), {}};
}

Opened<FileWriter> PosixFileSystem::createForWriting(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return {nullptr, describeOpenFailure(errno, path, true)};
    return {std::make_unique<PosixFileWriter>(fd), {}};
}

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
