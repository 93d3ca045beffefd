// SPDX-License-Identifier: GPL-2.0-or-later
#include "posix_platform.hpp"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
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

/// Writes all of `bytes` to `fd`; the failure in words when that failed.
std::optional<std::string> writeAll(int fd, std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t done = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (done >= 0) {
            written += static_cast<std::size_t>(done);
        } else if (errno != EINTR) {
            return describeTransferFailure(errno, true);
        }
    }
    return std::nullopt;
}

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
        return writeAll(file_.get(), bytes);
    }
    std::optional<std::string> close() override {
        if (!file_.valid()) return std::nullopt;
        if (const int error = file_.close()) return describeTransferFailure(error, true);
        return std::nullopt;
    }

private:
    FileDescriptor file_;
};

class PosixScratchFile final : public ScratchFile {
public:
    explicit PosixScratchFile(int fd) : file_(fd) {}
    std::optional<std::string> append(std::string_view bytes) override {
        return writeAll(file_.get(), bytes);
    }
    ReadResult readAt(std::size_t offset, char* buffer, std::size_t size) override {
        for (;;) {
            const ssize_t got = ::pread(file_.get(), buffer, size, static_cast<off_t>(offset));
            if (got >= 0) return {static_cast<std::size_t>(got), std::nullopt};
            if (errno != EINTR) return {0, describeTransferFailure(errno, false)};
        }
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

void TerminalConsole::write(Stream stream, std::string_view text) {
    writeRaw(stream, text);
    // What the assembler writes is passed on as it comes, also into a pipe.
    if (stream == Stream::out) std::fflush(stdout);
}

bool TerminalConsole::inputIsTerminal() { return isatty(STDIN_FILENO) == 1; }

bool TerminalConsole::readLine(std::string& line) {
    std::fflush(stdout);
    std::fflush(stderr);
    return static_cast<bool>(std::getline(std::cin, line));
}

namespace {

/// Hands the bytes of one stream of a program over as lines.
class LineSplitter {
public:
    LineSplitter(Stream stream, ProgramOutput& output) : stream_(stream), output_(output) {}

    void take(const char* bytes, std::size_t count) {
        pending_.append(bytes, count);
        std::size_t start = 0;
        for (std::size_t end; (end = pending_.find('\n', start)) != std::string::npos;
             start = end + 1) {
            output_.line(stream_, std::string_view(pending_).substr(start, end - start));
        }
        pending_.erase(0, start);
        // A line without an end is passed on in pieces, so memory stays bounded.
        if (pending_.size() >= longestLine) finish();
    }
    /// Passes on what is left at the end of the stream.
    void finish() {
        if (!pending_.empty()) output_.line(stream_, pending_);
        pending_.clear();
    }

private:
    static constexpr std::size_t longestLine = 64 * 1024;
    Stream stream_;
    ProgramOutput& output_;
    std::string pending_;
};

/// A pipe whose ends are closed when it is destroyed.
struct Pipe {
    int readEnd = -1;
    int writeEnd = -1;
    bool open() {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) return false;
        readEnd = ends[0];
        writeEnd = ends[1];
        return true;
    }
    static void closeEnd(int& fd) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    ~Pipe() {
        closeEnd(readEnd);
        closeEnd(writeEnd);
    }
};

/// Reads both pipes until both are at their end, passing lines on as they come.
void relayLines(Pipe& out, Pipe& err, ProgramOutput& output) {
    LineSplitter splitters[2] = {{Stream::out, output}, {Stream::err, output}};
    pollfd watched[2] = {{out.readEnd, POLLIN, 0}, {err.readEnd, POLLIN, 0}};
    char buffer[16 * 1024];
    int openCount = 2;
    while (openCount > 0) {
        if (poll(watched, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (watched[i].fd < 0 || watched[i].revents == 0) continue;
            const ssize_t got = ::read(watched[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                splitters[i].take(buffer, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                splitters[i].finish();
                watched[i].fd = -1;  // poll skips it from now on
                --openCount;
            }
        }
    }
}

int statusOf(int waitStatus) {
    if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
    return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 1;
}

}  // namespace

ProgramEnd PosixProcessStarter::run(const std::string& program,
                                    const std::vector<std::string>& arguments,
                                    ProgramOutput& output) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    Pipe out;
    Pipe err;
    if (!out.open() || !err.open()) return {std::string(std::strerror(errno)), 0};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out.writeEnd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.writeEnd, STDERR_FILENO);
    if (!folder_.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder_.c_str());
    std::vector<std::string> environment;
    std::vector<char*> envp;
    if (!pathFirst_.empty()) {
        std::string path = "PATH=";
        path += pathFirst_;
        if (const char* rest = std::getenv("PATH"); rest && *rest) (path += ':') += rest;
        environment.push_back(std::move(path));
        for (char** entry = environ; *entry; ++entry) {
            if (std::strncmp(*entry, "PATH=", 5) != 0) environment.push_back(*entry);
        }
        for (std::string& entry : environment) envp.push_back(entry.data());
        envp.push_back(nullptr);
    }
    pid_t child = 0;
    const int spawnError = posix_spawnp(&child, program.c_str(), &actions, nullptr, argv.data(),
                                        envp.empty() ? environ : envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawnError != 0) return {std::string(std::strerror(spawnError)), 0};
    // Only the child may hold the writing ends, or the pipes never end.
    Pipe::closeEnd(out.writeEnd);
    Pipe::closeEnd(err.writeEnd);

    relayLines(out, err, output);
    int waitStatus = 0;
    while (waitpid(child, &waitStatus, 0) == -1) {
        if (errno != EINTR) return {std::string(std::strerror(errno)), 0};
    }
    return {std::nullopt, statusOf(waitStatus)};
}

Opened<ScratchFile> PosixFileSystem::createScratchFile() {
    const std::string folder = scratchFolder();
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) {  // a file system without unnamed files: a named one, unlinked at once
        std::string name = folder + "/trovik-XXXXXX";
        fd = mkostemp(name.data(), O_CLOEXEC);
        if (fd >= 0) ::unlink(name.c_str());
    }
    if (fd < 0) return {nullptr, describeOpenFailure(errno, folder, true)};
    return {std::make_unique<PosixScratchFile>(fd), {}};
}

std::string PosixFileSystem::scratchFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder && *folder ? folder : "/tmp";
}

}  // namespace trovik
