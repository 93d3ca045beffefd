// SPDX-License-Identifier: GPL-2.0-or-later
// The test machine on small programs assembled with z80asm: runs end where
// they should, stubs record their calls, ports are recorded and answered.

#include "machine.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace z80test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint16_t origin = 0x9327;
constexpr std::uint16_t stubAddress = 0x4020;

/// Assembles `source` (z80asm syntax, placed at `origin`) and loads it.
void assembleInto(Machine& machine, const std::string& source) {
    const fs::path folder =
        fs::temp_directory_path() / ("z80-machine-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    {
        std::ofstream file(folder / "snippet.z80");
        file << "\torg " << origin << "\n" << source;
    }
    const std::string command = std::string(Z80ASM_PROGRAM) + " -o '" +
                                (folder / "snippet.bin").string() + "' '" +
                                (folder / "snippet.z80").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << source;
    std::ifstream binary(folder / "snippet.bin", std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(binary), {}};
    fs::remove_all(folder);
    machine.load(origin, bytes);
}

TEST(Machine, RunReturnsToTheSentinelWithTheStackAsItWas) {
    Machine machine;
    assembleInto(machine, "\tld a, 7\n\tpush af\n\tpop bc\n\tret\n");
    const RunResult result = machine.call(origin);
    EXPECT_EQ(result.stop, Stop::returned);
    EXPECT_EQ(result.instructions, 4u);
    EXPECT_EQ(machine.registers().sp, Machine::initialStack);
    EXPECT_EQ(machine.registers().b(), 7);
}

TEST(Machine, StubRecordsEachCallWithItsRegistersAndReturns) {
    Machine machine;
    machine.addStub("_puts", stubAddress, [](Machine& m) { m.setA(0x42); });
    assembleInto(machine,
                 "\tld hl, 1234h\n\tld ix, 5678h\n\tcall 4020h\n\tld (8000h), a\n"
                 "\tld hl, 9abch\n\tcall 4020h\n\tret\n");
    ASSERT_EQ(machine.call(origin).stop, Stop::returned);
    ASSERT_EQ(machine.calls().size(), 2u);
    EXPECT_EQ(machine.calls()[0].name, "_puts");
    EXPECT_EQ(machine.calls()[0].registers.hl, 0x1234);
    EXPECT_EQ(machine.calls()[0].registers.ix, 0x5678);
    EXPECT_EQ(machine.calls()[0].registers.sp, Machine::initialStack - 4);
    EXPECT_EQ(machine.calls()[1].registers.hl, 0x9ABC);
    EXPECT_EQ(machine.readByte(0x8000), 0x42);
    EXPECT_EQ(machine.registers().sp, Machine::initialStack);
}

TEST(Machine, EndlessLoopStopsAtTheInstructionLimit) {
    Machine machine;
    assembleInto(machine, "again:\n\tjr again\n");
    const RunResult result = machine.call(origin, 1000);
    EXPECT_EQ(result.stop, Stop::instructionLimit);
    EXPECT_EQ(result.instructions, 1000u);
}

TEST(Machine, HaltStopsTheRun) {
    Machine machine;
    assembleInto(machine, "\thalt\n");
    EXPECT_EQ(machine.call(origin).stop, Stop::halted);
}

TEST(Machine, PortWritesAreRecordedAndReadsAnswered) {
    Machine machine;
    assembleInto(machine,
                 "\tld a, 0fdh\n\tout (1), a\n\tin a, (1)\n\tld (8000h), a\n"
                 "\tld a, 0feh\n\tout (1), a\n\tin a, (1)\n\tld (8001h), a\n\tret\n");
    // The reader sees the group written last, as the keypad does.
    machine.setPortReader([&](std::uint8_t port, std::uint8_t) -> std::uint8_t {
        const auto& writes = machine.portWrites();
        const bool secondGroup = port == 1 && !writes.empty() && writes.back().value == 0xFD;
        return secondGroup ? 0xBF : 0xFF;
    });
    ASSERT_EQ(machine.call(origin).stop, Stop::returned);
    ASSERT_EQ(machine.portWrites().size(), 2u);
    EXPECT_EQ(machine.portWrites()[0].port, 1);
    EXPECT_EQ(machine.portWrites()[0].value, 0xFD);
    EXPECT_EQ(machine.readByte(0x8000), 0xBF);
    EXPECT_EQ(machine.readByte(0x8001), 0xFF);
}

TEST(Machine, PrefixedInstructionsRunWhole) {
    Machine machine;
    assembleInto(machine, "\tld ix, 8000h\n\tld (ix+3), 5ah\n\tbit 7, (ix+3)\n\tret\n");
    const RunResult result = machine.call(origin);
    EXPECT_EQ(result.stop, Stop::returned);
    EXPECT_EQ(result.instructions, 4u);
    EXPECT_EQ(machine.readByte(0x8003), 0x5A);
    EXPECT_TRUE(machine.registers().zero());
}

}  // namespace
}  // namespace z80test
