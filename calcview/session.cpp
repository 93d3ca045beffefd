// SPDX-License-Identifier: GPL-2.0-or-later
#include "session.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace calcview {

std::uint64_t cyclesIn(double seconds) {
    return static_cast<std::uint64_t>(std::llround(seconds * static_cast<double>(clockHz)));
}

RunReport reportOf(const Calculator& calc) {
    switch (calc.state()) {
        case RunState::returned:
            return {Outcome::returned, {}, {}};
        case RunState::fault:
            return {Outcome::fault, calc.faultMessage(), {}};
        case RunState::running:
            break;
    }
    return {Outcome::timeLimit, {}, {}};
}

RunReport runHeadless(Calculator& calc, const std::vector<KeyEvent>& timeline,
                      std::optional<std::uint64_t> limit,
                      const std::function<bool()>& stopRequested) {
    constexpr std::uint64_t slice = clockHz / 10;
    const std::uint64_t end = limit.value_or(std::numeric_limits<std::uint64_t>::max());
    auto next = timeline.begin();
    while (calc.state() == RunState::running && calc.cycles() < end) {
        if (stopRequested && stopRequested()) return {Outcome::interrupted, {}, {}};
        const std::uint64_t sliceEnd = std::min(end, calc.cycles() + slice);
        for (; next != timeline.end() && next->cycle <= sliceEnd; ++next) {
            if (calc.run(next->cycle) != RunState::running) break;
            if (next->down) {
                calc.pressKey(next->key);
            } else {
                calc.releaseKey(next->key);
            }
        }
        calc.run(sliceEnd);
    }
    return reportOf(calc);
}

}  // namespace calcview
