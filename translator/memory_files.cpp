// SPDX-License-Identifier: GPL-2.0-or-later
#include "memory_files.hpp"

#include <algorithm>
#include <cstring>

namespace trovik {

namespace {

class MemoryFileReader final : public FileReader {
public:
    MemoryFileReader(const std::string& contents, std::size_t largestRead)
        : contents_(contents), largestRead_(largestRead) {}
    ReadResult read(char* buffer, std::size_t size) override {
        position_ = std::min(position_, contents_.size());  // the file may have been emptied
        const std::size_t count = std::min({size, largestRead_, contents_.size() - position_});
        if (count > 0) std::memcpy(buffer, contents_.data() + position_, count);
        position_ += count;
        return {count, std::nullopt};
    }

private:
    const std::string& contents_;
    std::size_t largestRead_;
    std::size_t position_ = 0;
};

class MemoryFileWriter final : public FileWriter {
public:
    explicit MemoryFileWriter(std::string& contents) : contents_(contents) {}
    std::optional<std::string> write(std::string_view bytes) override {
        contents_.append(bytes);
        return std::nullopt;
    }
    std::optional<std::string> close() override { return std::nullopt; }

private:
    std::string& contents_;
};

class MemoryScratchFile final : public ScratchFile {
public:
    std::optional<std::string> append(std::string_view bytes) override {
        contents_.append(bytes);
        return std::nullopt;
    }
    ReadResult readAt(std::size_t offset, char* buffer, std::size_t size) override {
        if (offset >= contents_.size()) return {0, std::nullopt};
        const std::size_t count = std::min(size, contents_.size() - offset);
        std::memcpy(buffer, contents_.data() + offset, count);
        return {count, std::nullopt};
    }

private:
    std::string contents_;
};

}  // namespace

Opened<ScratchFile> MemoryFileSystem::createScratchFile() {
    return {std::make_unique<MemoryScratchFile>(), {}};
}

Opened<FileReader> MemoryFileSystem::openForReading(const std::string& path) {
    const auto found = files.find(path);
    if (found == files.end()) return {nullptr, "File not found"};
    return {
        std::make_unique<MemoryFileReader>(found->second, std::max<std::size_t>(largestRead, 1)),
        {}};
}

Opened<FileWriter> MemoryFileSystem::createForWriting(const std::string& path) {
    std::string& contents = files[path];
    contents.clear();
    return {std::make_unique<MemoryFileWriter>(contents), {}};
}

}  // namespace trovik
