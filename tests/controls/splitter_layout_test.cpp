#include "controls/splitter_layout.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarlo {
namespace {

TEST(SplitterLayoutTest, RoundHalfEvenSendsTiesToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(2502.5), 2502);
    EXPECT_EQ(RoundHalfEven(2507.5), 2508);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.5001), 3);
    EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
}

TEST(SplitterLayoutTest, BoundsAndAttach) {
    SplitterLayout s;
    EXPECT_FALSE(s.SetMinTilePercent(10));  // upper bound is still 0
    s.SetTileMode(7);
    s.Attach();
    EXPECT_EQ(s.split(), 30);
    EXPECT_EQ(s.tileMode(), 7);
    EXPECT_FALSE(s.SetMinTilePercent(5));
    EXPECT_FALSE(s.SetMaxTilePercent(98));
    EXPECT_TRUE(s.SetMaxTilePercent(40));
    EXPECT_FALSE(s.SetMinTilePercent(50));
    EXPECT_FALSE(s.SetMinTilePercent(40));
    EXPECT_TRUE(s.SetMinTilePercent(6));
    s.Attach();
    EXPECT_EQ(s.minTilePercent(), 5);
    EXPECT_EQ(s.maxTilePercent(), 98);
}

TEST(SplitterLayoutTest, ArrangeSideBySideAndStacked) {
    SplitterLayout s;
    s.SetTileMode(1);
    s.Attach();
    TileRects r = s.Arrange({500, 200, 10000, 4000});
    EXPECT_EQ(r.a, (TwipRect{500, 200, 3000, 4000}));
    EXPECT_EQ(r.b, (TwipRect{3600, 200, 6900, 4000}));
    // Narrower than the bar: the second tile's width is reported negative.
    EXPECT_EQ(s.Arrange({10, 20, 50, 30}).b, (TwipRect{125, 20, -65, 30}));

    s.SetTileMode(2);  // anything but 1 stacks
    r = s.Arrange({500, 200, 4000, 10000});
    EXPECT_EQ(r.a, (TwipRect{500, 200, 4000, 3000}));
    EXPECT_EQ(r.b, (TwipRect{500, 3300, 4000, 6900}));
}

TEST(SplitterLayoutTest, DraggingTheBar) {
    const TwipRect self{0, 0, 10000, 5000};
    SplitterLayout s;
    s.SetTileMode(1);
    s.Press(3050, 0);  // no bar before attach
    EXPECT_FALSE(s.dragging());
    s.Attach();
    s.Arrange(self);

    EXPECT_TRUE(s.Move(3050, 0, self).sizingPointer);
    EXPECT_FALSE(s.Move(3100, 0, self).sizingPointer);
    s.Press(3000, 0);
    s.Press(3099.6, 0);  // rounds onto the edge
    EXPECT_FALSE(s.dragging());
    s.Press(3099.4, 0);
    s.Press(8000, 0);  // a second press elsewhere keeps the drag
    EXPECT_TRUE(s.dragging());

    EXPECT_FALSE(s.Move(9900, 0, self).rearrange);
    EXPECT_FALSE(s.Move(500, 0, self).rearrange);
    EXPECT_TRUE(s.Move(9700, 0, self).sizingPointer);
    EXPECT_EQ(s.split(), 97);
    EXPECT_TRUE(s.Move(600, 0, self).rearrange);
    EXPECT_TRUE(s.Move(2500, 0, self).rearrange);
    EXPECT_EQ(s.split(), 25);
    EXPECT_EQ(s.Arrange({0, 0, 10010, 10}).a.width, 2502);
    EXPECT_EQ(s.Arrange({0, 0, 10030, 10}).a.width, 2508);
    s.Release();
    EXPECT_FALSE(s.Move(7000, 0, self).sizingPointer);
    EXPECT_EQ(s.split(), 25);

    // Stacked, the vertical coordinate counts and the horizontal one is ignored.
    s.SetTileMode(0);
    s.Arrange(self);  // first tile 1250 high
    s.Press(1300, 0);
    EXPECT_FALSE(s.dragging());
    s.Press(0, 1300);
    EXPECT_TRUE(s.Move(9000, 3500, self).rearrange);
    EXPECT_EQ(s.split(), 70);
}

}  // namespace
}  // namespace tarlo
