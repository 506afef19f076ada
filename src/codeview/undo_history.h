#pragma once
// The code window's undo history: up to 51 snapshots (slots 0 to 50) of the
// code view's text with the colour and size of every character. Snapshots
// share what did not change: each slot is kept as the difference from its
// neighbour, and only the slot the view stands on is held whole, so a long
// history of small edits to a large filing costs little more than the filing.
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/editor_state.h"

namespace tarlo {

// A stretch of text in one colour and size (bytes of UTF-8).
struct LookRun {
    int start;
    int length;
    WinColor colour;
    double pointSize;
};

struct UndoSnapshot {
    std::string text;
    std::vector<LookRun> runs;
    // Where this snapshot differs from the one the view showed before: the
    // caret goes there after undo or redo.
    std::size_t changedAt = 0;
};

class UndoHistory {
  public:
    static constexpr int kLastSlot = 50;

    // Stores the view's content in the next slot, shifting the history down
    // when it is full. Snapshots beyond the current slot (undone steps) are
    // dropped: redo never returns to a branch the user has left.
    void Record(std::string_view text, const std::vector<LookRun>& runs);

    // The snapshot to load, or nothing when there is no step to go.
    std::optional<UndoSnapshot> Undo();
    std::optional<UndoSnapshot> Redo();

    // The slot the view currently corresponds to, and the newest recorded slot.
    int UndoIndex() const { return index_; }
    int NewestSlot() const { return static_cast<int>(deltas_.size()); }

    // Bytes of text and colours the history holds.
    std::size_t MemoryBytes() const;

  private:
    // How slot i becomes slot i + 1: the middles of the two that differ, after
    // their common beginning, for the text and for the encoded runs.
    struct Part {
        std::size_t prefix = 0;
        std::string before;
        std::string after;
    };
    struct Delta {
        Part text;
        Part runs;
    };

    static Part Diff(const std::string& from, std::string_view to);
    static void Apply(std::string& s, const Part& p, bool forward);
    std::string Encode(const std::vector<LookRun>& runs);
    UndoSnapshot Current(std::size_t changedAt) const;

    struct Look {
        WinColor colour;
        double pointSize;
    };
    std::vector<Look> looks_;  // every look any snapshot used, by number
    std::string text_;         // the current slot, whole
    std::string runs_;         // its runs: (length, look number) as varints
    std::deque<Delta> deltas_;
    int index_ = 0;
};

}  // namespace tarlo
