#pragma once
// The insertion tools' commands: the tag reference (cmdHTML), the symbol
// palette (cmdSpecial, Insert > "&Symbol") and the four snippet dialogs
// (cmdSEO and Insert > "&Keywords", "&Marquee", "&Layer", "&Google Search").
// Each window exists at most once: opening an open one brings it to the
// front. Closed windows are gone; the next opening starts afresh.
#include <QObject>
#include <QPointer>

#include "insert/snippet_window.h"

namespace tarlo {

class Editor;
class frmHTML;
class frmSpecial;

class InsertCommands : public QObject {
    Q_OBJECT
  public:
    InsertCommands(Editor& editor, QObject* owner);

    // The tag reference window (cmdHTML).
    void ShowTagReference();
    // Opens the palette (or brings it to the front) and gives the keyboard
    // to the code view, where the symbols go.
    void ShowSymbols();
    void OpenSnippet(SnippetKind kind);

    frmHTML* tagWindow() const;
    frmSpecial* symbolWindow() const;
    frmSnippet* snippetWindow(SnippetKind kind) const;

  private:
    Editor& editor_;
    QPointer<frmHTML> tags_;
    QPointer<frmSpecial> symbols_;
    QPointer<frmSnippet> snippets_[4];
};

// Creates the insertion commands (a child of `owner`) and registers them.
InsertCommands* InstallInsertTools(Editor& editor, QObject* owner);

}  // namespace tarlo
