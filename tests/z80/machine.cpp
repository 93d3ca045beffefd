// SPDX-License-Identifier: GPL-2.0-or-later
#include "machine.hpp"

#include <stdexcept>

namespace z80test {

namespace {

constexpr std::uint8_t opcodeRet = 0xC9;
constexpr std::uint8_t opcodeHalt = 0x76;

}  // namespace

std::string_view describe(Stop stop) {
    switch (stop) {
        case Stop::returned:
            return "returned";
        case Stop::instructionLimit:
            return "ran into the instruction limit";
        case Stop::halted:
            return "halted";
    }
    return "?";
}

Machine::Machine()
    : cpu_(z80ex_create(&Machine::readMemory, this, &Machine::writeMemory, this, &Machine::readPort,
                        this, &Machine::writePort, this, &Machine::readInterruptVector, this)) {
    if (!cpu_) throw std::runtime_error("z80ex_create failed");
    // A stray return to the sentinel from code that is not under test stops
    // at once instead of running through empty memory.
    memory_[sentinel] = opcodeHalt;
    Registers start;
    start.sp = initialStack;
    start.iy = 0x89F0;  // the system flags base the calculator keeps in iy
    setRegisters(start);
}

Machine::~Machine() = default;

void Machine::load(std::uint16_t origin, std::span<const std::uint8_t> bytes) {
    std::uint16_t address = origin;
    for (std::uint8_t byte : bytes) memory_[address++] = byte;
}

void Machine::addStub(std::string name, std::uint16_t address,
                      std::function<void(Machine&)> effect) {
    memory_[address] = opcodeRet;
    stubs_[address] = Stub{std::move(name), std::move(effect)};
}

void Machine::setStubEffect(std::string_view name, std::function<void(Machine&)> effect) {
    for (auto& [address, stub] : stubs_) {
        if (stub.name == name) {
            stub.effect = std::move(effect);
            return;
        }
    }
    throw std::invalid_argument("no stub named " + std::string(name));
}

void Machine::clearStubEffects() {
    for (auto& [address, stub] : stubs_) stub.effect = nullptr;
}

std::uint16_t Machine::readWord(std::uint16_t address) const {
    return static_cast<std::uint16_t>(memory_[address] |
                                      memory_[static_cast<std::uint16_t>(address + 1)] << 8);
}

void Machine::writeWord(std::uint16_t address, std::uint16_t value) {
    memory_[address] = static_cast<std::uint8_t>(value);
    memory_[static_cast<std::uint16_t>(address + 1)] = static_cast<std::uint8_t>(value >> 8);
}

Registers Machine::registers() const {
    Z80EX_CONTEXT* cpu = cpu_.get();
    Registers r;
    r.af = z80ex_get_reg(cpu, regAF);
    r.bc = z80ex_get_reg(cpu, regBC);
    r.de = z80ex_get_reg(cpu, regDE);
    r.hl = z80ex_get_reg(cpu, regHL);
    r.ix = z80ex_get_reg(cpu, regIX);
    r.iy = z80ex_get_reg(cpu, regIY);
    r.sp = z80ex_get_reg(cpu, regSP);
    r.pc = z80ex_get_reg(cpu, regPC);
    r.altAf = z80ex_get_reg(cpu, regAF_);
    r.altBc = z80ex_get_reg(cpu, regBC_);
    r.altDe = z80ex_get_reg(cpu, regDE_);
    r.altHl = z80ex_get_reg(cpu, regHL_);
    return r;
}

void Machine::setRegisters(const Registers& r) {
    Z80EX_CONTEXT* cpu = cpu_.get();
    z80ex_set_reg(cpu, regAF, r.af);
    z80ex_set_reg(cpu, regBC, r.bc);
    z80ex_set_reg(cpu, regDE, r.de);
    z80ex_set_reg(cpu, regHL, r.hl);
    z80ex_set_reg(cpu, regIX, r.ix);
    z80ex_set_reg(cpu, regIY, r.iy);
    z80ex_set_reg(cpu, regSP, r.sp);
    z80ex_set_reg(cpu, regPC, r.pc);
    z80ex_set_reg(cpu, regAF_, r.altAf);
    z80ex_set_reg(cpu, regBC_, r.altBc);
    z80ex_set_reg(cpu, regDE_, r.altDe);
    z80ex_set_reg(cpu, regHL_, r.altHl);
}

void Machine::setA(std::uint8_t value) {
    Registers r = registers();
    r.af = static_cast<std::uint16_t>(value << 8 | r.f());
    setRegisters(r);
}

bool Machine::interruptsEnabled() const { return z80ex_get_reg(cpu_.get(), regIFF1) != 0; }

void Machine::setCarry(bool value) {
    Registers r = registers();
    r.af = static_cast<std::uint16_t>(value ? (r.af | 0x01) : (r.af & ~0x01));
    setRegisters(r);
}

RunResult Machine::call(std::uint16_t entry, std::uint64_t limit) {
    Registers r = registers();
    r.sp = static_cast<std::uint16_t>(r.sp - 2);
    writeWord(r.sp, sentinel);
    r.pc = entry;
    setRegisters(r);

    RunResult result;
    while (true) {
        const std::uint16_t pc = z80ex_get_reg(cpu_.get(), regPC);
        if (pc == sentinel) return result;
        if (auto stub = stubs_.find(pc); stub != stubs_.end()) {
            calls_.push_back(StubCall{stub->second.name, registers()});
            if (stub->second.effect) stub->second.effect(*this);
        }
        if (result.instructions == limit) {
            result.stop = Stop::instructionLimit;
            return result;
        }
        step();
        ++result.instructions;
        if (z80ex_doing_halt(cpu_.get())) {
            result.stop = Stop::halted;
            return result;
        }
    }
}

void Machine::clearRecords() {
    calls_.clear();
    portWrites_.clear();
}

void Machine::step() {
    do {
        z80ex_step(cpu_.get());
    } while (z80ex_last_op_type(cpu_.get()) != 0);
}

Z80EX_BYTE Machine::readMemory(Z80EX_CONTEXT*, Z80EX_WORD address, int, void* self) {
    return static_cast<Machine*>(self)->memory_[address];
}

void Machine::writeMemory(Z80EX_CONTEXT*, Z80EX_WORD address, Z80EX_BYTE value, void* self) {
    static_cast<Machine*>(self)->memory_[address] = value;
}

Z80EX_BYTE Machine::readPort(Z80EX_CONTEXT*, Z80EX_WORD port, void* self) {
    auto* machine = static_cast<Machine*>(self);
    if (!machine->portReader_) return 0xFF;
    return machine->portReader_(static_cast<std::uint8_t>(port),
                                static_cast<std::uint8_t>(port >> 8));
}

void Machine::writePort(Z80EX_CONTEXT*, Z80EX_WORD port, Z80EX_BYTE value, void* self) {
    static_cast<Machine*>(self)->portWrites_.push_back(
        PortWrite{static_cast<std::uint8_t>(port), value});
}

Z80EX_BYTE Machine::readInterruptVector(Z80EX_CONTEXT*, void*) { return 0xFF; }

}  // namespace z80test
