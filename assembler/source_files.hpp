// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Where source and include files come from: the disk, or a table in memory
// (for tests and fuzzing, which must not touch the file system).

#include <map>
#include <optional>
#include <string>

namespace tasm {

/// The whole text of a file, or why it could not be read.
struct FileText {
    std::optional<std::string> text;
    std::string why;  ///< the cause when `text` is empty
};

/// `name` in the folder `dir` ("" is the current folder).
std::string joinPath(const std::string& dir, const std::string& name);

class SourceFiles {
  public:
    virtual ~SourceFiles() = default;
    /// The path of the file `name` (which may hold folders, separated by '/'
    /// or '\\') in the folder `dir`, if there is one.
    virtual std::optional<std::string> find(const std::string& dir,
                                            const std::string& name) const = 0;
    virtual FileText read(const std::string& path) const = 0;
};

/// Sources written on systems whose file names ignore case often name an
/// include file in another case than the disk has it; when no file has the
/// name exactly, find() takes one whose name differs only in case.
class DiskFiles : public SourceFiles {
  public:
    std::optional<std::string> find(const std::string& dir, const std::string& name) const override;
    FileText read(const std::string& path) const override;
};

/// Files by their path exactly as they will be asked for.
class MemoryFiles : public SourceFiles {
  public:
    explicit MemoryFiles(std::map<std::string, std::string> files) : files_(std::move(files)) {}
    std::optional<std::string> find(const std::string& dir, const std::string& name) const override;
    FileText read(const std::string& path) const override;

  private:
    std::map<std::string, std::string> files_;
};

}  // namespace tasm
