#pragma once
// The code window's undo history: up to 50 steps back (slots 0 to 50). The
// code view holds the document's text and the colour and size of every
// character; the history holds only what each step changed: the stretch of
// text it replaced, before and after, and the stretch of looks around it,
// before and after. An opened filing costs the history nothing until it is
// edited, and a keystroke costs the keystroke.
//
// The view tells the history of every change as it is made, while what the
// change takes away can still be read (Inserted, Removing, Restyling). A
// step gathers the changes told since the last one and keeps their net
// effect: a colour pass followed by a typed key is one step, as it is one
// change of the text.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "text/byte_range.h"

namespace tarlo {

// The code view as the history reads it: stretches of its text and of its
// looks (runs in document offsets covering every byte), as they stand now.
class UndoSource {
  public:
    virtual ~UndoSource() = default;
    virtual std::string Text(std::size_t start, std::size_t length) const = 0;
    virtual std::vector<StyleRun> Looks(std::size_t start, std::size_t length) const = 0;
};

// What undo or redo does to the view: the `removed` bytes at `start` give way
// to `text`, and `runs` (document offsets, after the replacement) give the
// looks of every byte whose look the step sets, the new text's among them.
// Everything else is already as the slot has it.
struct UndoStep {
    std::size_t start = 0;
    std::size_t removed = 0;
    std::string text;
    std::vector<StyleRun> runs;
};

class UndoHistory {
  public:
    static constexpr int kLastSlot = 50;

    // The changes of the view since the last step, told as they are made.
    // `length` bytes were just put in at `start`.
    void Inserted(std::size_t start, std::size_t length);
    // [start, start + length) is about to go, text and looks: read now.
    void Removing(const UndoSource& view, std::size_t start, std::size_t length);
    // The looks of [start, start + length) are about to change: read now.
    void Restyling(const UndoSource& view, std::size_t start, std::size_t length);

    // Closes the changes told since the last step into the next slot, even
    // when they came to nothing: each call is one step. When the history is
    // full the oldest step goes; undone steps are dropped, so redo never
    // returns to a branch the user has left.
    void Record(const UndoSource& view);

    // A history of its own for another document: the view as it stands is
    // slot 0, and undo never goes back past it.
    void Begin();

    // The step that takes back the changes told since the last step, so
    // that the view shows the current slot again; nothing when there are
    // none. They are forgotten either way.
    std::optional<UndoStep> TakeBackUnrecorded(const UndoSource& view);

    // The step that loads the previous or next slot, or nothing when there is
    // no step to go.
    std::optional<UndoStep> Undo();
    std::optional<UndoStep> Redo();
    bool CanUndo() const { return index_ > 0; }
    bool CanRedo() const { return index_ < NewestSlot(); }

    // The slot the view currently corresponds to, and the newest recorded slot.
    int UndoIndex() const { return index_; }
    int NewestSlot() const { return static_cast<int>(deltas_.size()); }

    // Bytes of text and looks the history holds, the unrecorded changes' too.
    std::size_t MemoryBytes() const;

  private:
    // One look number per byte, numbers from `table_`.
    using Looks = std::u16string;

    // How slot i becomes slot i + 1. The stretch of looks covers the stretch
    // of text whenever the text changed, so the new text's looks are always
    // part of the step; it may reach further (a colour pass). Looks are kept
    // packed as (length, number) pairs.
    struct Delta {
        std::size_t textStart = 0;
        std::string beforeText;
        std::string afterText;
        std::size_t looksStart = 0;
        std::string beforeLooks;
        std::string afterLooks;
    };
    // A change told since the last step, in the offsets of its own time.
    struct Change {
        enum class Kind { Insert, Remove, Restyle } kind;
        std::size_t start = 0;
        std::size_t length = 0;
        std::string text;   // removed text
        std::string looks;  // removed or replaced looks, packed
    };
    struct Look {
        WinColor colour;
        double pointSize;
    };

    std::uint16_t NumberOf(const Look& look);
    // The look number of every byte of [start, start + length), from runs.
    Looks NumbersOf(const std::vector<StyleRun>& runs, std::size_t start, std::size_t length);
    // The looks of [start, start + length) packed, from runs.
    std::string PackRuns(const std::vector<StyleRun>& runs, std::size_t start, std::size_t length);
    // Packed looks as runs from `start`.
    std::vector<StyleRun> RunsOf(const std::string& packed, std::size_t start) const;
    // Whether the looks of [start, end) before this group are already kept.
    bool LooksKept(std::size_t start, std::size_t end) const;
    // The net effect of the changes told since the last step.
    Delta Compose(const UndoSource& view);
    UndoStep Step(const Delta& d, bool forward) const;
    // Keeps the table of looks to those in use.
    void Compact();

    std::vector<Look> table_;
    std::deque<Delta> deltas_;
    std::vector<Change> changes_;
    int index_ = 0;
};

}  // namespace tarlo
