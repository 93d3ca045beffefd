// SPDX-License-Identifier: GPL-2.0-or-later
#include "screen_image.hpp"

#include <algorithm>

#include "addresses.hpp"
#include "calculator.hpp"

namespace calcview {

namespace {

/// The contrast the calculator starts with: ink and background as named.
constexpr double normalContrast = 0x2F;
constexpr double highestContrast = 0x3F;
/// How far the background darkens towards the ink at the highest contrast.
constexpr double darkestBackground = 0.7;

Rgb mix(Rgb from, Rgb to, double share) {
    const auto channel = [&](std::uint8_t a, std::uint8_t b) {
        return static_cast<std::uint8_t>(a + (b - a) * share + 0.5);
    };
    return {channel(from.r, to.r), channel(from.g, to.g), channel(from.b, to.b)};
}

}  // namespace

std::vector<std::uint8_t> screenImage(const Calculator& calc, int scale) {
    // Lower contrast fades the ink into the background; higher darkens both.
    const double contrast = calc.lcd().contrast();
    const Rgb ink = mix(lcdBackground, lcdInk, std::min(1.0, contrast / normalContrast));
    const Rgb background =
        mix(lcdBackground, lcdInk,
            std::max(0.0, (contrast - normalContrast) / (highestContrast - normalContrast)) *
                darkestBackground);
    const int width = screenWidth * scale;
    std::vector<std::uint8_t> image(static_cast<std::size_t>(width * screenHeight * scale) * 3);
    std::size_t at = 0;
    for (int y = 0; y < screenHeight * scale; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb colour = !calc.screenPowered() || !calc.lcd().isOn() ? lcdDark
                               : calc.shownPixel(x / scale, y / scale)     ? ink
                                                                           : background;
            image[at++] = colour.r;
            image[at++] = colour.g;
            image[at++] = colour.b;
        }
    }
    return image;
}

}  // namespace calcview
