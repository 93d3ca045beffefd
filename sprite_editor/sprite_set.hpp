// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace pixelkin {

enum class Transform;

/// Number of sprites in a set; sprites are numbered 1 to spriteCount.
inline constexpr int spriteCount = 50;
/// Columns and rows of a sprite's pixel grid; columns and rows are numbered 1 to gridSize.
inline constexpr int gridSize = 16;
/// Width and height of the active region of a new sprite.
inline constexpr int startSize = 8;

/// One sprite: a 16 x 16 grid of pixels of which the top-left width x height region is the
/// sprite proper. Pixels outside that region keep their values.
struct SpriteRecord {
    /// Pixel bytes indexed [column - 1][row - 1]: 0 clear, 1 set. A loaded file may hold other
    /// values; any value other than 0 counts as set.
    std::array<std::array<std::uint8_t, gridSize>, gridSize> pixels{};
    /// Columns in the active region, 1 to 16.
    std::int16_t width = startSize;
    /// Rows in the active region, 1 to 16.
    std::int16_t height = startSize;
    /// 1 while no pixel of this sprite was ever set with the drawing button, 0 after; any value
    /// other than 0 counts as true.
    std::uint8_t neverDrawn = 1;
    /// Carries no meaning; kept as loaded so that a file round-trips unchanged.
    std::uint8_t filler = 0;

    /// The pixel byte at column c and row r, both 1-based.
    std::uint8_t pixel(int c, int r) const { return pixels[c - 1][r - 1]; }
    /// True when the pixel at column c and row r (1-based) is set.
    bool isSet(int c, int r) const { return pixel(c, r) != 0; }
    /// True when column c and row r (1-based) lie in the active region.
    bool isInside(int c, int r) const { return c <= width && r <= height; }
    /// True when the sprite was never drawn in.
    bool isNeverDrawn() const { return neverDrawn != 0; }
    /// True when any of the 256 pixels is set.
    bool hasSetPixel() const;

    bool operator==(const SpriteRecord&) const = default;
};

/// The 50 records of a set, numbered 1 to 50 (index 0 holds sprite 1).
using SpriteRecords = std::array<SpriteRecord, spriteCount>;

/// The editor's sprite set with its current sprite and the count of sprites drawn in.
///
/// Every operation acts on the current sprite. The invariant usedCount() == number of records
/// whose neverDrawn is false holds after every operation.
class SpriteSet {
  public:
    /// A set in its start state: all sprites clear, 8 x 8, never drawn; sprite 1 current.
    SpriteSet() = default;

    /// The record of sprite `number` (1 to 50).
    const SpriteRecord& record(int number) const { return spriteSet_[number - 1]; }
    /// All 50 records in order.
    const SpriteRecords& records() const { return spriteSet_; }
    /// The record of the current sprite.
    const SpriteRecord& current() const { return record(currentSprite_); }
    /// Number of the sprite shown and edited, 1 to 50.
    int currentSprite() const { return currentSprite_; }
    /// Number of records that were drawn in, 0 to 50.
    int usedCount() const { return usedCount_; }
    /// Number of the last sprite that was drawn in, 0 when none was.
    int highestDrawn() const;

    /// Sets pixel (c, r), 1-based, anywhere in the grid; counts the sprite as drawn in.
    void setPixel(int c, int r);
    /// Clears pixel (c, r), 1-based; the sprite stays counted as drawn in if it was.
    void clearPixel(int c, int r);
    /// Clears all 256 pixels; size and drawn state stay.
    void clearSprite();
    /// Makes the next sprite current; after 50 comes 1.
    void nextSprite();
    /// Makes the previous sprite current; before 1 comes 50.
    void previousSprite();
    /// Width minus one, unless it is 1 already.
    void narrower();
    /// Width plus one, unless it is 16 already.
    void wider();
    /// Height minus one, unless it is 1 already.
    void shorter();
    /// Height plus one, unless it is 16 already.
    void taller();
    /// Turns, flips, shifts or inverts the active region; a sprite left with a set pixel counts
    /// as drawn in.
    void transformCurrent(Transform transform);
    /// Gives the current sprite the pixels and size of `copied`. It counts as drawn in when it
    /// was already, when `copied` was, or when it now has a set pixel.
    void pasteIntoCurrent(const SpriteRecord& copied);
    /// Gives every sprite the pixels and size of its record in `pictures`, each counted as drawn
    /// in as pasteIntoCurrent counts it; the current sprite keeps its number.
    void pasteAll(const SpriteRecords& pictures);
    /// Replaces all 50 records; the current sprite keeps its number and usedCount() is
    /// recounted.
    void replaceRecords(const SpriteRecords& records);
    /// Makes sprite `number` (1 to 50) current.
    void selectSprite(int number) { currentSprite_ = number; }
    /// Swaps `records` with the set's records from sprite `first` on, so that calling it again
    /// swaps them back; usedCount() is recounted.
    void exchangeRecords(int first, std::span<SpriteRecord> records);

  private:
    void recountUsed();
    /// Counts the current sprite as drawn in when `drawn` holds.
    void markDrawnIf(bool drawn);
    SpriteRecord& currentRecord() { return spriteSet_[currentSprite_ - 1]; }

    SpriteRecords spriteSet_{};
    int currentSprite_ = 1;
    int usedCount_ = 0;
};

}  // namespace pixelkin
