// SPDX-License-Identifier: GPL-2.0-or-later
#include "framebuffer.hpp"

#include <algorithm>
#include <cstdlib>

#include "font8x8.hpp"

namespace pixelkin {

namespace {

bool onCanvas(int x, int y) { return x >= 0 && x < canvasWidth && y >= 0 && y < canvasHeight; }

bool onLightSlash(int x, int y) { return (x % 8) + (y % 8) == 7; }

}  // namespace

Framebuffer::Framebuffer() = default;

std::uint8_t Framebuffer::at(int x, int y) const {
    return onCanvas(x, y) ? pixels_[y * canvasWidth + x] : std::uint8_t{0};
}

void Framebuffer::clear() {
    fillRect(0, 0, canvasWidth - 1, canvasHeight - 1, FillStyle::solid, 0);
}

void Framebuffer::fillRect(int x1, int y1, int x2, int y2, FillStyle style, std::uint8_t colour) {
    const int left = std::max(std::min(x1, x2), 0);
    const int right = std::min(std::max(x1, x2), canvasWidth - 1);
    const int top = std::max(std::min(y1, y2), 0);
    const int bottom = std::min(std::max(y1, y2), canvasHeight - 1);
    if (left > right || top > bottom) {
        return;
    }
    for (int y = top; y <= bottom; ++y) {
        std::uint8_t* line = &pixels_[y * canvasWidth];
        if (style == FillStyle::solid) {
            std::fill(line + left, line + right + 1, colour);
            continue;
        }
        for (int x = left; x <= right; ++x) {
            line[x] = onLightSlash(x, y) ? colour : std::uint8_t{0};
        }
    }
    widenChangedArea(left, top, right, bottom);
}

void Framebuffer::drawLine(int x1, int y1, int x2, int y2, std::uint8_t colour) {
    if (x1 == x2 || y1 == y2) {
        fillRect(x1, y1, x2, y2, FillStyle::solid, colour);  // the grid's lines, quickly
        return;
    }
    // Bresenham's line, stepping along the longer axis.
    const int dx = std::abs(x2 - x1);
    const int dy = -std::abs(y2 - y1);
    const int stepX = x1 < x2 ? 1 : -1;
    const int stepY = y1 < y2 ? 1 : -1;
    int error = dx + dy;
    int x = x1;
    int y = y1;
    while (true) {
        plot(x, y, colour);
        if (x == x2 && y == y2) {
            break;
        }
        const int doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x += stepX;
        }
        if (doubled <= dx) {
            error += dx;
            y += stepY;
        }
    }
}

void Framebuffer::drawText(int x, int y, std::string_view text, std::uint8_t colour) {
    for (const char character : text) {
        drawGlyph(x, y, glyphFor(character), colour);
        x += glyphSize;
    }
}

Rect Framebuffer::takeChangedArea() {
    const Rect area = changed_;
    changed_ = Rect{};
    return area;
}

void Framebuffer::drawGlyph(int x, int y, const Glyph& glyph, std::uint8_t colour) {
    bool painted = false;
    for (int row = 0; row < glyphSize; ++row) {
        for (int column = 0; column < glyphSize; ++column) {
            if (glyphPixel(glyph, column, row) && onCanvas(x + column, y + row)) {
                pixels_[(y + row) * canvasWidth + x + column] = colour;
                painted = true;
            }
        }
    }
    if (painted) {
        widenChangedArea(std::max(x, 0), std::max(y, 0),
                         std::min(x + glyphSize - 1, canvasWidth - 1),
                         std::min(y + glyphSize - 1, canvasHeight - 1));
    }
}

void Framebuffer::plot(int x, int y, std::uint8_t colour) {
    if (onCanvas(x, y)) {
        pixels_[y * canvasWidth + x] = colour;
        widenChangedArea(x, y, x, y);
    }
}

void Framebuffer::widenChangedArea(int x1, int y1, int x2, int y2) {
    if (changed_.empty()) {
        changed_ = Rect{x1, y1, x2, y2};
        return;
    }
    changed_.x1 = std::min(changed_.x1, x1);
    changed_.y1 = std::min(changed_.y1, y1);
    changed_.x2 = std::max(changed_.x2, x2);
    changed_.y2 = std::max(changed_.y2, y2);
}

}  // namespace pixelkin
