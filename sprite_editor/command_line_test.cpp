#include "command_line.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace pixelkin {
namespace {

struct CommandLineCase {
    std::vector<std::string_view> arguments;
    bool accepted;
    std::optional<int> scale;
};

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, AcceptsOnlyNothingOrAScaleFromOneToEight) {
    const auto options = parseCommandLine(GetParam().arguments);
    ASSERT_EQ(options.has_value(), GetParam().accepted);
    if (options) {
        EXPECT_EQ(options->scale, GetParam().scale);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTest,
    ::testing::Values(CommandLineCase{{}, true, std::nullopt},
                      CommandLineCase{{"--scale", "1"}, true, 1},
                      CommandLineCase{{"--scale", "8"}, true, 8},
                      CommandLineCase{{"--scale", "0"}, false, std::nullopt},
                      CommandLineCase{{"--scale", "9"}, false, std::nullopt},
                      CommandLineCase{{"--scale", "-2"}, false, std::nullopt},
                      CommandLineCase{{"--scale", "2x"}, false, std::nullopt},
                      CommandLineCase{{"--scale", ""}, false, std::nullopt},
                      CommandLineCase{{"--scale"}, false, std::nullopt},
                      CommandLineCase{{"--scale=2"}, false, std::nullopt},
                      CommandLineCase{{"--scale", "2", "--scale", "3"}, false, std::nullopt},
                      CommandLineCase{{"sprites.spr"}, false, std::nullopt}));

TEST(FittingScaleTest, PicksTheLargestScaleThatFitsBothWays) {
    EXPECT_EQ(fittingScale(1280, 1024), 2);
    EXPECT_EQ(fittingScale(3840, 2160), 4);
    EXPECT_EQ(fittingScale(959, 1440), 2);
    EXPECT_EQ(fittingScale(800, 479), 1) << "at least 1 even when nothing fits";
    EXPECT_EQ(fittingScale(20000, 20000), 8);
}

}  // namespace
}  // namespace pixelkin
