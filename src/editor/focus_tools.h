#pragma once
// Which editing tools work on which view. Tools of the visual side act on the
// page through the engine; tools of the code side insert into the source.
#include <vector>

namespace tarlo {

enum class FocusedView { Visual, Code };

// The main window's tools that follow the focus between the two views.
enum class EditingTool {
    Keywords,
    Symbols,
    TableMaker,
    TagReference,
    ToggleCase,
    Undo,
    Redo,
    FindReplace,
    FontName,
    FontSize,
    FontColourText,
    FontColourSwatch,
    Bold,
    Italic,
    Underline,
    Indent,
    Outdent,
    IndentParagraphs,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignFull,
    InsertPicture,
    InsertLink,
    Unlink,
    HorizontalRule,
    NumberedList,
    BulletList,
};

struct ToolState {
    EditingTool tool;
    bool enabled;
};

// The enabled state of every switched tool when the given view has the focus.
std::vector<ToolState> ToolsFor(FocusedView view);

// The tip shown in the tips frame when a view takes the focus.
const char* FocusTip(FocusedView view);

}  // namespace tarlo
