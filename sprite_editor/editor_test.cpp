// SPDX-License-Identifier: GPL-2.0-or-later
#include "editor.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "font8x8.hpp"
#include "png_file.hpp"
#include "sprite_picture.hpp"
#include "test_folder.hpp"

namespace pixelkin {
namespace {

using testing::TestFolder;
using testing::writeBytes;

constexpr int statusY = 468;

class EditorTest : public ::testing::Test {
  protected:
    void SetUp() override { editor.drawStartScreen(); }

    /// One pass at `now` plus `after` milliseconds with the mouse held as given and `events`.
    PassResult pass(MouseState mouse, std::vector<InputEvent> events = {}, int after = 10) {
        now += std::chrono::milliseconds(after);
        return editor.runPass(PassInput{now, mouse, std::move(events)});
    }
    /// A press at (x, y) seen by the pass, held for `heldMs` with a pass every 10 ms, then
    /// released. Returns whether the editor asked to leave.
    bool press(int x, int y, int buttons, int heldMs = 80) {
        const MouseState mouse{x, y, buttons};
        bool quit = pass(mouse, {{EventKind::buttonDown, mouse}}).quit;
        for (int held = 10; held <= heldMs; held += 10) {
            quit = pass(mouse).quit || quit;
        }
        return pass({x, y, 0}).quit || quit;
    }
    bool click(int x, int y) { return press(x, y, leftButton); }
    void clicks(int x, int y, int count) {
        for (int i = 0; i < count; ++i) {
            click(x, y);
        }
    }
    void leftOnCell(int c, int r) { press(8 * c + 4, 8 * r + 4, leftButton); }
    void rightOnCell(int c, int r) { press(8 * c + 4, 8 * r + 4, rightButton); }
    bool clickCaption(int y) { return click(30, y + 4); }
    bool key(EventKind kind) { return pass({}, {{kind, {}}}).quit; }

    std::uint8_t at(int x, int y) const { return editor.screen().at(x, y); }

    /// "white", "green" or "blue" for a solid area, "hatch" for the light slash in blue.
    std::string look(int x1, int y1, int x2, int y2) const {
        for (const std::uint8_t colour : {white, green, blue}) {
            if (allPixels(x1, y1, x2, y2, [&](int x, int y) { return at(x, y) == colour; })) {
                return colour == white ? "white" : colour == green ? "green" : "blue";
            }
        }
        if (allPixels(x1, y1, x2, y2, [&](int x, int y) {
                return at(x, y) == ((x % 8 + y % 8 == 7) ? blue : black);
            })) {
            return "hatch";
        }
        return "mixed";
    }
    std::string cellLook(int c, int r) const {
        return look(8 * c + 1, 8 * r + 1, 8 * c + 7, 8 * r + 7);
    }
    std::string previewLook(int c, int r) const {
        return look(170 + 4 * c, 5 + 4 * r, 173 + 4 * c, 8 + 4 * r);
    }
    /// "white 0", "green 1" and so on, or "none" when the cell shows no digit.
    std::string digitLook(int c, int r) const {
        for (const char digit : {'0', '1'}) {
            for (const std::uint8_t colour : {white, green}) {
                if (textShown(8 * c, 178 + 8 * r, digit, colour, gridBlack)) {
                    return std::string(colour == white ? "white " : "green ") + digit;
                }
            }
        }
        return "none";
    }
    /// True when the glyph of `character` is drawn at (x, y) in `colour` over `background`.
    bool textShown(int x, int y, char character, std::uint8_t colour,
                   std::uint8_t background) const {
        const Glyph& glyph = glyphFor(character);
        return allPixels(x, y, x + 7, y + 7, [&](int px, int py) {
            return at(px, py) == (glyphPixel(glyph, px - x, py - y) ? colour : background);
        });
    }
    bool anyPixel(int x1, int y1, int x2, int y2, std::uint8_t colour) const {
        return !allPixels(x1, y1, x2, y2, [&](int x, int y) { return at(x, y) != colour; });
    }
    bool widthMarkerAt(int width) const {
        const int x = 8 * width - 3;
        return allPixels(x, 132, x + 6, 137, [&](int px, int py) {
            return (at(px, py) == white) == glyphPixel(glyphFor('^'), px - x, py - 132);
        });
    }
    bool heightMarkerAt(int height) const {
        const int y = 8 * height - 3;
        return allPixels(132, y, 137, y + 6, [&](int px, int py) {
            return (at(px, py) == white) == glyphPixel(glyphFor('<'), px - 132, py - y);
        });
    }
    bool widthMarkerGone(int width) const {
        return !anyPixel(8 * width - 3, 132, 8 * width + 4, 139, white);
    }
    bool heightMarkerGone(int height) const {
        return !anyPixel(132, 8 * height - 3, 139, 8 * height + 4, white);
    }
    /// Checks every cell, preview block and digit against the current sprite.
    void expectSpriteShown() const {
        const SpriteRecord& sprite = editor.sprites().current();
        for (int c = 0; c < gridSize; ++c) {
            for (int r = 0; r < gridSize; ++r) {
                const bool inside = sprite.isInside(c + 1, r + 1);
                const bool set = sprite.isSet(c + 1, r + 1);
                const std::string colour =
                    set ? (inside ? "blue" : "hatch") : (inside ? "white" : "green");
                const std::string digit =
                    std::string(inside ? "white " : "green ") + (set ? "1" : "0");
                ASSERT_EQ(cellLook(c, r), colour) << c << "," << r;
                ASSERT_EQ(previewLook(c, r), colour) << c << "," << r;
                ASSERT_EQ(digitLook(c, r), digit) << c << "," << r;
            }
        }
    }
    std::vector<std::uint8_t> snapshot() const {
        std::vector<std::uint8_t> pixels;
        for (int y = 0; y < canvasHeight; ++y) {
            pixels.insert(pixels.end(), editor.screen().row(y),
                          editor.screen().row(y) + canvasWidth);
        }
        return pixels;
    }

    template <typename Test>
    static bool allPixels(int x1, int y1, int x2, int y2, Test test) {
        for (int y = y1; y <= y2; ++y) {
            for (int x = x1; x <= x2; ++x) {
                if (!test(x, y)) {
                    return false;
                }
            }
        }
        return true;
    }

    TestFolder folder;
    std::chrono::milliseconds now{1000};
    std::ostringstream errors;
    Editor editor{folder.path(), errors};
};

TEST_F(EditorTest, StartScreenShowsABlankEightByEightSpriteAndTheControls) {
    expectSpriteShown();
    EXPECT_TRUE(widthMarkerAt(8));
    EXPECT_TRUE(heightMarkerAt(8));
    EXPECT_TRUE(textShown(1, 140, '-', white, black));
    EXPECT_TRUE(textShown(122, 140, '+', white, black));
    EXPECT_TRUE(textShown(140, 2, '-', white, black));
    EXPECT_TRUE(textShown(140, 122, '+', white, black));
    EXPECT_TRUE(textShown(10, 315, 'Q', white, black));
    EXPECT_TRUE(textShown(10, 375, 'C', white, black));
    EXPECT_TRUE(textShown(10, 420, 'R', white, black));
    EXPECT_TRUE(textShown(2, 450, 'P', white, black));
    EXPECT_TRUE(textShown(2 + 8 * 30, 450, 'e', white, black));
    EXPECT_EQ(at(0, 0), gridBlack);
    EXPECT_EQ(at(64, 3), gridBlack);
    EXPECT_EQ(at(3, 120), gridBlack);
    EXPECT_EQ(editor.statusText(), "Sprite 1/50  8x8");
    EXPECT_TRUE(textShown(0, statusY, 'S', white, black));
}

struct HitCase {
    const char* name;
    int x;
    int y;
    int buttons;
    int sprite;
    int width;
    int height;
    int used;
};

class EditorHitTest : public EditorTest, public ::testing::WithParamInterface<HitCase> {};

TEST_P(EditorHitTest, ActsOnlyStrictlyInsideAControlWithExactlyItsButton) {
    const HitCase& hit = GetParam();
    press(hit.x, hit.y, hit.buttons);
    EXPECT_EQ(editor.sprites().currentSprite(), hit.sprite);
    EXPECT_EQ(editor.sprites().current().width, hit.width);
    EXPECT_EQ(editor.sprites().current().height, hit.height);
    EXPECT_EQ(editor.sprites().usedCount(), hit.used);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditorHitTest,
    ::testing::Values(HitCase{"NextLeftEdgeX10", 10, 392, leftButton, 1, 8, 8, 0},
                      HitCase{"NextX11", 11, 392, leftButton, 2, 8, 8, 0},
                      HitCase{"NextX49", 49, 392, leftButton, 2, 8, 8, 0},
                      HitCase{"NextRightEdgeX50", 50, 392, leftButton, 1, 8, 8, 0},
                      HitCase{"NextTopEdgeY387", 30, 387, leftButton, 1, 8, 8, 0},
                      HitCase{"NextY388", 30, 388, leftButton, 2, 8, 8, 0},
                      HitCase{"NextY396", 30, 396, leftButton, 2, 8, 8, 0},
                      HitCase{"NextBottomEdgeY397", 30, 397, leftButton, 1, 8, 8, 0},
                      HitCase{"NextRightButton", 30, 392, rightButton, 1, 8, 8, 0},
                      HitCase{"NextBothButtons", 30, 392, leftButton | rightButton, 1, 8, 8, 0},
                      HitCase{"NextMiddleButton", 30, 392, middleButton, 1, 8, 8, 0},
                      HitCase{"LastWrapsToFifty", 30, 412, leftButton, 50, 8, 8, 0},
                      HitCase{"LastTopEdgeY407", 30, 407, leftButton, 1, 8, 8, 0},
                      HitCase{"WidthMinus", 3, 142, leftButton, 1, 7, 8, 0},
                      HitCase{"WidthMinusEdgeX1", 1, 142, leftButton, 1, 8, 8, 0},
                      HitCase{"WidthMinusEdgeX5", 5, 142, leftButton, 1, 8, 8, 0},
                      HitCase{"WidthMinusEdgeY145", 3, 145, leftButton, 1, 8, 8, 0},
                      HitCase{"WidthPlus", 123, 144, leftButton, 1, 9, 8, 0},
                      HitCase{"HeightMinus", 142, 3, leftButton, 1, 8, 7, 0},
                      HitCase{"HeightPlus", 144, 126, leftButton, 1, 8, 9, 0},
                      HitCase{"HeightPlusEdgeY127", 144, 127, leftButton, 1, 8, 8, 0},
                      HitCase{"GridLeft", 20, 20, leftButton, 1, 8, 8, 1},
                      HitCase{"GridLeftLastPixel", 127, 127, leftButton, 1, 8, 8, 1},
                      HitCase{"GridEdgeX0", 0, 20, leftButton, 1, 8, 8, 0},
                      HitCase{"GridEdgeY0", 20, 0, leftButton, 1, 8, 8, 0},
                      HitCase{"GridPastX128", 128, 20, leftButton, 1, 8, 8, 0},
                      HitCase{"GridBothButtons", 20, 20, leftButton | rightButton, 1, 8, 8, 0},
                      HitCase{"GridRightNeverCounts", 20, 20, rightButton, 1, 8, 8, 0},
                      HitCase{"OutsideTheWindow", -4, -4, leftButton, 1, 8, 8, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct PacingCase {
    const char* name;
    int x;
    int y;
    int heldMs;
    int sprite;
    int width;
};

class EditorPacingTest : public EditorTest, public ::testing::WithParamInterface<PacingCase> {};

// Repeats come 400 ms after the press, then every 100 ms.
TEST_P(EditorPacingTest, StepsOnceAPressThenRepeatsAtAPersonsPace) {
    const PacingCase& hold = GetParam();
    press(hold.x, hold.y, leftButton, hold.heldMs);
    EXPECT_EQ(editor.sprites().currentSprite(), hold.sprite);
    EXPECT_EQ(editor.sprites().current().width, hold.width);
}

INSTANTIATE_TEST_SUITE_P(Cases, EditorPacingTest,
                         ::testing::Values(PacingCase{"NextClick", 30, 392, 80, 2, 8},
                                           PacingCase{"NextJustBeforeRepeat", 30, 392, 390, 2, 8},
                                           PacingCase{"NextFirstRepeat", 30, 392, 400, 3, 8},
                                           PacingCase{"NextOneSecond", 30, 392, 1000, 9, 8},
                                           PacingCase{"WiderClick", 124, 142, 80, 1, 9},
                                           PacingCase{"WiderHeldToSixteen", 124, 142, 2000, 1, 16},
                                           PacingCase{"ClearHeld", 30, 364, 2000, 1, 8}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorTest, TapsBetweenTwoPassesStillActOnce) {
    const MouseState next{30, 392, leftButton};
    pass({}, {{EventKind::buttonDown, next}, {EventKind::buttonDown, next}});
    EXPECT_EQ(editor.sprites().currentSprite(), 3);
    pass({}, {{EventKind::buttonDown, {20, 20, leftButton}}});
    EXPECT_TRUE(editor.sprites().current().isSet(3, 3));
    pass({}, {{EventKind::buttonDown, {20, 20, leftButton | rightButton}}});
    pass({}, {{EventKind::buttonDown, {20, 20, rightButton}}});
    EXPECT_FALSE(editor.sprites().current().isSet(3, 3));
}

TEST_F(EditorTest, RepeatStopsOffTheControlAndDoesNotBurstAfterAStall) {
    const MouseState next{30, 392, leftButton};
    pass(next, {{EventKind::buttonDown, next}});
    pass({30, 300, leftButton}, {}, 100);
    pass(next, {}, 500);
    EXPECT_EQ(editor.sprites().currentSprite(), 2) << "moving off ends the repeat";

    pass(next, {{EventKind::buttonDown, next}});
    pass(next, {}, 3000);
    pass(next, {}, 50);
    EXPECT_EQ(editor.sprites().currentSprite(), 4) << "one repeat for a pass held up 3 s";
    pass(next, {}, 50);
    EXPECT_EQ(editor.sprites().currentSprite(), 5);
}

TEST_F(EditorTest, OnlyAStrokeOnTheGridAsksForPassesWithoutRest) {
    EXPECT_TRUE(pass({20, 20, leftButton}).drawing);
    EXPECT_TRUE(pass({20, 20, rightButton}).drawing);
    EXPECT_FALSE(pass({20, 20, leftButton | rightButton}).drawing);
    EXPECT_FALSE(pass({30, 392, leftButton}).drawing);
    EXPECT_FALSE(pass({20, 20, 0}).drawing);
}

TEST_F(EditorTest, SaveWritesOncePerPressHoweverLongItIsHeld) {
    leftOnCell(0, 0);
    const MouseState save{30, 334, leftButton};
    pass(save, {{EventKind::buttonDown, save}});
    ASSERT_TRUE(std::filesystem::exists(folder / "pixelkin.spr"));
    std::filesystem::remove(folder / "pixelkin.spr");
    for (int held = 0; held < 2000; held += 10) {
        pass(save);
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "pixelkin.spr"));
}

TEST_F(EditorTest, UndoTakesBackAStrokeAsOneChangeAndShowsItsSprite) {
    const MouseState start{4, 4, leftButton};
    pass(start, {{EventKind::buttonDown, start}});
    pass({12, 4, leftButton});
    pass({20, 4, leftButton});
    pass({20, 4, 0});
    leftOnCell(5, 5);
    click(30, 392);   // Next
    click(124, 142);  // width 9 on sprite 2

    key(EventKind::undo);
    EXPECT_EQ(editor.sprites().current().width, 8);
    key(EventKind::undo);
    EXPECT_EQ(editor.sprites().currentSprite(), 1);
    EXPECT_FALSE(editor.sprites().current().isSet(6, 6));
    EXPECT_TRUE(editor.sprites().current().isSet(3, 1));
    EXPECT_TRUE(widthMarkerAt(8));
    expectSpriteShown();
    key(EventKind::undo);
    EXPECT_EQ(editor.sprites().records(), SpriteSet().records());
    EXPECT_EQ(editor.sprites().usedCount(), 0);
    expectSpriteShown();

    key(EventKind::redo);
    EXPECT_TRUE(editor.sprites().current().isSet(3, 1));
    leftOnCell(7, 7);  // a new change drops what could be redone
    key(EventKind::redo);
    EXPECT_FALSE(editor.sprites().current().isSet(6, 6));
}

TEST_F(EditorTest, UndoOfClearAndLoadBringsBackWhatTheyReplaced) {
    leftOnCell(1, 1);
    key(EventKind::save);
    leftOnCell(2, 2);
    clickCaption(360);  // Clear
    key(EventKind::undo);
    EXPECT_TRUE(editor.sprites().current().isSet(3, 3));
    clickCaption(345);  // Load
    EXPECT_FALSE(editor.sprites().current().isSet(3, 3));
    key(EventKind::undo);
    EXPECT_TRUE(editor.sprites().current().isSet(3, 3));
    expectSpriteShown();
}

TEST_F(EditorTest, QuitWithUnsavedChangesWarnsAndLeavesOnASecondQuitOrClose) {
    EXPECT_TRUE(key(EventKind::close)) << "nothing to lose";
    leftOnCell(0, 0);
    EXPECT_FALSE(clickCaption(315));
    EXPECT_EQ(editor.statusText(), unsavedWarning);
    EXPECT_TRUE(textShown(0, statusY, 'U', white, black));
    now += std::chrono::milliseconds(4800);
    EXPECT_TRUE(key(EventKind::close));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST_F(EditorTest, QuitGuardLapsesAfterFiveSecondsOrAnotherPress) {
    leftOnCell(0, 0);
    EXPECT_FALSE(key(EventKind::close));
    pass({}, {}, 5000);
    EXPECT_EQ(editor.statusText(), "Sprite 1/50  8x8");
    EXPECT_FALSE(clickCaption(315));
    leftOnCell(1, 1);
    EXPECT_EQ(editor.statusText(), "Sprite 1/50  8x8");
    EXPECT_FALSE(clickCaption(315)) << "the press in between asks again";
}

TEST_F(EditorTest, QuitLeavesAtOnceWhenTheSetIsAsSavedLoadedOrUndone) {
    leftOnCell(0, 0);
    key(EventKind::save);
    EXPECT_TRUE(clickCaption(315));
    click(124, 142);
    key(EventKind::undo);
    EXPECT_TRUE(key(EventKind::close));
    clickCaption(360);
    clickCaption(345);
    EXPECT_TRUE(key(EventKind::close));
}

TEST_F(EditorTest, PageKeysStepThroughTheSpritesAndTheStatusLineFollows) {
    key(EventKind::lastSprite);
    EXPECT_EQ(editor.statusText(), "Sprite 50/50  8x8");
    key(EventKind::nextSprite);
    key(EventKind::nextSprite);
    clicks(142, 124, 4);
    EXPECT_EQ(editor.statusText(), "Sprite 2/50  8x12");
}

TEST_F(EditorTest, DrawingInsideTheRegionIsSolidBlueWithAWhiteOne) {
    leftOnCell(2, 3);
    EXPECT_EQ(cellLook(2, 3), "blue");
    EXPECT_EQ(previewLook(2, 3), "blue");
    EXPECT_EQ(digitLook(2, 3), "white 1");
    rightOnCell(2, 3);
    EXPECT_EQ(cellLook(2, 3), "white");
    EXPECT_EQ(previewLook(2, 3), "white");
    EXPECT_EQ(digitLook(2, 3), "white 0");
    EXPECT_EQ(at(16, 24), gridBlack) << "grid lines stay";
}

TEST_F(EditorTest, DrawingOutsideTheRegionIsHatchedWithAGreenOne) {
    leftOnCell(9, 0);
    EXPECT_EQ(cellLook(9, 0), "hatch");
    EXPECT_EQ(at(73, 6), blue);
    EXPECT_EQ(at(74, 6), black);
    EXPECT_EQ(previewLook(9, 0), "hatch");
    EXPECT_EQ(digitLook(9, 0), "green 1");
    rightOnCell(9, 0);
    EXPECT_EQ(cellLook(9, 0), "green");
    EXPECT_EQ(previewLook(9, 0), "green");
    EXPECT_EQ(digitLook(9, 0), "green 0");
}

TEST_F(EditorTest, NarrowingMovesTheMarkerAndTurnsTheLastColumnGreen) {
    leftOnCell(7, 2);
    click(3, 142);
    EXPECT_TRUE(widthMarkerAt(7));
    EXPECT_TRUE(widthMarkerGone(8));
    EXPECT_TRUE(heightMarkerAt(8));
    EXPECT_EQ(cellLook(7, 0), "green");
    EXPECT_EQ(digitLook(7, 0), "green 0");
    EXPECT_EQ(cellLook(7, 2), "hatch");
    EXPECT_EQ(digitLook(7, 2), "green 1");
    EXPECT_EQ(cellLook(6, 0), "white");
    expectSpriteShown();
}

TEST_F(EditorTest, ResizingAtTheLimitLeavesTheMarkerInPlace) {
    clicks(142, 3, 10);
    EXPECT_TRUE(heightMarkerAt(1));
    EXPECT_TRUE(heightMarkerGone(8));
    click(142, 3);
    EXPECT_TRUE(heightMarkerAt(1));
    expectSpriteShown();
}

TEST_F(EditorTest, NextAndLastShowOnlyTheMarkersOfTheSpriteNowShown) {
    leftOnCell(0, 0);
    clicks(3, 142, 5);  // width 3
    clicks(142, 3, 6);  // height 2
    clickCaption(390);  // Next
    EXPECT_EQ(editor.sprites().currentSprite(), 2);
    EXPECT_TRUE(widthMarkerAt(8));
    EXPECT_TRUE(heightMarkerAt(8));
    EXPECT_TRUE(widthMarkerGone(3));
    EXPECT_TRUE(heightMarkerGone(2));
    expectSpriteShown();

    clickCaption(405);  // Last
    EXPECT_EQ(editor.sprites().currentSprite(), 1);
    EXPECT_TRUE(widthMarkerAt(3));
    EXPECT_TRUE(heightMarkerAt(2));
    EXPECT_TRUE(widthMarkerGone(8));
    EXPECT_TRUE(heightMarkerGone(8));
    EXPECT_EQ(cellLook(0, 0), "blue");
    expectSpriteShown();
}

TEST_F(EditorTest, CopyAndPasteCarryPixelsAndSizeIntoAnotherSpriteAsOneStep) {
    press(30, 378, rightButton);
    EXPECT_EQ(editor.statusText(), nothingToPaste);
    EXPECT_EQ(editor.sprites().records(), SpriteSet().records());

    leftOnCell(1, 1);
    leftOnCell(9, 0);
    clicks(3, 142, 3);  // width 5
    click(30, 378);     // Copy
    EXPECT_EQ(editor.statusText(), "Copied sprite 1");
    key(EventKind::nextSprite);
    press(30, 378, rightButton);
    EXPECT_EQ(editor.statusText(), "Pasted into sprite 2");
    EXPECT_EQ(editor.sprites().current().pixels, editor.sprites().record(1).pixels);
    EXPECT_EQ(editor.sprites().current().width, 5);
    EXPECT_EQ(editor.sprites().usedCount(), 2);
    EXPECT_TRUE(widthMarkerAt(5));
    EXPECT_TRUE(widthMarkerGone(8));
    expectSpriteShown();

    key(EventKind::undo);
    EXPECT_EQ(editor.sprites().current(), SpriteRecord{});
    EXPECT_EQ(editor.sprites().usedCount(), 1);
    EXPECT_TRUE(widthMarkerAt(8));

    key(EventKind::nextSprite);
    key(EventKind::paste);
    EXPECT_EQ(editor.statusText(), "Pasted into sprite 3");
    leftOnCell(0, 0);
    EXPECT_EQ(editor.statusText(), "Sprite 3/50  5x8") << "the next press clears the message";
    key(EventKind::copy);
    EXPECT_EQ(editor.statusText(), "Copied sprite 3");
}

struct Position {
    int c;
    int r;
};

struct TransformCase {
    const char* name;
    /// A key, or a press on Rotote.
    InputEvent event;
    const char* status;
    /// Where pixel (c, r) of a w x h region goes.
    Position (*goesTo)(int c, int r, int w, int h);
    bool turns;
    bool inverts;
};

struct RegionSize {
    int width;
    int height;
};

void PrintTo(const TransformCase& change, std::ostream* out) { *out << change.name; }
void PrintTo(const RegionSize& size, std::ostream* out) {
    *out << size.width << "x" << size.height;
}

class EditorTransformTest
    : public EditorTest,
      public ::testing::WithParamInterface<std::tuple<TransformCase, RegionSize>> {};

// A sprite with pixels inside and outside its region is loaded, changed and the change undone
// and redone.
TEST_P(EditorTransformTest, ChangesTheActiveRegionAsOneUndoStep) {
    const auto& [change, size] = GetParam();
    SpriteRecords records{};
    SpriteRecord& original = records[0];
    original.width = static_cast<std::int16_t>(size.width);
    original.height = static_cast<std::int16_t>(size.height);
    original.neverDrawn = 0;
    for (int c = 1; c <= gridSize; ++c) {
        for (int r = 1; r <= gridSize; ++r) {
            original.pixels[c - 1][r - 1] = (7 * c + 3 * r) % 5 < 2 ? 1 : 0;
        }
    }
    const auto image = encodeSetImage(records);
    writeBytes(folder / "pixelkin2.dat", std::string(image.begin(), image.end()));
    clickCaption(345);  // Load

    SpriteRecord expected = original;
    if (change.turns) {
        expected.pixels = {};
        std::swap(expected.width, expected.height);
    }
    for (int c = 1; c <= size.width; ++c) {
        for (int r = 1; r <= size.height; ++r) {
            const Position to = change.goesTo(c, r, size.width, size.height);
            const bool set = original.isSet(c, r) != change.inverts;
            expected.pixels[to.c - 1][to.r - 1] = set ? 1 : 0;
        }
    }

    pass({}, {change.event});
    EXPECT_EQ(editor.sprites().current(), expected);
    EXPECT_EQ(editor.statusText(), change.status);
    EXPECT_TRUE(widthMarkerAt(expected.width));
    EXPECT_TRUE(heightMarkerAt(expected.height));
    expectSpriteShown();

    key(EventKind::undo);
    // A change that changes nothing is no step: undo then takes back the Load.
    EXPECT_EQ(editor.sprites().current(), expected == original ? SpriteRecord{} : original);
    EXPECT_TRUE(widthMarkerAt(editor.sprites().current().width));
    EXPECT_TRUE(heightMarkerAt(editor.sprites().current().height));
    expectSpriteShown();
    key(EventKind::redo);
    EXPECT_EQ(editor.sprites().current(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditorTransformTest,
    ::testing::Combine(
        ::testing::Values(TransformCase{"RotateClockwise",
                                        {EventKind::buttonDown, {54, 423, leftButton}},
                                        "Rotated",
                                        [](int c, int r, int, int h) {
                                            return Position{h + 1 - r, c};
                                        },
                                        true,
                                        false},
                          TransformCase{"RotateCounterClockwise",
                                        {EventKind::buttonDown, {11, 419, rightButton}},
                                        "Rotated",
                                        [](int c, int r, int w, int) {
                                            return Position{r, w + 1 - c};
                                        },
                                        true,
                                        false},
                          TransformCase{"FlipLeftRight",
                                        {EventKind::flipLeftRight, {}},
                                        "Flipped",
                                        [](int c, int r, int w, int) {
                                            return Position{w + 1 - c, r};
                                        },
                                        false,
                                        false},
                          TransformCase{"FlipTopBottom",
                                        {EventKind::flipTopBottom, {}},
                                        "Flipped",
                                        [](int c, int r, int, int h) {
                                            return Position{c, h + 1 - r};
                                        },
                                        false,
                                        false},
                          TransformCase{"ShiftRight",
                                        {EventKind::shiftRight, {}},
                                        "Shifted",
                                        [](int c, int r, int w, int) {
                                            return Position{c == w ? 1 : c + 1, r};
                                        },
                                        false,
                                        false},
                          TransformCase{"ShiftLeft",
                                        {EventKind::shiftLeft, {}},
                                        "Shifted",
                                        [](int c, int r, int w, int) {
                                            return Position{c == 1 ? w : c - 1, r};
                                        },
                                        false,
                                        false},
                          TransformCase{"ShiftDown",
                                        {EventKind::shiftDown, {}},
                                        "Shifted",
                                        [](int c, int r, int, int h) {
                                            return Position{c, r == h ? 1 : r + 1};
                                        },
                                        false,
                                        false},
                          TransformCase{"ShiftUp",
                                        {EventKind::shiftUp, {}},
                                        "Shifted",
                                        [](int c, int r, int, int h) {
                                            return Position{c, r == 1 ? h : r - 1};
                                        },
                                        false,
                                        false},
                          TransformCase{"Invert",
                                        {EventKind::invert, {}},
                                        "Inverted",
                                        [](int c, int r, int, int) {
                                            return Position{c, r};
                                        },
                                        false,
                                        true}),
        ::testing::Values(RegionSize{1, 1}, RegionSize{3, 2}, RegionSize{16, 16},
                          RegionSize{8, 13})),
    [](const auto& info) {
        const RegionSize size = std::get<1>(info.param);
        return std::string(std::get<0>(info.param).name) + std::to_string(size.width) + "x" +
               std::to_string(size.height);
    });

TEST_F(EditorTest, ClearShowsTheSpriteAllClearKeepsItsSizeAndPaintsNothingOutsideTheGrid) {
    clicks(126, 141, 8);  // width 16
    clicks(144, 126, 8);  // height 16
    leftOnCell(0, 0);
    leftOnCell(15, 15);
    clickCaption(360);
    EXPECT_EQ(editor.sprites().current().width, 16);
    EXPECT_EQ(editor.sprites().usedCount(), 1);
    expectSpriteShown();
    EXPECT_TRUE(widthMarkerAt(16));
    EXPECT_FALSE(anyPixel(128, 0, 128, 128, white));
    EXPECT_FALSE(anyPixel(0, 128, 128, 128, white));
}

TEST_F(EditorTest, QuitEndsTheLoopWithoutSaving) {
    leftOnCell(0, 0);
    EXPECT_FALSE(press(30, 319, rightButton));
    EXPECT_FALSE(clickCaption(315)) << "unsaved changes hold the first Quit";
    EXPECT_TRUE(clickCaption(315));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST_F(EditorTest, SaveThenLoadBringsTheSavedSetBack) {
    leftOnCell(3, 3);
    clicks(3, 142, 2);  // width 6
    clickCaption(330);  // Save
    ASSERT_TRUE(std::filesystem::exists(folder / "pixelkin.spr"));
    clickCaption(360);  // Clear
    clicks(126, 141, 5);
    EXPECT_EQ(cellLook(3, 3), "white");

    clickCaption(345);  // Load
    EXPECT_EQ(cellLook(3, 3), "blue");
    EXPECT_EQ(editor.sprites().current().width, 6);
    EXPECT_TRUE(widthMarkerAt(6));
    EXPECT_TRUE(widthMarkerGone(11));
    expectSpriteShown();
    EXPECT_EQ(editor.statusText(), "Sprite 1/50  6x8");
    EXPECT_TRUE(errors.str().empty());
}

TEST_F(EditorTest, FailedLoadIsReportedOncePerPressAndKeepsTheSet) {
    leftOnCell(5, 5);
    press(30, 349, leftButton, 500);  // Load held with no file to read
    EXPECT_EQ(editor.statusText(), "Runtime error 2: pixelkin2.dat not found");
    EXPECT_TRUE(textShown(0, statusY, 'R', white, black));
    EXPECT_EQ(errors.str().find("Runtime error 2: pixelkin2.dat: "), 0u);
    EXPECT_EQ(errors.str().find('\n'), errors.str().size() - 1) << errors.str();
    EXPECT_EQ(cellLook(5, 5), "blue");
    EXPECT_TRUE(widthMarkerAt(8));

    click(30, 349);
    EXPECT_EQ(errors.str().find("Runtime error 2", 1), errors.str().find('\n') + 1)
        << "a new press reports again";

    pass({30, 392, 0});
    EXPECT_EQ(editor.statusText().find("Runtime error"), 0u) << "stays until the next press";
    leftOnCell(0, 0);
    EXPECT_EQ(editor.statusText(), "Sprite 1/50  8x8");
    EXPECT_TRUE(textShown(0, statusY, 'S', white, black));
}

TEST_F(EditorTest, LoadedPixelByteOtherThanZeroOrOneShowsAsASetPixel) {
    std::string image(13100, '\0');
    for (int record = 0; record < spriteCount; ++record) {
        image[record * 262 + 256] = 8;
        image[record * 262 + 258] = 8;
    }
    image[0] = 7;           // column 1, row 1: inside
    image[9 * 16 + 2] = 2;  // column 10, row 3: outside
    writeBytes(folder / "pixelkin2.dat", image);
    clickCaption(345);
    EXPECT_EQ(cellLook(0, 0), "blue");
    EXPECT_EQ(digitLook(0, 0), "white 1");
    EXPECT_EQ(cellLook(9, 2), "hatch");
    EXPECT_EQ(digitLook(9, 2), "green 1");
}

/// Writes a PNG of `width` x `height` whose pixel (x, y) is `colour(x, y)` (R, G, B, alpha).
template <typename Colour>
void writePicture(const std::filesystem::path& path, int width, int height, Colour colour) {
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::array<std::uint8_t, 4> pixel = colour(x, y);
            rgba.insert(rgba.end(), pixel.begin(), pixel.end());
        }
    }
    std::string error;
    const auto bytes = pngfile::encodePng(width, height, pngfile::Channels::rgba, rgba, error);
    ASSERT_TRUE(bytes) << error;
    writeBytes(path, std::string(bytes->begin(), bytes->end()));
}

std::array<std::uint8_t, 4> blackOnWhite(bool set) {
    return set ? std::array<std::uint8_t, 4>{0, 0, 0, 255}
               : std::array<std::uint8_t, 4>{255, 255, 255, 255};
}

TEST_F(EditorTest, ExportedSheetReadBackGivesTheSameSet) {
    SpriteRecords set{};
    for (int k = 0; k < spriteCount; ++k) {
        SpriteRecord& sprite = set[static_cast<std::size_t>(k)];
        sprite.width = static_cast<std::int16_t>(k % 16 + 1);
        sprite.height = static_cast<std::int16_t>(k * 7 % 16 + 1);
        sprite.neverDrawn = 0;
        for (int c = 1; c <= sprite.width; ++c) {
            for (int r = 1; r <= sprite.height; ++r) {
                sprite.pixels[c - 1][r - 1] = (c * 3 + r * 5 + k) % 4 == 0;
            }
        }
    }
    const std::vector<std::uint8_t> image = encodeSetImage(set);
    writeBytes(folder / setImageFileName, std::string(image.begin(), image.end()));
    clickCaption(345);  // Load
    key(EventKind::exportSheet);
    EXPECT_EQ(editor.statusText(), "Exported pixelkin.png");
    EXPECT_FALSE(std::filesystem::exists(folder / "pixelkin.png.tmp"));

    Editor fresh{folder.path(), errors};
    fresh.drawStartScreen();
    fresh.runPass(PassInput{now, {}, {{EventKind::importPicture, {}}}});
    EXPECT_EQ(fresh.statusText(), "Imported all 50 sprites");
    for (int k = 0; k < spriteCount; ++k) {
        const SpriteRecord& read = fresh.sprites().record(k + 1);
        const SpriteRecord& written = set[static_cast<std::size_t>(k)];
        EXPECT_EQ(read.pixels, written.pixels) << "sprite " << k + 1;
        EXPECT_EQ(read.width, written.width) << "sprite " << k + 1;
        EXPECT_EQ(read.height, written.height) << "sprite " << k + 1;
        EXPECT_EQ(read.isNeverDrawn(), !written.hasSetPixel()) << "drawn in when it has a pixel";
    }
    EXPECT_TRUE(fresh.hasUnsavedChanges());
    EXPECT_TRUE(errors.str().empty()) << errors.str();
}

struct ImportCase {
    int width;
    int height;
    const char* name;
};

class EditorImportTest : public EditorTest, public ::testing::WithParamInterface<ImportCase> {};

TEST_P(EditorImportTest, DroppedPictureBecomesTheCurrentSpriteAtItsSizeAsOneUndoStep) {
    const auto [width, height, name] = GetParam();
    // A diagonal of set pixels, the rest white; sprite 2 of a sheet gets it too.
    writePicture(folder / name, width, height, [](int x, int y) { return blackOnWhite(x == y); });
    key(EventKind::nextSprite);
    pass({}, {{EventKind::importPicture, {}, folder / name}});
    const SpriteRecord& sprite = editor.sprites().current();
    const bool sheet = width > gridSize;
    EXPECT_EQ(sprite.width, sheet ? 16 : width);
    EXPECT_EQ(sprite.height, sheet ? 16 : height);
    for (int c = 1; c <= gridSize; ++c) {
        for (int r = 1; r <= gridSize; ++r) {
            const bool expected = sheet ? c + 16 == r : c == r && c <= width && r <= height;
            ASSERT_EQ(sprite.isSet(c, r), expected) << c << "," << r;
        }
    }
    EXPECT_EQ(editor.sprites().usedCount(), sheet ? 5 : 1) << "counts as drawing";
    EXPECT_EQ(editor.sprites().record(1).hasSetPixel(), sheet);
    expectSpriteShown();
    key(EventKind::undo);
    EXPECT_EQ(editor.sprites().records(), SpriteRecords{});
    EXPECT_EQ(editor.sprites().currentSprite(), 2);
}

INSTANTIATE_TEST_SUITE_P(Sizes, EditorImportTest,
                         ::testing::Values(ImportCase{1, 1, "dot.png"}, ImportCase{5, 3, "a.png"},
                                           ImportCase{16, 1, "row.png"},
                                           ImportCase{16, 16, "full.png"},
                                           ImportCase{sheetWidth, sheetHeight, "sheet.png"}),
                         [](const auto& info) {
                             return std::to_string(info.param.width) + "x" +
                                    std::to_string(info.param.height);
                         });

TEST_F(EditorTest, ImportSetsThePixelsThatAreDarkAndOpaque) {
    constexpr std::array<std::array<std::uint8_t, 4>, 8> colours = {{
        {0, 0, 0, 255},        // set
        {255, 255, 255, 255},  // clear
        {127, 127, 127, 255},  // set: just below half
        {128, 128, 128, 255},  // clear
        {0, 0, 0, 128},        // clear: half transparent
        {0, 0, 0, 129},        // set
        {255, 0, 0, 255},      // set: red is dark
        {0, 255, 0, 255},      // clear: green is light
    }};
    writePicture(folder / sheetFileName, 8, 1,
                 [&](int x, int) { return colours[static_cast<std::size_t>(x)]; });
    key(EventKind::importPicture);
    std::string row;
    for (int c = 1; c <= 8; ++c) row += editor.sprites().current().isSet(c, 1) ? '1' : '0';
    EXPECT_EQ(row, "10100110");
    EXPECT_EQ(editor.statusText(), "Imported sprite 1");
}

TEST_F(EditorTest, ImportRefusesAnyOtherPictureAndKeepsTheSet) {
    leftOnCell(2, 2);
    const SpriteRecords before = editor.sprites().records();
    writePicture(folder / "wide.png", 17, 16, [](int, int) { return blackOnWhite(true); });
    writePicture(folder / "sheet1.png", sheetWidth, sheetHeight + 1,
                 [](int, int) { return blackOnWhite(true); });
    writePicture(folder / "good.png", 4, 4, [](int, int) { return blackOnWhite(true); });
    const std::string good = testing::readBytes(folder / "good.png");
    writeBytes(folder / "cut.png", good.substr(0, good.size() - 20));
    writeBytes(folder / "text.png", "not a picture\n");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"wide.png", "Runtime error 100: wide.png is 17x16"},
        {"sheet1.png", "Runtime error 100: sheet1.png is 160x81"},
        {"cut.png", "Runtime error 100: cut.png damaged"},
        {"text.png", "Runtime error 100: text.png not a PNG"},
        {"none.png", "Runtime error 2: none.png not found"},
    };
    for (const auto& [name, status] : cases) {
        pass({}, {{EventKind::importPicture, {}, folder / name}});
        EXPECT_EQ(editor.statusText(), status);
        EXPECT_EQ(editor.sprites().records(), before) << name;
    }
    key(EventKind::undo);
    EXPECT_FALSE(editor.sprites().current().hasSetPixel()) << "undo takes back the stroke";
    const std::string reported = errors.str();
    EXPECT_EQ(std::count(reported.begin(), reported.end(), '\n'), 5) << reported;
}

}  // namespace
}  // namespace pixelkin
