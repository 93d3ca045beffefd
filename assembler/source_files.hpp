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

class SourceFiles {
  public:
    virtual ~SourceFiles() = default;
    /// True when `path` names a regular file.
    virtual bool exists(const std::string& path) const = 0;
    virtual FileText read(const std::string& path) const = 0;
};

class DiskFiles : public SourceFiles {
  public:
    bool exists(const std::string& path) const override;
    FileText read(const std::string& path) const override;
};

/// Files by their path exactly as they will be asked for.
class MemoryFiles : public SourceFiles {
  public:
    explicit MemoryFiles(std::map<std::string, std::string> files) : files_(std::move(files)) {}
    bool exists(const std::string& path) const override { return files_.count(path) != 0; }
    FileText read(const std::string& path) const override;

  private:
    std::map<std::string, std::string> files_;
};

}  // namespace tasm
