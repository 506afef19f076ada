#pragma once
// The stretch of the code view's document that changed, text or look, since
// the undo history last took it. Its end is a tracked position, so the edits
// after it move it with the text.
#include "codeview/soft_breaks.h"
#include "codeview/tracked_positions.h"

namespace tarlo {

class ChangeRecord {
  public:
    // The stretch [start, end) of today's text outside which neither text
    // nor look changed; `known` is false before the first take and after a
    // change no stretch describes (the look of uncoloured text).
    struct Span {
        bool known = false;
        bool changed = false;
        int start = 0;
        int end = 0;
    };

    ChangeRecord(const SoftBreakMap& breaks, TrackedPositions& positions);
    ChangeRecord(const ChangeRecord&) = delete;
    ChangeRecord& operator=(const ChangeRecord&) = delete;

    // Document stretch [from, to) changed: told after the tracked positions
    // followed the edit (an insertion covers its text, a deletion its place).
    void Cover(int from, int to);
    // The whole text was replaced by `length` bytes.
    void Whole(int length);
    void Forget() { span_.known = false; }
    Span Pending() const;
    Span Take();

  private:
    const SoftBreakMap& breaks_;
    TrackedPositions& positions_;
    Span span_;  // its end is kept in `end_` while changed
    TrackedPositions::Id end_;
};

}  // namespace tarlo
