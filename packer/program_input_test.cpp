// SPDX-License-Identifier: GPL-2.0-or-later
// The readers of the assembler's output and the program variable forms.

#include "program_input.hpp"

#include <gtest/gtest.h>

#include <string>

#include "program_variable.hpp"

namespace pack83 {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(IntelHex, PlacesRecordsFromUserMemoryOnAndFillsGaps) {
    // 3 bytes at 9327h, 2 bytes at 932Bh: 932Ah stays zero. Lower-case digits
    // and CR LF line ends are read too.
    const auto program = readIntelHex(
        ":03932700C9300446\r\n"
        ":02932b00aabbdb\r\n"
        ":00000001FF\r\n");
    ASSERT_TRUE(program) << program.message();
    EXPECT_EQ(program->code, (Bytes{0xC9, 0x30, 0x04, 0x00, 0xAA, 0xBB}));
}

struct BadHex {
    const char* what;
    std::string text;
    const char* message;
};

class BadIntelHex : public ::testing::TestWithParam<BadHex> {};

TEST_P(BadIntelHex, IsRefusedWithItsReason) {
    const auto program = readIntelHex(GetParam().text);
    ASSERT_FALSE(program);
    EXPECT_NE(program.message().find(GetParam().message), std::string::npos) << program.message();
}

INSTANTIATE_TEST_SUITE_P(
    Records, BadIntelHex,
    ::testing::Values(
        BadHex{"wrong checksum", ":03932700C9300447\n:00000001FF\n",
               "line 1: wrong checksum 47h, the record's bytes need 46h"},
        BadHex{"no colon", "03932700C9300410\n", "line 1: a record must start with ':'"},
        BadHex{"not hex", ":0393270GC9300446\n", "pairs of hexadecimal digits"},
        BadHex{"odd digits", ":03932700C930044\n", "pairs of hexadecimal digits"},
        BadHex{"short record", ":0393270010\n", "does not match its byte count"},
        BadHex{"long record", ":01932700C9300446\n", "does not match its byte count"},
        BadHex{"overlap", ":03932700C9300446\n:01932900AA99\n:00000001FF\n",
               "line 2: the record overlaps bytes an earlier record wrote, at 9329h"},
        BadHex{"past FFFFh", ":02FFFF00AABB9B\n:00000001FF\n", "runs past the end of memory"},
        BadHex{"extended address", ":020000040001F9\n", "record type 04h is not supported"},
        BadHex{"no end record", ":03932700C9300446\n", "without an end-of-file record"},
        BadHex{"record after the end", ":00000001FF\n:03932700C9300446\n",
               "line 2: a record after the end-of-file record"},
        BadHex{"no data", ":00000001FF\n", "no program bytes"},
        BadHex{"below user memory", ":01932600AA9C\n:00000001FF\n", "does not fit"},
        BadHex{"into the symbol table", ":01FE6E00AAE9\n:00000001FF\n",
               "does not fit in the calculator's user memory (9327h to FE6Dh): it takes FE6Eh"}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(Binary, FillsUserMemoryUpToTheSymbolTableAndNoFurther) {
    EXPECT_TRUE(readBinary(std::string(largestProgram, '\x00')));
    const auto tooLarge = readBinary(std::string(largestProgram + 1, '\x00'));
    ASSERT_FALSE(tooLarge);
    EXPECT_NE(tooLarge.message().find("it takes 9327h to FE6Eh"), std::string::npos);
    EXPECT_FALSE(readBinary(""));
}

TEST(ProgramHeader, NamesTheShell) {
    const struct {
        Bytes code;
        Shell shell;
    } cases[] = {
        {{0xC9, 0x30, 0x05}, Shell::ion},
        {{0xAF, 0x30, 0x05}, Shell::ion},
        {{0x00, 0x18, 0x08}, Shell::ashell},
        {{0x3F, 0x18, 0x06}, Shell::sos},
        {{0xCD, 0x55, 0x47}, Shell::none},
        {{0xC9, 0x18}, Shell::none},
        {{0xC9}, Shell::none},
    };
    for (const auto& c : cases) EXPECT_EQ(detectShell(c.code), c.shell) << shellName(c.shell);
}

TEST(ProgramName, UpperCaseLettersAndDigitsLetterFirst) {
    const struct {
        const char* requested;
        const char* name;  // nullptr: refused
    } cases[] = {
        {"catch", "CATCH"},     {"A1B2C3D4", "A1B2C3D4"}, {"z", "Z"},           {"", nullptr},
        {"ABCDEFGHI", nullptr}, {"1ABC", nullptr},        {"MY_PROG", nullptr}, {"PRÖG", nullptr},
    };
    for (const auto& c : cases) {
        const auto name = programName(c.requested);
        if (c.name) {
            EXPECT_EQ(name ? *name : name.message(), c.name);
        } else {
            EXPECT_FALSE(name) << c.requested;
        }
    }
}

TEST(HexText, EightBytesALineClosedByEndZeroEnd) {
    Program program;
    for (int i = 0; i < 9; ++i) program.code.push_back(static_cast<std::uint8_t>(0xF0 + i));
    const auto variable = programVariable(program, Form::unsquished, "P");
    ASSERT_TRUE(variable);
    EXPECT_EQ(variable->type, programType);
    const std::string text(variable->data.begin() + 2, variable->data.end());
    EXPECT_EQ(text, "F0F1F2F3F4F5F6F7?F8?\xD4?0000?\xD4");
    EXPECT_EQ(variable->data[0] + 256 * variable->data[1], static_cast<int>(text.size()));
}

}  // namespace
}  // namespace pack83
