#include "sprite_set.hpp"

#include <algorithm>

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

void SpriteSet::setPixel(int c, int r) {
    SpriteRecord& sprite = currentRecord();
    if (sprite.isNeverDrawn()) {
        sprite.neverDrawn = 0;
        ++usedCount_;
    }
    sprite.pixels[c - 1][r - 1] = 1;
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
