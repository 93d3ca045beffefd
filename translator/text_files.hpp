#pragma once
// Line-oriented reading and buffered writing of the translator's files, with
// every failure turned into a report that names the file and the cause.

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trovik {

/// A failed file operation: the file's name and the failure in words
/// ("File not found", "Path not found", "Access denied", "Disk Full",
/// "Disk read error", "Disk write error").
struct FileFailure {
    std::string fileName;
    std::string cause;
};

/// Owns a POSIX file descriptor.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    ~FileDescriptor();

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release();

private:
    int fd_ = -1;
};

/// Reads a text file line by line. A line ends at LF or at CR LF; the
/// terminator is not part of the line, and a last line without one is still
/// a line. Lines of any length and any byte values are kept whole.
class LineReader {
public:
    /// Opens `path` for reading.
    std::optional<FileFailure> open(const std::string& path);
    /// Reads the next line into `line`. False at the end of the file or
    /// after a read failure (see `failure`).
    bool readLine(std::string& line);
    const std::optional<FileFailure>& failure() const { return failure_; }

private:
    bool fillBuffer();

    FileDescriptor file_;
    std::string path_;
    std::vector<char> buffer_;
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    std::optional<FileFailure> failure_;
};

/// Writes lines, each followed by LF, through one large buffer. The first
/// failure is kept; later writes are dropped.
class OutputFile {
public:
    /// Creates or empties `path` and opens it for writing.
    std::optional<FileFailure> create(const std::string& path);
    void writeLine(std::string_view text);
    /// Writes one line made of `parts` (strings, string views or literals).
    /// The line's size is known before any byte is copied, so a line that
    /// fits the buffer is copied without further checks.
    template <typename... Parts>
    void writeLineOf(const Parts&... parts) {
        if (failure_) return;
        const std::size_t size = (sizeOfPart(parts) + ... + 1);
        if (char* out = roomFor(size)) {
            ((out = copyPart(out, parts)), ...);
            *out = '\n';
            used_ += size;
        } else {
            (writeAll(std::string_view(parts)), ...);
            writeAll("\n");
        }
    }
    /// Flushes the buffer and closes the file; returns the first failure of
    /// any write, the flush or the close.
    std::optional<FileFailure> close();
    const std::optional<FileFailure>& failure() const { return failure_; }

private:
    static constexpr std::size_t bufferSize = 256 * 1024;

    template <std::size_t N>
    static constexpr std::size_t sizeOfPart(const char (&)[N]) {
        return N - 1;
    }
    static std::size_t sizeOfPart(std::string_view text) { return text.size(); }
    template <std::size_t N>
    static char* copyPart(char* out, const char (&literal)[N]) {
        std::memcpy(out, literal, N - 1);
        return out + (N - 1);
    }
    static char* copyPart(char* out, std::string_view text) {
        if (text.empty()) return out;  // an empty view may carry no address at all
        std::memcpy(out, text.data(), text.size());
        return out + text.size();
    }
    /// Where the next `size` bytes go in the buffer, flushing it first when
    /// they do not fit; null for more than the whole buffer holds.
    char* roomFor(std::size_t size) {
        if (size > bufferSize - used_) {
            flushBuffer();
            if (size > bufferSize) return nullptr;
        }
        return buffer_.get() + used_;
    }
    void flushBuffer();
    void writeAll(std::string_view bytes);

    FileDescriptor file_;
    std::string path_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    std::optional<FileFailure> failure_;
};

/// The words for a failed open of `path` with `errorNumber`.
std::string describeOpenFailure(int errorNumber, const std::string& path, bool forWriting);
/// The words for a failed read or write with `errorNumber`.
std::string describeTransferFailure(int errorNumber, bool writing);

}  // namespace trovik
