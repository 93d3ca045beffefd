// SPDX-License-Identifier: GPL-2.0-or-later
#include "float_routines.hpp"

#include <cstdio>
#include <string>

#include "bcd.hpp"
#include "machine.hpp"
#include "home_screen.hpp"
#include "keypad.hpp"

namespace calcview::numbers {

namespace {

bcd::Real readReal(const Machine& calc, std::uint16_t address) {
    bcd::Bytes bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = calc.read(static_cast<std::uint16_t>(address + i));
    }
    return bcd::decode(bytes);
}

void writeReal(Machine& calc, std::uint16_t address, const bcd::Real& value) {
    const bcd::Bytes bytes = bcd::encode(value);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        calc.write(static_cast<std::uint16_t>(address + i), bytes[i]);
    }
}

void copyOP(Machine& calc, std::uint16_t from, std::uint16_t to) {
    for (int i = 0; i < opSize; ++i) {
        calc.write(static_cast<std::uint16_t>(to + i), calc.read(static_cast<std::uint16_t>(from + i)));
    }
}

/// " (called from 9330h)": where the call instruction is, 3 bytes before
/// the return address on the stack.
const char* errorName(bcd::Error error) {
    return error == bcd::Error::divideByZero ? "ERR:DIVIDE BY 0" : "ERR:OVERFLOW";
}

/// OP1 = OP1 (operation) OP2, or the calculator's error.
RoutineResult operate(Machine& calc, const char* name,
                      bcd::Result (*operation)(const bcd::Real&, const bcd::Real&)) {
    const bcd::Result result = operation(readReal(calc, op1Address), readReal(calc, op2Address));
    if (!result.value) {
        calc.systemError(std::string(name) + calledFrom(calc) + " ended in " +
                         errorName(result.error) + ", which stops the program on the calculator");
    } else {
        writeReal(calc, op1Address, *result.value);
    }
    return RoutineResult::done;
}

/// getKey's code of each key, in keypad.cpp's order.
constexpr std::uint8_t basicCodes[] = {
    34, 24, 26, 25,              // arrows: down, left, right, up
    105, 95, 85, 75, 65, 55, 45,  // enter + - * / ^ clear
    104, 94, 84, 74, 64, 54, 44,  // (-) 3 6 9 ) tan vars
    103, 93, 83, 73, 63, 53, 43, 33,  // . 2 5 8 ( cos prgm stat
    102, 92, 82, 72, 62, 52, 42, 32,  // 0 1 4 7 , sin matrx x,T
    91, 81, 71, 61, 51, 41, 31,  // sto ln log square recip math alpha
    15, 14, 13, 12, 11, 21, 22, 23,  // graph trace zoom window y= 2nd mode del
};

}  // namespace

int basicKeyCode(int key) {
    return key >= 0 && key < static_cast<int>(std::size(basicCodes)) ? basicCodes[key] : 0;
}

RoutineResult setXXOP1(Machine& calc) {
    writeReal(calc, op1Address, bcd::fromInteger(calc.a()));
    return RoutineResult::done;
}

RoutineResult setXXOP2(Machine& calc) {
    writeReal(calc, op2Address, bcd::fromInteger(calc.a()));
    return RoutineResult::done;
}

RoutineResult setXXXXOP2(Machine& calc) {
    writeReal(calc, op2Address, bcd::fromInteger(calc.reg(Reg::hl)));
    return RoutineResult::done;
}

RoutineResult op1ToOP2(Machine& calc) {
    copyOP(calc, op1Address, op2Address);
    return RoutineResult::done;
}

RoutineResult op2ToOP1(Machine& calc) {
    copyOP(calc, op2Address, op1Address);
    return RoutineResult::done;
}

RoutineResult op1ExOP2(Machine& calc) {
    for (int i = 0; i < opSize; ++i) {
        const auto one = static_cast<std::uint16_t>(op1Address + i);
        const auto two = static_cast<std::uint16_t>(op2Address + i);
        const std::uint8_t saved = calc.read(one);
        calc.write(one, calc.read(two));
        calc.write(two, saved);
    }
    return RoutineResult::done;
}

/// The 9 bytes at HL to OP1.
RoutineResult mov9ToOP1(Machine& calc) {
    const std::uint16_t from = calc.reg(Reg::hl);
    for (int i = 0; i < bcd::realSize; ++i) {
        calc.write(static_cast<std::uint16_t>(op1Address + i),
                   calc.read(static_cast<std::uint16_t>(from + i)));
    }
    return RoutineResult::done;
}

/// OP1 = the number 0.
RoutineResult op1Set0(Machine& calc) {
    writeReal(calc, op1Address, bcd::Real{});
    return RoutineResult::done;
}

/// All 11 bytes of OP1 to 0.
RoutineResult zeroOP1(Machine& calc) {
    for (int i = 0; i < opSize; ++i) calc.write(static_cast<std::uint16_t>(op1Address + i), 0);
    return RoutineResult::done;
}

RoutineResult fpAdd(Machine& calc) { return operate(calc, "_FPAdd", bcd::add); }
RoutineResult fpSub(Machine& calc) { return operate(calc, "_FPSub", bcd::subtract); }
RoutineResult fpMult(Machine& calc) { return operate(calc, "_FPMult", bcd::multiply); }
RoutineResult fpDiv(Machine& calc) { return operate(calc, "_FPDiv", bcd::divide); }

/// DE = the integer part of OP1, sign left aside (up to 9999), A = E.
RoutineResult convOP1(Machine& calc) {
    constexpr std::uint32_t limit = 10000;
    const bcd::Real value = readReal(calc, op1Address);
    const auto whole = bcd::integerPart(value, limit);
    if (!whole) {
        calc.systemError("_ConvOP1" + calledFrom(calc) + " was given " + bcd::format(value, 16) +
                         " in OP1; above 9999 the calculator stops the program with an error");
        return RoutineResult::done;
    }
    calc.setReg(Reg::de, static_cast<std::uint16_t>(*whole));
    calc.setA(static_cast<std::uint8_t>(*whole));
    return RoutineResult::done;
}

/// OP1 in the small font at the pen, at most A characters.
RoutineResult dispOP1A(Machine& calc) {
    const std::string text = bcd::format(readReal(calc, op1Address), calc.a());
    for (char code : text) putSmallChar(calc, static_cast<std::uint8_t>(code));
    return RoutineResult::done;
}

/// OP1 = a number between 0 and 1 (both left out), 14 digits.
RoutineResult random(Machine& calc) {
    constexpr std::uint64_t span = 100'000'000'000'000;  // 10^14
    std::uint64_t digits = 0;
    while (digits == 0) {
        calc.routineState().realRandomState = calc.routineState().realRandomState * 6364136223846793005ULL + 1442695040888963407ULL;
        digits = (calc.routineState().realRandomState >> 11) % span;
    }
    const auto value = bcd::divide(bcd::fromInteger(static_cast<std::int64_t>(digits)),
                                   bcd::fromInteger(static_cast<std::int64_t>(span)));
    writeReal(calc, op1Address, *value.value);
    return RoutineResult::done;
}

/// The last key pressed, 0 when none was: A holds its scan code, as _getcsc
/// gives it, and OP1 and OP2 getKey's number for it. Published games test A
/// against scan codes (09h Enter, 0Fh Clear) and read the number from OP2.
RoutineResult getK(Machine& calc) {
    const auto key = calc.takeKeyPress();
    const auto number = bcd::fromInteger(key ? basicKeyCode(*key) : 0);
    writeReal(calc, op1Address, number);
    writeReal(calc, op2Address, number);
    calc.setA(key ? scanCode(allKeys()[static_cast<std::size_t>(*key)]) : 0);
    return RoutineResult::done;
}

RoutineResult hlTimes9(Machine& calc) {
    calc.setReg(Reg::hl, static_cast<std::uint16_t>(calc.reg(Reg::hl) * 9));
    return RoutineResult::done;
}

}  // namespace calcview::numbers
