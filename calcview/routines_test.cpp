// SPDX-License-Identifier: GPL-2.0-or-later
#include "routines.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "addresses.hpp"
#include "calculator.hpp"
#include "float_routines.hpp"
#include "fonts.hpp"
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


// ---- real numbers in the OP registers -----------------------------------

Bytes call(std::uint16_t address) {
    return {0xCD, static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(address >> 8)};
}

/// The pieces one after the other, then ret.
Bytes program(std::initializer_list<Bytes> pieces) {
    Bytes code;
    for (const Bytes& piece : pieces) code.insert(code.end(), piece.begin(), piece.end());
    code.push_back(0xC9);
    return code;
}

Bytes opRegister(const Calculator& calc, std::uint16_t address) {
    Bytes bytes;
    for (int i = 0; i < 9; ++i) bytes.push_back(calc.read(static_cast<std::uint16_t>(address + i)));
    return bytes;
}

constexpr std::uint16_t op1 = 0x8039, op2 = 0x8044;
const Bytes ldHL1234 = {0x21, 0xD2, 0x04}, ldA7 = {0x3E, 7}, ldA5 = {0x3E, 5};
const Bytes storeDE = {0xED, 0x53, 0x00, 0x90};  // ld (9000h),de
const Bytes seven = {0x00, 0x80, 0x70, 0, 0, 0, 0, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Numbers, Routines,
    testing::Values(
        RoutineCase{"setxxxxop2_op2toop1_convop1_round_trip",
                    program({ldHL1234, call(0x4A7C), call(0x41C2), call(0x4EFC), storeDE}),
                    nullptr,
                    [](const Calculator& calc) {
                        EXPECT_EQ(opRegister(calc, op1), (Bytes{0x00, 0x83, 0x12, 0x34, 0, 0, 0, 0, 0}));
                        EXPECT_EQ(calc.readWord(0x9000), 1234);
                        EXPECT_EQ(calc.a(), 0xD2);
                    }},
        RoutineCase{"setxxop1_setxxop2_fpdiv",
                    program({ldA7, call(0x4A74), ldA5, call(0x4A78), call(0x40C6)}), nullptr,
                    [](const Calculator& calc) {
                        EXPECT_EQ(opRegister(calc, op1), (Bytes{0x00, 0x80, 0x14, 0, 0, 0, 0, 0, 0}));
                    }},
        RoutineCase{"fpadd_fpsub_fpmult_on_op1_and_op2",
                    // (7 + 5 - 5) * 5 with OP2 = 5 throughout
                    program({ldA7, call(0x4A74), ldA5, call(0x4A78), call(0x4092), call(0x408E),
                             call(0x40AA)}),
                    nullptr,
                    [](const Calculator& calc) {
                        EXPECT_EQ(opRegister(calc, op1), (Bytes{0x00, 0x81, 0x35, 0, 0, 0, 0, 0, 0}));
                    }},
        RoutineCase{"mov9toop1_op1toop2_op1exop2_op1set0",
                    program({{0x21, 0x00, 0x90}, call(0x4206), call(0x418E), call(0x4286),
                             call(0x4306)}),  // OP1 = (9000h), OP2 = OP1, OP1 = 0, swap
                    [](Calculator& calc) {
                        for (std::size_t i = 0; i < seven.size(); ++i) {
                            calc.write(static_cast<std::uint16_t>(0x9000 + i), seven[i]);
                        }
                    },
                    [](const Calculator& calc) {
                        EXPECT_EQ(opRegister(calc, op1), seven);
                        EXPECT_EQ(opRegister(calc, op2), (Bytes{0x00, 0x80, 0, 0, 0, 0, 0, 0, 0}));
                    }},
        RoutineCase{"zeroop1_clears_every_byte",
                    program({ldA7, call(0x4A74), call(0x428E)}), nullptr,
                    [](const Calculator& calc) { EXPECT_EQ(opRegister(calc, op1), Bytes(9, 0)); }},
        RoutineCase{"dispop1a_draws_at_the_pen_within_the_width",
                    program({ldHL1234, call(0x4A7C), call(0x41C2), {0x3E, 3}, call(0x51D4)}),
                    nullptr,
                    [](const Calculator& calc) {
                        // 1234 in at most 3 characters: 1E3
                        const int width = smallGlyph('1').width + smallGlyph(0x1B).width +
                                          smallGlyph('3').width;
                        EXPECT_EQ(calc.read(pencolAddress), width);
                    }},
        RoutineCase{"random_lies_between_0_and_1",
                    program({call(0x50B6), call(0x418E), call(0x50B6)}), nullptr,
                    [](const Calculator& calc) {
                        const Bytes first = opRegister(calc, op2), second = opRegister(calc, op1);
                        EXPECT_NE(first, second);
                        for (const Bytes& value : {first, second}) {
                            EXPECT_EQ(value[0], 0x00);
                            EXPECT_LT(value[1], 0x80);
                            EXPECT_NE(value[2] & 0xF0, 0);
                        }
                    }},
        RoutineCase{"getk_gives_the_scan_code_in_a_and_basics_number_in_op1_and_op2",
                    program({call(0x4A18), {0x32, 0x00, 0x90}}),
                    [](Calculator& calc) { press(calc, {"enter"}); },
                    [](const Calculator& calc) {
                        EXPECT_EQ(calc.read(0x9000), 0x09);
                        const Bytes number{0x00, 0x82, 0x10, 0x50, 0, 0, 0, 0, 0};
                        EXPECT_EQ(opRegister(calc, op1), number);
                        EXPECT_EQ(opRegister(calc, op2), number);
                    }},
        RoutineCase{"getk_gives_0_without_a_key",
                    program({{0x3E, 0x55}, call(0x4A18), {0x32, 0x00, 0x90}}), nullptr,
                    [](const Calculator& calc) {
                        EXPECT_EQ(calc.read(0x9000), 0x00);
                        const Bytes zero{0x00, 0x80, 0, 0, 0, 0, 0, 0, 0};
                        EXPECT_EQ(opRegister(calc, op1), zero);
                        EXPECT_EQ(opRegister(calc, op2), zero);
                    }},
        RoutineCase{"hltimes9", program({ldHL1234, call(0x4146), {0x22, 0x00, 0x90}}), nullptr,
                    [](const Calculator& calc) { EXPECT_EQ(calc.readWord(0x9000), 1234 * 9); }}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(Routines, GetKNumbersEveryKeyAsBasicsGetKeyDoes) {
    EXPECT_EQ(numbers::basicKeyCode(*keyIndex("y=")), 11);
    EXPECT_EQ(numbers::basicKeyCode(*keyIndex("up")), 25);
    EXPECT_EQ(numbers::basicKeyCode(*keyIndex("0")), 102);
    EXPECT_EQ(numbers::basicKeyCode(*keyIndex("on")), 0);  // ON breaks a program instead
    std::set<int> codes;  // each key its own code, row * 10 + column
    for (std::size_t key = 0; key < allKeys().size(); ++key) {
        if (allKeys()[key].group == onKeyGroup) continue;
        const int code = numbers::basicKeyCode(static_cast<int>(key));
        EXPECT_TRUE(codes.insert(code).second) << allKeys()[key].name;
        EXPECT_GE(code % 10, 1);
        EXPECT_LE(code % 10, 6);
    }
}

struct ErrorCase {
    const char* what;
    Bytes code;
    const char* message;
};

class RoutineErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(RoutineErrors, EndTheRunNamingTheRoutine) {
    Calculator calc;
    calc.start(GetParam().code, StartKind::plain);
    ASSERT_EQ(calc.run(clockHz), RunState::fault);
    EXPECT_NE(calc.faultMessage().find(GetParam().message), std::string::npos) << calc.faultMessage();
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, RoutineErrors,
    testing::Values(
        ErrorCase{"division_by_zero", program({ldA7, call(0x4A74), call(0x4286), call(0x418E),
                                               ldA7, call(0x4A74), call(0x40C6)}),
                  "_FPDiv (called from 9337h) ended in ERR:DIVIDE BY 0"},
        ErrorCase{"convop1_above_9999", program({{0x21, 0x10, 0x27}, call(0x4A7C), call(0x41C2),
                                                 call(0x4EFC)}),
                  "_ConvOP1 (called from 9330h) was given 10000"}),
    [](const auto& info) { return std::string(info.param.what); });


// ---- the shipped include files and the routine table ----------------------

/// name (lower case) -> value of every `NAME .equ VALUEh` (or decimal VALUE) in the file.
std::map<std::string, std::uint16_t> equates(const std::string& file) {
    std::ifstream in(std::string(CALCULATOR_INCLUDE_DIR) + "/" + file);
    EXPECT_TRUE(in) << file;
    static const std::regex line(R"(^(\S+)\s+\.equ\s+0?([0-9A-Fa-f]+)(h?)\b)");
    std::map<std::string, std::uint16_t> values;
    std::string text;
    std::smatch match;
    while (std::getline(in, text)) {
        if (!std::regex_search(text, match, line)) continue;
        std::string name = match[1];
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const int base = match[3].length() > 0 ? 16 : 10;
        values[name] = static_cast<std::uint16_t>(std::stoul(match[2], nullptr, base));
    }
    return values;
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

TEST(Routines, AgreeWithTheShippedIncludeFiles) {
    std::map<std::string, std::uint16_t> names = equates("ti83asm.inc");
    names.merge(equates("ion.inc"));
    ASSERT_GT(names.size(), 100U);
    // Every routine address the include files give is one the preview knows.
    for (const auto& [name, value] : names) {
        if (name[0] != '_' || value >= 0x8000) continue;
        EXPECT_NE(routineAt(value), nullptr) << name << " at " << std::hex << value << "h has no row";
    }
    // Every row's name the include files know has their address; Ion's
    // routines are reached through the jump table at 91A7h, in table order.
    // Left out of the files: names from one listing only and _grphcirc,
    // which translated programs define themselves.
    const std::set<std::string> notShipped = {"_clrscrn", "_circcmd", "_grphcirc", "_delres",
                                              "rfpmult"};
    for (const Routine& routine : allRoutines()) {
        const std::string name = lower(routine.name);
        const auto found = names.find(name);
        if (routine.address >= ionRoutineBase && routine.address < ionRoutineBase + 3 * ionRoutineCount) {
            ASSERT_NE(found, names.end()) << name;
            EXPECT_EQ(found->second - ionVectorsAddress, routine.address - ionRoutineBase) << name;
        } else if (found == names.end()) {
            EXPECT_TRUE(notShipped.count(name)) << name << " is not in the include files";
        } else {
            EXPECT_EQ(found->second, routine.address) << name;
        }
    }
}

// ---- the README's table of routines --------------------------------------

/// The rows of the README's table, from the routine table: every routine
/// carried out, by the address a program calls (Ion's through the jump table).
std::string readmeTable() {
    std::vector<std::pair<std::uint16_t, std::string>> rows;
    for (const Routine& routine : allRoutines()) {
        if (routine.run == nullptr) continue;
        const bool ion = routine.address >= ionRoutineBase &&
                         routine.address < ionRoutineBase + 3 * ionRoutineCount;
        const auto address = static_cast<std::uint16_t>(
            ion ? ionVectorsAddress + routine.address - ionRoutineBase : routine.address);
        char text[16];
        std::string note(routine.note);
        if (ion) note = "Ion's jump table";
        if (address < 0x40) {
            std::snprintf(text, sizeof text, "`rst %02Xh`", address);
            note = text + (note.empty() ? "" : "; " + note);
        }
        std::snprintf(text, sizeof text, "%04Xh", address);
        rows.emplace_back(address, "| " + std::string(text) + " | `" + std::string(routine.name) +
                                       "` | " + note + " |\n");
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string table = "| Address | Routine | Note |\n|---|---|---|\n";
    for (const auto& row : rows) table += row.second;
    return table;
}

TEST(Routines, ReadmeTableIsTheRoutineTable) {
    std::ifstream in(README_FILE);
    const std::string readme((std::istreambuf_iterator<char>(in)), {});
    const std::string begin = "<!-- routine table: made from calcview's routine table -->\n";
    const std::string end = "<!-- end of routine table -->";
    const auto from = readme.find(begin), to = readme.find(end);
    ASSERT_NE(from, std::string::npos);
    ASSERT_NE(to, std::string::npos);
    EXPECT_EQ(readme.substr(from + begin.size(), to - from - begin.size()), readmeTable())
        << "The README's table should read:\n" << readmeTable();
}

// The addresses calcview keeps, against the include file programs assemble with.
TEST(Addresses, AgreeWithTheShippedIncludeFile) {
    const auto names = equates("ti83asm.inc");
    const std::pair<const char*, std::uint16_t> kept[] = {
        {"usermem", programOrigin},       {"currow", currowAddress},
        {"curcol", curcolAddress},        {"textshadow", textShadowAddress},
        {"pencol", pencolAddress},        {"penrow", penrowAddress},
        {"curgy", curgyAddress},          {"curgx", curgxAddress},
        {"plotsscreen", plotsscreenAddress}, {"tempmem", tempMemAddress},
        {"fpbase", fpBaseAddress},        {"fps", fpsAddress},
        {"opbase", opBaseAddress},        {"ops", opsAddress},
        {"ptempcnt", pTempCntAddress},    {"cleantmp", cleanTmpAddress},
        {"ptemp", pTempAddress},          {"progptr", progPtrAddress},
        {"symtable", symTableAddress},    {"lcdinstport", lcdCommandPort},
        {"lcddataport", lcdDataPort},     {"plotflags", plotFlagsOffset},
        {"plotloc", plotLocBit},          {"textflags", textFlagsOffset},
        {"textinverse", textInverseBit},  {"onflags", onFlagsOffset},
        {"oninterrupt", onInterruptBit},  {"statflags", statFlagsOffset},
        {"statsvalid", statsValidBit},
    };
    for (const auto& [name, value] : kept) {
        const auto found = names.find(name);
        ASSERT_NE(found, names.end()) << name;
        EXPECT_EQ(found->second, value) << name;
    }
}

}  // namespace
}  // namespace calcview
