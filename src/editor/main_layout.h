#pragma once
#include <cstddef>
#include <vector>

// The main window's layout arithmetic, in pixels. The status strip follows the
// bottom edge and the views take what the window leaves them.
namespace tarlo {

struct MainLayoutInput {
    int windowWidth;   // outer width
    int windowHeight;  // outer height
    int statusBarTop;  // top of the bottom edge bar, in client coordinates
};

struct MainLayout {
    int logoWidth;
    int logoTop;
    int viewsHeight;  // the splitter that shares the area between the views
    int viewsWidth;
    int panelsWidth;  // the status bar's panels
    int panelsTop;
    int stripTop;  // the strip's check boxes and the document status box
    int tipsWidth;
    int tipTextWidth;
};

MainLayout ComputeMainLayout(const MainLayoutInput& in);

// The status bar's panels, in the order they stand from the left.
enum class StatusPanel : std::size_t {
    Help,            // "Press F1 for Help"
    AutoRefresh,     // under the Auto-Refresh check box
    AutoFormat,      // under the Auto-Format check box
    AutoColorize,    // under the Auto-Colorize check box
    DocumentStatus,  // "Document Status: " and the status box
    Line,
    Column,
    CapsLock,
    NumLock,
    Insert,  // INS or OVR
    Time,
    Date,
};
inline constexpr std::size_t kStatusPanelCount = 12;

constexpr std::size_t IndexOf(StatusPanel panel) {
    return static_cast<std::size_t>(panel);
}

// The status bar's panels fitted into `available` pixels. Each panel has its
// design width and the least it can show its text in, both indexed by
// StatusPanel. When the design widths do not fit, the clock and then the lock
// panels give way, then the other panels shrink to their least, then "Press F1
// for Help" gives way, then the check boxes' panels narrow further, the status
// panel last; the caret's line and column panels always stay whole.
struct PanelPlace {
    int left = 0;
    int width = 0;
    bool visible = true;
};
std::vector<PanelPlace> FitStatusPanels(const std::vector<int>& designPx,
                                        const std::vector<int>& leastPx, int available);

}  // namespace tarlo
