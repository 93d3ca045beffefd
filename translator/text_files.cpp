#include "text_files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace trovik {

namespace {

constexpr std::size_t readBufferSize = 64 * 1024;

bool parentFolderExists(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (parent.empty()) return true;
    std::error_code ignored;
    return std::filesystem::is_directory(parent, ignored);
}

}  // namespace

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        if (valid()) ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

FileDescriptor::~FileDescriptor() {
    if (valid()) ::close(fd_);
}

int FileDescriptor::release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

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

std::optional<FileFailure> LineReader::open(const std::string& path) {
    path_ = path;
    file_ = FileDescriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file_.valid()) {
        failure_ = FileFailure{path, describeOpenFailure(errno, path, false)};
        return failure_;
    }
    buffer_.resize(readBufferSize);
    return std::nullopt;
}

bool LineReader::fillBuffer() {
    if (atEnd_ || failure_ || !file_.valid()) return false;
    for (;;) {
        const ssize_t got = ::read(file_.get(), buffer_.data(), buffer_.size());
        if (got > 0) {
            position_ = 0;
            end_ = static_cast<std::size_t>(got);
            return true;
        }
        if (got == 0) {
            atEnd_ = true;
            return false;
        }
        if (errno != EINTR) {
            failure_ = FileFailure{path_, describeTransferFailure(errno, false)};
            return false;
        }
    }
}

bool LineReader::readLine(std::string& line) {
    line.clear();
    bool readAnything = false;
    for (;;) {
        if (position_ == end_ && !fillBuffer()) {
            return readAnything && !failure_;
        }
        readAnything = true;
        const char* begin = buffer_.data() + position_;
        const char* stop = buffer_.data() + end_;
        const void* found = std::memchr(begin, '\n', static_cast<std::size_t>(stop - begin));
        const char* newline = found ? static_cast<const char*>(found) : stop;
        line.append(begin, newline);
        position_ = static_cast<std::size_t>(newline - buffer_.data());
        if (newline != stop) {
            ++position_;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return true;
        }
    }
}

std::optional<FileFailure> OutputFile::create(const std::string& path) {
    path_ = path;
    file_ = FileDescriptor(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!file_.valid()) {
        failure_ = FileFailure{path, describeOpenFailure(errno, path, true)};
        return failure_;
    }
    buffer_ = std::make_unique<char[]>(bufferSize);
    return std::nullopt;
}

void OutputFile::writeLine(std::string_view text) { writeLineOf(text); }

void OutputFile::flushBuffer() {
    writeAll(std::string_view(buffer_.get(), used_));
    used_ = 0;
}

void OutputFile::writeAll(std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size() && !failure_) {
        const ssize_t done = ::write(file_.get(), bytes.data() + written, bytes.size() - written);
        if (done >= 0) {
            written += static_cast<std::size_t>(done);
        } else if (errno != EINTR) {
            failure_ = FileFailure{path_, describeTransferFailure(errno, true)};
        }
    }
}

std::optional<FileFailure> OutputFile::close() {
    if (!file_.valid()) return failure_;
    if (!failure_) flushBuffer();
    if (::close(file_.release()) != 0 && !failure_) {
        failure_ = FileFailure{path_, describeTransferFailure(errno, true)};
    }
    return failure_;
}

}  // namespace trovik
