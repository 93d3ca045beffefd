// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The machine as the system routines see it: memory, registers and flags,
// the display controller, the keys pressed, a way to fail with the
// calculator's error, and the little state the routines keep between calls.
// The calculator implements it; the routine handlers, a debugger and tests
// work through it, and none of them needs the processor emulator behind it.

#include <cstdint>
#include <optional>
#include <string>

namespace calcview {

class Lcd;

/// The register pairs the system routines read and write.
enum class Reg { af, bc, de, hl, ix, iy, sp, pc };

/// What the routines remember between calls.
struct RoutineState {
    /// The busy indicator in the top right corner (_RunIndicOn/Off).
    bool runIndicator = false;
    /// ionRandom's state.
    std::uint16_t randomState = 0x5A3C;
    /// For _Random's 14-digit numbers.
    std::uint64_t realRandomState = 0x2545F4914F6CDD1DULL;

    /// Both generators from one seed (the values above are a headless run's,
    /// repeatable; a window run seeds them from the clock).
    void seed(std::uint64_t value) {
        // splitmix64 spreads nearby seeds apart.
        std::uint64_t mixed = value + 0x9E3779B97F4A7C15ULL;
        mixed = (mixed ^ mixed >> 30) * 0xBF58476D1CE4E5B9ULL;
        mixed = (mixed ^ mixed >> 27) * 0x94D049BB133111EBULL;
        mixed ^= mixed >> 31;
        realRandomState = mixed;
        randomState = static_cast<std::uint16_t>(mixed >> 48);
    }
};

class Machine {
  public:
    virtual ~Machine() = default;

    virtual std::uint8_t read(std::uint16_t address) const = 0;
    /// Writes below 8000h (ROM) are ignored.
    virtual void write(std::uint16_t address, std::uint8_t value) = 0;
    virtual std::uint16_t reg(Reg which) const = 0;
    virtual void setReg(Reg which, std::uint16_t value) = 0;

    virtual Lcd& lcd() = 0;
    virtual const Lcd& lcd() const = 0;
    /// The next key pressed since the last call (for _getcsc and _getkey).
    virtual std::optional<int> takeKeyPress() = 0;
    /// A system routine met what the calculator answers with an error screen
    /// (ERR:OVERFLOW, ...): the run ends with a fault naming it.
    virtual void systemError(const std::string& message) = 0;
    /// Guards [from, to) from stack writes; a push there ends the run with a
    /// fault that says the stack ran into `what`.
    virtual void guardFromStack(std::uint16_t from, std::uint32_t to, const std::string& what) = 0;

    virtual RoutineState& routineState() = 0;

    std::uint16_t readWord(std::uint16_t address) const {
        return static_cast<std::uint16_t>(read(address) |
                                          read(static_cast<std::uint16_t>(address + 1)) << 8);
    }
    void writeWord(std::uint16_t address, std::uint16_t value) {
        write(address, static_cast<std::uint8_t>(value));
        write(static_cast<std::uint16_t>(address + 1), static_cast<std::uint8_t>(value >> 8));
    }
    std::uint8_t a() const { return static_cast<std::uint8_t>(reg(Reg::af) >> 8); }
    void setA(std::uint8_t value) {
        setReg(Reg::af, static_cast<std::uint16_t>(value << 8 | (reg(Reg::af) & 0xFF)));
    }
    /// Sets or clears flag bits of F (0x01 carry, 0x40 zero).
    void setFlag(std::uint8_t bits, bool on) {
        const std::uint16_t af = reg(Reg::af);
        setReg(Reg::af, static_cast<std::uint16_t>(on ? af | bits : af & ~bits));
    }
    /// Bit `bit` of the system flag byte at IY + offset.
    bool systemFlag(int offset, int bit) const {
        return (read(static_cast<std::uint16_t>(reg(Reg::iy) + offset)) >> bit & 1) != 0;
    }
};

}  // namespace calcview
