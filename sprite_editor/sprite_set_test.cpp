// SPDX-License-Identifier: GPL-2.0-or-later
#include "sprite_set.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "sprite_transforms.hpp"

namespace pixelkin {
namespace {

TEST(SpriteSetTest, StartsWithFiftyBlankEightByEightSpritesNoneUsed) {
    const SpriteSet set;
    EXPECT_EQ(set.currentSprite(), 1);
    EXPECT_EQ(set.usedCount(), 0);
    for (const SpriteRecord& sprite : set.records()) {
        EXPECT_EQ(sprite, SpriteRecord{});
        EXPECT_EQ(sprite.width, 8);
        EXPECT_EQ(sprite.height, 8);
        EXPECT_TRUE(sprite.isNeverDrawn());
    }
}

TEST(SpriteSetTest, DrawingCountsASpriteOnceAndClearingKeepsItCounted) {
    SpriteSet set;
    set.setPixel(1, 1);
    set.setPixel(1, 1);
    set.setPixel(16, 16);  // outside the active region
    EXPECT_EQ(set.usedCount(), 1);
    EXPECT_EQ(set.current().pixel(16, 16), 1);

    set.clearPixel(1, 1);
    set.clearSprite();
    EXPECT_EQ(set.usedCount(), 1);
    EXPECT_FALSE(set.current().isNeverDrawn());
    EXPECT_EQ(set.current().width, 8);

    set.nextSprite();
    set.setPixel(2, 3);
    EXPECT_EQ(set.usedCount(), 2);
}

TEST(SpriteSetTest, ClearingAPixelNeverCountsASprite) {
    SpriteSet set;
    set.clearPixel(1, 1);
    EXPECT_EQ(set.usedCount(), 0);
    EXPECT_TRUE(set.current().isNeverDrawn());
}

struct StepCase {
    const char* name;
    int steps;
    void (SpriteSet::*step)();
    int expectedSprite;
};

class SpriteStepTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(SpriteStepTest, StepsThroughTheSetWrappingAround) {
    SpriteSet set;
    for (int i = 0; i < GetParam().steps; ++i) {
        (set.*GetParam().step)();
    }
    EXPECT_EQ(set.currentSprite(), GetParam().expectedSprite);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpriteStepTest,
    ::testing::Values(StepCase{"NextOnce", 1, &SpriteSet::nextSprite, 2},
                      StepCase{"NextToFifty", 49, &SpriteSet::nextSprite, 50},
                      StepCase{"NextAfterFiftyIsOne", 50, &SpriteSet::nextSprite, 1},
                      StepCase{"PreviousBeforeOneIsFifty", 1, &SpriteSet::previousSprite, 50},
                      StepCase{"PreviousAllTheWayRound", 50, &SpriteSet::previousSprite, 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct SizeCase {
    const char* name;
    int steps;
    void (SpriteSet::*step)();
    int expectedWidth;
    int expectedHeight;
};

class SpriteSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(SpriteSizeTest, ChangesSizeWithinOneToSixteen) {
    SpriteSet set;
    for (int i = 0; i < GetParam().steps; ++i) {
        (set.*GetParam().step)();
    }
    EXPECT_EQ(set.current().width, GetParam().expectedWidth);
    EXPECT_EQ(set.current().height, GetParam().expectedHeight);
    EXPECT_EQ(set.record(2).width, 8) << "only the current sprite changes";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpriteSizeTest,
    ::testing::Values(SizeCase{"NarrowerOnce", 1, &SpriteSet::narrower, 7, 8},
                      SizeCase{"NarrowerStopsAtOne", 20, &SpriteSet::narrower, 1, 8},
                      SizeCase{"WiderStopsAtSixteen", 20, &SpriteSet::wider, 16, 8},
                      SizeCase{"ShorterStopsAtOne", 20, &SpriteSet::shorter, 8, 1},
                      SizeCase{"TallerStopsAtSixteen", 20, &SpriteSet::taller, 8, 16}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SpriteSetTest, ReplacingRecordsRecountsAndKeepsTheCurrentNumber) {
    SpriteSet set;
    set.setPixel(1, 1);
    set.nextSprite();
    set.nextSprite();
    SpriteRecords records{};
    records[0].neverDrawn = 0;
    records[4].neverDrawn = 0;
    records[9].neverDrawn = 7;  // any value but 0 means never drawn
    set.replaceRecords(records);
    EXPECT_EQ(set.usedCount(), 2);
    EXPECT_EQ(set.currentSprite(), 3);
    EXPECT_EQ(set.record(1).pixel(1, 1), 0);
}

TEST(SpriteSetTest, HighestDrawnIsTheLastSpriteDrawnInEvenAfterClearing) {
    SpriteSet set;
    EXPECT_EQ(set.highestDrawn(), 0);
    set.selectSprite(7);
    set.setPixel(1, 1);
    set.selectSprite(3);
    set.setPixel(1, 1);
    set.selectSprite(7);
    set.clearSprite();
    EXPECT_EQ(set.highestDrawn(), 7);
    set.selectSprite(50);
    set.setPixel(1, 1);
    EXPECT_EQ(set.highestDrawn(), 50);
}

TEST(SpriteSetTest, ASpriteLeftWithASetPixelOrPastedFromADrawnOneCountsAsDrawnIn) {
    SpriteSet set;
    set.transformCurrent(Transform::rotateClockwise);
    EXPECT_EQ(set.usedCount(), 0) << "turning a blank sprite draws nothing";
    set.transformCurrent(Transform::invert);
    EXPECT_EQ(set.usedCount(), 1);

    set.nextSprite();
    set.pasteIntoCurrent(SpriteRecord{});
    EXPECT_EQ(set.usedCount(), 1) << "a blank never drawn in";
    SpriteRecord drawnBlank{};
    drawnBlank.width = 3;
    drawnBlank.neverDrawn = 0;
    drawnBlank.filler = 9;
    set.pasteIntoCurrent(drawnBlank);
    EXPECT_EQ(set.usedCount(), 2);
    EXPECT_EQ(set.current().width, 3);
    EXPECT_EQ(set.current().filler, 0) << "the filler is the sprite's own";
}

}  // namespace
}  // namespace pixelkin
