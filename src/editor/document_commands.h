#pragma once
// The document's commands as the main window's controls run them: the file
// commands, the sharing commands (preview, print, e-mail) and the clipboard.
class QObject;

namespace tarlo {

class ClipboardCommands;
class Editor;
class FileCommands;
class SharingCommands;

struct DocumentCommands {
    FileCommands* files = nullptr;
    SharingCommands* sharing = nullptr;
    ClipboardCommands* clipboard = nullptr;
};

// Creates the document commands (children of `owner`), registers them with
// the editor's command table and makes Save As the exit prompt's.
DocumentCommands InstallDocumentCommands(Editor& editor, QObject* owner);

}  // namespace tarlo
