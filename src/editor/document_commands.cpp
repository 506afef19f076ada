#include "editor/document_commands.h"

#include "editor/clipboard_commands.h"
#include "editor/file_commands.h"
#include "editor/sharing_commands.h"
#include "shell/command_table.h"
#include "shell/editor.h"

namespace tarlo {

DocumentCommands InstallDocumentCommands(Editor& editor, QObject* owner) {
    DocumentCommands d;
    d.files = new FileCommands(editor, owner);
    d.sharing = new SharingCommands(editor, owner);
    d.clipboard = new ClipboardCommands(editor, owner);
    FileCommands* f = d.files;
    SharingCommands* s = d.sharing;
    ClipboardCommands* c = d.clipboard;
    CommandTable& t = editor.commands();
    t.Set(CommandId::NewDocument, [f] { f->NewDocument(); });
    t.Set(CommandId::NewDocumentMenu, [f] { f->NewDocumentWithCodeFontSize(); });
    t.Set(CommandId::OpenDocument, [f] { f->OpenDocument(); });
    t.Set(CommandId::SaveDocument, [f] { f->SaveDocument(); });
    t.Set(CommandId::SaveDocumentAs, [f] { f->SaveDocumentAs(); });
    t.Set(CommandId::PreviewInBrowser, [s] { s->PreviewInBrowser(); });
    t.Set(CommandId::PrintDocument, [s] { s->PrintDocument(); });
    t.Set(CommandId::EmailDocument, [s] { s->EmailDocument(); });
    t.Set(CommandId::Cut, [c] { c->CutSelection(); });
    t.Set(CommandId::Copy, [c] { c->CopySelection(); });
    t.Set(CommandId::Paste, [c] { c->PasteClipboard(); });
    t.Set(CommandId::SelectAll, [c] { c->SelectAll(); });
    editor.SetSaveAs([f] { return f->SaveDocumentAs(); });
    return d;
}

}  // namespace tarlo
