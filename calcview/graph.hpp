// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Drawing on the graph screen: the graph buffer at PLOTSSCREEN (64 rows of 12
// bytes, bit 7 = leftmost pixel) and the display. The system's graph routines
// take graph coordinates: x from the left, y from the bottom, so that the
// pixel (x, y) is column x of display row 63 - y.

#include <cstdint>

namespace calcview {

class Machine;

enum class PlotMode : std::uint8_t { off = 0, on = 1, invert = 2 };

/// Where a graph routine draws: the buffer, and the display unless the
/// system flag plotLoc says buffer only.
struct PlotTarget {
    bool buffer = true;
    bool display = true;
};
PlotTarget plotTarget(const Machine& calc);

/// One pixel at display column x, row `row`; nothing outside the screen.
void plotPixel(Machine& calc, int x, int row, PlotMode mode, PlotTarget target);
bool bufferPixel(const Machine& calc, int x, int row);
/// The address of the graph-buffer byte holding (x, row), and its bit mask.
std::uint16_t bufferAddress(int x, int row);
std::uint8_t bufferMask(int x);

void drawLine(Machine& calc, int x1, int y1, int x2, int y2, PlotMode mode);
void drawCircle(Machine& calc, int centreX, int centreY, int radius);
void copyBufferToDisplay(Machine& calc);
void clearBuffer(Machine& calc);
/// XORs a sprite `widthBytes` bytes wide and `height` rows high, its rows at
/// `data`, into the graph buffer with its top left pixel at (x, row). Like
/// Ion's routines it does not clip: the bytes land where the address
/// arithmetic puts them.
void xorSprite(Machine& calc, int x, int row, int widthBytes, int height, std::uint16_t data);

}  // namespace calcview
