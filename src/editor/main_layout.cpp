#include "editor/main_layout.h"

#include <algorithm>

namespace tarlo {

namespace {

// The window's design distances, in pixels (the window's edge converts them
// from the twips the product's design gives: 280, 350, 725, 2800, ...).
constexpr int kLogoRightMargin = 19;
constexpr int kViewsRightMargin = 23;
constexpr int kViewsBottomMargin = 187;
constexpr int kLogoAboveStatusBar = 48;
constexpr int kPanelsAboveLogo = 20;
constexpr int kStripBelowPanelsTop = 5;
constexpr int kTipsRightMargin = 700;
constexpr int kTipTextNarrower = 17;

}  // namespace

MainLayout ComputeMainLayout(const MainLayoutInput& in) {
    MainLayout out{};
    const int w = in.windowWidth;
    const int h = in.windowHeight;
    out.logoWidth = w - kLogoRightMargin;
    out.logoTop = in.statusBarTop - kLogoAboveStatusBar;
    out.viewsHeight = h - kViewsBottomMargin;
    out.viewsWidth = w - kViewsRightMargin;
    out.panelsWidth = w - kViewsRightMargin;
    out.panelsTop = out.logoTop - kPanelsAboveLogo;
    out.stripTop = out.panelsTop + kStripBelowPanelsTop;
    out.tipsWidth = w - kTipsRightMargin;
    out.tipTextWidth = out.tipsWidth - kTipTextNarrower;
    return out;
}

std::vector<PanelPlace> FitStatusPanels(const std::vector<int>& designPx,
                                        const std::vector<int>& leastPx, int available) {
    const std::size_t n = designPx.size();
    std::vector<PanelPlace> out(n);
    std::vector<int> width = designPx;
    auto total = [&] {
        int sum = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (out[i].visible) sum += width[i];
        }
        return sum;
    };
    auto least = [&](std::size_t i) { return i < leastPx.size() ? leastPx[i] : designPx[i]; };
    auto give = [&](StatusPanel panel) {
        const std::size_t i = IndexOf(panel);
        if (i < n && total() > available) out[i].visible = false;
    };
    auto shrink = [&](StatusPanel panel) {
        const std::size_t i = IndexOf(panel);
        if (i >= n || !out[i].visible) return;
        const int over = total() - available;
        if (over > 0) width[i] = std::max(least(i), width[i] - over);
    };
    using P = StatusPanel;
    for (P panel : {P::Date, P::Time, P::Insert, P::NumLock, P::CapsLock}) give(panel);
    for (P panel : {P::Help, P::DocumentStatus, P::AutoColorize, P::AutoFormat, P::AutoRefresh}) {
        shrink(panel);
    }
    give(P::Help);
    // A window narrower than all of that: the panels under the strip's
    // check boxes narrow further; the document status, which both views
    // depend on, narrows last.
    for (P panel : {P::AutoColorize, P::AutoFormat, P::AutoRefresh, P::DocumentStatus}) {
        const std::size_t i = IndexOf(panel);
        const int over = total() - available;
        if (i < n && over > 0) width[i] = std::max(0, width[i] - over);
        // A panel with no room left gives way whole, its control with it.
        if (i < n && width[i] == 0) out[i].visible = false;
    }
    int left = 0;
    for (std::size_t i = 0; i < n; ++i) {
        out[i].left = left;
        out[i].width = out[i].visible ? width[i] : 0;
        left += out[i].width;
    }
    return out;
}

}  // namespace tarlo
