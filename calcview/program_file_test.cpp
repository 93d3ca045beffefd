// SPDX-License-Identifier: GPL-2.0-or-later
#include "program_file.hpp"

#include <gtest/gtest.h>

namespace calcview {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct VariableCase {
    const char* what;
    Bytes data;         // the variable's data: length word, then the program
    Bytes code;         // what lands at 9327h; empty: refused
    const char* error;  // part of the message when refused
};

class Variables : public testing::TestWithParam<VariableCase> {};

TEST_P(Variables, GiveTheCodeOrSayWhatIsWrong) {
    const auto program = programFromVariable(GetParam().data);
    if (GetParam().code.empty()) {
        EXPECT_FALSE(program);
        EXPECT_NE(program.message().find(GetParam().error), std::string::npos) << program.message();
    } else {
        ASSERT_TRUE(program) << program.message();
        EXPECT_EQ(program->code, GetParam().code);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ProgramFile, Variables,
    testing::Values(
        VariableCase{"squished", {3, 0, 0xAF, 0x30, 0x00}, {0xAF, 0x30, 0x00}, ""},
        VariableCase{"bytes after the length are ignored", {1, 0, 0xC9, 0xFF}, {0xC9}, ""},
        VariableCase{"hex text with its trailer",
                     {9, 0, 'C', '9', 0x3F, '0', '0', 0x3F, 0xD4, '1', '1'},
                     {0xC9, 0x00},
                     ""},
        VariableCase{"hex text with an odd digit count", {3, 0, 'C', '9', 'A'}, {}, "odd number"},
        VariableCase{"length beyond the data", {5, 0, 0xC9}, {}, "only 1 follow"},
        VariableCase{"no length word", {7}, {}, "shorter than its length"},
        VariableCase{"empty", {0, 0}, {}, "empty"}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(ProgramFile, HeaderChoosesHowTheProgramStarts) {
    EXPECT_EQ(programFromCode({0xC9, 0x30, 0x05}).start, StartKind::ion);
    EXPECT_EQ(programFromCode({0xAF, 0x30, 0x05}).start, StartKind::ion);
    EXPECT_EQ(programFromCode({0x00, 0x18, 0x05}).shell, "AShell");
    EXPECT_EQ(programFromCode({0x3F, 0x18, 0x05}).shell, "SOS");
    EXPECT_EQ(programFromCode({0xC9, 0x18, 0x05}).start, StartKind::plain);
}

TEST(ProgramFile, ProgramTooLargeForMemoryIsRefused) {
    Bytes data(largestProgram + 3, 0);
    data[0] = static_cast<std::uint8_t>(largestProgram + 1);
    data[1] = static_cast<std::uint8_t>((largestProgram + 1) >> 8);
    const auto program = programFromVariable(data);
    EXPECT_FALSE(program);
    EXPECT_NE(program.message().find("at most"), std::string::npos) << program.message();
}

}  // namespace
}  // namespace calcview
