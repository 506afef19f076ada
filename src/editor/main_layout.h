#pragma once
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

}  // namespace tarlo
