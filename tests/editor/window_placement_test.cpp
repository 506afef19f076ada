#include "editor/window_placement.h"

#include <gtest/gtest.h>

namespace tarlo {
namespace {

TEST(WindowPlacementTest, CentresOuterBoundsOverMainWindow) {
    // Main window at 1000 twips, 9000 wide: its middle is at 5500, so a
    // window 3000 wide starts 1500 before that.
    const TwipPoint at = CentreOver({1000, 2000, 9000, 6000}, 3000, 1200);
    EXPECT_DOUBLE_EQ(at.left, 4000);
    EXPECT_DOUBLE_EQ(at.top, 4400);

    // Odd sizes are halved exactly; nothing is rounded at this stage.
    const TwipPoint odd = CentreOver({0, 0, 9001, 6001}, 3000, 1201);
    EXPECT_DOUBLE_EQ(odd.left, 3000.5);
    EXPECT_DOUBLE_EQ(odd.top, 2400);

    // A window bigger than the main window overhangs it on both sides, even
    // past the left edge of the screen.
    const TwipPoint big = CentreOver({300, 150, 3000, 1500}, 6000, 3000);
    EXPECT_DOUBLE_EQ(big.left, -1200);
    EXPECT_DOUBLE_EQ(big.top, -600);
}

TEST(WindowPlacementTest, ConvertsBetweenTwipsAndWholePixels) {
    EXPECT_DOUBLE_EQ(PixelsToTwips(100), 1500);
    EXPECT_DOUBLE_EQ(PixelsToTwips(-7), -105);
    EXPECT_EQ(TwipsToPixels(4000), 267);  // 266.67
    EXPECT_EQ(TwipsToPixels(2625), 175);
    EXPECT_EQ(TwipsToPixels(7), 0);
    EXPECT_EQ(TwipsToPixels(7.5), 1);    // half a pixel rounds up...
    EXPECT_EQ(TwipsToPixels(-7.5), -1);  // ...and away from zero below it
    EXPECT_EQ(TwipsToPixels(-1200), -80);
    for (int px : {-3, 0, 1, 313, 1920}) EXPECT_EQ(TwipsToPixels(PixelsToTwips(px)), px);
}

}  // namespace
}  // namespace tarlo
