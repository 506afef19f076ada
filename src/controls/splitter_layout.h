#pragma once
// The arithmetic behind the splitter control: where its two tiles go, and how
// a drag on the bar between them changes the share of the first tile.
//
// Every length is in twips, in the coordinates of the container that holds the
// splitter and its tiles. Nothing here knows about widgets, so the rules can be
// checked without a screen.

namespace tarlo {

// Rounds to the nearest integer, ties to the even neighbour (2.5 -> 2, 3.5 -> 4).
// Values beyond the int range are clamped; NaN gives 0.
int RoundHalfEven(double value);

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

inline bool operator==(const TwipRect& x, const TwipRect& y) {
    return x.left == y.left && x.top == y.top && x.width == y.width && x.height == y.height;
}
inline bool operator!=(const TwipRect& x, const TwipRect& y) {
    return !(x == y);
}

// Where the two tiles go. The second tile's width (or height, when stacked) may
// come out negative on a splitter narrower than the bar; it is reported as is
// and left to whoever applies it.
struct TileRects {
    TwipRect a;  // first tile: left when side by side, top when stacked
    TwipRect b;  // second tile
};

struct MoveResult {
    bool sizingPointer = false;  // show the resize pointer rather than the normal one
    bool rearrange = false;      // the share changed: the tiles must be laid out again
};

class SplitterLayout {
  public:
    // The strip between the tiles that serves as the drag bar.
    static constexpr int kBarTwips = 100;
    static constexpr int kSideBySide = 1;

    // Bounds accepted from the outside; attaching sets wider ones (5 and 98).
    static constexpr int kLowestSettablePercent = 6;
    static constexpr int kHighestSettablePercent = 97;

    // Each returns whether the value was taken; rejected values leave the
    // bound as it was.
    bool SetMaxTilePercent(int percent);
    bool SetMinTilePercent(int percent);
    void SetTileMode(int mode) { mode_ = mode; }

    // Starts over with the tiles just attached: the first tile gets 30 percent
    // and the bounds go back to 5 and 98. The mode is kept.
    void Attach();

    // Lays the tiles out over `self`, the splitter's own rectangle, and
    // remembers the first tile's extent for hit tests on the bar.
    TileRects Arrange(const TwipRect& self);

    // Mouse handling; x and y are relative to the splitter's top-left corner.
    // `self` is the splitter's current rectangle, whose width (or height) is
    // the whole that a drag position is measured against.
    void Press(double x, double y);
    MoveResult Move(double x, double y, const TwipRect& self);
    void Release() { dragging_ = false; }

    bool attached() const { return attached_; }
    bool dragging() const { return dragging_; }
    bool sideBySide() const { return mode_ == kSideBySide; }
    int tileMode() const { return mode_; }
    int split() const { return split_; }
    int minTilePercent() const { return min_; }
    int maxTilePercent() const { return max_; }
    // The first tile's width (side by side) or height (stacked) as last laid out.
    int firstExtent() const { return sideBySide() ? lastA_.width : lastA_.height; }
    // True when `c` lies strictly between the bar's two edges.
    bool InsideBar(int c) const;

  private:
    // The coordinate along the axis the bar moves on, rounded to whole twips.
    int AxisCoordinate(double x, double y) const;

    bool attached_ = false;
    bool dragging_ = false;
    int split_ = 0;
    int mode_ = 0;
    int min_ = 0;
    int max_ = 0;
    TwipRect lastA_;
};

}  // namespace tarlo
