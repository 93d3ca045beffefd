// SPDX-License-Identifier: GPL-2.0-or-later
#include "ion_routines.hpp"

#include <algorithm>
#include <bit>
#include <cstdint>

#include "addresses.hpp"
#include "machine.hpp"
#include "graph.hpp"
#include "variable_table.hpp"
#include "z80_values.hpp"

namespace calcview {

namespace {

/// The Ion these routines stand for: 1.6, eight library routines.
constexpr std::uint16_t version = 0x0106;
constexpr std::uint8_t routineCount = 8;

/// Whether the data at `data` starts with the zero-terminated string at
/// `string`; `after` is then the first byte after the matched part.
bool startsWith(const Machine& calc, std::uint16_t data, std::uint16_t string,
                std::uint16_t& after) {
    for (int i = 0; i < 0x10000; ++i, ++data, ++string) {
        const std::uint8_t wanted = calc.read(string);
        if (wanted == 0) break;
        if (calc.read(data) != wanted) return false;
    }
    after = data;
    return true;
}

}  // namespace

void ionVersion(Machine& calc) {
    calc.setReg(Reg::hl, version);
    calc.setA(routineCount);
}

void ionRandom(Machine& calc) {
    calc.routineState().randomState = static_cast<std::uint16_t>(calc.routineState().randomState * 75 + 74);  // ZX81's generator
    const std::uint8_t bound = high(calc.reg(Reg::bc));
    calc.setA(static_cast<std::uint8_t>((calc.routineState().randomState >> 8) * bound >> 8));
}

void ionPutSprite(Machine& calc) {
    xorSprite(calc, calc.a(), low(calc.reg(Reg::hl)), 1, high(calc.reg(Reg::bc)),
              calc.reg(Reg::ix));
}

void ionLargeSprite(Machine& calc) {
    const std::uint16_t bc = calc.reg(Reg::bc);
    xorSprite(calc, calc.a(), low(calc.reg(Reg::hl)), low(bc), high(bc), calc.reg(Reg::ix));
}

void ionGetPixel(Machine& calc) {
    const int x = calc.a(), row = low(calc.reg(Reg::de));
    calc.setReg(Reg::hl, bufferAddress(x, row));
    calc.setA(bufferMask(x));
}

// Only entries above (pTemp) are looked at, and at most as many as the table
// can hold, so that a start outside the table cannot loop for ever.
void ionDetect(Machine& calc) {
    const std::uint16_t bottom = calc.readWord(pTempAddress);
    const std::uint16_t string = calc.reg(Reg::ix);
    std::uint16_t at = calc.reg(Reg::hl);
    for (int count = 0; at > bottom && at <= symTableAddress && count < 0x4000; ++count) {
        const TableEntry entry = programEntryAt(calc, at);
        const std::uint8_t type = entry.type & 0x1F;
        std::uint16_t after = 0;
        if ((type == ti83::programType || type == ti83::protectedProgramType) &&
            startsWith(calc, static_cast<std::uint16_t>(entry.data + 2), string, after)) {
            calc.setReg(Reg::hl, after);
            calc.setReg(Reg::de, entry.next);
            calc.setFlag(zeroFlag, true);
            return;
        }
        if (entry.next >= at) break;
        at = entry.next;
    }
    calc.setReg(Reg::hl, bottom);
    calc.setReg(Reg::de, bottom);
    calc.setFlag(zeroFlag, false);
}

void ionDecompress(Machine& calc) {
    const std::uint8_t mask = low(calc.reg(Reg::bc));
    const int bits = std::max(1, std::popcount(mask));
    const int values = 8 / bits;
    int count = high(calc.reg(Reg::bc));
    if (count == 0) count = 256;  // as djnz counts
    std::uint16_t from = calc.reg(Reg::hl), to = calc.reg(Reg::de);
    for (; count > 0; --count) {
        const std::uint8_t packed = calc.read(from++);
        for (int v = values - 1; v >= 0; --v) {
            calc.write(to++, static_cast<std::uint8_t>(packed >> (v * bits) & mask));
        }
    }
    calc.setReg(Reg::hl, from);
    calc.setReg(Reg::de, to);
    calc.setReg(Reg::bc, mask);
}

}  // namespace calcview
