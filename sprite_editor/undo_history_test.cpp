// SPDX-License-Identifier: GPL-2.0-or-later
#include "undo_history.hpp"

#include <gtest/gtest.h>

namespace pixelkin {
namespace {

TEST(UndoHistoryTest, KeepsTheNewestStepsUpToItsCapacity) {
    SpriteSet set;
    UndoHistory history;
    const std::size_t steps = UndoHistory::capacity + 88;
    for (std::size_t step = 0; step < steps; ++step) {
        UndoStep before = UndoHistory::snapshot(set, 1, 1);
        step % 2 == 0 ? set.wider() : set.narrower();
        EXPECT_TRUE(history.recordIfChanged(set, std::move(before)));
    }
    EXPECT_GE(UndoHistory::capacity, 256u);
    EXPECT_EQ(history.undoable(), UndoHistory::capacity);
    while (history.undo(set)) {
    }
    EXPECT_EQ(history.redoable(), UndoHistory::capacity);
    EXPECT_EQ(set.current().width, 8) << "back to the state after the 88 dropped steps";
}

TEST(UndoHistoryTest, AStepThatChangedNothingIsNotKept) {
    SpriteSet set;
    UndoHistory history;
    set.narrower();
    EXPECT_FALSE(history.recordIfChanged(set, UndoHistory::snapshot(set, 1, spriteCount)));
    EXPECT_FALSE(history.undo(set));
}

}  // namespace
}  // namespace pixelkin
