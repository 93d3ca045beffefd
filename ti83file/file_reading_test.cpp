// SPDX-License-Identifier: GPL-2.0-or-later
// Reading TI-83 files: what the file's own bytes say, checksum included.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ti83_file.hpp"

namespace ti83 {
namespace {

using Bytes = std::vector<std::uint8_t>;

/// One variable's entry: header length, data length, type, the 8-byte name
/// field as given, the length again, the data.
Bytes entry(std::uint8_t type, const Bytes& nameField, const Bytes& data) {
    const auto low = static_cast<std::uint8_t>(data.size());
    const auto high = static_cast<std::uint8_t>(data.size() >> 8);
    Bytes bytes = {0x0B, 0x00, low, high, type};
    for (const auto byte : nameField) bytes.push_back(byte);
    bytes.push_back(low);
    bytes.push_back(high);
    for (const auto byte : data) bytes.push_back(byte);
    return bytes;
}

/// A whole file around `section`, its checksum the sum of the section's bytes.
Bytes file(const Bytes& section) {
    const std::string head = std::string("**TI83**\x1A\x0A", 10) + '\0' + std::string(42, ' ');
    Bytes bytes(head.begin(), head.end());
    bytes.push_back(static_cast<std::uint8_t>(section.size()));
    bytes.push_back(static_cast<std::uint8_t>(section.size() >> 8));
    bytes.insert(bytes.end(), section.begin(), section.end());
    unsigned sum = 0;
    for (const auto byte : section) sum += byte;
    bytes.push_back(static_cast<std::uint8_t>(sum));
    bytes.push_back(static_cast<std::uint8_t>(sum >> 8));
    return bytes;
}

// The name field of a file an author's tool wrote: the name, its zero, then
// leftover bytes.
const Bytes leftoverName = {'G', 'A', 'M', 'E', 0, 'X', 'Y', 0};
const Bytes program = {3, 0, 0xC9, 0x30, 0x01};

TEST(FileReading, NameFieldWithBytesAfterItsZeroIsValid) {
    const auto variables = parseCalculatorFile(file(entry(0x06, leftoverName, program)), "g.83p");
    ASSERT_TRUE(variables) << variables.message();
    ASSERT_EQ(variables->size(), 1u);
    EXPECT_EQ((*variables)[0].name, "GAME");
    EXPECT_EQ((*variables)[0].type, 0x06);
    EXPECT_EQ((*variables)[0].data, program);
}

TEST(FileReading, EveryVariableInOrderAndAListKeepsItsNumber) {
    Bytes section = entry(0x05, {'A', 0, 0, 0, 0, 0, 0, 0}, program);
    const Bytes list = entry(0x01, {0x5D, 0x00, 0, 0, 0, 0, 0, 0}, {0, 0});
    section.insert(section.end(), list.begin(), list.end());
    const auto variables = parseCalculatorFile(file(section), "two.83g");
    ASSERT_TRUE(variables) << variables.message();
    ASSERT_EQ(variables->size(), 2u);
    EXPECT_EQ((*variables)[1].name, std::string("\x5D\x00", 2));
}

struct Refusal {
    const char* what;
    Bytes bytes;
    const char* messagePart;
};

Bytes damagedAt(std::size_t at) {
    Bytes bytes = file(entry(0x06, leftoverName, program));
    bytes[at] ^= 0x01;
    return bytes;
}

Bytes cutShort() {
    Bytes bytes = file(entry(0x06, leftoverName, program));
    bytes.resize(bytes.size() - 3);
    return bytes;
}

Bytes entryPastTheEnd() {
    Bytes section = entry(0x06, leftoverName, program);
    section[2] = 40;  // the data length says more than the section holds
    return file(section);
}

class Refusals : public testing::TestWithParam<Refusal> {};

TEST_P(Refusals, NameTheFileAndTheCause) {
    const auto variables = parseCalculatorFile(GetParam().bytes, "bad.83p");
    ASSERT_FALSE(variables);
    EXPECT_NE(variables.message().find("bad.83p"), std::string::npos) << variables.message();
    EXPECT_NE(variables.message().find(GetParam().messagePart), std::string::npos)
        << variables.message();
}

INSTANTIATE_TEST_SUITE_P(
    FileReading, Refusals,
    testing::Values(Refusal{"one name byte changed", damagedAt(0x37 + 7), "checksum"},
                    Refusal{"one program byte changed", damagedAt(0x37 + 16), "checksum"},
                    Refusal{"the checksum changed", damagedAt(0x37 + 20), "checksum"},
                    Refusal{"cut short", cutShort(), "cut short"},
                    Refusal{"a variable past the end", entryPastTheEnd(), "only 5 are left"},
                    Refusal{"TI-83 Plus", {'*', '*', 'T', 'I', '8', '3', 'F', '*', 0x1A}, "Plus"},
                    Refusal{"not a calculator file", {'h', 'e', 'l', 'l', 'o'}, "not a TI-83"}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

// calcview writes the file itself, pack83 through libtifiles: the same bytes.
TEST(FileWriting, TheBytesAreTheOnesLibtifilesWrites) {
    const std::string folder = testing::TempDir();
    for (const Variable& variable :
         {Variable{"GAME", protectedProgramType, program},
          Variable{"SCORE", programType, {1, 0, 42}},
          Variable{"ABCDEFGH", programType, Bytes(300, 0x11)},
          Variable{std::string("\x5D\x01", 2), listType, {1, 0, 0, 0x80, 1, 0, 0, 0, 0, 0, 0}},
          Variable{"A", realType, {0, 0x80, 0x42, 0, 0, 0, 0, 0, 0}}}) {
        const std::string path = folder + "/written.83p";
        ASSERT_TRUE(writeCalculatorFile(path, variable));
        std::ifstream file(path, std::ios::binary);
        const Bytes written((std::istreambuf_iterator<char>(file)), {});
        const auto encoded = encodeCalculatorFile(variable, "Written by pack83");
        ASSERT_TRUE(encoded);
        EXPECT_EQ(*encoded, written) << variable.name;
        const auto back = parseCalculatorFile(*encoded, "written.83p");
        ASSERT_TRUE(back) << back.message();
        EXPECT_EQ((*back)[0].name, variable.name);
        EXPECT_EQ((*back)[0].data, variable.data);
    }
}

}  // namespace
}  // namespace ti83
