// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One run of a program: the calculator, the keys pressed at their times, and
// the time limit, without a window. The window drives the same pieces at the
// calculator's own speed.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "calculator.hpp"
#include "key_script.hpp"
#include "program_file.hpp"

namespace calcview {

/// How a run ended; the values are the program's exit statuses (130 as for
/// a program ended by Ctrl+C).
enum class Outcome { returned = 0, fault = 1, timeLimit = 3, interrupted = 130 };

struct RunReport {
    Outcome outcome = Outcome::returned;
    std::string message;  ///< for a fault: what happened and where
    /// For a fault: "FILE.p83:N: line" of its instruction, when that is known.
    std::string sourceLine;
};

/// Clock cycles in `seconds` of calculator time.
std::uint64_t cyclesIn(double seconds);

/// Presses the keys of `timeline` at their cycles while `calc` runs, until the
/// program ends, the clock reaches `limit` (no limit when nullopt), or
/// `stopRequested` (asked between slices of a tenth of a second) says so.
RunReport runHeadless(Calculator& calc, const std::vector<KeyEvent>& timeline,
                      std::optional<std::uint64_t> limit,
                      const std::function<bool()>& stopRequested = nullptr);

/// The report for a calculator whose run has stopped (or reached its limit).
RunReport reportOf(const Calculator& calc);

}  // namespace calcview
