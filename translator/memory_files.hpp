// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A file system held in memory, for running whole translations where there
// is no disk: in tests and under the fuzzer.

#include <map>
#include <string>

#include "platform.hpp"

namespace trovik {

/// Files by name, each its whole contents. Reading a name that is not there
/// fails with "File not found"; writing creates or replaces the file.
class MemoryFileSystem final : public FileSystem {
public:
    Opened<FileReader> openForReading(const std::string& path) override;
    Opened<FileWriter> createForWriting(const std::string& path) override;
    /// A scratch file held in memory, not among `files`.
    Opened<ScratchFile> createScratchFile() override;
    std::string scratchFolder() override { return "memory"; }

    std::map<std::string, std::string> files;
    /// The most bytes one read hands out, so that readers meet lines split
    /// across reads.
    std::size_t largestRead = 1 << 20;
};

}  // namespace trovik
