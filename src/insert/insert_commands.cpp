#include "insert/insert_commands.h"

#include "insert/symbol_window.h"
#include "insert/tag_reference_window.h"
#include "shell/command_table.h"
#include "shell/editor.h"
#include "shell/window_helpers.h"

namespace tarlo {

namespace {

std::size_t Slot(SnippetKind kind) {
    return static_cast<std::size_t>(kind);
}

}  // namespace

InsertCommands::InsertCommands(Editor& editor, QObject* owner) : QObject(owner), editor_(editor) {
    setObjectName(QStringLiteral("InsertCommands"));
}

void InsertCommands::ShowTagReference() {
    ShowToolWindow(tags_, [this] { return new frmHTML(editor_); });
}

void InsertCommands::ShowSymbols() {
    ShowToolWindow(
        symbols_, [this] { return new frmSpecial(editor_); }, false);
    if (QWidget* main = editor_.mainWindow()) main->activateWindow();
    editor_.FocusCode();
}

void InsertCommands::OpenSnippet(SnippetKind kind) {
    QPointer<frmSnippet>& dialog = snippets_[Slot(kind)];
    ShowToolWindow(dialog, [this, kind] { return new frmSnippet(editor_, kind); });
}

frmSnippet* InsertCommands::snippetWindow(SnippetKind kind) const {
    return snippets_[Slot(kind)];
}

frmHTML* InsertCommands::tagWindow() const {
    return tags_;
}

frmSpecial* InsertCommands::symbolWindow() const {
    return symbols_;
}

InsertCommands* InstallInsertTools(Editor& editor, QObject* owner) {
    const QPointer<InsertCommands> tools = new InsertCommands(editor, owner);
    CommandTable& t = editor.commands();
    t.Set(CommandId::TagReference, [tools] {
        if (tools) tools->ShowTagReference();
    });
    t.Set(CommandId::Symbols, [tools] {
        if (tools) tools->ShowSymbols();
    });
    const std::pair<CommandId, SnippetKind> snippets[] = {
        {CommandId::Keywords, SnippetKind::Keywords},
        {CommandId::Marquee, SnippetKind::Marquee},
        {CommandId::Layer, SnippetKind::Layer},
        {CommandId::WebSearchForm, SnippetKind::SearchForm},
    };
    for (const auto& [id, kind] : snippets) {
        t.Set(id, [tools, kind = kind] {
            if (tools) tools->OpenSnippet(kind);
        });
    }
    return tools;
}

}  // namespace tarlo
