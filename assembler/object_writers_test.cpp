// SPDX-License-Identifier: GPL-2.0-or-later
#include "object_writers.hpp"

#include <gtest/gtest.h>

namespace tasm {
namespace {

MemoryImage imageWith(uint32_t address, std::initializer_list<uint8_t> bytes) {
    MemoryImage image;
    for (const uint8_t b : bytes) image.put(address++, b);
    return image;
}

TEST(IntelHex, RecordHasCountAddressTypeDataAndChecksum) {
    // 03+00+00+00+01+02+03 = 09, and -09 is F7.
    EXPECT_EQ(intelHex(imageWith(0, {1, 2, 3}), 32), ":03000000010203F7\n:00000001FF\n");
    // 02+93+27+00+C9+00 = 0x185, and -0x85 is 7B.
    EXPECT_EQ(intelHex(imageWith(0x9327, {0xC9, 0x00}), 32), ":02932700C9007B\n:00000001FF\n");
}

TEST(IntelHex, LongRunsSplitIntoRecordsOfTheGivenLength) {
    MemoryImage image;
    for (uint32_t i = 0; i < 33; ++i) image.put(0x100 + i, 0x11);
    const std::string hex = intelHex(image, 32);
    // 20+01+00+00+32*11 = 241h, -41h = BF; then 01+01+20+00+11 = 33h, -33h = CD.
    EXPECT_EQ(hex, ":20010000" + std::string(64, '1') + "BF\n:0101200011CD\n:00000001FF\n");
}

TEST(IntelHex, GapsStartANewRecordAndAnEmptyImageHasOnlyTheEnd) {
    MemoryImage image = imageWith(0x10, {0xAA});
    image.put(0x12, 0xBB);
    EXPECT_EQ(intelHex(image, 32), ":01001000AA45\n:01001200BB32\n:00000001FF\n");
    EXPECT_EQ(intelHex(MemoryImage{}, 32), ":00000001FF\n");
}

TEST(PlainBinary, RunsFromLowestToHighestAddressWithGapsAsZero) {
    MemoryImage image = imageWith(0x8000, {1, 2});
    image.put(0x8004, 5);
    EXPECT_EQ(plainBinary(image), std::string("\x01\x02\x00\x00\x05", 5));
    EXPECT_EQ(plainBinary(imageWith(0xFFFF, {7})), "\x07");
    EXPECT_EQ(plainBinary(MemoryImage{}), "");
}

}  // namespace
}  // namespace tasm
