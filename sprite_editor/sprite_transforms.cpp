// SPDX-License-Identifier: GPL-2.0-or-later
#include "sprite_transforms.hpp"

#include <array>

namespace pixelkin {

namespace {

/// Every transform fills each pixel (c, r) of the new region from one pixel of the old region;
/// a row says which, given the old region's width w and height h (all 1-based).
struct Position {
    int c;
    int r;
};

struct TransformRule {
    Transform transform;
    /// The region's width and height trade places, and nothing outside it survives.
    bool turns;
    /// The pixel's value is turned over on the way.
    bool inverts;
    Position (*source)(int c, int r, int w, int h);
};

constexpr std::array<TransformRule, 9> rules = {{
    {Transform::rotateClockwise, true, false,
     [](int c, int r, int, int h) {
         return Position{r, h + 1 - c};
     }},
    {Transform::rotateCounterClockwise, true, false,
     [](int c, int r, int w, int) {
         return Position{w + 1 - r, c};
     }},
    {Transform::flipLeftRight, false, false,
     [](int c, int r, int w, int) {
         return Position{w + 1 - c, r};
     }},
    {Transform::flipTopBottom, false, false,
     [](int c, int r, int, int h) {
         return Position{c, h + 1 - r};
     }},
    {Transform::shiftLeft, false, false,
     [](int c, int r, int w, int) {
         return Position{c % w + 1, r};
     }},
    {Transform::shiftRight, false, false,
     [](int c, int r, int w, int) {
         return Position{(c + w - 2) % w + 1, r};
     }},
    {Transform::shiftUp, false, false,
     [](int c, int r, int, int h) {
         return Position{c, r % h + 1};
     }},
    {Transform::shiftDown, false, false,
     [](int c, int r, int, int h) {
         return Position{c, (r + h - 2) % h + 1};
     }},
    {Transform::invert, false, true,
     [](int c, int r, int, int) {
         return Position{c, r};
     }},
}};

static_assert(
    [] {
        for (std::size_t index = 0; index < rules.size(); ++index) {
            if (static_cast<std::size_t>(rules[index].transform) != index) {
                return false;
            }
        }
        return true;
    }(),
    "the rules are listed in the order of Transform");

const TransformRule& ruleFor(Transform transform) {
    return rules[static_cast<std::size_t>(transform)];
}

}  // namespace

SpriteRecord transformed(const SpriteRecord& sprite, Transform transform) {
    const TransformRule& rule = ruleFor(transform);
    const int w = sprite.width;
    const int h = sprite.height;
    SpriteRecord result = sprite;
    if (rule.turns) {
        result.pixels = {};
        result.width = sprite.height;
        result.height = sprite.width;
    }
    for (int c = 1; c <= result.width; ++c) {
        for (int r = 1; r <= result.height; ++r) {
            const Position from = rule.source(c, r, w, h);
            const std::uint8_t value = sprite.pixel(from.c, from.r);
            result.pixels[c - 1][r - 1] = rule.inverts ? (value == 0 ? 1 : 0) : value;
        }
    }
    return result;
}

}  // namespace pixelkin
