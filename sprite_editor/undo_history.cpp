// SPDX-License-Identifier: GPL-2.0-or-later
#include "undo_history.hpp"

#include <algorithm>
#include <span>
#include <utility>

namespace pixelkin {

namespace {

std::span<const SpriteRecord> recordsOf(const SpriteSet& set, int first, std::size_t count) {
    return std::span<const SpriteRecord>(set.records()).subspan(first - 1, count);
}

int exchange(SpriteSet& set, UndoStep& step) {
    set.exchangeRecords(step.firstSprite, step.records);
    return step.shownSprite;
}

}  // namespace

UndoStep UndoHistory::snapshot(const SpriteSet& set, int first, int count) {
    const auto records = recordsOf(set, first, count);
    return UndoStep{set.currentSprite(), first, {records.begin(), records.end()}};
}

bool UndoHistory::recordIfChanged(const SpriteSet& set, UndoStep before) {
    if (std::ranges::equal(before.records,
                           recordsOf(set, before.firstSprite, before.records.size()))) {
        return false;
    }
    steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(position_), steps_.end());
    steps_.push_back(std::move(before));
    if (steps_.size() > capacity) {
        steps_.pop_front();
    }
    position_ = steps_.size();
    return true;
}

std::optional<int> UndoHistory::undo(SpriteSet& set) {
    if (position_ == 0) {
        return std::nullopt;
    }
    --position_;
    return exchange(set, steps_[position_]);
}

std::optional<int> UndoHistory::redo(SpriteSet& set) {
    if (position_ == steps_.size()) {
        return std::nullopt;
    }
    return exchange(set, steps_[position_++]);
}

}  // namespace pixelkin
