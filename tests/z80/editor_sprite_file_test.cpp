// SPDX-License-Identifier: GPL-2.0-or-later
// A sprite file as the sprite editor saves it, with the user's labels added,
// goes into a program through trovik's sprite option, assembles, and draws
// the editor's pixels.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "sprite_files.hpp"
#include "sprite_set.hpp"
#include "toolchain.hpp"

namespace z80test {
namespace {

constexpr std::uint16_t graphBuffer = 0x8E29;
constexpr std::array<std::uint8_t, 8> ballRows{0x3C, 0x42, 0xA5, 0x81, 0xA5, 0x99, 0x42, 0x3C};

/// Sprite 1: the ball, 8 x 8. Sprite 2: 16 x 16, its left column and its
/// bottom row set.
pixelkin::SpriteSet drawnSet() {
    pixelkin::SpriteSet set;
    for (int r = 1; r <= 8; ++r) {
        for (int c = 1; c <= 8; ++c) {
            if (ballRows[r - 1] & (0x80 >> (c - 1))) set.setPixel(c, r);
        }
    }
    set.nextSprite();
    for (int i = 0; i < 8; ++i) {
        set.wider();
        set.taller();
    }
    for (int i = 1; i <= 16; ++i) {
        set.setPixel(1, i);
        set.setPixel(i, 16);
    }
    return set;
}

/// The editor's file with a label line before each sprite, as a user adds them.
std::string labelledSpriteFile() {
    std::string file = pixelkin::formatSpriteFile(drawnSet());
    file.insert(file.find(";16*16"), "big:\r\n");
    return "ball:\r\n" + file;
}

SourceProgram spriteProgram(const std::string& shellLine, const std::string& statements) {
    SourceProgram program;
    program.name = "sprites";
    program.options = {"-s"};
    program.source = "program sprites;\n" + shellLine + "var\n x\n y\nbegin\n^x:=16;\n^y:=3;\n" +
                     statements + "end.\nEOF\n";
    program.files["sprites.spr"] = labelledSpriteFile();
    return program;
}

TEST(EditorSpriteFile, DrawsTheBallIntoTheGraphBuffer) {
    const BuiltProgram built = translateAndAssemble(spriteProgram("", "sprite(ball,x,y);\n"),
                                                    "editor-sprite-file-sprxor");
    ASSERT_TRUE(built.image) << built.log << "\n" << built.assembly;
    Machine machine;
    prepareMachine(machine, *built.image);
    for (int i = 0; i < 768; ++i) machine.writeByte(static_cast<std::uint16_t>(graphBuffer + i), 0);
    ASSERT_EQ(runProgram(machine, Shell::none).stop, Stop::returned);
    for (int r = 0; r < 8; ++r) {
        const auto rowStart = static_cast<std::uint16_t>(graphBuffer + (3 + r) * 12);
        EXPECT_EQ(machine.readByte(rowStart + 2), ballRows[static_cast<std::size_t>(r)]) << r;
        EXPECT_EQ(machine.readByte(rowStart + 1), 0) << r;
        EXPECT_EQ(machine.readByte(rowStart + 3), 0) << r;
    }
}

TEST(EditorSpriteFile, HandsBothSpritesToIonWithTheirRows) {
    const BuiltProgram built = translateAndAssemble(
        spriteProgram("shell(ion);\n", "sprite(ball,y,x);\nlsprite(big,x,y,2,16);\n"),
        "editor-sprite-file-ion");
    ASSERT_TRUE(built.image) << built.log << "\n" << built.assembly;
    Machine machine;
    prepareMachine(machine, *built.image);
    ASSERT_EQ(runProgram(machine, Shell::ion).stop, Stop::returned);

    std::vector<Registers> small;
    std::vector<Registers> large;
    for (const StubCall& call : machine.calls()) {
        if (call.name == "ionputsprite") small.push_back(call.registers);
        if (call.name == "ionlargesprite") large.push_back(call.registers);
    }
    ASSERT_EQ(small.size(), 1u);
    ASSERT_EQ(large.size(), 1u);
    for (std::uint16_t r = 0; r < 8; ++r) {
        EXPECT_EQ(machine.readByte(small[0].ix + r), ballRows[r]) << r;
    }
    // Two bytes a row: the left column set in every row, the bottom row full.
    for (std::uint16_t r = 0; r < 15; ++r) {
        EXPECT_EQ(machine.readByte(large[0].ix + 2 * r), 0x80) << r;
        EXPECT_EQ(machine.readByte(large[0].ix + 2 * r + 1), 0x00) << r;
    }
    EXPECT_EQ(machine.readByte(large[0].ix + 30), 0xFF);
    EXPECT_EQ(machine.readByte(large[0].ix + 31), 0xFF);
}

}  // namespace
}  // namespace z80test
