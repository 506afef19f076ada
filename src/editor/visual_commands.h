#pragma once
// The formatting tools of the visual view: each runs one editing command of
// the browser engine on the document's selection, as a word processor's
// toolbar does, and most give the keyboard back to the visual view. Also the
// code view's window-colour toggle, which sits among the coding tools.
#include <QObject>
#include <QString>

#include "shell/command_id.h"
#include "text/colour.h"

namespace tarlo {

class Editor;

// One row of the command table.
struct VisualCommand {
    CommandId id;         // the command of the button and its menu entry
    const char* command;  // the engine's command name
    bool focusAfter;      // give the focus back to the visual view
};

class VisualCommands : public QObject {
    Q_OBJECT
  public:
    VisualCommands(Editor& editor, QObject* owner);

    // A simple command of the table (no value).
    void Run(const VisualCommand& c);
    // The toolbar's font name, size and colour (cmbFontName, cmbFontSize,
    // ImgColor and txtColor) applied to the page's selection.
    void ApplyFontName();
    void ApplyFontSize();
    void ApplyFontColour();
    void InsertPicture();
    void InsertLink();
    // Dark code window to light and back (mnuColor).
    void ToggleWindowColours();

    // The font the system settles on for a name (a name that is not
    // installed comes back as the font used in its place).
    static QString SettledFontName(const QString& name);
    // The engine's form of a Windows colour value: "#rrggbb".
    static QString CssColour(WinColor colour);

    QString fontName() const { return fontName_; }
    WinColor lastColour() const { return lastColour_; }

  private:
    Editor& editor_;
    QString fontName_;
    WinColor lastColour_ = kBlack;  // the colour dialog's colour until one is chosen
};

const VisualCommand* VisualCommandTable(std::size_t& count);

// Creates the visual editing commands (a child of `owner`) and registers
// them with the editor's command table.
VisualCommands* InstallVisualCommands(Editor& editor, QObject* owner);

}  // namespace tarlo
