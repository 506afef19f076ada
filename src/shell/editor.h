#pragma once
// What a command or a tool window may use of the editor: the document and
// its sync, the two views, the caret and selection of the code view, the
// progress windows, and questions through `Dialogs`. The main window
// implements it; nothing else needs the main window itself.
#include <QString>
#include <functional>
#include <string_view>

#include "text/byte_range.h"

class QWidget;

namespace tarlo {

class CodeView;
class CommandTable;
class Dialogs;
class Document;
class ProgressWindows;
class ViewSync;
class VisualView;

class Editor {
  public:
    virtual ~Editor() = default;

    // --- the document and its two views
    virtual Document& document() = 0;
    virtual ViewSync& sync() = 0;
    virtual CodeView& codeView() = 0;
    virtual VisualView& visualView() = 0;
    // The commands of the window's buttons, menus and keys; each subsystem
    // registers its own.
    virtual CommandTable& commands() = 0;

    // --- the code view's caret and selection (byte offsets)
    // Collapses the selection to its start, gives the code view the focus
    // and types the text there: one change, the caret after the text.
    virtual void InsertAtCaret(std::string_view text) = 0;
    virtual ByteRange Selection() const = 0;
    virtual void SetSelection(ByteRange range) = 0;
    virtual void FocusCode() = 0;
    virtual void FocusPage() = 0;
    // The caret's line and column in the status strip.
    virtual void ShowCaretPosition() = 0;

    // --- the window around them
    // Where messages, tool windows and the progress windows belong: the
    // main window, as a parent and as the window they centre over.
    virtual QWidget* mainWindow() = 0;
    virtual Dialogs& dialogs() = 0;
    virtual ProgressWindows& progress() = 0;
    // The window's caption, which names the document's file.
    virtual QString Caption() const = 0;
    virtual void SetCaption(const QString& caption) = 0;
    // Unticks Auto-Refresh and stops its timer (long commands run once).
    virtual void StopAutoRefresh() = 0;
    // Adds a permanent line to the window's bottom edge.
    virtual void AddStatusWidget(QWidget* widget) = 0;
    // The font name and size chosen in the visual tools' boxes.
    virtual QString ChosenFontName() const = 0;
    virtual QString ChosenFontSize() const = 0;
    // How the exit prompt saves: true only when the document was saved.
    virtual void SetSaveAs(std::function<bool()> saveAs) = 0;
};

}  // namespace tarlo
