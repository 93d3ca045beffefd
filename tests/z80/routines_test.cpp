// SPDX-License-Identifier: GPL-2.0-or-later
// The routines trovik appends at the program end, run on the Z80 against the
// arithmetic they promise. One translated program holds all of them; an
// asm{ block at its start (the plain header adds nothing before it) keeps a
// table of their addresses, so no listing or label file is needed.

#include <gtest/gtest.h>

#include <array>
#include <sstream>

#include "toolchain.hpp"

namespace z80test {
namespace {

constexpr const char* routineProgram = R"(program routines;
var
 v
begin
asm{
	.dw multiply
	.dw divide
	.dw pix
	.dw SPRXOR
	.dw OFF
}
mult(v,3);
div(v,3);
pixelon(v,v);
sprite(0A000h,v,v);
calcoff;
end.
EOF
)";

enum Routine { multiply, divide, pix, spriteXor, off };

constexpr std::uint16_t graphBuffer = 0x8E29;
constexpr std::uint16_t spriteData = 0xA000;

/// Collects the first few mismatches of a long run of cases.
class Mismatches {
  public:
    template <typename... Parts>
    void add(const Parts&... parts) {
        if (count_++ < 8) {
            ((text_ << parts), ...);
            text_ << "\n";
        }
    }
    bool empty() const { return count_ == 0; }
    std::string report() const {
        return std::to_string(count_) + " mismatches, the first:\n" + text_.str();
    }

  private:
    std::size_t count_ = 0;
    std::ostringstream text_;
};

/// A small deterministic generator for test values.
class Numbers {
  public:
    std::uint16_t next() {
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<std::uint16_t>(state_ >> 8);
    }

  private:
    std::uint32_t state_ = 20261207u;
};

class Routines : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        SourceProgram program;
        program.name = "routines";
        program.source = routineProgram;
        BuiltProgram built = translateAndAssemble(program, "routines");
        if (built.image)
            image_ = new ProgramImage(std::move(*built.image));
        else
            buildLog_ = new std::string(built.log + "\n" + built.assembly);
    }
    static void TearDownTestSuite() {
        delete image_;
        delete buildLog_;
        image_ = nullptr;
        buildLog_ = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(image_, nullptr) << "the routine program did not assemble:\n" << *buildLog_;
        prepareMachine(machine_, *image_);
    }

    std::uint16_t address(Routine routine) const {
        return machine_.readWord(static_cast<std::uint16_t>(programOrigin + 2 * routine));
    }

    /// Calls `routine` with `registers` (the stack pointer reset) and checks
    /// that it returns with the stack balanced.
    bool run(Routine routine, Registers registers) {
        registers.sp = Machine::initialStack;
        machine_.setRegisters(registers);
        const RunResult result = machine_.call(address(routine), 100'000);
        return result.stop == Stop::returned && machine_.registers().sp == Machine::initialStack;
    }

    Machine machine_;

  private:
    static ProgramImage* image_;
    static std::string* buildLog_;
};

ProgramImage* Routines::image_ = nullptr;
std::string* Routines::buildLog_ = nullptr;

Registers with(std::uint8_t a, std::uint16_t bc, std::uint16_t de, std::uint16_t hl) {
    Registers r;
    r.af = static_cast<std::uint16_t>(a << 8);
    r.bc = bc;
    r.de = de;
    r.hl = hl;
    return r;
}

TEST_F(Routines, MultiplyGivesTheLow16BitsOfATimesDe) {
    std::vector<std::uint16_t> multiplicands{
        0, 1, 2, 3, 7, 128, 255, 256, 257, 0x1234, 0x7FFF, 0x8000, 0xFF00, 0xFFFE, 0xFFFF};
    Numbers numbers;
    for (int i = 0; i < 20; ++i) multiplicands.push_back(numbers.next());
    Mismatches wrong;
    for (int a = 0; a < 256; ++a) {
        for (std::uint16_t de : multiplicands) {
            if (!run(multiply, with(static_cast<std::uint8_t>(a), 0, de, 0xBEEF))) {
                wrong.add("A=", a, " DE=", de, ": did not return");
                continue;
            }
            const auto expected = static_cast<std::uint16_t>(a * de);
            if (machine_.registers().hl != expected) {
                wrong.add("A=", a, " DE=", de, ": HL=", machine_.registers().hl, " expected ",
                          expected);
            }
        }
    }
    EXPECT_TRUE(wrong.empty()) << wrong.report();
}

TEST_F(Routines, DivideGivesQuotientInHlAndRemainderInA) {
    std::vector<std::uint16_t> dividends{0,      1,      2,      127,    128,   254,
                                         255,    256,    257,    1000,   4095,  0x7FFF,
                                         0x8000, 0x8001, 0xFF00, 0xFFFE, 0xFFFF};
    Numbers numbers;
    for (int i = 0; i < 24; ++i) dividends.push_back(numbers.next());
    Mismatches wrong;
    std::vector<std::pair<std::uint16_t, int>> divisions;
    for (std::uint16_t hl : dividends) {
        for (int d = 1; d < 256; ++d) divisions.emplace_back(hl, d);
    }
    // Divisors from 128 on shift a set top bit out of A: a spread of every
    // dividend's range for the smallest and the largest of them.
    for (int hl = 0; hl < 0x10000; hl += 29) {
        divisions.emplace_back(static_cast<std::uint16_t>(hl), 128);
        divisions.emplace_back(static_cast<std::uint16_t>(hl), 255);
    }
    for (const auto& [hl, d] : divisions) {
        if (!run(divide, with(0x55, 0, static_cast<std::uint16_t>(d << 8), hl))) {
            wrong.add("HL=", hl, " D=", d, ": did not return");
            continue;
        }
        const Registers r = machine_.registers();
        if (r.hl != hl / d || r.a() != hl % d) {
            wrong.add("HL=", hl, " D=", d, ": HL=", r.hl, " A=", int{r.a()}, " expected ", hl / d,
                      " and ", hl % d);
        }
    }
    EXPECT_TRUE(wrong.empty()) << wrong.report();
}

TEST_F(Routines, DivideByZeroGivesAllOnes) {
    // Not a promise of the routine, only what it does: every step subtracts
    // nothing and sets a quotient bit, and A ends with the dividend's low byte.
    for (std::uint16_t hl : {0x0000, 0x1234, 0xFFFF}) {
        ASSERT_TRUE(run(divide, with(0, 0, 0x0000, hl)));
        EXPECT_EQ(machine_.registers().hl, 0xFFFF) << hl;
        EXPECT_EQ(machine_.registers().a(), hl & 0xFF) << hl;
    }
}

TEST_F(Routines, PixGivesTheGraphBufferByteAndMask) {
    ASSERT_EQ(includeSymbols().at("plotsscreen"), graphBuffer);
    Mismatches wrong;
    for (int row = 0; row < 64; ++row) {
        for (int column = 0; column < 96; ++column) {
            if (!run(pix, with(static_cast<std::uint8_t>(column), 0x1111, 0x2222,
                               static_cast<std::uint16_t>(0x5500 | row)))) {
                wrong.add("column ", column, " row ", row, ": did not return");
                continue;
            }
            const Registers r = machine_.registers();
            const int byte = graphBuffer + row * 12 + column / 8;
            const int mask = 0x80 >> (column % 8);
            if (r.hl != byte || r.a() != mask) {
                wrong.add("column ", column, " row ", row, ": HL=", r.hl, " A=", int{r.a()},
                          " expected ", byte, " and ", mask);
            }
        }
    }
    EXPECT_TRUE(wrong.empty()) << wrong.report();
}

/// The graph buffer (and the 96 bytes after it) and what an 8x8
/// exclusive-or sprite does to it. The routine does not clip: the right-hand
/// part of a sprite at columns 89 to 95 lands in the first byte of the next
/// row, and a sprite below row 56 runs past the buffer's end into the memory
/// after it.
struct BufferModel {
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(768 + 12 * 8);

    void xorSprite(const std::array<std::uint8_t, 8>& sprite, int column, int row) {
        const int shift = column % 8;
        for (int line = 0; line < 8; ++line) {
            const std::size_t at = static_cast<std::size_t>((row + line) * 12 + column / 8);
            bytes[at] ^= static_cast<std::uint8_t>(sprite[line] >> shift);
            if (shift != 0) bytes[at + 1] ^= static_cast<std::uint8_t>(sprite[line] << (8 - shift));
        }
    }
};

TEST_F(Routines, SprxorXorsTheSpriteIntoTheGraphBuffer) {
    const std::array<std::uint8_t, 8> sprite{0x3C, 0x7E, 0xFF, 0x81, 0xA5, 0x01, 0x80, 0xDB};
    for (std::size_t i = 0; i < sprite.size(); ++i) machine_.writeByte(spriteData + i, sprite[i]);
    BufferModel model;
    Numbers numbers;
    for (std::size_t i = 0; i < model.bytes.size(); ++i) {
        model.bytes[i] = static_cast<std::uint8_t>(numbers.next());
        machine_.writeByte(static_cast<std::uint16_t>(graphBuffer + i), model.bytes[i]);
    }
    Mismatches wrong;
    for (int row : {0, 1, 7, 31, 56, 60}) {
        for (int column = 0; column < 96; ++column) {
            if (!run(spriteXor, with(static_cast<std::uint8_t>(column), spriteData,
                                     static_cast<std::uint16_t>(0x3300 | row), 0))) {
                wrong.add("column ", column, " row ", row, ": did not return");
                continue;
            }
            model.xorSprite(sprite, column, row);
            for (std::size_t i = 0; i < model.bytes.size(); ++i) {
                const auto at = static_cast<std::uint16_t>(graphBuffer + i);
                if (machine_.readByte(at) != model.bytes[i]) {
                    wrong.add("column ", column, " row ", row, ": buffer byte ", i, " is ",
                              int{machine_.readByte(at)}, ", expected ", int{model.bytes[i]});
                    machine_.writeByte(at, model.bytes[i]);
                }
            }
        }
    }
    for (std::size_t i = 0; i < sprite.size(); ++i) {
        EXPECT_EQ(machine_.readByte(spriteData + i), sprite[i]) << "the sprite itself changed";
    }
    EXPECT_TRUE(wrong.empty()) << wrong.report();
}

TEST_F(Routines, OffWritesItsPortsAndReturnsOnTheShadowRegisters) {
    Registers before = with(0x12, 0x3456, 0x789A, 0xBCDE);
    before.altAf = 0xA1F0;
    before.altBc = 0xB2B2;
    before.altDe = 0xD3D3;
    before.altHl = 0xE4E4;
    ASSERT_TRUE(run(off, before));
    ASSERT_EQ(machine_.portWrites().size(), 2u);
    EXPECT_EQ(machine_.portWrites()[0].port, 0x03);
    EXPECT_EQ(machine_.portWrites()[0].value, 0x01);
    EXPECT_EQ(machine_.portWrites()[1].port, 0x04);
    EXPECT_EQ(machine_.portWrites()[1].value, 0x00);
    EXPECT_TRUE(machine_.interruptsEnabled());
    // The routine exchanges AF and BC, DE, HL with the shadow set and never
    // exchanges them back: the caller goes on with the shadow registers.
    const Registers after = machine_.registers();
    EXPECT_EQ(after.a(), 0xA1);
    EXPECT_EQ(after.bc, 0xB2B2);
    EXPECT_EQ(after.de, 0xD3D3);
    EXPECT_EQ(after.hl, 0xE4E4);
    EXPECT_EQ(after.altBc, 0x3456);
}

}  // namespace
}  // namespace z80test
