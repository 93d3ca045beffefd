// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "sprite_set.hpp"

namespace pixelkin {

/// A change of a sprite's active region as a whole.
enum class Transform {
    /// A quarter turn clockwise: pixel (c, r) of a W x H region goes to (H + 1 - r, c).
    rotateClockwise,
    /// A quarter turn the other way: pixel (c, r) goes to (r, W + 1 - c).
    rotateCounterClockwise,
    flipLeftRight,
    flipTopBottom,
    /// Every column one to the left; the first becomes the last.
    shiftLeft,
    /// Every column one to the right; the last becomes the first.
    shiftRight,
    shiftUp,
    shiftDown,
    /// Set pixels become clear and clear ones set.
    invert,
};

/// `sprite` with `transform` applied to its active region. A turn swaps width and height and
/// clears every pixel outside the new region; the other transforms leave the pixels outside the
/// region as they are. The drawn-in flag and the filler byte are kept.
SpriteRecord transformed(const SpriteRecord& sprite, Transform transform);

}  // namespace pixelkin
