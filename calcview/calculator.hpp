// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A TI-83 without its ROM: a Z80 (libz80ex) with 32 KiB of RAM above 8000h,
// the keypad, the display controller and the interrupt ports. The system
// routines a program calls are carried out in C++ when the program counter
// reaches their address (see routines.hpp); so are the Ion routines that the
// shell's jump table at 91A7h leads to, and the system's interrupt handler at
// 0038h. Anything else below 8000h is not there, and running into it ends the
// run with a fault.
//
// The stack: a program may point SP wherever it likes (programs save SP and
// use free RAM as a stack for a while). What ends the run is what the
// calculator would suffer: a stack write (push, call, rst, interrupt, ex
// (sp)) into a guarded region (the program and the variables stored after
// it, the system's memory pointers, Ion's jump table, the variable table),
// or SP left pointing into ROM (more taken off the stack than was put on).
//
// Time is counted in clock cycles of the 6 MHz Z80. `run` goes on until a
// given cycle, so a caller can interleave key presses (headless script or
// window) with execution; `halt` and the waiting routines pass the time
// without executing anything.

#include <z80ex/z80ex.h>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "addresses.hpp"
#include "keypad.hpp"
#include "lcd.hpp"
#include "machine.hpp"

namespace calcview {

struct Routine;

/// How the program is started.
enum class StartKind {
    ion,    ///< as Ion starts it: jump table written, screen cleared, carry clear, call 9328h
    plain,  ///< at 9327h (AShell, SOS, no shell)
};

/// Why a run stopped.
enum class RunState { running, returned, fault };

/// The kinds of fault a run can end with.
enum class FaultKind {
    ranAway,             ///< to an address below 8000h where nothing is
    stack,               ///< the stack ran into guarded memory, or underflowed
    calculatorError,     ///< a routine met what the calculator answers with an error
    unsupportedRoutine,  ///< a routine the preview does not carry out
};

/// Why run() returned early for a debugger (see setDebugMarks).
enum class DebugStop : std::uint8_t {
    none,
    fetch,   ///< before the instruction at PC: its address is marked
    access,  ///< after the instruction at lastInstruction(): it touched marked memory
};

/// Told after each instruction that may move the stack pointer (push, pop,
/// call, ret, rst, ld sp, ...), with its first opcode byte, its address and
/// SP after it.
class StackObserver {
  public:
    virtual ~StackObserver() = default;
    virtual void afterStackInstruction(std::uint8_t opcode, std::uint16_t address,
                                       std::uint16_t sp) = 0;
};

class Calculator final : public Machine {
  public:
    /// Where the program returns to when it is done: an address in ROM where
    /// nothing else lives.
    static constexpr std::uint16_t returnAddress = 0x3FFC;
    /// The system's interrupt handler (interrupt mode 1 and `rst 38h`).
    static constexpr std::uint16_t interruptHandler = 0x0038;

    /// What the opcode fetches of one instruction met.
    static constexpr std::uint8_t fetchedAny = 0x01, fetchedStack = 0x02, fetchedHalt = 0x04,
                                  fetchedRom = 0x08, fetchedEnable = 0x10, fetchedBreak = 0x20,
                                  fetchedWatch = 0x40;
    /// Bits of the access marks.
    static constexpr std::uint8_t watchRead = 0x01, watchWrite = 0x02;

    /// Everything that makes the machine what it is at one moment, for a
    /// debugger to go back to.
    struct State;

    Calculator();
    ~Calculator();
    Calculator(const Calculator&) = delete;
    Calculator& operator=(const Calculator&) = delete;

    /// Puts `code` at 9327h and sets the machine up to start it, with an
    /// empty variable table and the program guarded from the stack.
    void start(const std::vector<std::uint8_t>& code, StartKind kind);

    /// Runs until the clock reaches `cycle`, the program returns, or a fault.
    RunState run(std::uint64_t cycle);
    RunState state() const { return state_; }
    /// The fault's message, naming the address (empty unless state() is fault).
    const std::string& faultMessage() const { return fault_; }
    std::uint64_t cycles() const { return cycles_; }
    /// Where the last instruction began: for a fault, the one that caused it.
    std::uint16_t lastInstruction() const { return lastPc_; }

    void pressKey(int key);
    void releaseKey(int key);

    // The machine as the system routines see it.
    std::uint8_t read(std::uint16_t address) const override { return memory_[address]; }
    void write(std::uint16_t address, std::uint8_t value) override;
    std::uint16_t reg(Reg which) const override;
    void setReg(Reg which, std::uint16_t value) override;
    void systemError(const std::string& message) override { fail(message); }
    void guardFromStack(std::uint16_t from, std::uint32_t to, const std::string& what) override;
    RoutineState& routineState() override { return routineState_; }
    /// Seeds the routines' random numbers and the R register (after start).
    void seedRandom(std::uint64_t seed);
    const RoutineState& routineState() const { return routineState_; }

    Lcd& lcd() override { return lcd_; }
    const Lcd& lcd() const override { return lcd_; }
    /// Whether the screen shows anything (off after the program powers down
    /// through port 3, until a key is pressed).
    bool screenPowered() const { return screenPowered_; }
    /// The 96 x 64 picture on the glass.
    bool shownPixel(int x, int y) const { return screenPowered_ && lcd_.shown(x, y); }

    /// The next key pressed since the last call (for _getcsc and _getkey); an
    /// arrow or Del held for half a second comes again 20 times a second.
    std::optional<int> takeKeyPress() override;
    /// Told of every system or Ion routine the program calls, before it runs.
    std::function<void(const Routine&)> routineObserver;

    // For a debugger. The marks are 64 KiB tables, one byte per address,
    // owned by the caller (nullptr: none). run() returns early, still
    // running, before an instruction whose address has a nonzero fetch mark
    // (a breakpoint), or after one that read or wrote memory whose access
    // mark has watchRead or watchWrite. Nothing changes in how the machine
    // runs: a run stopped and resumed goes exactly as one that was not.
    void setDebugMarks(const std::uint8_t* fetch, const std::uint8_t* access);
    void setStackObserver(StackObserver* observer) { stackObserver_ = observer; }
    /// Why the last run() returned (none: it reached its cycle or ended).
    DebugStop debugStop() const { return debugStop_; }
    /// The next instruction runs even though its address is marked (to go on
    /// from a breakpoint).
    void passFetchMark() { passFetchMark_ = true; }
    /// The first marked address the last instruction accessed, and whether it wrote.
    std::uint16_t accessAddress() const { return accessAddress_; }
    bool accessWasWrite() const { return accessWrite_; }
    FaultKind faultKind() const { return faultKind_; }
    /// AF', BC', DE', HL' for af, bc, de, hl.
    std::uint16_t shadowReg(Reg which) const;
    /// The last key a routine took from the keys pressed (-1: none yet).
    int lastKeyTaken() const { return lastKeyTaken_; }
    /// Whether the machine can be saved here (not halted, not inside a
    /// routine, not just after ei).
    bool canSave() const;
    State save() const;
    void restore(const State& state);

  private:
    struct CpuDeleter {
        void operator()(Z80EX_CONTEXT* cpu) const { z80ex_destroy(cpu); }
    };
    static Z80EX_BYTE readMemory(Z80EX_CONTEXT*, Z80EX_WORD address, int, void* self);
    static void writeMemory(Z80EX_CONTEXT*, Z80EX_WORD address, Z80EX_BYTE value, void* self);
    static Z80EX_BYTE readPort(Z80EX_CONTEXT*, Z80EX_WORD port, void* self);
    static void writePort(Z80EX_CONTEXT*, Z80EX_WORD port, Z80EX_BYTE value, void* self);
    static Z80EX_BYTE readInterruptVector(Z80EX_CONTEXT*, void*);

    std::uint8_t portIn(std::uint8_t port);
    void portOut(std::uint8_t port, std::uint8_t value);
    void push(std::uint16_t value);
    std::uint16_t pop();
    std::uint8_t fetchOpcode(std::uint16_t address);
    /// At an address below 8000h: carries out what lives there, or faults.
    /// true while the routine there waits (for a key).
    bool enterRom(std::uint16_t pc);
    void serviceInterrupt();
    /// Runs instructions until the clock reaches `stop` or something needs
    /// the run loop: a routine address, a halt, a fault, or (when asked) an ei.
    void executeUntil(std::uint64_t stop, bool stopAtEnable);
    /// false (and a fault) when SP has left for ROM, or a stack write has
    /// already faulted.
    bool checkStack();
    /// A write by the processor to a guarded address: a fault if it is the stack's.
    void guardedWrite(std::uint16_t address);
    void idleUntil(std::uint64_t cycle);
    void noteAccess(std::uint16_t address, bool write);
    void takeBackNop(std::uint16_t address);
    void passTimers();
    void fail(std::string message) { fail(FaultKind::calculatorError, std::move(message)); }
    void fail(FaultKind kind, std::string message);
    bool interruptsWanted() const;

    /// The machine as a keypad read found it, to recognise a loop that
    /// polls the keypad and changes nothing else.
    struct LoopMark {
        bool valid = false;
        std::uint16_t pc = 0;
        std::array<std::uint16_t, 14> registers{};
        std::uint8_t keypadMask = 0;
        std::uint64_t cycle = 0;
        std::uint64_t changes = 0;
        std::uint8_t refresh = 0;  ///< R, which counts opcode fetches
    };
    LoopMark markHere(std::uint16_t pc) const;
    void passIdleLoop(std::uint16_t pc);

    // Every field from here on is part of State (save and restore).
    std::array<std::uint8_t, 0x10000> memory_{};
    /// For each address: 0, or 1 + the index of the guarded region it lies in.
    std::array<std::uint8_t, 0x10000> guard_{};
    std::vector<std::string> guardNames_;
    std::unique_ptr<Z80EX_CONTEXT, CpuDeleter> cpu_;
    Lcd lcd_;
    Keypad keypad_;
    std::deque<int> keyPresses_;
    /// When a held arrow or Del next repeats.
    std::uint64_t repeatAt_ = 0;
    static constexpr std::uint64_t keyRepeatDelay = clockHz / 2;
    static constexpr std::uint64_t keyRepeatInterval = clockHz / 20;
    std::uint64_t cycles_ = 0;
    std::uint64_t nextTimer_ = timerPeriod;
    std::uint8_t interruptMask_ = 0x0B;
    bool timerPending_ = false;
    bool onKeyPending_ = false;
    bool onHeld_ = false;
    bool screenPowered_ = true;
    std::uint16_t lastPc_ = 0;  ///< where the last instruction began
    std::uint8_t fetched_ = 0;  ///< fetched* bits of the current instruction
    bool halted_ = false;
    bool atRom_ = false;  ///< the program counter is at romAddress_, below 8000h
    std::uint16_t romAddress_ = 0;
    std::uint64_t runTarget_ = 0;
    /// Counts everything that changes the machine besides the processor's
    /// registers: a memory byte written with a new value, a display access, a
    /// key, an interrupt, a system routine.
    std::uint64_t changes_ = 0;
    LoopMark loopMark_;
    RunState state_ = RunState::running;
    std::string fault_;
    RoutineState routineState_;
    FaultKind faultKind_ = FaultKind::calculatorError;
    int lastKeyTaken_ = -1;

    // The debugger's: not part of State.
    static const std::array<std::uint8_t, 0x10000> noMarks_;
    const std::uint8_t* fetchMarks_ = noMarks_.data();
    const std::uint8_t* accessMarks_ = noMarks_.data();
    StackObserver* stackObserver_ = nullptr;
    DebugStop debugStop_ = DebugStop::none;
    bool passFetchMark_ = false;
    std::uint16_t lastFetch_ = 0;
    /// The guard table as last saved, shared by the states that have it.
    mutable std::shared_ptr<const std::array<std::uint8_t, 0x10000>> savedGuard_;
    std::uint16_t accessAddress_ = 0;
    bool accessWrite_ = false;
};

struct Calculator::State {
    std::vector<std::uint8_t> ram;  ///< 8000h..FFFFh
    std::shared_ptr<const std::array<std::uint8_t, 0x10000>> guard;
    std::vector<std::string> guardNames;
    std::array<std::uint16_t, 18> registers{};
    Lcd lcd;
    Keypad keypad;
    std::deque<int> keyPresses;
    std::uint64_t repeatAt = 0, cycles = 0, nextTimer = 0, changes = 0;
    std::uint8_t interruptMask = 0;
    bool timerPending = false, onKeyPending = false, onHeld = false, screenPowered = false,
         halted = false, atRom = false;
    std::uint16_t lastPc = 0, romAddress = 0;
    LoopMark loopMark;
    RunState state = RunState::running;
    std::string fault;
    FaultKind faultKind = FaultKind::calculatorError;
    int lastKeyTaken = -1;
    RoutineState routineState;
    /// Bytes this state keeps, about.
    std::size_t size() const;
};

}  // namespace calcview
