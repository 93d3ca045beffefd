// SPDX-License-Identifier: GPL-2.0-or-later
#include "sprite_files.hpp"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "test_folder.hpp"

namespace pixelkin {
namespace {

using testing::readBytes;
using testing::TestFolder;
using testing::unwritableFolder;
using testing::writeBytes;

/// Gives the current sprite the size w x h.
void resize(SpriteSet& set, int w, int h) {
    while (set.current().width > w) set.narrower();
    while (set.current().width < w) set.wider();
    while (set.current().height > h) set.shorter();
    while (set.current().height < h) set.taller();
}

/// A set whose current sprite is w x h with the given pixels (1-based column, row) set.
void drawSprite(SpriteSet& set, int w, int h, const std::vector<std::pair<int, int>>& pixels) {
    resize(set, w, h);
    for (const auto& [c, r] : pixels) {
        set.setPixel(c, r);
    }
}

std::string rows(const std::vector<std::string>& digits) {
    std::string text;
    for (const std::string& row : digits) {
        text += "\t .db %" + row + "\r\n";
    }
    return text;
}

struct FormatCase {
    const char* name;
    int width;
    int height;
    std::vector<std::pair<int, int>> pixels;
    std::string expected;
};

class SpriteFileFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(SpriteFileFormatTest, WritesCommentLinesAndOneRowLinePerRow) {
    SpriteSet set;
    drawSprite(set, GetParam().width, GetParam().height, GetParam().pixels);
    EXPECT_EQ(formatSpriteFile(set), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpriteFileFormatTest,
    ::testing::Values(FormatCase{"EightByEightOnePixel",
                                 8,
                                 8,
                                 {{1, 1}},
                                 ";8*8\r\n;sprite 1\r\n" +
                                     rows({"10000000", "00000000", "00000000", "00000000",
                                           "00000000", "00000000", "00000000", "00000000"})},
                      FormatCase{
                          "FiveByThreeIsPaddedToEightDigits",
                          5,
                          3,
                          {{1, 1}, {5, 3}},
                          ";5*3\r\n;sprite 1\r\n" + rows({"10000000", "00000000", "00001000"})},
                      FormatCase{"WidthOneIsPaddedToEightDigits",
                                 1,
                                 2,
                                 {{1, 2}},
                                 ";1*2\r\n;sprite 1\r\n" + rows({"00000000", "10000000"})},
                      FormatCase{"TwelveWideIsTwoBytesPaddedToSixteen",
                                 12,
                                 1,
                                 {{1, 1}, {9, 1}, {12, 1}},
                                 ";12*1\r\n;sprite 1\r\n" + rows({"10000000,%10010000"})},
                      FormatCase{"SixteenWideUsesAllColumns",
                                 16,
                                 1,
                                 {{8, 1}, {16, 1}},
                                 ";16*1\r\n;sprite 1\r\n" + rows({"00000001,%00000001"})},
                      FormatCase{"PixelsOutsideTheRegionAreLeftOut",
                                 8,
                                 1,
                                 {{10, 1}, {2, 2}},
                                 ";8*1\r\n;sprite 1\r\n" + rows({"00000000"})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SpriteFileTest, EachSpriteHasItsOwnRowWidth) {
    SpriteSet set;
    drawSprite(set, 5, 1, {{1, 1}});
    set.nextSprite();
    drawSprite(set, 12, 1, {{12, 1}});
    EXPECT_EQ(formatSpriteFile(set), ";5*1\r\n;sprite 1\r\n" + rows({"10000000"}) +
                                         ";12*1\r\n;sprite 2\r\n" + rows({"00000000,%00010000"}));
}

TEST(SpriteFileTest, WritesEverySpriteUpToTheLastOneDrawnIn) {
    SpriteSet set;
    set.nextSprite();
    set.nextSprite();
    drawSprite(set, 1, 1, {{1, 1}});
    const std::string blankRows = rows(std::vector<std::string>(8, "00000000"));
    EXPECT_EQ(formatSpriteFile(set), ";8*8\r\n;sprite 1\r\n" + blankRows + ";8*8\r\n;sprite 2\r\n" +
                                         blankRows + ";1*1\r\n;sprite 3\r\n" + rows({"10000000"}));
}

TEST(SpriteFileTest, PixelHiddenByTheWidthComesBackWhenTheRegionGrows) {
    SpriteSet set;
    drawSprite(set, 8, 1, {{10, 1}});
    EXPECT_EQ(formatSpriteFile(set), ";8*1\r\n;sprite 1\r\n" + rows({"00000000"}));
    resize(set, 10, 1);
    EXPECT_EQ(formatSpriteFile(set), ";10*1\r\n;sprite 1\r\n" + rows({"00000000,%01000000"}));
}

TEST(SpriteFileTest, LoadedPixelByteOtherThanZeroOrOneIsWrittenAsSet) {
    SpriteRecords records{};
    records[0].neverDrawn = 0;
    records[0].pixels[1][0] = 7;
    SpriteSet set;
    set.replaceRecords(records);
    EXPECT_EQ(formatSpriteFile(set).substr(0, 34), ";8*8\r\n;sprite 1\r\n\t .db %01000000\r\n");
}

TEST(SetImageTest, LaysOutRecordsColumnFirstWithLittleEndianSizes) {
    SpriteRecords records{};
    records[1].pixels[2][5] = 1;  // sprite 2, column 3, row 6
    records[1].width = 12;
    records[1].height = 3;
    records[1].neverDrawn = 0;
    records[1].filler = 0xAB;
    const std::vector<std::uint8_t> image = encodeSetImage(records);
    ASSERT_EQ(image.size(), 13100u);
    const std::size_t base = recordBytes;
    EXPECT_EQ(image[base + 2 * 16 + 5], 1);
    EXPECT_EQ(image[base + 256], 12);
    EXPECT_EQ(image[base + 257], 0);
    EXPECT_EQ(image[base + 258], 3);
    EXPECT_EQ(image[base + 260], 0);
    EXPECT_EQ(image[base + 261], 0xAB);
    EXPECT_EQ(image[256], 8);  // sprite 1 at start
    EXPECT_EQ(image[260], 1);

    SpriteRecords decoded{};
    EXPECT_FALSE(decodeSetImage(image, decoded));
    EXPECT_EQ(decoded, records);
}

struct BadImageCase {
    const char* name;
    std::size_t size;
    std::size_t offset;
    std::uint8_t low;
    std::uint8_t high;
    const char* cause;
};

class BadSetImageTest : public ::testing::TestWithParam<BadImageCase> {};

TEST_P(BadSetImageTest, IsRefusedWithRuntimeError100AndChangesNothing) {
    std::vector<std::uint8_t> image = encodeSetImage(SpriteRecords{});
    image.resize(GetParam().size);
    image[GetParam().offset] = GetParam().low;
    image[GetParam().offset + 1] = GetParam().high;
    SpriteRecords records{};
    records[0].width = 5;
    const SpriteRecords before = records;
    const FileOutcome outcome = decodeSetImage(image, records);
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->runtimeError, 100);
    EXPECT_EQ(outcome->cause, GetParam().cause);
    EXPECT_EQ(records, before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadSetImageTest,
    ::testing::Values(BadImageCase{"OneByteShort", 13099, 256, 8, 0, "short"},
                      BadImageCase{"Empty", 2, 0, 0, 0, "short"},
                      BadImageCase{"WidthZero", 13100, 256, 0, 0, "invalid"},
                      BadImageCase{"WidthSeventeen", 13100, 262 * 49 + 256, 17, 0, "invalid"},
                      BadImageCase{"HeightNegative", 13100, 258, 0xFF, 0xFF, "invalid"},
                      BadImageCase{"HeightHighByteSet", 13100, 258, 8, 1, "invalid"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SetImageTest, BytesBeyondTheImageAreIgnored) {
    std::vector<std::uint8_t> image = encodeSetImage(SpriteRecords{});
    image.resize(20000, 0xEE);
    SpriteRecords records{};
    EXPECT_FALSE(decodeSetImage(image, records));
    EXPECT_EQ(records, SpriteRecords{});
}

TEST(SaveSetTest, SavingBeforeAnythingWasDrawnWritesNothing) {
    TestFolder folder;
    writeBytes(folder / spriteFileName, "old");
    const SpriteSet set;
    EXPECT_FALSE(saveSet(set, folder.path()));
    EXPECT_EQ(readBytes(folder / spriteFileName), "old");
    EXPECT_FALSE(std::filesystem::exists(folder / setImageFileName));
}

TEST(SaveSetTest, SavedSetLoadsBackWithItsOwnUsedCount) {
    TestFolder folder;
    SpriteSet saved;
    for (int sprite = 0; sprite < 3; ++sprite) {
        drawSprite(saved, 3 + sprite, 16 - sprite, {{sprite + 1, 2}});
        saved.nextSprite();
    }
    ASSERT_FALSE(saveSet(saved, folder.path()));
    EXPECT_EQ(readBytes(folder / spriteFileName), formatSpriteFile(saved));
    const auto image = encodeSetImage(saved.records());
    EXPECT_EQ(readBytes(folder / setImageFileName), std::string(image.begin(), image.end()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              2)
        << "no temporary file is left behind";

    SpriteSet loaded;
    for (int sprite = 0; sprite < 5; ++sprite) {
        loaded.setPixel(1, 1);
        loaded.nextSprite();
    }
    ASSERT_FALSE(loadSet(loaded, folder.path()));
    EXPECT_EQ(loaded.usedCount(), 3);
    EXPECT_EQ(loaded.currentSprite(), 6);
    EXPECT_EQ(loaded.records(), saved.records());
}

TEST(LoadSetTest, MissingFileIsRuntimeError2AndKeepsTheSet) {
    TestFolder folder;
    SpriteSet set;
    set.setPixel(4, 4);
    const FileOutcome outcome = loadSet(set, folder.path());
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->runtimeError, 2);
    EXPECT_EQ(outcome->statusText(), "Runtime error 2: pixelkin2.dat not found");
    EXPECT_EQ(outcome->report().rfind("Runtime error 2: pixelkin2.dat: ", 0), 0u);
    EXPECT_EQ(set.current().pixel(4, 4), 1);
}

TEST(LoadSetTest, ShortFileIsRuntimeError100AndKeepsTheSet) {
    TestFolder folder;
    writeBytes(folder / setImageFileName, std::string(13099, '\1'));
    SpriteSet set;
    set.setPixel(4, 4);
    const FileOutcome outcome = loadSet(set, folder.path());
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->runtimeError, 100);
    EXPECT_EQ(outcome->statusText(), "Runtime error 100: pixelkin2.dat short");
    EXPECT_EQ(set.usedCount(), 1);
}

TEST(SaveSetTest, UnwritableFolderIsRuntimeError5) {
    TestFolder folder;
    SpriteSet set;
    set.setPixel(1, 1);
    const FileOutcome outcome = saveSet(set, unwritableFolder(folder));
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->runtimeError, 5);
    EXPECT_EQ(outcome->statusText(), "Runtime error 5: pixelkin.spr no access");
}

TEST(SaveSetTest, MissingFolderIsRuntimeError3) {
    TestFolder folder;
    SpriteSet set;
    set.setPixel(1, 1);
    const FileOutcome outcome = saveSet(set, folder / "gone");
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->runtimeError, 3);
}

TEST(SaveSetTest, FailedSaveLeavesThePreviousFilesWhole) {
    TestFolder folder;
    SpriteSet set;
    drawSprite(set, 8, 8, {{1, 1}});
    ASSERT_FALSE(saveSet(set, folder.path()));
    const std::string oldSprites = readBytes(folder / spriteFileName);
    const std::string oldImage = readBytes(folder / setImageFileName);

    // Something in the way of the image's temporary file makes the second write fail after
    // the sprite file's temporary was written.
    std::filesystem::create_directory(folder / "pixelkin2.dat.tmp");
    drawSprite(set, 16, 16, {{16, 16}});
    const FileOutcome outcome = saveSet(set, folder.path());
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->fileName, setImageFileName);
    EXPECT_EQ(readBytes(folder / spriteFileName), oldSprites);
    EXPECT_EQ(readBytes(folder / setImageFileName), oldImage);
    EXPECT_FALSE(std::filesystem::exists(folder / "pixelkin.spr.tmp"));
}

}  // namespace
}  // namespace pixelkin
