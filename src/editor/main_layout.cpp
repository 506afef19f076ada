#include "editor/main_layout.h"

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

}  // namespace tarlo
