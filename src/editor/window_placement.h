#pragma once
// Window positions as the editor's forms reason about them: in twips, the
// unit the layouts of the windows are drawn in, 15 to a screen pixel.
// Plain arithmetic only, so that it can be checked without a display.

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

}  // namespace tarlo
