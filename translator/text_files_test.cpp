// SPDX-License-Identifier: GPL-2.0-or-later
#include "text_files.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "memory_files.hpp"
#include "posix_platform.hpp"

namespace fs = std::filesystem;

namespace trovik {
namespace {

class TextFiles : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("trovik-files-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string pathOf(const std::string& name) const { return (folder_ / name).string(); }

    std::string writeFile(const std::string& name, const std::string& contents) {
        std::ofstream(pathOf(name), std::ios::binary) << contents;
        return pathOf(name);
    }

    /// The lines of `path`, read from the disk and again from memory in reads
    /// of one and of three bytes, which must give the same lines.
    std::vector<std::string> readAllLines(const std::string& path) {
        const std::vector<std::string> lines = readAllLines(files_, path);
        for (std::size_t largestRead : {1, 3}) {
            MemoryFileSystem memory;
            memory.largestRead = largestRead;
            std::ifstream file(path, std::ios::binary);
            memory.files[path].assign(std::istreambuf_iterator<char>(file), {});
            EXPECT_EQ(readAllLines(memory, path), lines) << "in reads of " << largestRead;
        }
        return lines;
    }

    static std::vector<std::string> readAllLines(FileSystem& files, const std::string& path) {
        LineReader reader;
        EXPECT_FALSE(reader.open(files, path));
        std::vector<std::string> lines;
        for (std::string line; reader.readLine(line);) lines.push_back(line);
        EXPECT_FALSE(reader.failure());
        return lines;
    }

    PosixFileSystem files_;
    fs::path folder_;
};

TEST_F(TextFiles, LinesEndAtLineFeedOrCarriageReturnLineFeed) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(readAllLines(writeFile("a", "one\ntwo\r\nthree")), (Lines{"one", "two", "three"}));
    EXPECT_EQ(readAllLines(writeFile("b", "one\n\n")), (Lines{"one", ""}));
    EXPECT_EQ(readAllLines(writeFile("c", "lone\rcr\n")), (Lines{"lone\rcr"}));
    EXPECT_EQ(readAllLines(writeFile("d", "")), Lines{});
    EXPECT_EQ(readAllLines(writeFile("e", "\r\n")), Lines{""});
    EXPECT_EQ(readAllLines(writeFile("f", std::string("\0\xff\x80x\n", 5))),
              Lines{std::string("\0\xff\x80x", 4)});
}

TEST_F(TextFiles, LongLinesAreReadWhole) {
    const std::string longLine(300000, 'x');
    EXPECT_EQ(readAllLines(writeFile("long", longLine + "\r\n" + longLine)),
              (std::vector<std::string>{longLine, longLine}));
}

TEST_F(TextFiles, OpenFailuresSayWhatWentWrong) {
    LineReader reader;
    auto failure = reader.open(files_, pathOf("missing.p83"));
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->fileName, pathOf("missing.p83"));
    EXPECT_EQ(failure->cause, "File not found");

    LineReader inMissingFolder;
    EXPECT_EQ(inMissingFolder.open(files_, pathOf("nowhere/x.p83"))->cause, "Path not found");

    OutputFile output;
    EXPECT_EQ(output.create(files_, pathOf("nowhere/x.asm"))->cause, "Path not found");
}

TEST_F(TextFiles, ReadingAFolderIsRefused) {
    LineReader reader;
    ASSERT_FALSE(reader.open(files_, folder_.string()));
    std::string line;
    EXPECT_FALSE(reader.readLine(line));
    ASSERT_TRUE(reader.failure());
    EXPECT_EQ(reader.failure()->cause, "Access denied");
}

TEST_F(TextFiles, OutputIsWrittenWithLineFeeds) {
    OutputFile output;
    ASSERT_FALSE(output.create(files_, pathOf("out.asm")));
    output.writeLine("\tret");
    output.writeLine("");
    output.writeLine("END");
    EXPECT_FALSE(output.close());
    std::ifstream file(pathOf("out.asm"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "\tret\n\nEND\n");
}

TEST(CopyText, CopiesEveryLengthExactly) {
    const std::string source = "0123456789abcdefghijklmnopqrstuvwxyz";
    for (std::size_t n = 0; n <= source.size(); ++n) {
        std::string target(source.size() + 1, '.');
        EXPECT_EQ(copyText(target.data(), std::string_view(source).substr(0, n)) - target.data(),
                  static_cast<long>(n));
        EXPECT_EQ(target, source.substr(0, n) + std::string(source.size() + 1 - n, '.'));
    }
}

TEST_F(TextFiles, OutputKeepsItsOrderAcrossBuffersAndLinesLongerThanThem) {
    MemoryFileSystem memory;
    OutputFile output;
    ASSERT_FALSE(output.create(memory, "out.asm"));
    std::string expected;
    for (int i = 0; i < 40000; ++i) {
        const std::string line = i % 9999 == 0 ? std::string(300000, 'a' + i % 26)
                                               : "\tld hl, (" + std::to_string(i) + ")";
        output.writeLineOf(line.substr(0, 3), line.substr(3));
        expected += line + "\n";
    }
    EXPECT_FALSE(output.close());
    EXPECT_TRUE(memory.files["out.asm"] == expected);
}

TEST_F(TextFiles, AFullDiskIsReportedAtTheFinalFlush) {
    OutputFile output;
    ASSERT_FALSE(output.create(files_, "/dev/full"));
    output.writeLine("small enough to stay in the buffer");
    auto failure = output.close();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->cause, "Disk Full");
}

TEST_F(TextFiles, AFullDiskIsReportedWhileWriting) {
    OutputFile output;
    ASSERT_FALSE(output.create(files_, "/dev/full"));
    const std::string line(1000, 'x');
    for (int i = 0; i < 1000 && !output.failure(); ++i) output.writeLine(line);
    ASSERT_TRUE(output.failure());
    EXPECT_EQ(output.failure()->cause, "Disk Full");
    EXPECT_TRUE(output.close());
}

}  // namespace
}  // namespace trovik
