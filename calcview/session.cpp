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
            return {Outcome::returned, {}};
        case RunState::fault:
            return {Outcome::fault, calc.faultMessage()};
        case RunState::running:
            break;
    }
    return {Outcome::timeLimit, {}};
}

RunReport runHeadless(Calculator& calc, const std::vector<KeyEvent>& timeline,
                      std::optional<std::uint64_t> limit) {
    const std::uint64_t end = limit.value_or(std::numeric_limits<std::uint64_t>::max());
    for (const KeyEvent& event : timeline) {
        if (event.cycle > end || calc.run(event.cycle) != RunState::running) break;
        if (event.down) {
            calc.pressKey(event.key);
        } else {
            calc.releaseKey(event.key);
        }
    }
    calc.run(end);
    return reportOf(calc);
}

}  // namespace calcview
