// SPDX-License-Identifier: GPL-2.0-or-later
#include "calculator.hpp"

#include <gtest/gtest.h>

#include "keypad.hpp"
#include "screen_image.hpp"
#include "session.hpp"

namespace calcview {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint64_t oneSecond = clockHz;

struct FaultCase {
    const char* what;
    Bytes code;
    const char* messagePart;
};

class Faults : public testing::TestWithParam<FaultCase> {};

TEST_P(Faults, EndTheRunWithAMessageNamingTheAddress) {
    Calculator calc;
    calc.start(GetParam().code, StartKind::plain);
    EXPECT_EQ(calc.run(oneSecond), RunState::fault);
    EXPECT_NE(calc.faultMessage().find(GetParam().messagePart), std::string::npos)
        << calc.faultMessage();
}

INSTANTIATE_TEST_SUITE_P(
    Calculator, Faults,
    testing::Values(
        FaultCase{"jump into ROM", {0xC3, 0x00, 0x00}, "ran away to 0000h"},
        FaultCase{"call of a known routine not carried out", {0xCD, 0x84, 0x4A}, "_CLine at 4A84h"},
        FaultCase{"call where no routine is", {0xCD, 0x34, 0x12}, "called 1234h from 9327h"},
        FaultCase{"endless push", {0xC5, 0x18, 0xFD}, "stack ran into the variable table"},
        // ld sp,932Bh / push hl: the stack lands on the program's own bytes.
        FaultCase{"push into the program", {0x31, 0x2B, 0x93, 0xE5}, "stack ran into the program"},
        FaultCase{"push onto the system's pointers", {0x31, 0x1A, 0x93, 0xE5}, "memory pointers"},
        FaultCase{"pop past the return address", {0xE1, 0xE1, 0xC9}, "stack underflowed"}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(Calculator, ReturnEndsTheRunAndAnEndlessLoopMeetsTheTimeLimit) {
    Calculator returns;
    returns.start({0xC9}, StartKind::plain);
    EXPECT_EQ(runHeadless(returns, {}, oneSecond).outcome, Outcome::returned);

    Calculator loops;
    loops.start({0x18, 0xFE}, StartKind::plain);  // jr $
    EXPECT_EQ(runHeadless(loops, {}, oneSecond).outcome, Outcome::timeLimit);
    EXPECT_GE(loops.cycles(), oneSecond);
}

TEST(Calculator, IonStartsAfterTheGuardWithCarryClearAndItsRoutinesInReach) {
    const Bytes code = {0xC9, 0x30, 0x01, 0x00,        // ret / jr nc,+1 / "" description
                        0x06, 0x0A, 0xCD, 0xAA, 0x91,  // ld b,10 / call ionRandom
                        0x32, 0x00, 0x90, 0xC9};       // ld (9000h),a / ret
    Calculator plain;
    plain.start(code, StartKind::plain);
    plain.write(0x9000, 0xEE);
    EXPECT_EQ(plain.run(oneSecond), RunState::returned);
    EXPECT_EQ(plain.read(0x9000), 0xEE);  // the guard returned at once

    Calculator ion;
    ion.start(code, StartKind::ion);
    ion.write(0x9000, 0xEE);
    EXPECT_EQ(ion.run(oneSecond), RunState::returned) << ion.faultMessage();
    EXPECT_LT(ion.read(0x9000), 10);
}

TEST(Calculator, AStackMovedOnPurposeToFreeRamIsNoFault) {
    // ld (8265h),sp / ld sp,9100h / push hl / call +0 / pop hl / pop hl / ld sp,(8265h) / ret
    const Bytes code = {0xED, 0x73, 0x65, 0x82, 0x31, 0x00, 0x91, 0xE5, 0xCD,
                        0x32, 0x93, 0xE1, 0xE1, 0xED, 0x7B, 0x65, 0x82, 0xC9};
    Calculator calc;
    calc.start(code, StartKind::plain);
    EXPECT_EQ(calc.run(oneSecond), RunState::returned) << calc.faultMessage();
}

TEST(Calculator, HaltWaitsForTheTimerInterrupt) {
    Calculator calc;
    calc.start({0xFB, 0x76, 0x76, 0xC9}, StartKind::plain);  // ei / halt / halt / ret
    EXPECT_EQ(calc.run(oneSecond), RunState::returned);
    EXPECT_GE(calc.cycles(), timerPeriod);
    EXPECT_LT(calc.cycles(), 3 * timerPeriod);
}

TEST(Calculator, TimerInterruptHeldBackByDiIsTakenRightAfterEi) {
    // di / ld bc,2000 / loop: dec bc / ld a,b / or c / jr nz,loop (52,000 cycles) / ei / halt / ret
    const Bytes code = {0xF3, 0x01, 0xD0, 0x07, 0x0B, 0x78, 0xB1, 0x20, 0xFB, 0xFB, 0x76, 0xC9};
    Calculator calc;
    calc.start(code, StartKind::plain);
    EXPECT_EQ(calc.run(oneSecond), RunState::returned);
    EXPECT_GT(calc.cycles(), timerPeriod);
    EXPECT_LT(calc.cycles(), 60'000u);  // not at the next tick, 85,714
}

TEST(Calculator, KeypadReadsTheHeldKeysOfTheSelectedGroup) {
    // ld a,FEh / out (1),a / in a,(1) / ld (9000h),a / ld a,FDh / out (1),a / in a,(1) / ld
    // (9001h),a / ret
    const Bytes code = {0x3E, 0xFE, 0xD3, 0x01, 0xDB, 0x01, 0x32, 0x00, 0x90, 0x3E,
                        0xFD, 0xD3, 0x01, 0xDB, 0x01, 0x32, 0x01, 0x90, 0xC9};
    Calculator calc;
    calc.start(code, StartKind::plain);
    calc.pressKey(*keyIndex("right"));
    calc.pressKey(*keyIndex("up"));
    calc.pressKey(*keyIndex("clear"));
    EXPECT_EQ(calc.run(oneSecond), RunState::returned);
    EXPECT_EQ(calc.read(0x9000), 0xF3);  // right (bit 2) and up (bit 3)
    EXPECT_EQ(calc.read(0x9001), 0xBF);  // clear (bit 6)
}

TEST(Calculator, PoweringDownBlanksTheScreenUntilAKey) {
    // The translated OFF routine, then jr $.
    const Bytes code = {0xF3, 0x3E, 0x01, 0xD3, 0x03, 0x3E, 0x00,
                        0xD3, 0x04, 0x08, 0xD9, 0xFB, 0x18, 0xFE};
    Calculator calc;
    calc.start(code, StartKind::plain);
    calc.lcd().setPixel(5, 5, true);
    calc.run(oneSecond / 10);
    EXPECT_FALSE(calc.screenPowered());
    EXPECT_FALSE(calc.shownPixel(5, 5));
    calc.pressKey(*keyIndex("enter"));
    EXPECT_TRUE(calc.shownPixel(5, 5));
}

TEST(Calculator, ProgramPoweredDownOnModeSleepsUntilOn) {
    // loop: call _getcsc / cp skMode / jr nz,loop / ld a,01h / out (3),a / ei / halt /
    // ld a,0Bh / out (3),a / ld a,(onFlags) / ld (9000h),a / ret
    const Bytes code = {0xCD, 0x14, 0x40, 0xFE, 0x37, 0x20, 0xF9, 0x3E, 0x01, 0xD3, 0x03, 0xFB,
                        0x76, 0x3E, 0x0B, 0xD3, 0x03, 0x3A, 0x70, 0x85, 0x32, 0x00, 0x90, 0xC9};
    Calculator calc;
    calc.start(code, StartKind::plain);
    calc.run(oneSecond / 10);
    for (const char* key : {"mode", "enter", "on"}) {
        calc.pressKey(*keyIndex(key));
        calc.releaseKey(*keyIndex(key));
        calc.run(calc.cycles() + oneSecond / 2);
        if (std::string_view(key) == "mode") {
            EXPECT_FALSE(calc.screenPowered());
        }
        if (std::string_view(key) != "on") {
            EXPECT_EQ(calc.state(), RunState::running) << key;
        }
    }
    EXPECT_EQ(calc.state(), RunState::returned) << calc.faultMessage();
    EXPECT_TRUE(calc.screenPowered());
    EXPECT_EQ(calc.read(0x9000) >> onInterruptBit & 1, 1);  // the system noted the press
}

TEST(Calculator, OnIsReadOnPort4AndNotOnTheKeypad) {
    // ld a,00h / out (1),a / in a,(1) / ld (9000h),a / in a,(4) / ld (9001h),a / ret
    const Bytes code = {0x3E, 0x00, 0xD3, 0x01, 0xDB, 0x01, 0x32, 0x00,
                        0x90, 0xDB, 0x04, 0x32, 0x01, 0x90, 0xC9};
    Calculator calc;
    calc.start(code, StartKind::plain);
    calc.pressKey(*keyIndex("on"));
    EXPECT_EQ(calc.run(oneSecond), RunState::returned);
    EXPECT_EQ(calc.read(0x9000), 0xFF);
    EXPECT_EQ(calc.read(0x9001) & 0x08, 0);
}

TEST(ScreenImage, ContrastFadesOrDarkensTheInk) {
    Calculator calc;
    calc.lcd().setPixel(0, 0, true);
    const auto inkRed = [&](std::uint8_t command) {
        calc.lcd().command(command);
        return screenImage(calc, 1)[0];
    };
    EXPECT_EQ(inkRed(0xEF), lcdInk.r);  // the calculator's starting contrast
    EXPECT_EQ(inkRed(0xC0), lcdBackground.r);
    EXPECT_GT(inkRed(0xD8), lcdInk.r);
    EXPECT_EQ(screenImage(calc, 1)[3], lcdBackground.r);  // the pixel beside it, off
    inkRed(0xFF);
    EXPECT_LT(screenImage(calc, 1)[3], lcdBackground.r);
}

TEST(Lcd, WritesMoveDownAndReadsLagOneBehind) {
    Lcd lcd;
    for (std::uint8_t command : {0x01, 0x05, 0x80, 0x21})
        lcd.command(command);  // 8-bit, down, row 0, column 1
    lcd.writeData(0xA5);
    lcd.writeData(0x3C);
    EXPECT_TRUE(lcd.shown(8, 0));
    EXPECT_FALSE(lcd.shown(9, 0));
    EXPECT_TRUE(lcd.shown(10, 1));
    lcd.command(0x80);
    lcd.command(0x21);
    lcd.readData();  // the dummy read
    EXPECT_EQ(lcd.readData(), 0xA5);
    EXPECT_EQ(lcd.readData(), 0x3C);

    lcd.command(0x00);  // 6-bit words: column 1 is pixels 6-11
    lcd.command(0x80);
    lcd.command(0x21);
    lcd.writeData(0x3F);
    EXPECT_TRUE(lcd.shown(6, 0));
    EXPECT_TRUE(lcd.shown(11, 0));
    lcd.command(0x41);  // scroll: row 1 shows at the top
    EXPECT_TRUE(lcd.shown(10, 0));
}

}  // namespace
}  // namespace calcview
