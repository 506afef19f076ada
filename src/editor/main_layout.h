#pragma once
#include <vector>

// The main window's layout arithmetic, in twips. The status strip follows the
// bottom edge and the views take what the window leaves them.
namespace tarlo {

constexpr int kTwipsPerPixel = 15;

// Twips to whole pixels, rounded; pixels to twips.
constexpr int Px(int twips) {
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}
constexpr int Tw(int pixels) {
    return pixels * kTwipsPerPixel;
}

struct MainLayoutInput {
    int windowWidth;    // outer width W
    int windowHeight;   // outer height H
    int statusBar1Top;  // top of the bottom edge bar, in client coordinates
};

struct MainLayout {
    int picLogoWidth;
    int picLogoTop;
    int splitterHeight;
    int splitterWidth;
    int sbWidth;
    int sbTop;
    int stripTop;  // chkAuto, chkFormat, chkColorize, txtStatus
    int frmTipsWidth;
    int lblTipsWidth;
};

MainLayout ComputeMainLayout(const MainLayoutInput& in);

// Fixed lefts and widths of the status strip's controls.
struct StripSlot {
    const char* control;
    int left;
    int width;
};
constexpr StripSlot kStripSlots[] = {
    {"chkAuto", 2160, 1935},
    {"chkFormat", 4140, 1935},
    {"chkColorize", 6180, 1935},
    {"txtStatus", 9540, 2715},
};

// The status bar's panels fitted into `available` pixels. Each panel has its
// design width and the least it can show its text in. When the design widths
// do not fit, the clock and then the lock panels give way, then the other
// panels shrink to their least, then "Press F1 for Help" gives way, then the
// check boxes' panels narrow further, the status panel last; the caret's
// line and column panels always stay whole.
struct PanelPlace {
    int left = 0;
    int width = 0;
    bool visible = true;
};
std::vector<PanelPlace> FitStatusPanels(const std::vector<int>& designPx,
                                        const std::vector<int>& leastPx, int available);

}  // namespace tarlo
