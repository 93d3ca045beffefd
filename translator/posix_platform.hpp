// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The console, process start and files of a POSIX system.

#include <string>

#include "platform.hpp"

namespace trovik {

/// Standard output, standard error and standard input. Screen clearing and
/// text attributes are ANSI sequences, written only to a stream that is a
/// terminal.
class TerminalConsole final : public Console {
public:
    TerminalConsole();
    void clearScreen(Stream stream) override;
    void setAttribute(Stream stream, Attribute attribute) override;
    void write(Stream stream, std::string_view text) override;
    bool inputIsTerminal() override;
    bool readLine(std::string& line) override;

private:
    bool outIsTerminal_;
    bool errIsTerminal_;
    Attribute outAttribute_ = Attribute::normal;
    Attribute errAttribute_ = Attribute::normal;
};

/// Starts programs with posix_spawnp, reads their standard output and
/// standard error through two pipes and waits for them with waitpid.
class PosixProcessStarter final : public ProcessStarter {
public:
    PosixProcessStarter() = default;
    /// Starts programs in `folder` (the current folder when empty), with
    /// `pathFirst` before the folders of their PATH (when not empty).
    PosixProcessStarter(std::string folder, std::string pathFirst)
        : folder_(std::move(folder)), pathFirst_(std::move(pathFirst)) {}
    ProgramEnd run(const std::string& program, const std::vector<std::string>& arguments,
                   ProgramOutput& output) override;

private:
    std::string folder_;
    std::string pathFirst_;
};

/// The files of the file system, opened with open(2). Failures are told in
/// the words of FileFailure.
class PosixFileSystem final : public FileSystem {
public:
    Opened<FileReader> openForReading(const std::string& path) override;
    Opened<FileWriter> createForWriting(const std::string& path) override;
    /// An unnamed file in $TMPDIR, or /tmp.
    Opened<ScratchFile> createScratchFile() override;
    std::string scratchFolder() override;
};

/// The words for a failed open of `path` with `errorNumber`.
std::string describeOpenFailure(int errorNumber, const std::string& path, bool forWriting);
/// The words for a failed read or write with `errorNumber`.
std::string describeTransferFailure(int errorNumber, bool writing);

}  // namespace trovik
