#include "codeview/code_view_changes.h"

#include <algorithm>

namespace tarlo {

ChangeRecord::ChangeRecord(const SoftBreakMap& breaks, TrackedPositions& positions)
    : breaks_(breaks),
      positions_(positions),
      end_(positions.Track(0, TrackedPositions::Stick::Right)) {}

void ChangeRecord::Cover(int from, int to) {
    if (!span_.changed) {
        span_.changed = true;
        span_.start = from;
        positions_.Place(end_, breaks_.ToView(to));
        return;
    }
    // Offsets after an edit moved with it; the stretch grows to cover it.
    span_.start = std::min(span_.start, from);
    const int end = breaks_.ToDoc(positions_.At(end_));
    if (to > end) positions_.Place(end_, breaks_.ToView(to));
}

void ChangeRecord::Whole(int length) {
    span_.changed = true;
    span_.start = 0;
    positions_.Place(end_, breaks_.ToView(length));
}

ChangeRecord::Span ChangeRecord::Pending() const {
    Span s = span_;
    if (s.changed) s.end = breaks_.ToDoc(positions_.At(end_));
    return s;
}

ChangeRecord::Span ChangeRecord::Take() {
    const Span taken = Pending();
    span_ = Span{true, false, 0, 0};
    return taken;
}

}  // namespace tarlo
