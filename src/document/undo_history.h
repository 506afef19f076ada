#pragma once
// The code window's undo history: up to 51 snapshots (slots 0 to 50) of the
// code view's text with the colour and size of every character. Snapshots
// share what did not change: only the slot the view stands on is held whole
// (its text and one look number per byte); every other slot is kept as the
// stretch in which it differs from its neighbour. Recording a change costs
// the size of the change when the caller says where it lies, so typing into
// a large filing stays quick.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/byte_range.h"

namespace tarlo {

struct UndoSnapshot {
    std::string text;
    std::vector<StyleRun> runs;
};

// What undo or redo does to the view: the `removed` bytes at `start` give way
// to `text`, whose looks are `runs` (document offsets). Everything outside
// the stretch is already as the snapshot has it.
struct UndoStep {
    std::size_t start = 0;
    std::size_t removed = 0;
    std::string text;
    std::vector<StyleRun> runs;
};

class UndoHistory {
  public:
    static constexpr int kLastSlot = 50;

    // Stores the view's whole content in the next slot, shifting the history
    // down when it is full. Snapshots beyond the current slot (undone steps)
    // are dropped: redo never returns to a branch the user has left.
    void Record(std::string_view text, const std::vector<StyleRun>& runs);

    // The same when the view changed only in [start, end) of its new text of
    // `newLength` bytes: `middle` is that stretch's text and `runs` its looks
    // (document offsets). False, with nothing recorded, when the stretch does
    // not fit the current slot; the caller then records the whole content.
    bool RecordSpan(std::size_t start, std::size_t end, std::size_t newLength,
                    std::string_view middle, const std::vector<StyleRun>& runs);

    // A history of its own for another document: the view's whole content is
    // its first slot, and undo never goes back past it.
    void Begin(std::string_view text, const std::vector<StyleRun>& runs);

    // The step that loads the previous or next slot, or nothing when there is
    // no step to go.
    std::optional<UndoStep> Undo();
    std::optional<UndoStep> Redo();

    // The slot the view currently corresponds to, whole.
    UndoSnapshot Current() const;
    std::size_t CurrentLength() const { return text_.size(); }

    // The slot the view currently corresponds to, and the newest recorded slot.
    int UndoIndex() const { return index_; }
    int NewestSlot() const { return static_cast<int>(deltas_.size()); }

    // Bytes of text and colours the history holds.
    std::size_t MemoryBytes() const;

  private:
    // How slot i becomes slot i + 1: the middles of text and of looks that
    // differ, each after its common beginning (looks as (length, number)
    // varint pairs).
    struct Delta {
        std::size_t textPrefix = 0;
        std::string beforeText;
        std::string afterText;
        // Looks often move with the text but may change apart from it (a
        // colour pass), so their middle is found on its own.
        std::size_t looksPrefix = 0;
        std::size_t beforeLooksSize = 0;
        std::size_t afterLooksSize = 0;
        std::string beforeLooks;
        std::string afterLooks;
    };
    struct Look {
        WinColor colour;
        double pointSize;
    };

    int Find(WinColor colour, double pointSize) const;
    // The look number of each run, adding new looks to the table.
    std::vector<char> Numbers(const std::vector<StyleRun>& runs);
    void Compact();
    // Replaces [start, oldEnd) of the current slot by the new middle.
    void Commit(std::size_t start, std::size_t oldEnd, std::string_view text,
                std::string_view looks);
    UndoStep Step(const Delta& d, bool forward);
    std::vector<StyleRun> RunsOf(std::size_t from, std::size_t to) const;

    std::vector<Look> table_;  // look numbers in use, at most 256
    std::string text_;         // the current slot, whole
    std::string looks_;        // its look number per byte
    std::deque<Delta> deltas_;
    int index_ = 0;
};

}  // namespace tarlo
