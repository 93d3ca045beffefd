// SPDX-License-Identifier: GPL-2.0-or-later
#include "routines.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "addresses.hpp"
#include "lcd.hpp"
#include "machine.hpp"
#include "float_routines.hpp"
#include "graph.hpp"
#include "home_screen.hpp"
#include "ion_routines.hpp"
#include "keypad.hpp"
#include "vat_routines.hpp"
#include "z80_values.hpp"

namespace calcview {

namespace {

/// Where _getkey remembers a 2nd (1) or Alpha (2) pressed before the key.
constexpr std::uint16_t keyExtendAddress = 0x8007;


/// Shows the zero-terminated string at HL through `put`; HL ends after the 0.
template <typename Put>
void showString(Machine& calc, Put put) {
    auto address = calc.reg(Reg::hl);
    for (int count = 0; count < 0x10000; ++count) {
        const std::uint8_t code = calc.read(address++);
        if (code == 0) break;
        put(calc, code);
    }
    calc.setReg(Reg::hl, address);
}

// ---- arithmetic helpers -------------------------------------------------

void ldHLind(Machine& calc) { calc.setReg(Reg::hl, calc.readWord(calc.reg(Reg::hl))); }

void cphlde(Machine& calc) {
    const std::uint16_t hl = calc.reg(Reg::hl), de = calc.reg(Reg::de);
    calc.setFlag(zeroFlag, hl == de);
    calc.setFlag(carryFlag, hl < de);
}

void divideHL(Machine& calc, std::uint8_t divisor) {
    const std::uint16_t hl = calc.reg(Reg::hl);
    if (divisor == 0) return;  // the routine's loop gives nothing useful; leave HL
    calc.setReg(Reg::hl, static_cast<std::uint16_t>(hl / divisor));
    calc.setA(static_cast<std::uint8_t>(hl % divisor));
}

void divHLBy10(Machine& calc) { divideHL(calc, 10); }

void divHLbyA(Machine& calc) { divideHL(calc, calc.a()); }

void hTimesL(Machine& calc) {
    const std::uint16_t hl = calc.reg(Reg::hl);
    calc.setReg(Reg::hl, static_cast<std::uint16_t>(high(hl) * low(hl)));
}

void nothing(Machine&) {}

// ---- keys ---------------------------------------------------------------

void getcsc(Machine& calc) {
    const auto key = calc.takeKeyPress();
    calc.setA(key ? scanCode(allKeys()[static_cast<std::size_t>(*key)]) : 0);
}

/// Waits for a key; 2nd and Alpha change the key after them.
RoutineResult getkey(Machine& calc) {
    static const int second = *keyIndex("2nd");
    static const int alpha = *keyIndex("alpha");
    while (const auto key = calc.takeKeyPress()) {
        if (*key == second || *key == alpha) {
            calc.write(keyExtendAddress, static_cast<std::uint8_t>(*key == second ? 1 : 2));
            continue;
        }
        const KeyInfo& info = allKeys()[static_cast<std::size_t>(*key)];
        const std::uint8_t shift = calc.read(keyExtendAddress);
        calc.write(keyExtendAddress, 0);
        std::uint8_t code = info.getkeyCode;
        if (shift == 1 && info.secondCode != 0) code = info.secondCode;
        if (shift == 2 && info.alphaCode != 0) code = info.alphaCode;
        if (code == 0) continue;
        calc.setA(code);
        return RoutineResult::done;
    }
    return RoutineResult::wait;
}

// ---- home screen --------------------------------------------------------

void putmap(Machine& calc) {
    putLargeChar(calc, calc.a(), calc.read(currowAddress), calc.read(curcolAddress));
}

void putc(Machine& calc) { putCharAdvance(calc, calc.a()); }

void puts(Machine& calc) { showString(calc, putCharAdvance); }

/// A string whose first byte is its length.
void putps(Machine& calc) {
    auto address = calc.reg(Reg::hl);
    const std::uint8_t length = calc.read(address++);
    for (int i = 0; i < length; ++i) putCharAdvance(calc, calc.read(address++));
    calc.setReg(Reg::hl, address);
}

/// HL in decimal, right-aligned in five cells.
void disphl(Machine& calc) {
    std::string digits = std::to_string(calc.reg(Reg::hl));
    digits.insert(0, 5 - digits.size(), ' ');
    for (char digit : digits) putCharAdvance(calc, static_cast<std::uint8_t>(digit));
}

void clrscrn(Machine& calc) {
    clearDisplay(calc);
    clearTextShadow(calc);
}

void eraseEOL(Machine& calc) {
    const int row = calc.read(currowAddress);
    for (int column = calc.read(curcolAddress); column < homeColumns; ++column) {
        putLargeChar(calc, ' ', row, column);
    }
}

void homeup(Machine& calc) {
    calc.write(currowAddress, 0);
    calc.write(curcolAddress, 0);
}

void vputmap(Machine& calc) { putSmallChar(calc, calc.a()); }

void vputs(Machine& calc) { showString(calc, putSmallChar); }

/// B characters from HL.
void vputsn(Machine& calc) {
    auto address = calc.reg(Reg::hl);
    for (int i = high(calc.reg(Reg::bc)); i > 0; --i) putSmallChar(calc, calc.read(address++));
    calc.setReg(Reg::hl, address);
}

void runIndicOn(Machine& calc) { calc.routineState().runIndicator = true; }

void runIndicOff(Machine& calc) {
    calc.routineState().runIndicator = false;
    for (int y = 0; y < 7; ++y) {
        for (int x = 90; x < screenWidth; ++x) calc.lcd().setPixel(x, y, false);
    }
}

// ---- graph screen -------------------------------------------------------

PlotMode plotMode(std::uint8_t value) {
    return value <= 2 ? static_cast<PlotMode>(value) : PlotMode::on;
}

/// (B, C) to (D, E) in graph coordinates, H: 0 off, 1 on, 2 invert.
void iline(Machine& calc) {
    const std::uint16_t bc = calc.reg(Reg::bc), de = calc.reg(Reg::de);
    drawLine(calc, high(bc), low(bc), high(de), low(de), plotMode(high(calc.reg(Reg::hl))));
}

void darkLine(Machine& calc) {
    const std::uint16_t bc = calc.reg(Reg::bc), de = calc.reg(Reg::de);
    drawLine(calc, high(bc), low(bc), high(de), low(de), PlotMode::on);
}

/// (B, C) in graph coordinates; D: 0 off, 1 on, 2 invert, 3 test (Z set when
/// the pixel is off), 4 copy the buffer's pixel to the display.
void ipoint(Machine& calc) {
    const std::uint16_t bc = calc.reg(Reg::bc);
    const int x = high(bc), row = screenHeight - 1 - low(bc);
    const std::uint8_t mode = high(calc.reg(Reg::de));
    if (mode == 3) {
        calc.setFlag(zeroFlag, !bufferPixel(calc, x, row));
    } else if (mode == 4) {
        if (x < screenWidth && row >= 0) calc.lcd().setPixel(x, row, bufferPixel(calc, x, row));
    } else {
        plotPixel(calc, x, row, plotMode(mode), plotTarget(calc));
    }
}

/// Centre (curGX, curGY), through the point (curGX2, curGY2).
void grphCirc(Machine& calc) {
    const int cx = calc.read(curgxAddress), cy = calc.read(curgyAddress);
    const int dx = calc.read(curgx2Address) - cx, dy = calc.read(curgy2Address) - cy;
    drawCircle(calc, cx, cy, static_cast<int>(std::lround(std::sqrt(dx * dx + dy * dy))));
}

/// A routine that is done as soon as `action` has acted.
template <void (*action)(Machine&)>
RoutineResult finished(Machine& calc) {
    action(calc);
    return RoutineResult::done;
}

// The table. Addresses are the TI-83's; the Ion entries are where the jump
// table leads. A null routine is known by name only, for the fault message.
constexpr std::uint16_t ion(int entry) {
    return static_cast<std::uint16_t>(ionRoutineBase + 3 * entry);
}

constexpr Routine routines[] = {
    // The restart vectors: rst 08h ... rst 30h call these routines.
    {0x0008, "rOP1TOOP2", numbers::op1ToOP2, 250},
    {0x0010, "rFINDSYM", vat::findSym, 2000},
    {0x0018, "rPUSHREALO1", vat::pushRealO1, 300},
    {0x0020, "rMOV9TOOP1", numbers::mov9ToOP1, 230},
    {0x0028, "rFPMULT", numbers::fpMult, 6700, "address from one listing"},
    {0x0030, "rFPADD", numbers::fpAdd, 3500},
    // Ion (ion_routines.cpp).
    {ion(0), "ionVersion", finished<ionVersion>, 100},
    {ion(1), "ionRandom", finished<ionRandom>, 300},
    {ion(2), "ionPutSprite", finished<ionPutSprite>, 1500},
    {ion(3), "ionLargeSprite", finished<ionLargeSprite>, 3000},
    {ion(4), "ionGetPixel", finished<ionGetPixel>, 200},
    {ion(5), "ionFastCopy", finished<copyBufferToDisplay>, 60000},
    {ion(6), "ionDetect", finished<ionDetect>, 3000},
    {ion(7), "ionDecompress", finished<ionDecompress>, 5000},
    {0x4000, "_ldHLind", finished<ldHLind>, 40},
    {0x4004, "_cphlde", finished<cphlde>, 40},
    {0x4008, "_divHLBy10", finished<divHLBy10>, 800},
    {0x400C, "_divHLbyA", finished<divHLbyA>, 800},
    {0x4014, "_getcsc", finished<getcsc>, 500},
    {0x4066, "_lcd_busy", finished<nothing>, 60},
    {0x4382, "_HTimesL", finished<hTimesL>, 300},
    {0x441A, "_MemChk", vat::memChk, 300},
    {0x442A, "_ChkFindSym", vat::chkFindSym, 2000},
    {0x442E, "_FindSym", vat::findSym, 2000},
    {0x4432, "_InsertMem", vat::insertMem, 5000},
    {0x4452, "_CreateReal", vat::createReal, 5000},
    {0x4472, "_CreateStrng", vat::createStrng, 5000},
    {0x448A, "_CreateProg", vat::createProg, 5000},
    {0x44AA, "_DelVar", vat::delVar, 5000},
    {0x44B2, "_DelMem", vat::delMem, 5000},
    {0x44E6, "_PopOP1", nullptr, 0},
    {0x44FE, "_PopRealO1", vat::popRealO1, 300},
    {0x4536, "_PushRealO1", vat::pushRealO1, 300},
    {0x454A, "_PushOP1", nullptr, 0},
    {0x4701, "_putmap", finished<putmap>, 2000},
    {0x4705, "_putc", finished<putc>, 2500},
    {0x4709, "_disphl", finished<disphl>, 15000},
    {0x470D, "_puts", finished<puts>, 2500},
    {0x4715, "_putps", finished<putps>, 2500},
    {0x473D, "_newline", finished<newLine>, 500},
    {0x4741, "_moveDown", nullptr, 0},
    {0x4745, "_scrollUp", finished<scrollHomeUp>, 40000},
    {0x474D, "_moveUp", nullptr, 0},
    {0x4751, "_scrollDown", nullptr, 0},
    {0x4755, "_clrlcdfull", finished<clearDisplay>, 40000},
    {0x4759, "_clrLCD", finished<clearDisplay>, 40000},
    {0x475D, "_clrscrnfull", finished<clrscrn>, 45000},
    {0x4761, "_clrScrn", finished<clrscrn>, 45000},
    {0x4765, "_clrtxtshd", finished<clearTextShadow>, 3000},
    {0x476D, "_eraseEOL", finished<eraseEOL>, 10000},
    {0x4775, "_homeup", finished<homeup>, 100},
    {0x477D, "_vputmap", finished<vputmap>, 2000},
    {0x4781, "_vputs", finished<vputs>, 2000},
    {0x4785, "_vputsn", finished<vputsn>, 2000},
    {0x4791, "_runindicon", finished<runIndicOn>, 100},
    {0x4795, "_runindicoff", finished<runIndicOff>, 100},
    {0x47F1, "_dispDone", nullptr, 0},
    {0x4A84, "_CLine", nullptr, 0},
    {0x4AD4, "_CircCmd", nullptr, 0},
    {0x4AD8, "_grphcirc", finished<grphCirc>, 80000},
    {0x4AE0, "_DarkLine", finished<darkLine>, 20000},
    {0x4AE4, "_iline", finished<iline>, 20000},
    {0x4AE8, "_ipoint", finished<ipoint>, 1000},
    {0x4B00, "_CPointS", nullptr, 0},
    {0x4B9C, "_grbufcpy", finished<copyBufferToDisplay>, 60000},
    {0x4BCC, "_Regraph", nullptr, 0},
    {0x4BEB, "_PDspGrph", nullptr, 0},
    {0x4BEF, "_HorizCmd", nullptr, 0},
    {0x4BF3, "_VertCmd", nullptr, 0},
    {0x4CFE, "_getkey", getkey, 1000},
    {0x4D32, "_formReal", nullptr, 0},
    {0x4DEA, "_DelRes", vat::delRes, 200, "address from one listing"},
    {0x4E8C, "_ParseInp", nullptr, 0},
    {0x4ED4, "_StoX", nullptr, 0},
    {0x4EE0, "_RclY", nullptr, 0},
    {0x4EE8, "_RclX", nullptr, 0},
    {0x50BA, "_StoRand", nullptr, 0},
    {0x515B, "_grbufclr", finished<clearBuffer>, 10000},
    {0x5164, "_grbufcpy_v", finished<copyBufferToDisplay>, 60000},
    {0x51A7, "_setPenX", nullptr, 0},
    {0x51B0, "_setPenY", nullptr, 0},
    {0x51B9, "_setPenT", nullptr, 0},
    // Real numbers in the OP registers, and _GetK, which gives a key as one
    // (float_routines.cpp).
    {0x408E, "_FPSub", numbers::fpSub, 3500},
    {0x4092, "_FPAdd", numbers::fpAdd, 3500},
    {0x40AA, "_FPMult", numbers::fpMult, 6700},
    {0x40C6, "_FPDiv", numbers::fpDiv, 12000},
    {0x4146, "_HLTimes9", numbers::hlTimes9, 100},
    {0x418E, "_OP1ToOP2", numbers::op1ToOP2, 250},
    {0x41C2, "_OP2ToOP1", numbers::op2ToOP1, 250},
    {0x4206, "_Mov9ToOP1", numbers::mov9ToOP1, 230},
    {0x4286, "_OP1Set0", numbers::op1Set0, 200},
    {0x428E, "_ZeroOP1", numbers::zeroOP1, 250},
    {0x4306, "_OP1ExOP2", numbers::op1ExOP2, 500},
    {0x4A18, "_GetK", numbers::getK, 1000},
    {0x4A74, "_SetXXOP1", numbers::setXXOP1, 600},
    {0x4A78, "_SetXXOP2", numbers::setXXOP2, 600},
    {0x4A7C, "_SetXXXXOP2", numbers::setXXXXOP2, 1500},
    {0x4EFC, "_ConvOP1", numbers::convOP1, 1200},
    {0x50B6, "_Random", numbers::random, 180000},
    {0x51D4, "_DispOP1A", numbers::dispOP1A, 20000},
};

/// For each address below 8000h: 1 + the index of its routine, or 0.
const std::vector<std::uint8_t>& routineIndex() {
    static const std::vector<std::uint8_t> index = [] {
        std::vector<std::uint8_t> table(ramStart, 0);
        for (std::size_t i = 0; i < std::size(routines); ++i) {
            table[routines[i].address] = static_cast<std::uint8_t>(i + 1);
        }
        return table;
    }();
    return index;
}

}  // namespace

std::string calledFrom(const Machine& calc) {
    char text[32];
    const auto call = static_cast<std::uint16_t>(calc.readWord(calc.reg(Reg::sp)) - 3);
    std::snprintf(text, sizeof text, " (called from %04Xh)", call);
    return text;
}

const Routine* routineAt(std::uint16_t address) {
    if (address >= ramStart) return nullptr;
    const std::uint8_t entry = routineIndex()[address];
    return entry == 0 ? nullptr : &routines[entry - 1];
}

std::span<const Routine> allRoutines() { return routines; }

}  // namespace calcview
