#include "editor/main_layout.h"

#include <algorithm>
#include <cstddef>

namespace tarlo {

MainLayout ComputeMainLayout(const MainLayoutInput& in) {
    MainLayout out{};
    const int w = in.windowWidth;
    const int h = in.windowHeight;
    out.picLogoWidth = w - 280;
    out.picLogoTop = in.statusBar1Top - 725;
    out.splitterHeight = h - 2800;
    out.splitterWidth = w - 350;
    out.sbWidth = w - 350;
    out.sbTop = out.picLogoTop - 300;
    out.stripTop = out.sbTop + 75;
    out.frmTipsWidth = w - 10500;
    out.lblTipsWidth = out.frmTipsWidth - 260;
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
    // Panel numbers from 1, as the window names them.
    auto give = [&](int number) {
        const auto i = static_cast<std::size_t>(number - 1);
        if (i < n && total() > available) out[i].visible = false;
    };
    auto shrink = [&](int number) {
        const auto i = static_cast<std::size_t>(number - 1);
        if (i >= n || !out[i].visible) return;
        const int over = total() - available;
        if (over > 0) width[i] = std::max(least(i), width[i] - over);
    };
    for (int number : {12, 11, 10, 9, 8}) give(number);
    for (int number : {1, 5, 4, 3, 2}) shrink(number);
    give(1);
    // A window narrower than all of that: the panels under the strip's
    // check boxes narrow further; the document status, which both views
    // depend on, narrows last.
    for (int number : {4, 3, 2, 5}) {
        const auto i = static_cast<std::size_t>(number - 1);
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
