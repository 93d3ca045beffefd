// SPDX-License-Identifier: GPL-2.0-or-later
#include "sprite_set.hpp"

#include <algorithm>

#include "sprite_transforms.hpp"

namespace pixelkin {

namespace {

/// Steps a size by delta when the result stays within 1 to 16.
void stepSize(std::int16_t& size, int delta) {
    const int stepped = size + delta;
    if (stepped >= 1 && stepped <= gridSize) {
        size = static_cast<std::int16_t>(stepped);
    }
}

}  // namespace

bool SpriteRecord::hasSetPixel() const {
    return std::ranges::any_of(pixels, [](const auto& column) {
        return std::ranges::any_of(column, [](std::uint8_t value) { return value != 0; });
    });
}

int SpriteSet::highestDrawn() const {
    const auto last = std::find_if(spriteSet_.rbegin(), spriteSet_.rend(),
                                   [](const auto& sprite) { return !sprite.isNeverDrawn(); });
    return static_cast<int>(spriteSet_.rend() - last);
}

void SpriteSet::setPixel(int c, int r) {
    markDrawnIf(true);
    currentRecord().pixels[c - 1][r - 1] = 1;
}

void SpriteSet::clearPixel(int c, int r) { currentRecord().pixels[c - 1][r - 1] = 0; }

void SpriteSet::clearSprite() {
    for (auto& column : currentRecord().pixels) {
        column.fill(0);
    }
}

void SpriteSet::nextSprite() { currentSprite_ = currentSprite_ % spriteCount + 1; }

void SpriteSet::previousSprite() {
    currentSprite_ = (currentSprite_ + spriteCount - 2) % spriteCount + 1;
}

void SpriteSet::narrower() { stepSize(currentRecord().width, -1); }
void SpriteSet::wider() { stepSize(currentRecord().width, +1); }
void SpriteSet::shorter() { stepSize(currentRecord().height, -1); }
void SpriteSet::taller() { stepSize(currentRecord().height, +1); }

void SpriteSet::transformCurrent(Transform transform) {
    currentRecord() = transformed(current(), transform);
    markDrawnIf(current().hasSetPixel());
}

void SpriteSet::pasteIntoCurrent(const SpriteRecord& copied) {
    SpriteRecord& sprite = currentRecord();
    sprite.pixels = copied.pixels;
    sprite.width = copied.width;
    sprite.height = copied.height;
    markDrawnIf(!copied.isNeverDrawn() || sprite.hasSetPixel());
}

void SpriteSet::pasteAll(const SpriteRecords& pictures) {
    const int shown = currentSprite_;
    for (int number = 1; number <= spriteCount; ++number) {
        currentSprite_ = number;
        pasteIntoCurrent(pictures[static_cast<std::size_t>(number - 1)]);
    }
    currentSprite_ = shown;
}

void SpriteSet::markDrawnIf(bool drawn) {
    SpriteRecord& sprite = currentRecord();
    if (drawn && sprite.isNeverDrawn()) {
        sprite.neverDrawn = 0;
        ++usedCount_;
    }
}

void SpriteSet::replaceRecords(const SpriteRecords& records) {
    spriteSet_ = records;
    recountUsed();
}

void SpriteSet::exchangeRecords(int first, std::span<SpriteRecord> records) {
    std::swap_ranges(records.begin(), records.end(), spriteSet_.begin() + (first - 1));
    recountUsed();
}

void SpriteSet::recountUsed() {
    usedCount_ = static_cast<int>(
        std::count_if(spriteSet_.begin(), spriteSet_.end(),
                      [](const SpriteRecord& sprite) { return !sprite.isNeverDrawn(); }));
}

}  // namespace pixelkin
