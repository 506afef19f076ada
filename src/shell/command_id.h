#pragma once
// Every command a button, a menu entry or a key of the main window can run.
// Controls are wired to these identifiers, so a command that does not exist
// is a compile error rather than a button that silently does nothing.
#include <cstddef>
#include <string_view>

namespace tarlo {

enum class CommandId {
    // Document files, sharing and the clipboard.
    NewDocument,      // the toolbar's New
    NewDocumentMenu,  // File > New, which also applies the code font size again
    OpenDocument,
    SaveDocument,
    SaveDocumentAs,
    PreviewInBrowser,
    PrintDocument,
    EmailDocument,
    Cut,
    Copy,
    Paste,
    SelectAll,
    Exit,
    // The two views and the code window.
    RefreshCode,
    FormatHtml,
    ColorizeHtml,
    Undo,
    Redo,
    ToggleCase,
    IndentFirstLines,
    ToggleWindowColours,
    ToggleOrientation,
    CodeFontSize8,
    CodeFontSize9,
    CodeFontSize10,
    CodeFontSize12,
    CodeFontSize14,
    // The visual view's formatting tools.
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignFull,
    Bold,
    Italic,
    Underline,
    Indent,
    Outdent,
    BulletList,
    NumberedList,
    Unlink,
    HorizontalRule,
    FontName,
    FontSize,
    FontColour,
    InsertPicture,
    InsertLink,
    // Clean-up and checks.
    CleanUp,
    CleanUpKeepingLayout,
    CheckStructure,
    CheckEdgar,
    CheckEdgarRules,
    IxbrlFacts,
    // Insertion tools, find, publishing, help.
    TagReference,
    Symbols,
    TableMaker,
    Keywords,
    Marquee,
    Layer,
    WebSearchForm,
    FindReplace,
    Upload,
    Help,
    TipOfTheDay,
    About,
};

inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(CommandId::About) + 1;

// A readable name for messages and test reports ("Bold", "CodeFontSize8").
std::string_view CommandName(CommandId id);

}  // namespace tarlo
