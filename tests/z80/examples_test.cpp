// SPDX-License-Identifier: GPL-2.0-or-later
// The example programs, translated and assembled as a user would, run on the
// Z80 to their end.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "toolchain.hpp"

namespace z80test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint16_t graphBuffer = 0x8E29;

std::string exampleFile(const std::string& name) {
    return readWholeFile(fs::path(EXAMPLES_DIR) / name);
}

struct ExampleRun {
    BuiltProgram built;
    Machine machine;
    RunResult result;
};

SourceProgram example(const std::string& name, std::vector<std::string> options,
                      const std::vector<std::string>& files) {
    SourceProgram program;
    program.name = name;
    program.source = exampleFile(name + ".p83");
    program.options = std::move(options);
    for (const std::string& file : files) program.files[file] = exampleFile(file);
    return program;
}

/// Translates `program`, then runs it as `shell` starts it, after `setup`.
void runExample(ExampleRun& run, const SourceProgram& program, Shell shell,
                const std::function<void(Machine&)>& setup = nullptr) {
    const std::string& name = program.name;
    run.built = translateAndAssemble(program, "example-" + name);
    ASSERT_TRUE(run.built.image) << run.built.log << "\n" << run.built.assembly;
    prepareMachine(run.machine, *run.built.image);
    if (setup) setup(run.machine);
    run.result = runProgram(run.machine, shell);
    ASSERT_EQ(run.result.stop, Stop::returned) << describe(run.result.stop);
    EXPECT_EQ(run.machine.registers().sp, Machine::initialStack);
}

std::size_t countCalls(const Machine& machine, std::string_view name) {
    std::size_t count = 0;
    for (const StubCall& call : machine.calls()) count += call.name == name;
    return count;
}

TEST(Examples, HelloGreetsAndCountsToThree) {
    ExampleRun run;
    runExample(run, example("hello", {}, {}), Shell::ion);
    const std::uint16_t count = 33381;
    EXPECT_EQ(run.machine.readWord(count), 3);
    EXPECT_EQ(countCalls(run.machine, "_clrlcdfull"), 1u);
    ASSERT_EQ(countCalls(run.machine, "_puts"), 2u);
    std::string text;
    for (std::uint16_t at = run.machine.calls()[1].registers.hl; run.machine.readByte(at); ++at) {
        text += static_cast<char>(run.machine.readByte(at));
    }
    EXPECT_EQ(text, "Hello from trovik");
}

TEST(Examples, IonProgramStartedWithoutTheShellReturnsAtOnce) {
    // The ION header begins with ret: started at its first byte, as the
    // operating system would, the program does nothing.
    const BuiltProgram built = translateAndAssemble(example("hello", {}, {}), "example-hello-os");
    ASSERT_TRUE(built.image) << built.log;
    Machine machine;
    prepareMachine(machine, *built.image);
    const RunResult result = machine.call(programOrigin);
    EXPECT_EQ(result.stop, Stop::returned);
    EXPECT_EQ(result.instructions, 1u);
    EXPECT_TRUE(machine.calls().empty());
}

TEST(Examples, CatchMovesTheBallDownThreeTimesThenQuitsOnClear) {
    // The keypad holds the down arrow for the first three reads of the arrow
    // group and then CLEAR; the program draws, erases and redraws the ball
    // at each move and quits at CLEAR.
    int arrowReads = 0;
    auto keypad = [&arrowReads](Machine& machine) {
        machine.setPortReader([&machine, &arrowReads](std::uint8_t port, std::uint8_t) {
            const auto& writes = machine.portWrites();
            if (port != 1 || writes.empty()) return std::uint8_t{0xFF};
            if (writes.back().value == 0xFE)
                return ++arrowReads <= 3 ? std::uint8_t{0xFE} : std::uint8_t{0xFF};
            if (writes.back().value == 0xFD && arrowReads > 3) return std::uint8_t{0xBF};
            return std::uint8_t{0xFF};
        });
    };
    ExampleRun run;
    runExample(run, example("catch", {"-s"}, {"catch.spr"}), Shell::ion, keypad);
    const std::uint16_t x = 33381;
    const std::uint16_t y = 33383;
    EXPECT_EQ(run.machine.readWord(x), 44);
    EXPECT_EQ(run.machine.readWord(y), 31);
    EXPECT_EQ(countCalls(run.machine, "ionputsprite"), 7u);
    EXPECT_EQ(countCalls(run.machine, "_clrlcdfull"), 1u);
    const Registers last = run.machine.calls()[run.machine.calls().size() - 3].registers;
    EXPECT_EQ(last.l(), 31);
    EXPECT_EQ(last.a(), 44);
}

TEST(Examples, DrawingDrawsAndEndsWithItsFrame) {
    ExampleRun run;
    runExample(run, example("drawing", {}, {"drawing.pic"}), Shell::none);
    EXPECT_EQ(countCalls(run.machine, "_grbufclr"), 1u);
    EXPECT_EQ(countCalls(run.machine, "_iline"), 2u);
    EXPECT_EQ(countCalls(run.machine, "_grphcirc"), 1u);
    EXPECT_EQ(countCalls(run.machine, "_grbufcpy_v"), 1u);
    const std::uint16_t column = 33381;
    const std::uint16_t row = 33383;
    EXPECT_EQ(run.machine.readWord(column), 30);
    EXPECT_EQ(run.machine.readWord(row), 22);
    // The frame picture replaced the buffer: full top and bottom rows, a
    // border pixel at each end of the rows between.
    for (int byte = 0; byte < 12; ++byte) {
        EXPECT_EQ(run.machine.readByte(graphBuffer + byte), 0xFF);
        EXPECT_EQ(run.machine.readByte(graphBuffer + 63 * 12 + byte), 0xFF);
    }
    EXPECT_EQ(run.machine.readByte(graphBuffer + 12), 0x80);
    EXPECT_EQ(run.machine.readByte(graphBuffer + 12 + 5), 0x00);
    EXPECT_EQ(run.machine.readByte(graphBuffer + 23), 0x01);
}

}  // namespace
}  // namespace z80test
