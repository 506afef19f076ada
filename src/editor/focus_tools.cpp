#include "editor/focus_tools.h"

namespace tarlo {

namespace {

// Tools that only make sense while the visual view has the focus.
const char* const kVisualTools[] = {"cmbFontName", "cmbFontSize",   "txtColor",   "ImgColor",
                                    "cmdBold",     "cmdItalics",    "cmdUnder",   "cmdIndent",
                                    "cmdOutdent",  "cmdAutoIndent", "cmdLeft",    "cmdCenter",
                                    "cmdRight",    "cmdFull",       "cmdPic",     "cmdLink",
                                    "cmdUnlink",   "cmdRule",       "cmdNumbers", "cmdBullets"};

// Tools that insert into or edit the source.
const char* const kCodeTools[] = {"cmdSEO",  "cmdSpecial", "cmdTable", "cmdHTML",
                                  "cmdCase", "cmdUndo",    "cmdRedo",  "cmdFind"};

}  // namespace

std::vector<ToolState> ToolsFor(FocusedView view) {
    const bool visual = view == FocusedView::Visual;
    std::vector<ToolState> out;
    for (const char* name : kCodeTools) out.push_back({name, !visual});
    for (const char* name : kVisualTools) out.push_back({name, visual});
    return out;
}

const char* FocusTip(FocusedView view) {
    if (view == FocusedView::Visual) {
        return "This is the Visual Editor side where you can edit your web page just like "
               "editing a standard document. After you make changes here, you need to hit the "
               "Refresh button so the code can be updated to reflect your latest edits. You can "
               "drag HTML documents to this window.";
    }
    return "This is the code side where you can edit your web page via HTML code. The edits will "
           "appear on the Visual Editor side as you make them.";
}

}  // namespace tarlo
