#include "editor/window_placement.h"

#include <cmath>

namespace tarlo {

namespace {

constexpr double kTwipsPerPixel = 15;

}  // namespace

TwipPoint CentreOver(const TwipBounds& main, double ownWidth, double ownHeight) {
    TwipPoint at;
    at.left = main.left + main.width / 2 - ownWidth / 2;
    at.top = main.top + main.height / 2 - ownHeight / 2;
    return at;
}

double PixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

int TwipsToPixels(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

}  // namespace tarlo
