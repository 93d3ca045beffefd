// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A Z80 with 64 KiB of RAM for running translated programs in tests.
//
// The program is loaded at its origin. The operating-system and shell
// routines it calls are stubs: each is a RET at an address of its own, and
// when the program counter reaches a stub address the machine records the
// call with the registers of that moment (and runs the stub's optional
// effect) before the RET returns to the caller. A run enters code with a
// sentinel return address on the stack; reaching the sentinel means the code
// returned, and the run stops there, or at an instruction limit, or at a HALT.
// Port writes are recorded; port reads are answered by a function the test
// supplies.

#include <z80ex/z80ex.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace z80test {

/// The register file the tests look at. F is the low byte of af.
struct Registers {
    std::uint16_t af = 0;
    std::uint16_t bc = 0;
    std::uint16_t de = 0;
    std::uint16_t hl = 0;
    std::uint16_t ix = 0;
    std::uint16_t iy = 0;
    std::uint16_t sp = 0;
    std::uint16_t pc = 0;
    std::uint16_t altAf = 0;
    std::uint16_t altBc = 0;
    std::uint16_t altDe = 0;
    std::uint16_t altHl = 0;

    std::uint8_t a() const { return static_cast<std::uint8_t>(af >> 8); }
    std::uint8_t f() const { return static_cast<std::uint8_t>(af); }
    std::uint8_t b() const { return static_cast<std::uint8_t>(bc >> 8); }
    std::uint8_t c() const { return static_cast<std::uint8_t>(bc); }
    std::uint8_t d() const { return static_cast<std::uint8_t>(de >> 8); }
    std::uint8_t e() const { return static_cast<std::uint8_t>(de); }
    std::uint8_t h() const { return static_cast<std::uint8_t>(hl >> 8); }
    std::uint8_t l() const { return static_cast<std::uint8_t>(hl); }
    bool carry() const { return (af & 0x01) != 0; }
    bool zero() const { return (af & 0x40) != 0; }
};

/// One call of a stub: its name and the registers when it was entered.
struct StubCall {
    std::string name;
    Registers registers;
};

/// One OUT instruction.
struct PortWrite {
    std::uint8_t port = 0;
    std::uint8_t value = 0;
};

/// How a run ended.
enum class Stop { returned, instructionLimit, halted };

std::string_view describe(Stop stop);

/// The result of one run.
struct RunResult {
    Stop stop = Stop::returned;
    std::uint64_t instructions = 0;
};

class Machine {
  public:
    /// Where a run returns to. Nothing is ever loaded there.
    static constexpr std::uint16_t sentinel = 0x0010;
    /// The stack pointer a run starts with, unless the test sets another.
    static constexpr std::uint16_t initialStack = 0xFFF0;

    Machine();
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    /// Copies `bytes` into memory from `origin` on (wrapping at 64 KiB).
    void load(std::uint16_t origin, std::span<const std::uint8_t> bytes);

    /// Places a stub named `name` at `address`: a RET there, and a record
    /// of every call. `effect`, when given, runs at the call and may change
    /// registers and memory (for example to return a value).
    void addStub(std::string name, std::uint16_t address,
                 std::function<void(Machine&)> effect = nullptr);
    /// The stub's effect is replaced (the stub must exist).
    void setStubEffect(std::string_view name, std::function<void(Machine&)> effect);
    /// Every stub goes back to returning at once without an effect.
    void clearStubEffects();

    std::uint8_t readByte(std::uint16_t address) const { return memory_[address]; }
    std::uint16_t readWord(std::uint16_t address) const;
    void writeByte(std::uint16_t address, std::uint8_t value) { memory_[address] = value; }
    void writeWord(std::uint16_t address, std::uint16_t value);
    std::span<const std::uint8_t> memory() const { return memory_; }

    Registers registers() const;
    /// Sets every register of `registers` (pc and sp included).
    void setRegisters(const Registers& registers);
    void setA(std::uint8_t value);
    /// Whether maskable interrupts are enabled (IFF1).
    bool interruptsEnabled() const;
    void setCarry(bool value);

    /// Answers IN instructions: port number (low byte) and the value of the
    /// upper address byte, returns the byte read. Without one, reads give FFh.
    void setPortReader(std::function<std::uint8_t(std::uint8_t port, std::uint8_t upper)> reader) {
        portReader_ = std::move(reader);
    }

    /// Pushes the sentinel return address and runs from `entry` until the
    /// code returns to it, executes HALT, or has run `limit` instructions.
    /// The other registers stay as they are.
    RunResult call(std::uint16_t entry, std::uint64_t limit = 1'000'000);

    const std::vector<StubCall>& calls() const { return calls_; }
    const std::vector<PortWrite>& portWrites() const { return portWrites_; }
    /// Forgets the recorded calls and port writes.
    void clearRecords();

  private:
    struct Stub {
        std::string name;
        std::function<void(Machine&)> effect;
    };
    struct CpuDeleter {
        void operator()(Z80EX_CONTEXT* cpu) const { z80ex_destroy(cpu); }
    };

    static Z80EX_BYTE readMemory(Z80EX_CONTEXT*, Z80EX_WORD address, int, void* self);
    static void writeMemory(Z80EX_CONTEXT*, Z80EX_WORD address, Z80EX_BYTE value, void* self);
    static Z80EX_BYTE readPort(Z80EX_CONTEXT*, Z80EX_WORD port, void* self);
    static void writePort(Z80EX_CONTEXT*, Z80EX_WORD port, Z80EX_BYTE value, void* self);
    static Z80EX_BYTE readInterruptVector(Z80EX_CONTEXT*, void*);

    /// Runs one whole instruction, prefixes included.
    void step();

    std::array<std::uint8_t, 0x10000> memory_{};
    std::map<std::uint16_t, Stub> stubs_;
    std::vector<StubCall> calls_;
    std::vector<PortWrite> portWrites_;
    std::function<std::uint8_t(std::uint8_t, std::uint8_t)> portReader_;
    std::unique_ptr<Z80EX_CONTEXT, CpuDeleter> cpu_;
};

}  // namespace z80test
