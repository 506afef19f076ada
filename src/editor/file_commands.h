#pragma once
// The file commands: new, open, save and save as. The document on disk is
// always the code view's text; Save brings the code up to date with the
// visual view first. No command ever lets unsaved work go without asking.
#include <QObject>
#include <QString>
#include <optional>
#include <string>

#include "text/document_bytes.h"

namespace tarlo {

class Editor;

class FileCommands : public QObject {
    Q_OBJECT
  public:
    FileCommands(Editor& editor, QObject* owner);

    void NewDocument();
    // The menu's New also applies the code font size again.
    void NewDocumentWithCodeFontSize();
    // Asks for a file and opens it.
    void OpenDocument();
    // Opens a file as Open does (also for files dropped on either view);
    // false when nothing was opened.
    bool OpenDocumentFile(const QString& path);
    // Both true only when the document was written.
    bool SaveDocument();
    bool SaveDocumentAs();  // asks for the file

    // Whether the document holds work that is not in its file.
    bool HasUnsavedChanges();

  signals:
    // An HTML document was opened from, or written to, this file (absolute).
    void DocumentFiled(const QString& path);

  private:
    bool SaveAfterRefresh();
    bool SaveAsAfterRefresh();
    // Writes the code text to the path; on failure tells the user why.
    bool WriteDocumentTo(const QString& path);
    // Asks whether to save before the document is replaced; false when the
    // user's work would be lost (a cancelled or failed save).
    bool OfferToSave(bool alwaysAsk);
    void LoadText(const DocumentRead& read, const QString& path);
    void Inform(const QString& text);

    Editor& editor_;
};

}  // namespace tarlo
