#pragma once
// Cut, copy, paste and select all, for whichever control the user worked in
// last: the visual view, the code view, or a text box of the window. The
// clipboard is only written when there is something to put on it.
#include <QObject>

class QWidget;

namespace tarlo {

class Editor;

class ClipboardCommands : public QObject {
    Q_OBJECT
  public:
    ClipboardCommands(Editor& editor, QObject* owner);

    void CutSelection();
    void CopySelection();
    void PasteClipboard();
    // Select All (mnuAll), in the view that had the focus last.
    void SelectAll();

  private:
    QWidget* ActiveControl() const;

    Editor& editor_;
    bool visualLast_ = false;  // the visual view had the focus last
};

}  // namespace tarlo
