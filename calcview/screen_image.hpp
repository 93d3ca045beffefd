// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The calculator's screen as a picture in the LCD's colours.

#include <cstdint>
#include <vector>

namespace calcview {

class Calculator;

struct Rgb {
    std::uint8_t r, g, b;
};
inline constexpr Rgb lcdBackground{0xA8, 0xB5, 0x94};  ///< a pixel that is off
inline constexpr Rgb lcdInk{0x1C, 0x24, 0x1E};         ///< a pixel that is on
inline constexpr Rgb lcdDark{0x6E, 0x78, 0x60};        ///< the glass while the screen is off

/// Rows of `scale` x 96 pixels, three bytes (R, G, B) each, 64 x `scale` rows.
std::vector<std::uint8_t> screenImage(const Calculator& calc, int scale);

}  // namespace calcview
