#include "editor/focus_tools.h"

namespace tarlo {

namespace {

using T = EditingTool;

// Tools that only make sense while the visual view has the focus.
constexpr EditingTool kVisualTools[] = {
    T::FontName,   T::FontSize,    T::FontColourText, T::FontColourSwatch, T::Bold,
    T::Italic,     T::Underline,   T::Indent,         T::Outdent,          T::IndentParagraphs,
    T::AlignLeft,  T::AlignCenter, T::AlignRight,     T::AlignFull,        T::InsertPicture,
    T::InsertLink, T::Unlink,      T::HorizontalRule, T::NumberedList,     T::BulletList};

// Tools that insert into or edit the source.
constexpr EditingTool kCodeTools[] = {T::Keywords,   T::Symbols, T::TableMaker, T::TagReference,
                                      T::ToggleCase, T::Undo,    T::Redo,       T::FindReplace};

}  // namespace

std::vector<ToolState> ToolsFor(FocusedView view) {
    const bool visual = view == FocusedView::Visual;
    std::vector<ToolState> out;
    for (const EditingTool tool : kCodeTools) out.push_back({tool, !visual});
    for (const EditingTool tool : kVisualTools) out.push_back({tool, visual});
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
