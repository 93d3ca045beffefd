// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "font8x8.hpp"

namespace pixelkin {

/// Width of the editor's canvas in pixels.
inline constexpr int canvasWidth = 320;
/// Height of the editor's canvas in pixels.
inline constexpr int canvasHeight = 480;

/// Palette numbers the editor draws with.
enum Colour : std::uint8_t {
    black = 0,
    blue = 1,
    green = 2,
    white = 15,
    gridBlack = 16,
    grey = 25,
};

/// How a rectangle is filled.
enum class FillStyle {
    /// Every pixel in the fill colour.
    solid,
    /// Rising diagonals 8 pixels apart: (x mod 8) + (y mod 8) = 7 in the fill colour, the rest
    /// in colour 0.
    lightSlash,
};

/// An axis-aligned rectangle with both corners included.
struct Rect {
    int x1 = 0;
    int y1 = 0;
    int x2 = -1;
    int y2 = -1;

    /// True when the rectangle holds no pixel.
    bool empty() const { return x2 < x1 || y2 < y1; }
    bool operator==(const Rect&) const = default;
};

/// The canvas as palette numbers, with the drawing operations the editor screen needs.
/// Drawing outside the canvas is clipped. Every write widens the changed area, which the
/// window reads to present only what may have changed.
class Framebuffer {
  public:
    /// A canvas of colour 0 with no changed area.
    Framebuffer();

    /// The palette number at (x, y); 0 outside the canvas.
    std::uint8_t at(int x, int y) const;
    /// The first pixel of row y; a row is canvasWidth bytes.
    const std::uint8_t* row(int y) const { return &pixels_[y * canvasWidth]; }

    /// Makes the whole canvas colour 0.
    void clear();
    /// Fills the rectangle (x1, y1)-(x2, y2), corners included, without outline.
    void fillRect(int x1, int y1, int x2, int y2, FillStyle style, std::uint8_t colour);
    /// Draws a one-pixel line from (x1, y1) to (x2, y2), both ends included.
    void drawLine(int x1, int y1, int x2, int y2, std::uint8_t colour);
    /// Draws `text` in the 8 x 8 font with its top-left corner at (x, y), painting only the
    /// glyphs' own pixels.
    void drawText(int x, int y, std::string_view text, std::uint8_t colour);

    /// The bounding box of every pixel written since the last call; empty when none was.
    Rect takeChangedArea();

  private:
    void plot(int x, int y, std::uint8_t colour);
    void drawGlyph(int x, int y, const Glyph& glyph, std::uint8_t colour);
    void widenChangedArea(int x1, int y1, int x2, int y2);

    std::array<std::uint8_t, canvasWidth * canvasHeight> pixels_{};
    Rect changed_{};
};

}  // namespace pixelkin
