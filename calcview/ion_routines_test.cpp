// SPDX-License-Identifier: GPL-2.0-or-later
#include "ion_routines.hpp"

#include <gtest/gtest.h>

#include "calculator.hpp"
#include "program_file.hpp"

namespace calcview {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t zeroFlag = 0x40;
constexpr std::uint16_t scratch = 0x8265;  // saveSScreen

ti83::Variable variable(const char* name, std::uint8_t type, const Bytes& bytes) {
    return {name, type, ti83::withLengthWord(bytes)};
}

/// Starts a program (C9h) with the variables after it.
void startWith(Calculator& calc, std::vector<ti83::Variable> variables) {
    Loaded loaded{programFromCode({0xC9}), {variable("GAME", 6, {0xC9})}, 0};
    for (auto& v : variables) loaded.variables.push_back(std::move(v));
    const auto started = startLoaded(calc, loaded);
    EXPECT_TRUE(started) << started.message();
}

void putString(Calculator& calc, std::uint16_t at, const char* text) {
    do calc.write(at++, static_cast<std::uint8_t>(*text)); while (*text++ != 0);
}

TEST(IonDetect, FindsEachDataVariableInTurnThenReportsNone) {
    Calculator calc;
    startWith(calc, {
                        variable("LEVELA", 6, {'L', 'V', 'L', 1, 2}),
                        variable("NOTES", 5, {'T', 'X', 'T'}),
                        variable("LEVELB", 5, {'L', 'V', 'L', 3}),
                        {"A", ti83::realType, Bytes(9, 0)},
                    });
    putString(calc, scratch, "LVL");
    calc.setReg(Reg::ix, scratch);
    calc.setReg(Reg::hl, calc.readWord(progPtrAddress));
    std::vector<std::uint8_t> found;
    for (int i = 0; i < 4; ++i) {
        ionDetect(calc);
        if ((calc.reg(Reg::af) & zeroFlag) == 0) break;
        found.push_back(calc.read(calc.reg(Reg::hl)));  // the byte after "LVL"
        calc.setReg(Reg::hl, calc.reg(Reg::de));
    }
    EXPECT_EQ(found, (Bytes{1, 3}));
    EXPECT_EQ(calc.reg(Reg::de), calc.readWord(pTempAddress));
}

TEST(IonDetect, RunningProgramSitsWhereItsVariableSays) {
    Calculator calc;
    startWith(calc, {});
    // Its entry, backwards from the type byte: type, T2, data low, data high,
    // name length, name.
    const std::uint16_t entry = calc.readWord(progPtrAddress);
    const Bytes expected = {6, 0, 0x25, 0x93, 4, 'G', 'A', 'M', 'E'};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(calc.read(static_cast<std::uint16_t>(entry - i)), expected[i]) << i;
    EXPECT_EQ(calc.readWord(pTempAddress), entry - expected.size());
    putString(calc, scratch, "\xC9");
    calc.setReg(Reg::ix, scratch);
    calc.setReg(Reg::hl, calc.readWord(progPtrAddress));
    ionDetect(calc);
    EXPECT_NE(calc.reg(Reg::af) & zeroFlag, 0);
    EXPECT_EQ(calc.reg(Reg::hl), programOrigin + 1);
}

TEST(IonDecompress, ExpandsEachFactorHighBitsFirst) {
    struct Case {
        std::uint8_t factor;
        Bytes packed, expanded;
    };
    const Case cases[] = {
        {1, {0xA5}, {1, 0, 1, 0, 0, 1, 0, 1}},
        {3, {0x1B, 0xE4}, {0, 1, 2, 3, 3, 2, 1, 0}},
        {15, {0x7C, 0x05}, {7, 12, 0, 5}},
    };
    for (const Case& c : cases) {
        Calculator calc;
        for (std::size_t i = 0; i < c.packed.size(); ++i)
            calc.write(static_cast<std::uint16_t>(0x9000 + i), c.packed[i]);
        calc.setReg(Reg::hl, 0x9000);
        calc.setReg(Reg::de, scratch);
        calc.setReg(Reg::bc, static_cast<std::uint16_t>(c.packed.size() << 8 | c.factor));
        ionDecompress(calc);
        Bytes out;
        for (std::size_t i = 0; i < c.expanded.size(); ++i)
            out.push_back(calc.read(static_cast<std::uint16_t>(scratch + i)));
        EXPECT_EQ(out, c.expanded) << int(c.factor);
        EXPECT_EQ(calc.reg(Reg::de), scratch + c.expanded.size());
        EXPECT_EQ(calc.reg(Reg::hl), 0x9000 + c.packed.size());
    }
}

}  // namespace
}  // namespace calcview
