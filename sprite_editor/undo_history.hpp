// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <vector>

#include "sprite_set.hpp"

namespace pixelkin {

/// One change to the set that can be undone: the records it touched, as they were on the other
/// side of the change. Undoing swaps them with the set's records, which turns the step into its
/// redo, and back.
struct UndoStep {
    /// The sprite shown when the change was made; undo and redo show it again.
    int shownSprite = 1;
    /// Number of the first sprite in `records`.
    int firstSprite = 1;
    /// One record for an edit of one sprite, all 50 for a Load.
    std::vector<SpriteRecord> records;
};

/// The changes made to a set, in order, with a position between those that can be undone and
/// those that can be redone. Holds at most `capacity` steps, dropping the oldest first, so its
/// memory stays bounded: about 262 bytes a step, 13 KB for a Load.
class UndoHistory {
  public:
    static constexpr std::size_t capacity = 512;

    /// The records of `set` from sprite `first` on, `count` of them, before a change.
    static UndoStep snapshot(const SpriteSet& set, int first, int count);

    /// Keeps `before` as the newest step when the set now differs from it in those records, and
    /// forgets every step that could be redone. Returns whether it kept the step.
    bool recordIfChanged(const SpriteSet& set, UndoStep before);
    /// Undoes the newest change still in effect; returns the sprite to show, or nothing when
    /// there is nothing to undo.
    std::optional<int> undo(SpriteSet& set);
    /// Redoes the change undone last; returns the sprite to show, or nothing.
    std::optional<int> redo(SpriteSet& set);

    /// Number of steps that can be undone.
    std::size_t undoable() const { return position_; }
    /// Number of steps that can be redone.
    std::size_t redoable() const { return steps_.size() - position_; }

  private:
    std::deque<UndoStep> steps_;
    /// Steps before this index are in effect; those from it on were undone.
    std::size_t position_ = 0;
};

}  // namespace pixelkin
