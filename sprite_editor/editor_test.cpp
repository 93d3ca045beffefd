#include "editor.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "font8x8.hpp"
#include "test_folder.hpp"

namespace pixelkin {
namespace {

using testing::TestFolder;
using testing::writeBytes;

constexpr int statusY = 468;

class EditorTest : public ::testing::Test {
  protected:
    void SetUp() override { editor.drawStartScreen(); }

    /// Runs `passes` passes with the mouse at (x, y) and `buttons` held.
    PassResult hold(int x, int y, int buttons, int passes = 1) {
        PassResult result;
        for (int i = 0; i < passes; ++i) {
            result = editor.runPass(MouseState{x, y, buttons});
        }
        return result;
    }
    void click(int x, int y) { hold(x, y, leftButton); }
    void leftOnCell(int c, int r) { hold(8 * c + 4, 8 * r + 4, leftButton); }
    void rightOnCell(int c, int r) { hold(8 * c + 4, 8 * r + 4, rightButton); }
    void clickCaption(int y) { click(30, y + 4); }

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
    EXPECT_TRUE(textShown(10, 375, 'C', grey, black));
    EXPECT_TRUE(textShown(10, 420, 'R', grey, black));
    EXPECT_TRUE(textShown(2, 450, 'P', white, black));
    EXPECT_TRUE(textShown(2 + 8 * 30, 450, 'e', white, black));
    EXPECT_EQ(at(0, 0), gridBlack);
    EXPECT_EQ(at(64, 3), gridBlack);
    EXPECT_EQ(at(3, 120), gridBlack);
    EXPECT_FALSE(anyPixel(0, statusY, canvasWidth - 1, canvasHeight - 1, white));
}

struct HitCase {
    const char* name;
    int x;
    int y;
    int buttons;
    int passes;
    int sprite;
    int width;
    int height;
    int used;
};

class EditorHitTest : public EditorTest, public ::testing::WithParamInterface<HitCase> {};

TEST_P(EditorHitTest, ActsOnlyStrictlyInsideAControlWithExactlyItsButton) {
    const HitCase& hit = GetParam();
    hold(hit.x, hit.y, hit.buttons, hit.passes);
    EXPECT_EQ(editor.sprites().currentSprite(), hit.sprite);
    EXPECT_EQ(editor.sprites().current().width, hit.width);
    EXPECT_EQ(editor.sprites().current().height, hit.height);
    EXPECT_EQ(editor.sprites().usedCount(), hit.used);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditorHitTest,
    ::testing::Values(HitCase{"NextLeftEdgeX10", 10, 392, leftButton, 1, 1, 8, 8, 0},
                      HitCase{"NextX11", 11, 392, leftButton, 1, 2, 8, 8, 0},
                      HitCase{"NextX49", 49, 392, leftButton, 1, 2, 8, 8, 0},
                      HitCase{"NextRightEdgeX50", 50, 392, leftButton, 1, 1, 8, 8, 0},
                      HitCase{"NextTopEdgeY387", 30, 387, leftButton, 1, 1, 8, 8, 0},
                      HitCase{"NextY388", 30, 388, leftButton, 1, 2, 8, 8, 0},
                      HitCase{"NextY396", 30, 396, leftButton, 1, 2, 8, 8, 0},
                      HitCase{"NextBottomEdgeY397", 30, 397, leftButton, 1, 1, 8, 8, 0},
                      HitCase{"NextRightButton", 30, 392, rightButton, 1, 1, 8, 8, 0},
                      HitCase{"NextBothButtons", 30, 392, leftButton | rightButton, 1, 1, 8, 8, 0},
                      HitCase{"NextMiddleButton", 30, 392, middleButton, 1, 1, 8, 8, 0},
                      HitCase{"NextHeldThreePasses", 30, 392, leftButton, 3, 4, 8, 8, 0},
                      HitCase{"NextHeldFiftyPassesWrapsToOne", 30, 392, leftButton, 50, 1, 8, 8, 0},
                      HitCase{"LastWrapsToFifty", 30, 412, leftButton, 1, 50, 8, 8, 0},
                      HitCase{"LastTopEdgeY407", 30, 407, leftButton, 1, 1, 8, 8, 0},
                      HitCase{"WidthMinus", 3, 142, leftButton, 1, 1, 7, 8, 0},
                      HitCase{"WidthMinusEdgeX1", 1, 142, leftButton, 1, 1, 8, 8, 0},
                      HitCase{"WidthMinusEdgeX5", 5, 142, leftButton, 1, 1, 8, 8, 0},
                      HitCase{"WidthMinusEdgeY145", 3, 145, leftButton, 1, 1, 8, 8, 0},
                      HitCase{"WidthMinusHeldStopsAtOne", 3, 142, leftButton, 20, 1, 1, 8, 0},
                      HitCase{"WidthPlus", 123, 144, leftButton, 1, 1, 9, 8, 0},
                      HitCase{"WidthPlusHeldStopsAtSixteen", 126, 141, leftButton, 20, 1, 16, 8, 0},
                      HitCase{"HeightMinus", 142, 3, leftButton, 1, 1, 8, 7, 0},
                      HitCase{"HeightPlus", 144, 126, leftButton, 1, 1, 8, 9, 0},
                      HitCase{"HeightPlusEdgeY127", 144, 127, leftButton, 1, 1, 8, 8, 0},
                      HitCase{"GridLeft", 20, 20, leftButton, 1, 1, 8, 8, 1},
                      HitCase{"GridLeftLastPixel", 127, 127, leftButton, 1, 1, 8, 8, 1},
                      HitCase{"GridEdgeX0", 0, 20, leftButton, 1, 1, 8, 8, 0},
                      HitCase{"GridEdgeY0", 20, 0, leftButton, 1, 1, 8, 8, 0},
                      HitCase{"GridPastX128", 128, 20, leftButton, 1, 1, 8, 8, 0},
                      HitCase{"GridBothButtons", 20, 20, leftButton | rightButton, 1, 1, 8, 8, 0},
                      HitCase{"GridRightNeverCounts", 20, 20, rightButton, 1, 1, 8, 8, 0},
                      HitCase{"OutsideTheWindow", -4, -4, leftButton, 1, 1, 8, 8, 0}),
    [](const auto& info) { return std::string(info.param.name); });

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
    hold(142, 3, leftButton, 10);
    EXPECT_TRUE(heightMarkerAt(1));
    EXPECT_TRUE(heightMarkerGone(8));
    hold(142, 3, leftButton);
    EXPECT_TRUE(heightMarkerAt(1));
    expectSpriteShown();
}

TEST_F(EditorTest, NextAndLastShowOnlyTheMarkersOfTheSpriteNowShown) {
    leftOnCell(0, 0);
    hold(3, 142, leftButton, 5);  // width 3
    hold(142, 3, leftButton, 6);  // height 2
    clickCaption(390);            // Next
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

TEST_F(EditorTest, CopyAndRototeChangeNothing) {
    leftOnCell(1, 1);
    const auto before = snapshot();
    const auto records = editor.sprites().records();
    clickCaption(375);
    clickCaption(420);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(editor.sprites().records(), records);
}

TEST_F(EditorTest, ClearShowsTheSpriteAllClearKeepsItsSizeAndPaintsNothingOutsideTheGrid) {
    hold(126, 141, leftButton, 8);  // width 16
    hold(144, 126, leftButton, 8);  // height 16
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
    EXPECT_FALSE(hold(30, 319, rightButton).quit);
    EXPECT_TRUE(hold(30, 319, leftButton).quit);
    EXPECT_FALSE(hold(30, 319, 0).quit);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST_F(EditorTest, SaveThenLoadBringsTheSavedSetBack) {
    leftOnCell(3, 3);
    hold(3, 142, leftButton, 2);  // width 6
    clickCaption(330);            // Save
    ASSERT_TRUE(std::filesystem::exists(folder / "pixelkin.spr"));
    clickCaption(360);  // Clear
    hold(126, 141, leftButton, 5);
    EXPECT_EQ(cellLook(3, 3), "white");

    clickCaption(345);  // Load
    EXPECT_EQ(cellLook(3, 3), "blue");
    EXPECT_EQ(editor.sprites().current().width, 6);
    EXPECT_TRUE(widthMarkerAt(6));
    EXPECT_TRUE(widthMarkerGone(11));
    expectSpriteShown();
    EXPECT_TRUE(editor.statusText().empty());
    EXPECT_TRUE(errors.str().empty());
}

TEST_F(EditorTest, FailedLoadIsReportedOncePerPressAndKeepsTheSet) {
    leftOnCell(5, 5);
    hold(30, 349, leftButton, 5);  // Load held with no file to read
    EXPECT_EQ(editor.statusText(), "Runtime error 2: pixelkin2.dat not found");
    EXPECT_TRUE(textShown(0, statusY, 'R', white, black));
    EXPECT_EQ(errors.str().find("Runtime error 2: pixelkin2.dat: "), 0u);
    EXPECT_EQ(errors.str().find('\n'), errors.str().size() - 1) << errors.str();
    EXPECT_EQ(cellLook(5, 5), "blue");
    EXPECT_TRUE(widthMarkerAt(8));

    hold(30, 349, 0);
    hold(30, 349, leftButton);
    EXPECT_EQ(errors.str().find("Runtime error 2", 1), errors.str().find('\n') + 1)
        << "a new press reports again";

    clickCaption(330);  // a successful Save clears the status line
    EXPECT_TRUE(editor.statusText().empty());
    EXPECT_FALSE(anyPixel(0, statusY, canvasWidth - 1, canvasHeight - 1, white));
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

}  // namespace
}  // namespace pixelkin
