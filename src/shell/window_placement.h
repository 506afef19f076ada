#pragma once
// Window positions as the editor's forms reason about them: in twips, the
// unit the layouts of the windows are drawn in, 15 to a screen pixel.
// Plain arithmetic only, so that it can be checked without a display.
#include <vector>

namespace tarlo {

// Outer bounds of a window (frame included), in twips.
struct TwipBounds {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

struct TwipPoint {
    double left = 0;
    double top = 0;
};

// Where a window of the given outer size goes so that its middle sits on the
// middle of `main`. The division is exact; rounding to whole pixels happens
// only when the window is actually moved.
TwipPoint CentreOver(const TwipBounds& main, double ownWidth, double ownHeight);

double PixelsToTwips(int pixels);

// Nearest whole pixel, halves away from zero.
int TwipsToPixels(double twips);

// A rectangle on the desktop in screen pixels.
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect& o) const {
        return left == o.left && top == o.top && width == o.width && height == o.height;
    }
};

// How far the window manager's frame reaches beyond the window's own area.
struct FrameMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The main window's design size (13000 x 12000 twips), without its frame.
constexpr int kStartWindowWidth = 867;
constexpr int kStartWindowHeight = 800;

// The main window's own area at start-up: the design size where it fits in
// `available` (the screen less its panels) with the frame, otherwise as much
// as fits, centred in `available` so that no edge lies under a panel or off
// the screen.
PixelRect FitStartWindow(const PixelRect& available, const FrameMargins& frame = {});

// Where a window remembered at `remembered` (its own area) opens again. It
// keeps its place when enough of it lies on one of the `screens` (their
// available areas) to be grabbed, shrunk to fit that screen; one left on a
// monitor that is gone, or of no size, opens fitted to `primary` instead.
PixelRect RestoreStartWindow(const PixelRect& remembered, const std::vector<PixelRect>& screens,
                             const PixelRect& primary, const FrameMargins& frame = {});

}  // namespace tarlo
