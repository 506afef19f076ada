#include "shell/window_placement.h"

#include <algorithm>
#include <cmath>

namespace tarlo {

namespace {

constexpr double kTwipsPerPixel = 15;

// The least of a remembered window that must show on a screen for the user
// to reach its title bar and drag it back.
constexpr int kGrabWidth = 100;
constexpr int kGrabHeight = 50;

PixelRect Outer(const PixelRect& own, const FrameMargins& frame) {
    return {own.left - frame.left, own.top - frame.top, own.width + frame.left + frame.right,
            own.height + frame.top + frame.bottom};
}

int Overlap(int a, int aLength, int b, int bLength) {
    return std::min(a + aLength, b + bLength) - std::max(a, b);
}

// The own area of a window whose outer size is clamped to `area`.
PixelRect Shrunk(PixelRect own, const PixelRect& area, const FrameMargins& frame) {
    own.width = std::max(1, std::min(own.width, area.width - frame.left - frame.right));
    own.height = std::max(1, std::min(own.height, area.height - frame.top - frame.bottom));
    return own;
}

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

PixelRect FitStartWindow(const PixelRect& available, const FrameMargins& frame) {
    PixelRect own = Shrunk({0, 0, kStartWindowWidth, kStartWindowHeight}, available, frame);
    const PixelRect outer = Outer(own, frame);
    own.left = available.left + std::max(0, (available.width - outer.width) / 2) + frame.left;
    own.top = available.top + std::max(0, (available.height - outer.height) / 2) + frame.top;
    return own;
}

PixelRect RestoreStartWindow(const PixelRect& remembered, const std::vector<PixelRect>& screens,
                             const PixelRect& primary, const FrameMargins& frame) {
    if (remembered.width <= 0 || remembered.height <= 0) return FitStartWindow(primary, frame);
    const PixelRect outer = Outer(remembered, frame);
    for (const PixelRect& screen : screens) {
        if (Overlap(outer.left, outer.width, screen.left, screen.width) >= kGrabWidth &&
            Overlap(outer.top, outer.height, screen.top, screen.height) >= kGrabHeight) {
            return Shrunk(remembered, screen, frame);
        }
    }
    return FitStartWindow(primary, frame);
}

}  // namespace tarlo
