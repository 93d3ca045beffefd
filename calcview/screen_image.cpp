#include "screen_image.hpp"

#include "addresses.hpp"
#include "calculator.hpp"

namespace calcview {

std::vector<std::uint8_t> screenImage(const Calculator& calc, int scale) {
    const int width = screenWidth * scale;
    std::vector<std::uint8_t> image(static_cast<std::size_t>(width * screenHeight * scale) * 3);
    std::size_t at = 0;
    for (int y = 0; y < screenHeight * scale; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb colour = !calc.screenPowered() || !calc.lcd().isOn() ? lcdDark
                               : calc.shownPixel(x / scale, y / scale)     ? lcdInk
                                                                           : lcdBackground;
            image[at++] = colour.r;
            image[at++] = colour.g;
            image[at++] = colour.b;
        }
    }
    return image;
}

}  // namespace calcview
