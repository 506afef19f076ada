// The registry that moves every place the code view keeps in its text when
// text goes in or out.
#include "codeview/tracked_positions.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarlo {
namespace {

using Moved = TrackedPositions::Moved;
using Stick = TrackedPositions::Stick;

TEST(TrackedPositions, InsertionMovesWhatStandsAfterItAndAtItByItsStick) {
    TrackedPositions t;
    const auto before = t.Track(3, Stick::Right);
    const auto left = t.Track(5, Stick::Left);
    const auto right = t.Track(5, Stick::Right);
    const auto after = t.Track(9, Stick::Left);
    t.Inserted(5, 4);
    EXPECT_EQ(t.At(before), 3);
    EXPECT_EQ(t.LastMove(before), Moved::None);
    EXPECT_EQ(t.At(left), 5);
    EXPECT_EQ(t.LastMove(left), Moved::None);
    EXPECT_EQ(t.At(right), 9);
    EXPECT_EQ(t.LastMove(right), Moved::Shifted);
    EXPECT_EQ(t.At(after), 13);
    EXPECT_EQ(t.LastMove(after), Moved::Shifted);
    // A place set anew forgets how the last edit moved it; a released slot
    // is handed out again and moves no more for its old owner.
    t.Place(right, 2);
    EXPECT_EQ(t.LastMove(right), Moved::None);
    t.Untrack(after);
    const auto reused = t.Track(20, Stick::Left);
    EXPECT_EQ(reused, after);
    t.Inserted(0, 1);
    EXPECT_EQ(t.At(reused), 21);
    EXPECT_EQ(t.At(right), 3);
}

TEST(TrackedPositions, DeletionShiftsWhatFollowsAndSwallowsWhatItSpans) {
    TrackedPositions t;
    const auto before = t.Track(2, Stick::Right);
    const auto atStart = t.Track(4, Stick::Right);
    const auto inside = t.Track(6, Stick::Left);
    const auto atEnd = t.Track(8, Stick::Left);
    const auto after = t.Track(10, Stick::Right);
    t.Deleted(4, 4);  // [4, 8)
    EXPECT_EQ(t.At(before), 2);
    EXPECT_EQ(t.LastMove(before), Moved::None);
    EXPECT_EQ(t.At(atStart), 4);
    EXPECT_EQ(t.LastMove(atStart), Moved::None);
    EXPECT_EQ(t.At(inside), 4);
    EXPECT_EQ(t.LastMove(inside), Moved::Swallowed);
    EXPECT_EQ(t.At(atEnd), 4);
    EXPECT_EQ(t.LastMove(atEnd), Moved::Shifted);
    EXPECT_EQ(t.At(after), 6);
    EXPECT_EQ(t.LastMove(after), Moved::Shifted);
}

TEST(TrackedPositions, MarkedCharactersGoWithTheirCharacters) {
    TrackedPositions t;
    std::vector<int> marks = {2, 5, 9, 12};
    t.TrackCharacters(&marks);
    t.Inserted(5, 3);  // text typed right before a mark pushes it on
    EXPECT_EQ(marks, (std::vector<int>{2, 8, 12, 15}));
    t.Deleted(8, 5);  // [8, 13): the marks at 8 and 12 go, the one at 15 follows
    EXPECT_EQ(marks, (std::vector<int>{2, 10}));
    t.Deleted(0, 2);  // ends right before a mark: the mark stays, moved
    EXPECT_EQ(marks, (std::vector<int>{0, 8}));
    EXPECT_EQ(TrackedPositions::CharactersDeleted(marks, 0, 9), 2);
    EXPECT_TRUE(marks.empty());
}

}  // namespace
}  // namespace tarlo
