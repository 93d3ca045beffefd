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

class Calculator final : public Machine {
  public:
    /// Where the program returns to when it is done: an address in ROM where
    /// nothing else lives.
    static constexpr std::uint16_t returnAddress = 0x3FFC;
    /// The system's interrupt handler (interrupt mode 1 and `rst 38h`).
    static constexpr std::uint16_t interruptHandler = 0x0038;

    /// What the opcode fetches of one instruction met.
    static constexpr std::uint8_t fetchedAny = 0x01, fetchedStack = 0x02, fetchedHalt = 0x04,
                                  fetchedRom = 0x08, fetchedEnable = 0x10;

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
    void passTimers();
    void fail(std::string message);
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
    };
    LoopMark markHere(std::uint16_t pc) const;
    void passIdleLoop(std::uint16_t pc);

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
};

}  // namespace calcview
