#include "insert/insert_commands.h"

#include "insert/symbol_window.h"
#include "insert/tag_reference_window.h"
#include "shell/command_table.h"
#include "shell/editor.h"

namespace tarlo {

namespace {

// Shows a tool window that may already be on screen: one already there is
// only raised, never moved or made anew.
void ShowToFront(QWidget* window, bool activate) {
    if (!window->isVisible()) {
        if (!activate) window->setAttribute(Qt::WA_ShowWithoutActivating, true);
        window->show();
        window->setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
    window->raise();
    if (activate) window->activateWindow();
}

std::size_t Slot(SnippetKind kind) {
    return static_cast<std::size_t>(kind);
}

}  // namespace

InsertCommands::InsertCommands(Editor& editor, QObject* owner) : QObject(owner), editor_(editor) {
    setObjectName(QStringLiteral("InsertCommands"));
}

void InsertCommands::ShowTagReference() {
    if (!tags_) tags_ = new frmHTML(editor_);
    ShowToFront(tags_, true);
}

void InsertCommands::ShowSymbols() {
    if (!symbols_) symbols_ = new frmSpecial(editor_);
    ShowToFront(symbols_, false);
    if (QWidget* main = editor_.mainWindow()) main->activateWindow();
    editor_.FocusCode();
}

void InsertCommands::OpenSnippet(SnippetKind kind) {
    QPointer<frmSnippet>& dialog = snippets_[Slot(kind)];
    if (!dialog) dialog = new frmSnippet(editor_, kind);
    ShowToFront(dialog, true);
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
