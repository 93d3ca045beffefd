// SPDX-License-Identifier: GPL-2.0-or-later
#include "calculator.hpp"

#include <algorithm>
#include <array>
#include <cstdio>

#include "routines.hpp"
#include "variable_table.hpp"

namespace calcview {

namespace {

constexpr std::uint8_t interruptOnKey = 0x01;
constexpr std::uint8_t interruptTimer = 0x02;
constexpr std::uint8_t interruptPowerOn = 0x08;
constexpr std::size_t keyQueueLimit = 16;

std::string hex4(std::uint16_t value) {
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "%04Xh", value);
    return text.data();
}

Z80_REG_T z80exRegister(Reg which) {
    static constexpr Z80_REG_T table[] = {regAF, regBC, regDE, regHL, regIX, regIY, regSP, regPC};
    return table[static_cast<int>(which)];
}

/// What fetching each opcode byte tells the run loop: every fetch counts, and
/// the first bytes of the instructions that may change SP (push, pop, call,
/// ret, rst, ld sp, inc/dec sp, ex (sp), and the prefixes: ix/iy forms, ld
/// sp,(nn), retn/reti), halt and ei are marked.
constexpr std::array<std::uint8_t, 256> opcodeEvents = [] {
    std::array<std::uint8_t, 256> table{};
    for (int op = 0; op <= 0xFF; ++op) {
        const int low = op & 0x07, nibble = op & 0x0F;
        const bool stack =
            op >= 0xC0 && (low == 0 || low == 4 || low == 7 || nibble == 0x01 || nibble == 0x05);
        table[op] = static_cast<std::uint8_t>(Calculator::fetchedAny |
                                              (stack ? Calculator::fetchedStack : 0));
    }
    for (int op : {0x31, 0x33, 0x3B, 0xC9, 0xCD, 0xE3, 0xF9, 0xDD, 0xFD, 0xED}) {
        table[op] |= Calculator::fetchedStack;
    }
    table[0x76] |= Calculator::fetchedHalt;
    table[0xFB] |= Calculator::fetchedEnable;
    return table;
}();

bool isCallOpcode(std::uint8_t opcode) {
    return opcode == 0xCD || (opcode & 0xC7) == 0xC4 || (opcode & 0xC7) == 0xC7;
}

}  // namespace

const std::array<std::uint8_t, 0x10000> Calculator::noMarks_{};

Calculator::Calculator()
    : cpu_(z80ex_create(readMemory, this, writeMemory, this, readPort, this, writePort, this,
                        readInterruptVector, this)) {}

Calculator::~Calculator() = default;

Z80EX_BYTE Calculator::readMemory(Z80EX_CONTEXT*, Z80EX_WORD address, int m1, void* self) {
    auto& calc = *static_cast<Calculator*>(self);
    if (m1 != 0) return calc.fetchOpcode(address);
    if (calc.accessMarks_[address] & watchRead) calc.noteAccess(address, false);
    return calc.memory_[address];
}

void Calculator::noteAccess(std::uint16_t address, bool write) {
    if (fetched_ & fetchedWatch) return;
    fetched_ |= fetchedWatch;
    accessAddress_ = address;
    accessWrite_ = write;
}

// Opcode fetches tell the run loop what it needs to know without asking the
// processor after every instruction: where the instruction began, whether it
// may have moved the stack pointer or halted, and whether the program counter
// went below 8000h, where no code is: there the fetch gets a NOP, which the
// run loop takes back before it carries out the routine at that address.
std::uint8_t Calculator::fetchOpcode(std::uint16_t address) {
    if (address < ramStart) {
        fetched_ |= fetchedRom;
        romAddress_ = address;
        return 0x00;
    }
    if (fetchMarks_[address] != 0 && (fetched_ & fetchedAny) == 0) {
        // A breakpoint: this NOP is taken back, and run() returns before the
        // instruction.
        if (!passFetchMark_) {
            fetched_ |= fetchedBreak;
            lastFetch_ = address;
            return 0x00;
        }
    }
    passFetchMark_ = false;
    const std::uint8_t opcode = memory_[address];
    if ((fetched_ & fetchedAny) == 0) lastPc_ = address;
    fetched_ |= opcodeEvents[opcode];
    return opcode;
}

void Calculator::writeMemory(Z80EX_CONTEXT*, Z80EX_WORD address, Z80EX_BYTE value, void* self) {
    auto& calc = *static_cast<Calculator*>(self);
    if (calc.accessMarks_[address] & watchWrite) calc.noteAccess(address, true);
    calc.write(address, value);
    if (calc.guard_[address] != 0) calc.guardedWrite(address);
}

// A region guarded again under the same name moves: variables are created
// and deleted while the program runs.
void Calculator::guardFromStack(std::uint16_t from, std::uint32_t to, const std::string& what) {
    const auto index = static_cast<std::size_t>(
        std::find(guardNames_.begin(), guardNames_.end(), what) - guardNames_.begin());
    if (index == guardNames_.size()) {
        if (guardNames_.size() >= 255) return;
        guardNames_.push_back(what);
    }
    const auto mark = static_cast<std::uint8_t>(index + 1);
    std::replace(guard_.begin(), guard_.end(), mark, std::uint8_t{0});
    for (std::uint32_t address = from; address < std::min<std::uint32_t>(to, 0x10000); ++address) {
        guard_[address] = mark;
    }
}

// z80ex moves SP before each byte a push writes, so a stack write lands at SP
// (push, call, rst, interrupt) or SP + 1 (ex (sp),hl).
void Calculator::guardedWrite(std::uint16_t address) {
    const std::uint16_t sp = reg(Reg::sp);
    if (state_ != RunState::running || static_cast<std::uint16_t>(address - sp) > 1) return;
    fail(FaultKind::stack, "the stack ran into " + guardNames_[guard_[address] - 1u] +
                               ": SP = " + hex4(sp) + " after the instruction at " + hex4(lastPc_));
}

Z80EX_BYTE Calculator::readPort(Z80EX_CONTEXT*, Z80EX_WORD port, void* self) {
    return static_cast<Calculator*>(self)->portIn(static_cast<std::uint8_t>(port));
}

void Calculator::writePort(Z80EX_CONTEXT*, Z80EX_WORD port, Z80EX_BYTE value, void* self) {
    static_cast<Calculator*>(self)->portOut(static_cast<std::uint8_t>(port), value);
}

Z80EX_BYTE Calculator::readInterruptVector(Z80EX_CONTEXT*, void*) { return 0xFF; }

void Calculator::write(std::uint16_t address, std::uint8_t value) {
    if (address < ramStart || memory_[address] == value) return;  // ROM ignores writes
    memory_[address] = value;
    ++changes_;
}



std::uint16_t Calculator::reg(Reg which) const {
    return z80ex_get_reg(cpu_.get(), z80exRegister(which));
}

void Calculator::setReg(Reg which, std::uint16_t value) {
    z80ex_set_reg(cpu_.get(), z80exRegister(which), value);
}




void Calculator::push(std::uint16_t value) {
    const auto sp = static_cast<std::uint16_t>(reg(Reg::sp) - 2);
    setReg(Reg::sp, sp);
    writeWord(sp, value);
}

std::uint16_t Calculator::pop() {
    const std::uint16_t sp = reg(Reg::sp);
    setReg(Reg::sp, static_cast<std::uint16_t>(sp + 2));
    return readWord(sp);
}

void Calculator::start(const std::vector<std::uint8_t>& code, StartKind kind) {
    for (std::size_t i = 0; i < code.size() && programOrigin + i < memory_.size(); ++i) {
        memory_[programOrigin + i] = code[i];
    }
    for (int i = 0; i < homeRows * homeColumns; ++i) memory_[textShadowAddress + i] = ' ';
    // An empty variable table below the stack.
    writeWord(progPtrAddress, symTableAddress);
    writeWord(pTempAddress, symTableAddress);
    setFreeMemory(*this, static_cast<std::uint16_t>(programOrigin + code.size()));
    guard_.fill(0);
    guardNames_.clear();
    guardFromStack(tempMemAddress, progPtrAddress + 2, "the system's memory pointers");
    guardFromStack(programOrigin, programOrigin + code.size(), "the program");
    guardFromStack(symTableAddress, stackBottom, "the variable table");
    z80ex_reset(cpu_.get());
    setReg(Reg::iy, flagsAddress);
    setReg(Reg::sp, 0x0000);
    z80ex_set_reg(cpu_.get(), regIM, 1);
    z80ex_set_reg(cpu_.get(), regIFF1, 1);
    z80ex_set_reg(cpu_.get(), regIFF2, 1);
    push(returnAddress);
    if (kind == StartKind::ion) {
        guardFromStack(ionVectorsAddress, ionVectorsAddress + 3 * ionRoutineCount,
                       "Ion's jump table");
        for (int i = 0; i < ionRoutineCount; ++i) {
            const auto entry = static_cast<std::uint16_t>(ionVectorsAddress + 3 * i);
            memory_[entry] = 0xC3;  // jp
            writeWord(static_cast<std::uint16_t>(entry + 1),
                      static_cast<std::uint16_t>(ionRoutineBase + 3 * i));
        }
        lcd_.clear();
        for (int i = 0; i < graphBufferSize; ++i) memory_[plotsscreenAddress + i] = 0;
        setReg(Reg::af, 0x0000);  // xor a: A = 0, carry clear
        setReg(Reg::pc, programOrigin + 1);
    } else {
        setReg(Reg::pc, programOrigin);
    }
    lastPc_ = reg(Reg::pc);
    atRom_ = halted_ = false;
    state_ = RunState::running;
}

void Calculator::seedRandom(std::uint64_t seed) {
    routineState_.seed(seed);
    z80ex_set_reg(cpu_.get(), regR, static_cast<Z80EX_WORD>(routineState_.randomState & 0x7F));
}

std::uint8_t Calculator::portIn(std::uint8_t port) {
    if (port != keypadPort) ++changes_;
    switch (port) {
        case keypadPort:
            passIdleLoop(lastPc_);
            return keypad_.read();
        case interruptMaskPort:
            return interruptMask_;
        case interruptStatusPort:  // bit 3 clear while ON is held
            return static_cast<std::uint8_t>((onKeyPending_ ? 0x01 : 0) |
                                             (timerPending_ ? 0x02 : 0) | (onHeld_ ? 0 : 0x08));
        case lcdCommandPort:
            return lcd_.status();
        case lcdDataPort:
            return lcd_.readData();
        default:
            return 0xFF;
    }
}

void Calculator::portOut(std::uint8_t port, std::uint8_t value) {
    if (port != keypadPort) ++changes_;
    switch (port) {
        case keypadPort:
            keypad_.selectGroups(value);
            break;
        case interruptMaskPort:
            interruptMask_ = value;
            // Clearing an enable bit acknowledges that interrupt.
            if ((value & interruptTimer) == 0) timerPending_ = false;
            if ((value & interruptOnKey) == 0) onKeyPending_ = false;
            screenPowered_ = (value & interruptPowerOn) != 0;
            break;
        case lcdCommandPort:
            lcd_.command(value);
            break;
        case lcdDataPort:
            lcd_.writeData(value);
            break;
        default:
            break;  // link port, memory mapping: nothing a program here needs
    }
}

// ON raises its interrupt when port 3 enables it, waking a program halted
// after powering down; the other keys only reach the keypad.
void Calculator::pressKey(int key) {
    ++changes_;
    if (!screenPowered_) {
        screenPowered_ = true;
        interruptMask_ |= interruptPowerOn;
    }
    if (allKeys()[static_cast<std::size_t>(key)].group == onKeyGroup) {
        onHeld_ = true;
        if (interruptMask_ & interruptOnKey) onKeyPending_ = true;
        return;
    }
    repeatAt_ = cycles_ + keyRepeatDelay;
    keypad_.press(key);
    if (keyPresses_.size() < keyQueueLimit) keyPresses_.push_back(key);
}

void Calculator::releaseKey(int key) {
    ++changes_;
    if (allKeys()[static_cast<std::size_t>(key)].group == onKeyGroup) onHeld_ = false;
    keypad_.release(key);
}

Calculator::LoopMark Calculator::markHere(std::uint16_t pc) const {
    static constexpr Z80_REG_T compared[] = {regAF,  regBC, regDE, regHL, regAF_, regBC_, regDE_,
                                             regHL_, regIX, regIY, regSP, regI,   regIM,  regIFF1};
    LoopMark mark{true, pc, {}, keypad_.selectedGroups(), cycles_, changes_,
                  static_cast<std::uint8_t>(z80ex_get_reg(cpu_.get(), regR) & 0x7F)};
    for (std::size_t i = 0; i < std::size(compared); ++i) {
        mark.registers[i] = z80ex_get_reg(cpu_.get(), compared[i]);
    }
    return mark;
}

// A program that waits for a key by reading the keypad in a loop goes round
// and round in the same state. When a keypad read finds the machine exactly as
// at an earlier read at the same place, with nothing changed in between, every
// further round until the next interrupt or the end of this run would do the
// same: the clock moves on by whole rounds instead.
void Calculator::passIdleLoop(std::uint16_t pc) {
    constexpr std::uint64_t markLifetime = 1'000'000;
    LoopMark here = markHere(pc);
    if (loopMark_.valid && loopMark_.pc == pc && loopMark_.changes == changes_ &&
        loopMark_.registers == here.registers && loopMark_.keypadMask == here.keypadMask &&
        cycles_ > loopMark_.cycle) {
        const std::uint64_t round = cycles_ - loopMark_.cycle;
        const std::uint64_t until = std::min(nextTimer_, runTarget_);
        if (until > cycles_) {
            // R goes on counting as if the rounds ran, so that where a run
            // was cut into slices makes no difference.
            const std::uint64_t rounds = (until - cycles_) / round;
            cycles_ += rounds * round;
            const auto perRound =
                static_cast<std::uint64_t>((here.refresh - loopMark_.refresh) & 0x7F);
            here.refresh = static_cast<std::uint8_t>((here.refresh + rounds * perRound) & 0x7F);
            z80ex_set_reg(cpu_.get(), regR, here.refresh);
        }
        here.cycle = cycles_;
        loopMark_ = here;
    } else if (!loopMark_.valid || loopMark_.pc == pc || cycles_ - loopMark_.cycle > markLifetime) {
        loopMark_ = here;
    }
}

std::optional<int> Calculator::takeKeyPress() {
    if (!keyPresses_.empty()) {
        const int key = keyPresses_.front();
        keyPresses_.pop_front();
        lastKeyTaken_ = key;
        return key;
    }
    // A held arrow or Del repeats, as the system's keyboard scan makes it.
    static const int repeating[] = {*keyIndex("down"), *keyIndex("left"), *keyIndex("right"),
                                    *keyIndex("up"), *keyIndex("del")};
    for (int key : repeating) {
        if (!keypad_.isHeld(key) || cycles_ < repeatAt_) continue;
        repeatAt_ = cycles_ + keyRepeatInterval;
        lastKeyTaken_ = key;
        return key;
    }
    return std::nullopt;
}

void Calculator::fail(FaultKind kind, std::string message) {
    state_ = RunState::fault;
    faultKind_ = kind;
    fault_ = std::move(message);
}

bool Calculator::interruptsWanted() const { return timerPending_ || onKeyPending_; }

void Calculator::passTimers() {
    while (cycles_ >= nextTimer_) {
        nextTimer_ += timerPeriod;
        if (interruptMask_ & interruptTimer) timerPending_ = true;
    }
    if (interruptsWanted()) {
        const int taken = z80ex_int(cpu_.get());
        if (taken > 0) {
            cycles_ += static_cast<std::uint64_t>(taken);
            lastPc_ = 0;  // an interrupt is not a call from the program
            atRom_ = halted_ = false;
        }
    }
}

void Calculator::idleUntil(std::uint64_t cycle) {
    const std::uint64_t next = std::min(cycle, nextTimer_);
    if (next > cycles_) cycles_ = next;
    passTimers();
}

void Calculator::serviceInterrupt() {
    ++changes_;
    if (onKeyPending_) {
        // The system's handler notes the press for the program (onInterrupt).
        const auto flags = static_cast<std::uint16_t>(flagsAddress + onFlagsOffset);
        write(flags, static_cast<std::uint8_t>(memory_[flags] | 1 << onInterruptBit));
    }
    timerPending_ = false;
    onKeyPending_ = false;
    if (routineState_.runIndicator) {
        // The busy indicator: a dash that runs down the top right corner.
        const int phase = static_cast<int>(cycles_ / timerPeriod / 4 % 4);
        for (int y = 0; y < 7; ++y) {
            for (int x = 90; x < 96; ++x) lcd_.setPixel(x, y, x >= 92 && y / 2 == phase);
        }
    }
    setReg(Reg::pc, pop());
    atRom_ = false;
    z80ex_set_reg(cpu_.get(), regIFF1, 1);
    z80ex_set_reg(cpu_.get(), regIFF2, 1);
    cycles_ += 200;
}

bool Calculator::enterRom(std::uint16_t pc) {
    if (pc == returnAddress) {
        state_ = RunState::returned;
        return false;
    }
    if (pc == interruptHandler) {
        serviceInterrupt();
        return false;
    }
    ++changes_;
    const Routine* routine = routineAt(pc);
    const bool called = isCallOpcode(memory_[lastPc_]) && readWord(reg(Reg::sp)) > lastPc_ &&
                        readWord(reg(Reg::sp)) <= lastPc_ + 3;
    if (routine == nullptr) {
        fail(FaultKind::ranAway,
             called ? "the program called " + hex4(pc) + " from " + hex4(lastPc_) +
                          ", where the calculator has no routine the preview knows"
                    : "the program ran away to " + hex4(pc) + " (last instruction at " +
                          hex4(lastPc_) + "), outside the program, RAM and the preview's routines");
        return false;
    }
    if (routine->run == nullptr) {
        fail(FaultKind::unsupportedRoutine, "the program called " + std::string(routine->name) +
                                                " at " + hex4(pc) + " from " + hex4(lastPc_) +
                                                ", a routine the preview does not carry out");
        return false;
    }
    if (routineObserver) routineObserver(*routine);
    if (routine->run(*this) == RoutineResult::wait) return true;
    if (state_ == RunState::fault) return false;  // the routine ended in an error
    cycles_ += static_cast<std::uint64_t>(routine->cycles);
    setReg(Reg::pc, pop());
    atRom_ = false;
    return false;
}

void Calculator::executeUntil(std::uint64_t stop, bool stopAtEnable) {
    while (cycles_ < stop) {
        fetched_ = 0;
        int taken = z80ex_step(cpu_.get());
        while (z80ex_last_op_type(cpu_.get()) != 0) taken += z80ex_step(cpu_.get());
        if (fetched_ & (fetchedRom | fetchedBreak)) {
            if (fetched_ & fetchedBreak) {
                takeBackNop(lastFetch_);
                debugStop_ = DebugStop::fetch;
                return;
            }
            atRom_ = true;
            setReg(Reg::pc, romAddress_);  // take back the stand-in NOP
            return;
        }
        cycles_ += static_cast<std::uint64_t>(taken);
        if (state_ != RunState::running) return;  // a stack write faulted
        if (fetched_ & (fetchedHalt | fetchedStack | fetchedEnable | fetchedWatch)) {
            if (fetched_ & fetchedHalt) {
                halted_ = z80ex_doing_halt(cpu_.get()) != 0;
                if (halted_) return;
            }
            if (fetched_ & fetchedStack) {
                if (!checkStack()) return;
                if (stackObserver_ != nullptr) {
                    stackObserver_->afterStackInstruction(memory_[lastPc_], lastPc_, reg(Reg::sp));
                }
            }
            if (fetched_ & fetchedWatch) {
                debugStop_ = DebugStop::access;
                return;
            }
            if (stopAtEnable && (fetched_ & fetchedEnable)) return;
        }
    }
}

// The stand-in NOP of a breakpoint never happened: the program counter, the
// refresh counter and the clock are as before it.
void Calculator::takeBackNop(std::uint16_t address) {
    setReg(Reg::pc, address);
    const auto r = z80ex_get_reg(cpu_.get(), regR);
    z80ex_set_reg(cpu_.get(), regR, static_cast<Z80EX_WORD>((r - 1) & 0x7F));
}

bool Calculator::checkStack() {
    if (state_ != RunState::running) return false;
    const std::uint16_t sp = reg(Reg::sp);
    if (sp == 0 || sp >= ramStart) return true;
    // Just above 0000h: more was taken off the stack than was ever put on it.
    fail(FaultKind::stack, "the stack underflowed: SP = " + hex4(sp) + " after the instruction at " +
                               hex4(lastPc_));
    return false;
}

RunState Calculator::run(std::uint64_t cycle) {
    runTarget_ = cycle;
    debugStop_ = DebugStop::none;
    while (state_ == RunState::running && cycles_ < cycle) {
        if (atRom_ ? enterRom(romAddress_) : halted_) {
            idleUntil(cycle);  // halted, or in a routine that waits for a key
            continue;
        }
        if (!atRom_ && state_ == RunState::running) {
            // One instruction at a time while an interrupt waits to be taken;
            // while interrupts are disabled, on until they are enabled.
            const bool wanted = interruptsWanted();
            if (wanted && z80ex_get_reg(cpu_.get(), regIFF1) != 0) {
                executeUntil(cycles_ + 1, false);
            } else {
                executeUntil(std::min(cycle, nextTimer_), wanted);
            }
            if (debugStop_ != DebugStop::none && state_ == RunState::running) return state_;
        }
        if (cycles_ >= nextTimer_ || interruptsWanted()) passTimers();
    }
    return state_;
}

void Calculator::setDebugMarks(const std::uint8_t* fetch, const std::uint8_t* access) {
    fetchMarks_ = fetch != nullptr ? fetch : noMarks_.data();
    accessMarks_ = access != nullptr ? access : noMarks_.data();
}

namespace {

constexpr Z80_REG_T savedRegisters[] = {regAF, regBC,  regDE,  regHL, regAF_, regBC_,
                                        regDE_, regHL_, regIX, regIY, regPC,  regSP,
                                        regI,  regR,   regR7,  regIM, regIFF1, regIFF2};

}  // namespace

// Inside a halt or just after ei the processor keeps state that cannot be set
// from outside; a routine that waits is in the middle of its work.
bool Calculator::canSave() const {
    return !halted_ && !atRom_ &&
           z80ex_int_possible(cpu_.get()) == (z80ex_get_reg(cpu_.get(), regIFF1) != 0 ? 1 : 0);
}

Calculator::State Calculator::save() const {
    State s;
    s.ram.assign(memory_.begin() + ramStart, memory_.end());
    if (savedGuard_ == nullptr || *savedGuard_ != guard_) {
        savedGuard_ = std::make_shared<const std::array<std::uint8_t, 0x10000>>(guard_);
    }
    s.guard = savedGuard_;
    s.guardNames = guardNames_;
    static_assert(std::size(savedRegisters) == std::tuple_size_v<decltype(s.registers)>);
    for (std::size_t i = 0; i < std::size(savedRegisters); ++i) {
        s.registers[i] = z80ex_get_reg(cpu_.get(), savedRegisters[i]);
    }
    s.lcd = lcd_;
    s.keypad = keypad_;
    s.keyPresses = keyPresses_;
    s.repeatAt = repeatAt_;
    s.cycles = cycles_;
    s.nextTimer = nextTimer_;
    s.changes = changes_;
    s.interruptMask = interruptMask_;
    s.timerPending = timerPending_;
    s.onKeyPending = onKeyPending_;
    s.onHeld = onHeld_;
    s.screenPowered = screenPowered_;
    s.halted = halted_;
    s.atRom = atRom_;
    s.lastPc = lastPc_;
    s.romAddress = romAddress_;
    s.loopMark = loopMark_;
    s.state = state_;
    s.fault = fault_;
    s.faultKind = faultKind_;
    s.lastKeyTaken = lastKeyTaken_;
    s.routineState = routineState_;
    return s;
}

void Calculator::restore(const State& s) {
    std::copy(s.ram.begin(), s.ram.end(), memory_.begin() + ramStart);
    guard_ = *s.guard;
    savedGuard_ = s.guard;
    guardNames_ = s.guardNames;
    for (std::size_t i = 0; i < std::size(savedRegisters); ++i) {
        z80ex_set_reg(cpu_.get(), savedRegisters[i], s.registers[i]);
    }
    lcd_ = s.lcd;
    keypad_ = s.keypad;
    keyPresses_ = s.keyPresses;
    repeatAt_ = s.repeatAt;
    cycles_ = s.cycles;
    nextTimer_ = s.nextTimer;
    changes_ = s.changes;
    interruptMask_ = s.interruptMask;
    timerPending_ = s.timerPending;
    onKeyPending_ = s.onKeyPending;
    onHeld_ = s.onHeld;
    screenPowered_ = s.screenPowered;
    halted_ = s.halted;
    atRom_ = s.atRom;
    lastPc_ = s.lastPc;
    romAddress_ = s.romAddress;
    loopMark_ = s.loopMark;
    state_ = s.state;
    fault_ = s.fault;
    faultKind_ = s.faultKind;
    lastKeyTaken_ = s.lastKeyTaken;
    routineState_ = s.routineState;
    debugStop_ = DebugStop::none;
    passFetchMark_ = false;
}

std::uint16_t Calculator::shadowReg(Reg which) const {
    static constexpr Z80_REG_T shadows[] = {regAF_, regBC_, regDE_, regHL_};
    const auto index = static_cast<std::size_t>(which);
    return index < std::size(shadows) ? z80ex_get_reg(cpu_.get(), shadows[index]) : 0;
}

std::size_t Calculator::State::size() const {
    return sizeof(State) + ram.size() + keyPresses.size() * sizeof(int) + fault.size();
}

}  // namespace calcview
