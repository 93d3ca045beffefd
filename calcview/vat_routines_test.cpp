// SPDX-License-Identifier: GPL-2.0-or-later
// A program that keeps data in variables, run against files' variables, with
// memory and the variable table checked byte by byte afterwards.

#include "vat_routines.hpp"

#include <gtest/gtest.h>

#include "addresses.hpp"
#include "calculator.hpp"
#include "ion_routines.hpp"
#include "program_file.hpp"
#include "variable_table.hpp"

namespace calcview {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t scoreName = 0x8265;  // OP1 forms of the names, in saveSScreen
constexpr std::uint16_t realName = 0x8270;

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Results go to 9000h and on.
const Bytes keepsAScore =
    Bytes{0xCD, 0x1A, 0x44, 0x22, 0x00, 0x90} +        // _MemChk, ld (9000h),hl
    Bytes{0x21, 0x65, 0x82, 0xE7} +                    // ld hl,SCORE / rst 20h
    Bytes{0x21, 0x03, 0x00, 0xCD, 0x8A, 0x44} +        // ld hl,3 / _CreateProg
    Bytes{0xED, 0x53, 0x02, 0x90, 0x22, 0x04, 0x90} +  // ld (9002h),de / ld (9004h),hl
    Bytes{0x13, 0x13, 0x3E, 0x42, 0x12} +              // inc de x2 / ld a,42h / ld (de),a
    Bytes{0x21, 0x70, 0x82, 0xE7, 0xCD, 0x52, 0x44} +  // ld hl,A / rst 20h / _CreateReal
    Bytes{0xED, 0x53, 0x06, 0x90} +                    // ld (9006h),de
    Bytes{0x2A, 0x19, 0x93, 0x22, 0x08, 0x90} +        // ld hl,(progPtr) / ld (9008h),hl
    Bytes{0x21, 0x70, 0x82, 0xE7, 0xD7} +              // ld hl,A / rst 20h / rst 10h
    Bytes{0x22, 0x0A, 0x90, 0xCD, 0xAA, 0x44} +        // ld (900Ah),hl / _DelVar
    Bytes{0x21, 0x65, 0x82, 0xE7, 0xCD, 0x2A, 0x44} +  // ld hl,SCORE / rst 20h / _ChkFindSym
    Bytes{0xED, 0x53, 0x0C, 0x90,
          0x9F, 0x32, 0x0E, 0x90} +  // ld (900Ch),de / sbc a,a / ld (900Eh),a
    Bytes{0x2A, 0x02, 0x90, 0x11, 0x05, 0x00, 0x19, 0xE5} +  // hl = SCORE's data + 5 / push hl
    Bytes{0xEB, 0x21, 0x02, 0x00, 0xCD, 0x32, 0x44} +        // ex de,hl / ld hl,2 / _InsertMem
    Bytes{0x2A, 0x0D, 0x93, 0x22, 0x10, 0x90} +              // ld hl,(FPS) / ld (9010h),hl
    Bytes{0xE1, 0x11, 0x02, 0x00, 0xCD, 0xB2, 0x44} +        // pop hl / ld de,2 / _DelMem
    Bytes{0xCD, 0xEA, 0x4D} +                                // _DelRes
    Bytes{0xCD, 0x1A, 0x44, 0x22, 0x12, 0x90, 0xC9};         // _MemChk / ld (9012h),hl / ret

void writeBytes(Calculator& calc, std::uint16_t at, const Bytes& bytes) {
    for (const auto byte : bytes) calc.write(at++, byte);
}

Bytes readBytes(const Calculator& calc, std::uint16_t at, std::size_t count) {
    Bytes bytes;
    for (std::size_t i = 0; i < count; ++i)
        bytes.push_back(calc.read(static_cast<std::uint16_t>(at + i)));
    return bytes;
}

/// The table read downwards from `top`.
Bytes tableFrom(const Calculator& calc, std::uint16_t top, std::size_t count) {
    Bytes bytes;
    for (std::size_t i = 0; i < count; ++i)
        bytes.push_back(calc.read(static_cast<std::uint16_t>(top - i)));
    return bytes;
}

void startWithLevels(Calculator& calc, const Bytes& code) {
    Loaded loaded{programFromCode(code),
                  {{"GAME", ti83::protectedProgramType, ti83::withLengthWord(code)},
                   {"LEVEL", ti83::protectedProgramType, {2, 0, 0xAA, 0xBB}}},
                  0};
    const auto started = startLoaded(calc, loaded);
    ASSERT_TRUE(started) << started.message();
    writeBytes(calc, scoreName, {0x05, 'S', 'C', 'O', 'R', 'E', 0});
    writeBytes(calc, realName, {0x00, 'A', 0, 0});
}

std::uint8_t lo(std::uint16_t value) { return static_cast<std::uint8_t>(value); }
std::uint8_t hi(std::uint16_t value) { return static_cast<std::uint8_t>(value >> 8); }

TEST(VatRoutines, ACreatedVariableTakesMemoryAndADeletedOneGivesItBack) {
    Calculator calc;
    startWithLevels(calc, keepsAScore);
    const auto stats = static_cast<std::uint16_t>(flagsAddress + statFlagsOffset);
    calc.write(stats, 1 << statsValidBit);
    ASSERT_EQ(calc.run(clockHz), RunState::returned) << calc.faultMessage();

    const auto levels = static_cast<std::uint16_t>(programOrigin + keepsAScore.size());
    const auto score = static_cast<std::uint16_t>(levels + 4);  // after LEVEL's data
    const std::uint16_t freeAtStart = 0xFE5B - score;           // table: GAME 9 bytes, LEVEL 10
    EXPECT_EQ(calc.readWord(0x9000), freeAtStart);
    EXPECT_EQ(calc.readWord(0x9002), score);
    EXPECT_EQ(calc.readWord(0x9004), 0xFE5B);
    EXPECT_EQ(calc.readWord(0x9006), score + 5);   // the real after SCORE's 5 bytes
    EXPECT_EQ(calc.readWord(0x9008), 0xFE6E - 7);  // programs moved down for the real's entry
    EXPECT_EQ(calc.readWord(0x900A), 0xFE6E);      // found by rst 10h at the table's top
    EXPECT_EQ(calc.readWord(0x900C), score);       // _ChkFindSym: found, carry clear
    EXPECT_EQ(calc.read(0x900E), 0);
    EXPECT_EQ(calc.readWord(0x9010), score + 7);  // _InsertMem's 2 bytes
    EXPECT_EQ(calc.readWord(0x9012), freeAtStart - 15);

    EXPECT_EQ(readBytes(calc, levels, 4), (Bytes{2, 0, 0xAA, 0xBB}));
    EXPECT_EQ(readBytes(calc, score, 5), (Bytes{3, 0, 0x42, 0, 0}));
    const Bytes table = Bytes{0x06, 0, 0x25, 0x93, 4, 'G', 'A', 'M', 'E'} +
                        Bytes{0x06, 0, lo(levels), hi(levels), 5, 'L', 'E', 'V', 'E', 'L'} +
                        Bytes{0x05, 0, lo(score), hi(score), 5, 'S', 'C', 'O', 'R', 'E'};
    EXPECT_EQ(tableFrom(calc, symTableAddress, table.size()), table);
    EXPECT_EQ(calc.readWord(progPtrAddress), symTableAddress);
    for (const std::uint16_t pointer : {pTempAddress, opBaseAddress, opsAddress}) {
        EXPECT_EQ(calc.readWord(pointer), 0xFE51) << std::hex << pointer;
    }
    for (const std::uint16_t pointer : {tempMemAddress, fpBaseAddress, fpsAddress}) {
        EXPECT_EQ(calc.readWord(pointer), score + 5) << std::hex << pointer;
    }
    EXPECT_EQ(calc.read(stats) >> statsValidBit & 1, 0);

    // ionDetect finds the created program by its first byte.
    writeBytes(calc, scoreName, {0x42, 0});
    calc.setReg(Reg::hl, calc.readWord(progPtrAddress));
    calc.setReg(Reg::ix, scoreName);
    ionDetect(calc);
    EXPECT_EQ(calc.reg(Reg::af) & 0x40, 0x40);
    EXPECT_EQ(calc.reg(Reg::de), 0xFE51);
}

TEST(VatRoutines, CreatingMoreThanFreeMemoryEndsTheRunNamingTheRoutine) {
    // ld hl,SCORE / rst 20h / ld hl,FF00h / call _CreateProg / ret
    const Bytes code = {0x21, 0x65, 0x82, 0xE7, 0x21, 0x00, 0xFF, 0xCD, 0x8A, 0x44, 0xC9};
    Calculator calc;
    startWithLevels(calc, code);
    EXPECT_EQ(calc.run(clockHz), RunState::fault);
    EXPECT_NE(calc.faultMessage().find("_CreateProg (called from 932Eh) needs 65292 bytes"),
              std::string::npos)
        << calc.faultMessage();
    EXPECT_NE(calc.faultMessage().find("ERR:MEMORY"), std::string::npos);
}

TEST(VatRoutines, TheFloatingPointStackTakesNineBytesAPush) {
    // rst 18h / ld hl,(FPS) / ld (9000h),hl / call _PopRealO1 / ret
    const Bytes code = {0xDF, 0x2A, 0x0D, 0x93, 0x22, 0x00, 0x90, 0xCD, 0xFE, 0x44, 0xC9};
    Calculator calc;
    startWithLevels(calc, code);
    const auto end = static_cast<std::uint16_t>(programOrigin + code.size() + 4);
    ASSERT_EQ(calc.run(clockHz), RunState::returned) << calc.faultMessage();
    EXPECT_EQ(calc.readWord(0x9000), end + 9);
    EXPECT_EQ(calc.readWord(fpsAddress), end);
}

}  // namespace
}  // namespace calcview
