#pragma once
// Display-only line breaks for long lines. Most filings made by today's
// tools are written as one line of megabytes; laying out such a line costs
// the code view seconds per key. The view therefore holds the document with
// a break of its own after a tag end every couple of kilobytes of a long
// line. These breaks belong to the view, never to the document: every
// position the editor hands out or takes is a document position, and the
// map below converts between the two.
#include <string>
#include <string_view>
#include <vector>

#include "codeview/tracked_positions.h"

namespace tarlo {

// A line longer than this is shown in pieces.
constexpr int kSoftBreakMaxPiece = 4000;
// A break goes after the first tag end this far into a piece.
constexpr int kSoftBreakTarget = 2000;
// An existing break is kept when its piece is at least this long, so that
// typing does not move the breaks around the caret.
constexpr int kSoftBreakMinPiece = 1000;

// Where breaks go in `text` (document offsets: a break is shown before the
// byte at that offset). `text` starts at the start of a piece and ends at the
// end of one (a line end, the document's end or a kept break). `existing`
// (sorted) are the breaks there today; those that still fit are kept.
std::vector<int> SoftBreakPoints(std::string_view text, const std::vector<int>& existing = {});

// The view positions of the breaks and the conversions between view and
// document positions. Each break is one byte ('\n') in the view.
class SoftBreakMap {
  public:
    int Count() const { return static_cast<int>(breaks_.size()); }
    const std::vector<int>& ViewPositions() const { return breaks_; }
    bool Empty() const { return breaks_.empty(); }

    // Breaks strictly before view position `view`.
    int CountBefore(int view) const;
    // Breaks in view range [from, to).
    int CountIn(int from, int to) const;
    bool IsBreakAt(int view) const;
    // A document position to the view: before a break that stands there.
    int ToView(int doc) const;
    int ToDoc(int view) const;
    // Document offset of break number `index`.
    int DocOfBreak(int index) const { return breaks_[index] - index; }

    // Keeps the map in step with an edit of the view's text.
    void Inserted(int view, int length) {
        TrackedPositions::CharactersInserted(breaks_, view, length);
    }
    // Returns how many breaks the deleted stretch held.
    int Deleted(int view, int length) {
        return TrackedPositions::CharactersDeleted(breaks_, view, length);
    }
    // Hands the breaks to the view's registry of positions, which moves
    // them with every edit from then on.
    void TrackIn(TrackedPositions& positions) { positions.TrackCharacters(&breaks_); }
    // A break placed at `view` by the view itself (after Inserted moved the rest).
    void Add(int view);
    void Clear() { breaks_.clear(); }
    void Assign(std::vector<int> viewPositions) { breaks_ = std::move(viewPositions); }

  private:
    std::vector<int> breaks_;  // sorted view positions
};

// Copies `view` text without the break bytes at `breaks` (view positions
// relative to the start of `view`, sorted).
std::string WithoutBreaks(std::string_view view, const std::vector<int>& breaks);

}  // namespace tarlo
