// SPDX-License-Identifier: GPL-2.0-or-later
#include "command_line.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "test_folder.hpp"

namespace pixelkin {
namespace {

struct CommandLineCase {
    std::vector<std::string_view> arguments;
    bool accepted;
    std::optional<int> scale;
    std::string folder = ".";
    bool version = false;
    bool help = false;
};

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, AcceptsAScaleFromOneToEightAndOneFolder) {
    const auto options = parseCommandLine(GetParam().arguments);
    ASSERT_EQ(options.has_value(), GetParam().accepted);
    if (options) {
        EXPECT_EQ(options->scale, GetParam().scale);
        EXPECT_EQ(options->folder, GetParam().folder);
        EXPECT_EQ(options->version, GetParam().version);
        EXPECT_EQ(options->help, GetParam().help);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTest,
    ::testing::Values(
        CommandLineCase{{}, true, std::nullopt}, CommandLineCase{{"--scale", "1"}, true, 1},
        CommandLineCase{{"--scale", "8"}, true, 8}, CommandLineCase{{"--scale=2"}, true, 2},
        CommandLineCase{{"--scale", "0"}, false, std::nullopt},
        CommandLineCase{{"--scale", "9"}, false, std::nullopt},
        CommandLineCase{{"--scale=9"}, false, std::nullopt},
        CommandLineCase{{"--scale", "-2"}, false, std::nullopt},
        CommandLineCase{{"--scale", "2x"}, false, std::nullopt},
        CommandLineCase{{"--scale", ""}, false, std::nullopt},
        CommandLineCase{{"--scale="}, false, std::nullopt},
        CommandLineCase{{"--scale"}, false, std::nullopt},
        CommandLineCase{{"--scale", "2", "--scale=3"}, false, std::nullopt},
        CommandLineCase{{"sprites"}, true, std::nullopt, "sprites"},
        CommandLineCase{{"a b", "--scale", "3"}, true, 3, "a b"},
        CommandLineCase{{"one", "two"}, false, std::nullopt},
        CommandLineCase{{""}, false, std::nullopt}, CommandLineCase{{"-x"}, false, std::nullopt},
        CommandLineCase{{"--", "-x"}, true, std::nullopt, "-x"},
        CommandLineCase{{"--", "--scale=2"}, true, std::nullopt, "--scale=2"},
        CommandLineCase{{"--version"}, true, std::nullopt, ".", true},
        CommandLineCase{{"--scale", "9", "--version"}, false, std::nullopt},
        CommandLineCase{{"--help"}, true, std::nullopt, ".", false, true},
        CommandLineCase{{"-h", "--scale=0"}, true, std::nullopt, ".", false, true}));

TEST(FolderTest, RefusesWhatIsNoFolderOrCannotBeOpened) {
    const testing::TestFolder folder;
    testing::writeBytes(folder / "file", "x");
    EXPECT_EQ(folderProblem(folder.path()), std::nullopt);
    EXPECT_EQ(folderProblem(folder / "gone"), "no such folder");
    EXPECT_EQ(folderProblem(folder / "file"), "not a folder");
    if (geteuid() != 0) {
        std::filesystem::create_directory(folder / "closed");
        std::filesystem::permissions(folder / "closed", std::filesystem::perms::none);
        EXPECT_EQ(folderProblem(folder / "closed"), "cannot open it: Permission denied");
    }
}

TEST(FolderTest, WindowTitleNamesTheFullPath) {
    const testing::TestFolder folder;
    const std::string full = "pixelkin: " + folder.path().string();
    EXPECT_EQ(windowTitle(folder.path()), full);
    EXPECT_EQ(windowTitle(folder.path() / "."), full);
    EXPECT_EQ(windowTitle(folder.path() / "sub" / ".."), full);
    EXPECT_EQ(windowTitle("/"), "pixelkin: /");
}

TEST(FittingScaleTest, PicksTheLargestScaleThatFitsBothWays) {
    EXPECT_EQ(fittingScale(1280, 1024), 2);
    EXPECT_EQ(fittingScale(3840, 2160), 4);
    EXPECT_EQ(fittingScale(959, 1440), 2);
    EXPECT_EQ(fittingScale(800, 479), 1) << "at least 1 even when nothing fits";
    EXPECT_EQ(fittingScale(20000, 20000), 8);
}

}  // namespace
}  // namespace pixelkin
