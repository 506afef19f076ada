#include "shell/window_placement.h"

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

TEST(WindowPlacementTest, TheStartWindowFitsTheScreensFreeArea) {
    // A 1080-pixel screen with a 40-pixel panel at the bottom: the design size
    // fits with its frame and sits in the middle of what the panel leaves.
    const FrameMargins frame{4, 30, 4, 4};
    const PixelRect full = FitStartWindow({0, 0, 1920, 1040}, frame);
    EXPECT_EQ(full, (PixelRect{522 + 4, 103 + 30, 867, 800}));
    EXPECT_LE(full.top + full.height + frame.bottom, 1040);

    // A panel at the top moves the area down; the window follows it.
    EXPECT_EQ(FitStartWindow({0, 40, 1920, 1040}, frame).top, 143 + 30);

    // 1366 x 768 with a panel: the width fits, the height is what is left.
    const PixelRect laptop = FitStartWindow({0, 0, 1366, 728}, frame);
    EXPECT_EQ(laptop, (PixelRect{245 + 4, 30, 867, 728 - 34}));

    // 800 x 600 is smaller than the design both ways: the window fills it,
    // frame included, on a second monitor's coordinates too.
    EXPECT_EQ(FitStartWindow({1920, 0, 800, 600}, frame), (PixelRect{1924, 30, 792, 566}));
    EXPECT_EQ(FitStartWindow({0, 0, 800, 600}), (PixelRect{0, 0, 800, 600}));
}

TEST(WindowPlacementTest, ARememberedPlaceIsKeptOnlyWhileItIsOnAScreen) {
    const FrameMargins frame{0, 30, 0, 0};
    const PixelRect primary{0, 0, 1920, 1040};
    const PixelRect right{1920, 0, 1280, 1024};
    const PixelRect fitted = FitStartWindow(primary, frame);
    const PixelRect onRight{2000, 100, 900, 700};

    EXPECT_EQ(RestoreStartWindow(onRight, {primary, right}, primary, frame), onRight);
    // The right-hand monitor is gone.
    EXPECT_EQ(RestoreStartWindow(onRight, {primary}, primary, frame), fitted);
    // Only a sliver still shows: too little to grab.
    EXPECT_EQ(RestoreStartWindow({1880, 100, 900, 700}, {primary}, primary, frame), fitted);
    // Enough to grab keeps the place; a size bigger than the screen shrinks.
    EXPECT_EQ(RestoreStartWindow({1700, 100, 900, 700}, {primary}, primary, frame),
              (PixelRect{1700, 100, 900, 700}));
    EXPECT_EQ(RestoreStartWindow({10, 40, 3000, 2000}, {primary}, primary, frame),
              (PixelRect{10, 40, 1920, 1010}));
    // No size at all is no place.
    EXPECT_EQ(RestoreStartWindow({10, 40, 0, 700}, {primary}, primary, frame), fitted);
}

}  // namespace
}  // namespace tarlo
