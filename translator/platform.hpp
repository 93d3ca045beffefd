// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The outside services the translator needs: a text console, a way to start
// the assembler and the files it reads and writes. The core only sees these
// interfaces, so it runs in tests and fuzzing without a terminal, an
// assembler or a disk.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trovik {

enum class Stream { out, err };
enum class Attribute { normal, bright };

/// The console: standard output and standard error with a bright and a
/// normal text attribute, and standard input for reading a line.
class Console {
public:
    virtual ~Console() = default;
    /// Clears the screen that `stream` shows (only where it is a terminal).
    virtual void clearScreen(Stream stream) = 0;
    /// Switches the text attribute of later writes on `stream`.
    virtual void setAttribute(Stream stream, Attribute attribute) = 0;
    virtual void write(Stream stream, std::string_view text) = 0;
    /// Whether a person can type at standard input.
    virtual bool inputIsTerminal() = 0;
    /// Reads one line from standard input; false at its end.
    virtual bool readLine(std::string& line) = 0;
};

/// Receives the lines a started program writes, as they come.
class ProgramOutput {
public:
    virtual ~ProgramOutput() = default;
    /// One line the program wrote to `stream`, without its line end. A last
    /// line without one and the pieces of a very long line come the same way.
    virtual void line(Stream stream, std::string_view text) = 0;
};

/// How a started program ended.
struct ProgramEnd {
    /// Why it could not be started; empty when it ran.
    std::optional<std::string> notStarted;
    /// Its exit status, or 128 plus the signal's number when a signal ended it.
    int status = 0;
};

/// Starts an outside program found by the usual program search.
class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    /// Runs `program` with `arguments`, hands every line it writes to its
    /// standard output and standard error to `output` as it comes, and waits
    /// for it to end.
    virtual ProgramEnd run(const std::string& program, const std::vector<std::string>& arguments,
                           ProgramOutput& output) = 0;
};

/// A failed file operation: the file's name and the failure in words
/// ("File not found", "Path not found", "Access denied", "Disk Full",
/// "Disk read error", "Disk write error").
struct FileFailure {
    std::string fileName;
    std::string cause;
};

/// What one read from a file gave: a count of bytes (0 at the end of the
/// file), or a failure in words.
struct ReadResult {
    std::size_t count = 0;
    std::optional<std::string> failure;
};

/// A file open for reading.
class FileReader {
public:
    virtual ~FileReader() = default;
    /// Reads up to `size` bytes into `buffer`.
    virtual ReadResult read(char* buffer, std::size_t size) = 0;
};

/// A file open for writing.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    /// Writes all of `bytes`; returns the failure in words when that failed.
    virtual std::optional<std::string> write(std::string_view bytes) = 0;
    /// Closes the file; returns the failure in words when that failed.
    virtual std::optional<std::string> close() = 0;
};

/// A file of the run's own, seen by nobody else and gone when it is
/// destroyed: written at its end, read anywhere.
class ScratchFile {
public:
    virtual ~ScratchFile() = default;
    /// Writes all of `bytes` at the end; returns the failure in words.
    virtual std::optional<std::string> append(std::string_view bytes) = 0;
    /// Reads up to `size` bytes from `offset` into `buffer`.
    virtual ReadResult readAt(std::size_t offset, char* buffer, std::size_t size) = 0;
};

/// A file that was opened, or the reason it could not be.
template <typename File>
struct Opened {
    std::unique_ptr<File> file;  ///< null when it could not be opened
    std::string failure;         ///< why not, in words
};

/// The files the translator reads and writes, found by their names.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual Opened<FileReader> openForReading(const std::string& path) = 0;
    /// Creates `path`, or empties it when it exists.
    virtual Opened<FileWriter> createForWriting(const std::string& path) = 0;
    /// Creates a scratch file in the folder for temporary files.
    virtual Opened<ScratchFile> createScratchFile() = 0;
    /// Where scratch files go, for reports.
    virtual std::string scratchFolder() = 0;
};

}  // namespace trovik
