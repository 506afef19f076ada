#include "controls/splitter_layout.h"

#include <cmath>
#include <limits>

namespace tarlo {

int RoundHalfEven(double value) {
    if (std::isnan(value)) return 0;
    constexpr double kLowest = static_cast<double>(std::numeric_limits<int>::min());
    constexpr double kHighest = static_cast<double>(std::numeric_limits<int>::max());
    if (value <= kLowest) return std::numeric_limits<int>::min();
    if (value >= kHighest) return std::numeric_limits<int>::max();

    // Done by hand rather than with nearbyint so that the result does not
    // depend on the floating-point rounding mode of the thread.
    const double whole = std::floor(value);
    const double fraction = value - whole;
    double rounded = whole;
    if (fraction > 0.5) {
        rounded = whole + 1.0;
    } else if (fraction == 0.5) {
        rounded = std::fmod(whole, 2.0) == 0.0 ? whole : whole + 1.0;
    }
    return static_cast<int>(rounded);
}

bool SplitterLayout::SetMaxTilePercent(int percent) {
    if (percent < kLowestSettablePercent || percent > kHighestSettablePercent) return false;
    if (percent <= min_) return false;
    max_ = percent;
    return true;
}

bool SplitterLayout::SetMinTilePercent(int percent) {
    if (percent < kLowestSettablePercent || percent > kHighestSettablePercent) return false;
    if (percent >= max_) return false;
    min_ = percent;
    return true;
}

void SplitterLayout::Attach() {
    min_ = 5;
    max_ = 98;
    split_ = 30;
    attached_ = true;
}

TileRects SplitterLayout::Arrange(const TwipRect& self) {
    TileRects r;
    // The product and the sum are formed in double, as a share of an odd
    // width can land on half a twip; that half goes to the even neighbour.
    if (sideBySide()) {
        r.a.top = self.top;
        r.a.height = self.height;
        r.a.left = self.left;
        r.a.width = RoundHalfEven(static_cast<double>(self.width) * split_ / 100.0);

        r.b.top = self.top;
        r.b.height = self.height;
        r.b.left = r.a.left + r.a.width + kBarTwips;
        r.b.width = (self.left + self.width) - (r.a.left + r.a.width + kBarTwips);
    } else {
        r.a.top = self.top;
        r.a.width = self.width;
        r.a.left = self.left;
        r.a.height = RoundHalfEven(static_cast<double>(self.height) * split_ / 100.0);

        r.b.left = self.left;
        r.b.width = self.width;
        r.b.top = r.a.top + r.a.height + kBarTwips;
        r.b.height = (self.top + self.height) - (r.a.top + r.a.height + kBarTwips);
    }
    lastA_ = r.a;
    return r;
}

bool SplitterLayout::InsideBar(int c) const {
    const int extent = firstExtent();
    return extent < c && c < extent + kBarTwips;
}

int SplitterLayout::AxisCoordinate(double x, double y) const {
    return RoundHalfEven(sideBySide() ? x : y);
}

void SplitterLayout::Press(double x, double y) {
    // Without tiles there is no bar to grab.
    if (!attached_) return;
    dragging_ = dragging_ || InsideBar(AxisCoordinate(x, y));
}

MoveResult SplitterLayout::Move(double x, double y, const TwipRect& self) {
    MoveResult result;
    if (!attached_) return result;

    const int c = AxisCoordinate(x, y);
    result.sizingPointer = dragging_ || InsideBar(c);
    if (!dragging_) return result;

    const int total = sideBySide() ? self.width : self.height;
    if (total == 0) return result;
    // The share is 100 / total * c, in that order, so that positions which
    // land on a half percent round the same way every time.
    const int percent = RoundHalfEven(100.0 / total * c);
    if (min_ < percent && percent < max_) {
        split_ = percent;
        result.rearrange = true;
    }
    return result;
}

}  // namespace tarlo
