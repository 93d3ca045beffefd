// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The way back from the assembler's messages to the lines the user wrote:
// source lines read again by number, and the assembler's output passed on
// with the source line after each line that names an output line.

#include <optional>
#include <string>
#include <string_view>

#include "line_map.hpp"
#include "platform.hpp"
#include "text_files.hpp"
#include "translation.hpp"

namespace trovik {

/// Reads source lines again by number for messages about them: the
/// translation keeps no copy of the lines it has passed. Messages mostly
/// come in the order of their lines, so the file stays open and is only
/// read again from its start for an earlier line.
class SourceLines {
  public:
    SourceLines(FileSystem& files, std::string name) : files_(files), name_(std::move(name)) {}

    /// Line `number` (counted from 1), empty when the file does not have it.
    std::string lineAt(long number);

  private:
    FileSystem& files_;
    std::string name_;
    std::optional<LineReader> reader_;
    long linesRead_ = 0;
    std::string line_;
};

/// Passes the assembler's lines on as they come. After a line that names
/// FILENAME.asm:N it writes FILENAME.p83:M: and the source line M whose
/// translation wrote output line N.
class AssemblerMessages final : public ProgramOutput {
  public:
    AssemblerMessages(Console& console, FileSystem& files, TranslationSettings settings,
                      std::string outputName, std::size_t outputBytes);

    void line(Stream stream, std::string_view text) override;

  private:
    /// 0 when the output has no such line or the map could not be made.
    long sourceLineOf(long outputLine);

    Console& console_;
    FileSystem& files_;
    TranslationSettings settings_;
    SourceLines source_;
    std::string outputName_;
    std::size_t outputBytes_;
    long outputLines_ = 0;  ///< as the second translation wrote them
    std::optional<LineMap> map_;
};

}  // namespace trovik
