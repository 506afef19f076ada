#pragma once
// Which editing tools work on which view. Tools of the visual side act on the
// page through the engine; tools of the code side insert into the source.
#include <string>
#include <vector>

namespace tarlo {

enum class FocusedView { Visual, Code };

struct ToolState {
    std::string control;  // the control's name, as the window names it
    bool enabled;
};

// The enabled state of every switched tool when the given view has the focus.
std::vector<ToolState> ToolsFor(FocusedView view);

// The tip shown in the tips frame when a view takes the focus.
const char* FocusTip(FocusedView view);

}  // namespace tarlo
