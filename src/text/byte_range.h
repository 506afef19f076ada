#pragma once
// The small value types that carry places in the code text across the
// program: a stretch of bytes, and a stretch of bytes in one colour and size.
// Offsets are bytes of UTF-8, the same offsets the code view uses.
#include "text/colour.h"

namespace tarlo {

struct ByteRange {
    int start = 0;
    int length = 0;
    int end() const { return start + length; }
    bool operator==(const ByteRange& o) const { return start == o.start && length == o.length; }
};

// A stretch of text in one colour and size, as the code view shows it and
// the undo history keeps it.
struct StyleRun {
    int start;
    int length;
    WinColor colour;
    double pointSize;  // points; coloured code is 8.5
    bool operator==(const StyleRun& o) const {
        return start == o.start && length == o.length && colour == o.colour &&
               pointSize == o.pointSize;
    }
};

}  // namespace tarlo
