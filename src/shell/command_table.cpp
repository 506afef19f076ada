#include "shell/command_table.h"

namespace tarlo {

namespace {

constexpr std::string_view kNames[] = {
    "NewDocument",
    "NewDocumentMenu",
    "OpenDocument",
    "SaveDocument",
    "SaveDocumentAs",
    "PreviewInBrowser",
    "PrintDocument",
    "EmailDocument",
    "Cut",
    "Copy",
    "Paste",
    "SelectAll",
    "Exit",
    "RefreshCode",
    "FormatHtml",
    "ColorizeHtml",
    "Undo",
    "Redo",
    "ToggleCase",
    "IndentFirstLines",
    "ToggleWindowColours",
    "ToggleOrientation",
    "CodeFontSize8",
    "CodeFontSize9",
    "CodeFontSize10",
    "CodeFontSize12",
    "CodeFontSize14",
    "AlignLeft",
    "AlignCenter",
    "AlignRight",
    "AlignFull",
    "Bold",
    "Italic",
    "Underline",
    "Indent",
    "Outdent",
    "BulletList",
    "NumberedList",
    "Unlink",
    "HorizontalRule",
    "FontName",
    "FontSize",
    "FontColour",
    "InsertPicture",
    "InsertLink",
    "CleanUp",
    "CleanUpKeepingLayout",
    "CheckStructure",
    "CheckEdgar",
    "CheckEdgarRules",
    "IxbrlFacts",
    "TagReference",
    "Symbols",
    "TableMaker",
    "Keywords",
    "Marquee",
    "Layer",
    "WebSearchForm",
    "FindReplace",
    "Upload",
    "Help",
    "TipOfTheDay",
    "About",
};
static_assert(std::size(kNames) == kCommandCount, "every command has a name");

std::size_t Index(CommandId id) {
    return static_cast<std::size_t>(id);
}

}  // namespace

std::string_view CommandName(CommandId id) {
    const std::size_t i = Index(id);
    return i < kCommandCount ? kNames[i] : std::string_view("?");
}

void CommandTable::Set(CommandId id, std::function<void()> command) {
    if (Index(id) < kCommandCount) commands_[Index(id)] = std::move(command);
}

bool CommandTable::Has(CommandId id) const {
    return Index(id) < kCommandCount && static_cast<bool>(commands_[Index(id)]);
}

bool CommandTable::Run(CommandId id) const {
    if (!Has(id)) return false;
    // A copy: the command may replace itself while it runs.
    const std::function<void()> command = commands_[Index(id)];
    command();
    return true;
}

}  // namespace tarlo
