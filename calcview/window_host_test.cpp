// SPDX-License-Identifier: GPL-2.0-or-later
#include "window_host.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

namespace calcview {
namespace {

namespace fs = std::filesystem;

/// A folder of dropped files: two programs, two data files, a damaged file and a text file.
class DroppedFiles : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        fs::create_directories(folder());
        write("returns.bin", {0xC9});
        write("runs_away.bin", {0x00, 0xC3, 0x00, 0x10});  // nop, jp 1000h
        write("loops.bin", {0x18, 0xFE});
        write("broken.83p", {'*', '*', 'T', 'I', '8', '3', '*', '*', 0x1A});
        write("notes.txt", {'h', 'i'});
        for (const char* name : {"level.83p", "score.83p"}) {
            const ti83::Variable real{"A", ti83::realType, std::vector<std::uint8_t>(9, 0)};
            ASSERT_TRUE(ti83::writeCalculatorFileBytes((folder() / name).string(), real, ""));
        }
    }
    static void TearDownTestSuite() { fs::remove_all(folder()); }
    static fs::path folder() {
        return fs::temp_directory_path() / ("calcview-drop-" + std::to_string(::getpid()));
    }
    static void write(const char* name, std::initializer_list<unsigned char> bytes) {
        std::ofstream file(folder() / name, std::ios::binary);
        for (unsigned char byte : bytes) file.put(static_cast<char>(byte));
    }
    static std::vector<fs::path> files(std::initializer_list<const char*> names) {
        std::vector<fs::path> paths;
        for (const char* name : names) paths.push_back(folder() / name);
        return paths;
    }
};

TEST_F(DroppedFiles, TheFirstProgramRunsWithTheOtherFilesBesideIt) {
    fs::path program;
    std::string error;
    const auto loaded =
        loadDropped(files({"level.83p", "loops.bin", "returns.bin"}), program, error);
    ASSERT_TRUE(loaded) << error;
    EXPECT_EQ(program.filename(), "loops.bin");
    EXPECT_EQ(loaded->program.code, std::vector<std::uint8_t>({0x18, 0xFE}));
    EXPECT_EQ(loaded->variables.size(), 3u);
}

TEST_F(DroppedFiles, WhatCannotRunIsNamed) {
    const std::vector<std::pair<std::vector<fs::path>, std::string>> cases = {
        {files({"notes.txt"}), "notes.txt: not a .83p, .83g or .bin file"},
        {files({"level.83p"}), "level.83p holds no program"},
        {files({"level.83p", "score.83p"}), "none of the dropped files holds a program"},
        {files({"returns.bin", "broken.83p"}), "broken.83p"},
    };
    for (const auto& [dropped, message] : cases) {
        fs::path program;
        std::string error;
        EXPECT_FALSE(loadDropped(dropped, program, error));
        EXPECT_NE(error.find(message), std::string::npos) << error;
    }
}

TEST_F(DroppedFiles, ADropRestartsTheWindowsProgramAndAFailedOneKeepsIt) {
    Calculator first;
    CalculatorHost host(first, "", startLoaded);
    EXPECT_FALSE(host.hasProgram());
    EXPECT_TRUE(first.shownPixel(0, 8)) << "the invitation's D";

    std::string error;
    ASSERT_TRUE(host.restart(files({"loops.bin"}), error)) << error;
    EXPECT_EQ(host.title(), "calcview - loops.bin (no shell)");
    EXPECT_EQ(host.run(clockHz), RunState::running);
    EXPECT_FALSE(host.calculator().shownPixel(0, 8));
    const std::uint64_t ran = host.cycles();

    EXPECT_FALSE(host.restart(files({"notes.txt"}), error));
    EXPECT_EQ(host.title(), "calcview - loops.bin (no shell)");
    EXPECT_EQ(host.cycles(), ran) << "the program goes on";

    ASSERT_TRUE(host.restart(files({"returns.bin"}), error)) << error;
    EXPECT_EQ(host.cycles(), 0u);
    EXPECT_EQ(host.run(clockHz), RunState::returned);
}

TEST_F(DroppedFiles, AFaultNamesItsSourceLineAskedOnceForTheProgramShown) {
    Calculator first;
    CalculatorHost host(first, "", startLoaded);
    std::vector<std::pair<std::string, std::uint16_t>> asked;
    host.nameFaultSources(
        [&](const fs::path& file, std::uint16_t address) -> std::optional<std::string> {
            asked.emplace_back(file.filename().string(), address);
            return "runs_away.asm:2: jp 1000h";
        },
        {});
    std::string error;
    ASSERT_TRUE(host.restart(files({"runs_away.bin"}), error)) << error;
    EXPECT_EQ(host.run(clockHz), RunState::fault);
    EXPECT_EQ(host.report().sourceLine, "runs_away.asm:2: jp 1000h");
    EXPECT_EQ(host.report().sourceLine, "runs_away.asm:2: jp 1000h");
    EXPECT_EQ(asked, (std::vector<std::pair<std::string, std::uint16_t>>{{"runs_away.bin", 0x9328}}));
    ASSERT_TRUE(host.restart(files({"returns.bin"}), error)) << error;
    EXPECT_EQ(host.run(clockHz), RunState::returned);
    EXPECT_EQ(host.report().sourceLine, "");
    EXPECT_EQ(asked.size(), 1u);
}

}  // namespace
}  // namespace calcview
