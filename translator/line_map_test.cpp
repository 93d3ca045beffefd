// SPDX-License-Identifier: GPL-2.0-or-later
#include "line_map.hpp"

#include <gtest/gtest.h>

#include <random>

#include "memory_files.hpp"

namespace trovik {
namespace {

/// Marks in the ways a translation makes them, and the source line of each
/// output line as it should come back.
struct MarkedRuns {
    std::vector<long> sourceOfLine{0};  // index 0 unused

    void mark(LineMap& map, long sourceLine, long lines) {
        map.mark(static_cast<long>(sourceOfLine.size()), sourceLine);
        sourceOfLine.insert(sourceOfLine.end(), static_cast<std::size_t>(lines), sourceLine);
    }
};

MarkedRuns markRandomRuns(LineMap& map, int runs, unsigned seed) {
    std::mt19937 random(seed);
    MarkedRuns marked;
    long source = 1;
    for (int i = 0; i < runs; ++i) {
        switch (random() % 6) {
            case 0:
                source += 1 + random() % 40'000;
                break;  // far ahead
            case 1:
                source = std::max(1L, source - 1 - static_cast<long>(random() % 31));
                break;
            case 2:
                source += 2 + random() % 29;
                break;  // near ahead
            default:
                source += 1;  // the next line
        }
        const long lines = random() % 4 == 0 ? static_cast<long>(random() % 400) : random() % 8;
        marked.mark(map, source, lines);
    }
    return marked;
}

TEST(LineMap, GivesBackEveryLineWhateverTheRunsAndWhereTheyAreKept) {
    // Small blocks: most runs go to the scratch file, and the index is thinned out.
    struct Case {
        std::size_t blockSize;
        int runs;
    };
    for (const Case c : {Case{1, 60'000}, Case{200, 20'000}, Case{64 * 1024, 5'000}}) {
        MemoryFileSystem files;
        LineMap map(files, c.blockSize);
        const MarkedRuns marked = markRandomRuns(map, c.runs, static_cast<unsigned>(c.blockSize));
        const long last = static_cast<long>(marked.sourceOfLine.size()) - 1;
        for (long line = last; line >= 1; line -= 997) {  // backwards: no help from order
            ASSERT_EQ(map.sourceLineOf(line), marked.sourceOfLine[line]) << line;
        }
        for (long line = 1; line <= last; line += 101) {
            ASSERT_EQ(map.sourceLineOf(line), marked.sourceOfLine[line]) << line;
        }
        EXPECT_EQ(map.sourceLineOf(last), marked.sourceOfLine[last]);
        EXPECT_FALSE(map.failure());
    }
}

/// A file system without room for scratch files.
class NoScratchRoom final : public FileSystem {
public:
    Opened<FileReader> openForReading(const std::string&) override { return {nullptr, "-"}; }
    Opened<FileWriter> createForWriting(const std::string&) override { return {nullptr, "-"}; }
    Opened<ScratchFile> createScratchFile() override { return {nullptr, "Disk Full"}; }
    std::string scratchFolder() override { return "/tmp"; }
};

TEST(LineMap, WithoutItsScratchFileKnowsNoLine) {
    NoScratchRoom files;
    LineMap map(files, 64);
    markRandomRuns(map, 1000, 1);
    ASSERT_TRUE(map.failure());
    EXPECT_EQ(map.failure()->fileName, "/tmp");
    EXPECT_EQ(map.failure()->cause, "Disk Full");
    EXPECT_EQ(map.sourceLineOf(1), 0);
}

}  // namespace
}  // namespace trovik
