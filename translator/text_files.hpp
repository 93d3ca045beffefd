// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Line-oriented reading and buffered writing of the translator's files, with
// every failure turned into a report that names the file and the cause. The
// bytes come from and go to a FileSystem; these classes add the lines and
// the buffering.

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform.hpp"

namespace trovik {

/// Copies `text` to `out` and returns the end of the copy. Source lines and
/// their arguments are mostly a few characters, which two fixed-size copies
/// that may overlap move faster than a call.
inline char* copyText(char* out, std::string_view text) {
    const std::size_t n = text.size();
    const char* from = text.data();
    if (n <= 3) {
        if (n > 0) {  // first, middle and last byte cover one to three
            out[0] = from[0];
            out[n / 2] = from[n / 2];
            out[n - 1] = from[n - 1];
        }
    } else if (n <= 7) {
        std::memcpy(out, from, 4);
        std::memcpy(out + n - 4, from + n - 4, 4);
    } else if (n <= 16) {
        std::memcpy(out, from, 8);
        std::memcpy(out + n - 8, from + n - 8, 8);
    } else {
        std::memcpy(out, from, n);
    }
    return out + n;
}

/// Reads a text file line by line. A line ends at LF or at CR LF; the
/// terminator is not part of the line, and a last line without one is still
/// a line. Lines of any length and any byte values are kept whole.
class LineReader {
public:
    /// Opens `path` of `files` for reading.
    std::optional<FileFailure> open(FileSystem& files, const std::string& path);
    /// Reads the next line; `line` shows it until the next read. False at the
    /// end of the file or after a read failure (see `failure`).
    bool readLine(std::string_view& line) {
        if (position_ == end_) return readLineAcrossReads(line);
        const char* start = buffer_.data() + position_;
        const void* found = std::memchr(start, '\n', end_ - position_);
        if (!found) return readLineAcrossReads(line);
        line = std::string_view(start,
                                static_cast<std::size_t>(static_cast<const char*>(found) - start));
        position_ += line.size() + 1;
        if (line.ends_with('\r')) line.remove_suffix(1);
        return true;
    }
    /// The same, with the line copied into `line`.
    bool readLine(std::string& line);
    const std::optional<FileFailure>& failure() const { return failure_; }

private:
    /// `readLine` when the buffer holds no whole line.
    bool readLineAcrossReads(std::string_view& line);
    /// Moves the unread bytes to the front of the buffer, making it larger
    /// when they fill it, and reads more after them.
    void readMore();

    std::unique_ptr<FileReader> file_;
    std::string path_;
    std::vector<char> buffer_;
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    std::optional<FileFailure> failure_;
};

/// Writes lines, each followed by LF, through one large buffer. The first
/// failure is kept; later lines are dropped, and so are all lines after
/// `dropLaterLines`.
class OutputFile {
public:
    /// Creates or empties `path` of `files` and opens it for writing.
    std::optional<FileFailure> create(FileSystem& files, const std::string& path);
    /// Opens no file: the lines are counted and dropped.
    void openDiscarding();
    void writeLine(std::string_view text) { writeLineOf(text); }
    /// Writes one line made of `parts` (strings, string views or literals).
    /// The line's size is known before any byte is copied, so a line that
    /// fits the buffer is copied without further checks.
    template <typename... Parts>
    void writeLineOf(const Parts&... parts) {
        const std::size_t size = (sizeOfPart(parts) + ... + 1);
        if (size > bufferSize - used_ && !makeRoom(size)) {
            (writeAll(std::string_view(parts)), ...);
            writeAll("\n");
            lines_ += 1;  // parts hold no line ends
            return;
        }
        char* out = buffer_.get() + used_;
        ((out = copyPart(out, parts)), ...);
        *out = '\n';
        used_ += size;
    }
    /// Writes what the buffer holds and drops every later line.
    void dropLaterLines() {
        flushBuffer();
        dropping_ = true;
    }
    /// Flushes the buffer and closes the file; returns the first failure of
    /// any write, the flush or the close.
    std::optional<FileFailure> close();
    const std::optional<FileFailure>& failure() const { return failure_; }
    /// How many bytes were handed to the file so far.
    std::size_t bytesWritten() const { return flushed_ + used_; }
    /// From now on lines are counted. A translation that writes a file
    /// needs no count, so it pays nothing for one.
    void countLines() { countingLines_ = true; }
    /// How many lines were handed to the file so far, once `countLines`
    /// was called before the first.
    long linesWritten() {
        lines_ += std::count(buffer_.get() + countedTo_, buffer_.get() + used_, '\n');
        countedTo_ = used_;
        return lines_;
    }

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
    static char* copyPart(char* out, std::string_view text) { return copyText(out, text); }
    /// Flushes the buffer to make room for `size` more bytes; false when
    /// they are more than the whole buffer holds.
    bool makeRoom(std::size_t size) {
        flushBuffer();
        return size <= bufferSize;
    }
    /// Writes what the buffer holds and empties it.
    void flushBuffer();
    /// Writes `bytes` straight to the file.
    void writeAll(std::string_view bytes);
    void noteFailure(std::optional<std::string> why);

    std::unique_ptr<FileWriter> file_;
    std::string path_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    std::size_t flushed_ = 0;
    bool countingLines_ = false;
    long lines_ = 0;
    std::size_t countedTo_ = 0;  ///< the lines of the buffer before it are in `lines_`
    bool dropping_ = false;
    std::optional<FileFailure> failure_;
};

}  // namespace trovik
