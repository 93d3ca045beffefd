// SPDX-License-Identifier: GPL-2.0-or-later
#include "program_image.hpp"

#include <gtest/gtest.h>

#include "machine.hpp"

namespace z80test {
namespace {

TEST(IntelHex, DataRecordsLandAtTheirAddresses) {
    std::string error;
    const auto image = parseIntelHex(
        ":0393270018FE002D\r\n"
        ":02A00000C9AAEB\n"
        ":00000001FF\n"
        ":01000000FF00\n",  // after the end record: not read
        error);
    ASSERT_TRUE(image) << error;
    ASSERT_EQ(image->segments.size(), 2u);
    EXPECT_EQ(image->lowestAddress(), 0x9327);
    Machine machine;
    image->loadInto(machine);
    EXPECT_EQ(machine.readByte(0x9327), 0x18);
    EXPECT_EQ(machine.readByte(0x9328), 0xFE);
    EXPECT_EQ(machine.readByte(0x9329), 0x00);
    EXPECT_EQ(machine.readByte(0xA000), 0xC9);
    EXPECT_EQ(machine.readByte(0xA001), 0xAA);
}

TEST(IntelHex, DamagedFilesAreRefusedWithTheLine) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {":0393270018FE002E\n:00000001FF\n", "line 1: checksum mismatch"},
        {"0393270018FE002D\n", "line 1: a record must start with ':'"},
        {":00000001FF\n", nullptr},
        {":0393270018FE002D\n", "no end record"},
        {":0493270018FE002D\n:00000001FF\n", "line 1: length does not match"},
        {":0393270018FE00G8\n", "line 1: not a record of hexadecimal pairs"},
    };
    for (const Case& c : cases) {
        std::string error;
        const auto image = parseIntelHex(c.text, error);
        if (c.error == nullptr) {
            EXPECT_TRUE(image) << c.text;
        } else {
            EXPECT_FALSE(image) << c.text;
            EXPECT_EQ(error, c.error) << c.text;
        }
    }
}

}  // namespace
}  // namespace z80test
