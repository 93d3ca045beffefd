#include "routines.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "calculator.hpp"
#include "keypad.hpp"

namespace calcview {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string textRow(const Calculator& calc, int row) {
    std::string text;
    for (int column = 0; column < homeColumns; ++column) {
        text += static_cast<char>(
            calc.read(static_cast<std::uint16_t>(textShadowAddress + row * homeColumns + column)));
    }
    return text;
}

struct RoutineCase {
    const char* what;
    Bytes code;  // ends with ret; 9000h is where results go
    std::function<void(Calculator&)> before;
    std::function<void(const Calculator&)> check;
};

class Routines : public testing::TestWithParam<RoutineCase> {};

TEST_P(Routines, DoWhatTheirDocumentationSays) {
    Calculator calc;
    calc.start(GetParam().code, StartKind::plain);
    if (GetParam().before) GetParam().before(calc);
    ASSERT_EQ(calc.run(clockHz), RunState::returned) << calc.faultMessage();
    GetParam().check(calc);
}

void press(Calculator& calc, std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
        calc.pressKey(*keyIndex(key));
        calc.releaseKey(*keyIndex(key));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Calculator, Routines,
    testing::Values(
        RoutineCase{"disphl_right_aligns_in_five_cells",
                    {0x21, 0xD2, 0x04, 0xCD, 0x09, 0x47, 0xC9},  // ld hl,1234 / call _disphl
                    nullptr,
                    [](const Calculator& calc) {
                        EXPECT_EQ(textRow(calc, 0).substr(0, 5), " 1234");
                        EXPECT_EQ(calc.read(curcolAddress), 5);
                    }},
        RoutineCase{"putc_in_the_last_cell_scrolls_the_screen_up",
                    {0x3E, 'A', 0xCD, 0x05, 0x47, 0xC9},  // ld a,'A' / call _putc
                    [](Calculator& calc) {
                        calc.write(currowAddress, 7);
                        calc.write(curcolAddress, 15);
                    },
                    [](const Calculator& calc) {
                        EXPECT_EQ(textRow(calc, 6), "               A");
                        EXPECT_EQ(textRow(calc, 7), std::string(16, ' '));
                        EXPECT_EQ(calc.read(currowAddress), 7);
                        EXPECT_EQ(calc.read(curcolAddress), 0);
                    }},
        RoutineCase{"putmap_leaves_the_cursor",
                    {0x3E, 'Z', 0xCD, 0x01, 0x47, 0xCD, 0x3D, 0x47, 0xC9},  // _putmap, _newline
                    nullptr,
                    [](const Calculator& calc) {
                        EXPECT_EQ(textRow(calc, 0)[0], 'Z');
                        EXPECT_EQ(calc.read(currowAddress), 1);
                        EXPECT_EQ(calc.read(curcolAddress), 0);
                    }},
        RoutineCase{
            "vputs_moves_the_pen_by_the_glyph_widths",
            {0x21, 0x47, 0x93, 0xCD, 0x81, 0x47, 0x22, 0x00, 0x90, 0xC9, 0, 0, 0, 0, 0,   0,   0, 0,
             0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0, 0, 0, 0, 'H', 'i', 0},
            [](Calculator& calc) { calc.write(pencolAddress, 10); },
            [](const Calculator& calc) {
                EXPECT_GT(calc.read(pencolAddress), 12);
                EXPECT_EQ(calc.readWord(0x9000), 0x9347 + 3);  // hl after the 0 of "Hi" at 9347h
            }},
        RoutineCase{"getcsc_gives_the_scan_code_of_a_press",
                    {0xCD, 0x14, 0x40, 0x32, 0x00, 0x90, 0xCD, 0x14, 0x40, 0x32, 0x01, 0x90, 0xC9},
                    [](Calculator& calc) { press(calc, {"right"}); },
                    [](const Calculator& calc) {
                        EXPECT_EQ(calc.read(0x9000), 0x03);
                        EXPECT_EQ(calc.read(0x9001), 0x00);  // nothing new
                    }},
        RoutineCase{"getkey_waits_and_applies_2nd",
                    {0xCD, 0xFE, 0x4C, 0x32, 0x00, 0x90, 0xCD, 0xFE, 0x4C, 0x32, 0x01, 0x90, 0xC9},
                    [](Calculator& calc) {
                        calc.run(clockHz / 2);
                        ASSERT_EQ(calc.state(), RunState::running);  // still waiting
                        press(calc, {"2nd", "mode", "7"});
                    },
                    [](const Calculator& calc) {
                        EXPECT_EQ(calc.read(0x9000), 0x40);  // Quit
                        EXPECT_EQ(calc.read(0x9001), 0x95);  // 7
                    }},
        RoutineCase{"getkey_repeats_a_held_arrow",
                    {0xCD, 0xFE, 0x4C, 0x32, 0x00, 0x90, 0xCD, 0xFE, 0x4C, 0x32, 0x01, 0x90, 0xC9},
                    [](Calculator& calc) {
                        calc.pressKey(*keyIndex("up"));
                        calc.run(clockHz / 4);
                        ASSERT_EQ(calc.state(), RunState::running);  // not yet repeated
                    },
                    [](const Calculator& calc) {
                        EXPECT_EQ(calc.read(0x9000), 0x03);
                        EXPECT_EQ(calc.read(0x9001), 0x03);
                    }}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace calcview
