// SPDX-License-Identifier: GPL-2.0-or-later
// The example programs, translated and assembled as a user would (trovik and
// the stand-in assembler, with the calculator's addresses in the include
// files), run on the preview with their screens checked.

#include <gtest/gtest.h>

// libtifiles' headers use C's restrict, which C++ spells __restrict.
#define restrict __restrict
#include <tilp2/tifiles.h>
#undef restrict
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "calculator.hpp"
#include "fonts.hpp"
#include "graph.hpp"
#include "home_screen.hpp"
#include "keypad.hpp"
#include "program_file.hpp"
#include "routines.hpp"

namespace calcview {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t cyclesPerMs = clockHz / 1000;

/// A folder with copies of the examples, removed when the tests end.
struct WorkFolder {
    fs::path path = fs::temp_directory_path() / ("calcview-examples-" + std::to_string(::getpid()));
    WorkFolder() {
        fs::remove_all(path);
        fs::create_directories(path);
        for (const auto& entry : fs::directory_iterator(EXAMPLES_DIR)) {
            fs::copy_file(entry.path(), path / entry.path().filename());
        }
    }
    ~WorkFolder() { fs::remove_all(path); }
};

const fs::path& workFolder() {
    static const WorkFolder folder;
    return folder.path;
}

std::string readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

/// Translates `name` (with trovik's `options`) to a plain binary and loads it.
Program translated(const std::string& name, const std::string& options) {
    const fs::path folder = workFolder();
    const std::string command =
        "cd '" + folder.string() + "' && PATH='" + fs::path(TASM_STANDIN).parent_path().string() +
        ":'\"$PATH\" TASM_INCLUDE='" + CALCULATOR_INCLUDE_DIR + "' '" + TROVIK_BINARY + "' " +
        name + " " + options + " > " + name + ".log 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << readFile(folder / (name + ".log"));
    auto program = loadProgramFile(folder / (name + ".bin"));
    EXPECT_TRUE(program) << program.message() << "\n" << readFile(folder / (name + ".log"));
    return program ? *program : Program{};
}

/// `code` as a protected program in a .83p, squished or as hex text.
fs::path programFile(const std::vector<std::uint8_t>& code, bool asHexText) {
    static const int initialised = tifiles_library_init();
    (void)initialised;
    std::vector<std::uint8_t> body;
    if (asHexText) {
        const char* digits = "0123456789ABCDEF";
        for (std::size_t i = 0; i < code.size(); ++i) {
            body.push_back(static_cast<std::uint8_t>(digits[code[i] >> 4]));
            body.push_back(static_cast<std::uint8_t>(digits[code[i] & 15]));
            if (i % 16 == 15) body.push_back(0x3F);
        }
        for (std::uint8_t token : {0x3F, 0xD4, 0x3F, 0x30, 0x30, 0x30, 0x30, 0x3F, 0xD4})
            body.push_back(token);
    } else {
        body = code;
    }
    FileContent* content = tifiles_content_create_regular(CALC_TI83);
    VarEntry* entry = tifiles_ve_create_alloc_data(static_cast<uint32_t>(body.size() + 2));
    entry->size = static_cast<uint32_t>(body.size() + 2);
    entry->type = 0x06;
    std::snprintf(entry->name, sizeof entry->name, "HELLO");
    entry->data[0] = static_cast<std::uint8_t>(body.size());
    entry->data[1] = static_cast<std::uint8_t>(body.size() >> 8);
    std::copy(body.begin(), body.end(), entry->data + 2);
    tifiles_content_add_entry(content, entry);
    const fs::path path = workFolder() / (asHexText ? "HEXHELLO.83p" : "HELLO.83p");
    EXPECT_EQ(tifiles_file_write_regular(path.c_str(), content, nullptr), 0);
    tifiles_content_delete_regular(content);
    return path;
}

/// Whether the display cell (row, column) shows exactly `code`'s large glyph.
bool cellShows(const Calculator& calc, int row, int column, char code) {
    const LargeGlyph& glyph = largeGlyph(static_cast<std::uint8_t>(code));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 6; ++x) {
            const int gx = x - largeGlyphLeft, gy = y - largeGlyphTop;
            const bool ink =
                gx >= 0 && gx < largeGlyphWidth && gy >= 0 && gy < largeGlyphHeight &&
                (glyph.rows[static_cast<std::size_t>(gy)] >> (largeGlyphWidth - 1 - gx) & 1);
            if (calc.shownPixel(column * 6 + x, row * 8 + y) != ink) return false;
        }
    }
    return true;
}

class Hello : public testing::TestWithParam<bool> {};

TEST_P(Hello, ShowsItsGreetingTwiceInTheRightCells) {
    const Program binary = translated("hello", "-ns -c");
    const auto program = loadProgramFile(programFile(binary.code, GetParam()));
    ASSERT_TRUE(program) << program.message();
    ASSERT_EQ(program->code, binary.code);
    ASSERT_EQ(program->start, StartKind::ion);

    Calculator calc;
    calc.start(program->code, program->start);
    ASSERT_EQ(calc.run(clockHz), RunState::returned) << calc.faultMessage();
    // 17 characters wrap after 16; the second greeting starts on row 1 over the first one's "k".
    const std::string rows[] = {"Hello from trovi", "Hello from trovi", "k               ",
                                "                "};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < homeColumns; ++column) {
            EXPECT_TRUE(cellShows(calc, row, column, rows[row][static_cast<std::size_t>(column)]))
                << "row " << row << " column " << column;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Examples, Hello, testing::Values(false, true), [](const auto& info) {
    return info.param ? "HexText83p" : "Squished83p";
});

/// Whether some pixel of display column x between rows `top` and `bottom` is on.
bool columnHasInk(const Calculator& calc, int x, int top, int bottom) {
    for (int row = top; row <= bottom; ++row) {
        if (calc.lcd().pixel(x, row)) return true;
    }
    return false;
}

TEST(Examples, DrawingPutsLinesAndCircleOnTheScreenThenThePicture) {
    const Program program = translated("drawing", "-ns -c");
    Calculator calc;
    calc.start(program.code, program.start);
    bool checked = false;
    calc.routineObserver = [&](const Routine& routine) {
        if (routine.name != "_grbufcpy_v") return;
        checked = true;
        // line(0,0,95,63) and line(0,63,95,0): y counts up from the bottom row.
        for (int x = 0; x < screenWidth; ++x) {
            const int low = x * 63 / 95, high = (x * 63 + 94) / 95;
            EXPECT_TRUE(columnHasInk(calc, x, 63 - high, 63 - low)) << "rising line, x " << x;
            EXPECT_TRUE(columnHasInk(calc, x, low, high)) << "falling line, x " << x;
        }
        // circle(68,32,48,32): centre (48, 32), through (68, 32): radius 20.
        for (const auto& [x, row] : {std::pair{68, 31}, {28, 31}, {48, 11}, {48, 51}}) {
            EXPECT_TRUE(calc.lcd().pixel(x, row)) << x << "," << row;
        }
        EXPECT_FALSE(calc.lcd().pixel(48, 20));
    };
    ASSERT_EQ(calc.run(clockHz), RunState::returned) << calc.faultMessage();
    EXPECT_TRUE(checked);
    // disppic( leaves its frame: a border round an empty screen.
    for (int x = 0; x < screenWidth; ++x)
        EXPECT_TRUE(calc.shownPixel(x, 0) && calc.shownPixel(x, 63));
    EXPECT_TRUE(calc.shownPixel(0, 30) && calc.shownPixel(95, 30));
    EXPECT_FALSE(calc.shownPixel(48, 11));
}

TEST(Examples, DrawingsDotsLandInTheGraphBuffer) {
    std::string source = readFile(workFolder() / "drawing.p83");
    source.erase(source.find("disppic(frame);"), std::string("disppic(frame);\n").size());
    std::ofstream(workFolder() / "dots.p83") << source;
    const Program program = translated("dots", "-ns -c");
    Calculator calc;
    calc.start(program.code, program.start);
    ASSERT_EQ(calc.run(clockHz), RunState::returned) << calc.faultMessage();
    // 20 dots from (10, 2) down to the right; pixeloff( then clears (30, 22).
    for (int i = 0; i < 20; ++i) EXPECT_TRUE(bufferPixel(calc, 10 + i, 2 + i)) << i;
    EXPECT_FALSE(bufferPixel(calc, 30, 22));
}

/// The top left corner of what the display shows.
std::pair<int, int> topLeftInk(const Calculator& calc) {
    int left = screenWidth, top = screenHeight;
    for (int y = 0; y < screenHeight; ++y) {
        for (int x = 0; x < screenWidth; ++x) {
            if (!calc.shownPixel(x, y)) continue;
            left = std::min(left, x);
            top = std::min(top, y);
        }
    }
    return {left, top};
}

void hold(Calculator& calc, const char* key, int ms) {
    calc.pressKey(*keyIndex(key));
    calc.run(calc.cycles() + static_cast<std::uint64_t>(ms) * cyclesPerMs);
    calc.releaseKey(*keyIndex(key));
    calc.run(calc.cycles() + 100 * cyclesPerMs);
}

TEST(Examples, CatchsBallFollowsTheHeldArrowsAndClearEndsIt) {
    const Program program = translated("catch", "-s -c");
    Calculator calc;
    calc.start(program.code, program.start);
    calc.run(100 * cyclesPerMs);
    ASSERT_EQ(topLeftInk(calc), std::pair(44, 28));
    hold(calc, "right", 150);
    const auto [right, sameRow] = topLeftInk(calc);
    EXPECT_GT(right, 44);
    EXPECT_EQ(sameRow, 28);
    hold(calc, "down", 150);
    const auto [sameColumn, down] = topLeftInk(calc);
    EXPECT_EQ(sameColumn, right);
    EXPECT_GT(down, 28);
    hold(calc, "left", 100);
    EXPECT_LT(topLeftInk(calc).first, right);
    ASSERT_EQ(calc.state(), RunState::running) << calc.faultMessage();
    hold(calc, "clear", 100);
    EXPECT_EQ(calc.state(), RunState::returned) << calc.faultMessage();
    EXPECT_EQ(topLeftInk(calc), std::pair(screenWidth, screenHeight));  // clrscr() on the way out
}

TEST(Examples, CatchKeepsTheBallOnTheScreen) {
    const Program program = translated("catch", "-s -c");
    Calculator calc;
    calc.start(program.code, program.start);
    calc.run(100 * cyclesPerMs);
    hold(calc, "right", 3000);
    hold(calc, "up", 3000);
    ASSERT_EQ(calc.state(), RunState::running) << calc.faultMessage();
    EXPECT_EQ(topLeftInk(calc), std::pair(88, 0));
    hold(calc, "left", 3000);
    hold(calc, "down", 3000);
    ASSERT_EQ(calc.state(), RunState::running) << calc.faultMessage();
    EXPECT_EQ(topLeftInk(calc), std::pair(0, 56));
}

}  // namespace
}  // namespace calcview
