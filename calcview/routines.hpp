// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The system routines and Ion routines the preview carries out, by address.
// Each one acts on the calculator the way the routine's documentation says
// (registers in, registers and memory out), then returns to its caller.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace calcview {

class Machine;

/// done: return to the caller; wait: not yet (the routine waits for a key),
/// call again later.
enum class RoutineResult { done, wait };

struct Routine {
    std::uint16_t address;
    std::string_view name;
    /// nullptr: a routine the calculator has but the preview does not carry out.
    RoutineResult (*run)(Machine&);
    /// Clock cycles it takes, about.
    int cycles;
    /// Said of it in the README's table (an address from one listing only).
    std::string_view note = {};
};

/// Where the Ion jump table at 91A7h leads: eight entries 3 bytes apart.
inline constexpr std::uint16_t ionRoutineBase = 0x3F00;
inline constexpr int ionRoutineCount = 8;

/// " (called from 1234h)": where the call to the running routine was, for
/// the messages of routines that end the run with the calculator's error.
std::string calledFrom(const Machine& calc);

/// The routine at that address, or nullptr.
const Routine* routineAt(std::uint16_t address);
std::span<const Routine> allRoutines();

}  // namespace calcview
