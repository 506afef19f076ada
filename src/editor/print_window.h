#pragma once
// frmPrint, "Tarlo Print": which of the two views to print. The code is
// printed from the print work area `PrintTemp`, which the print command has
// filled with the code in print colours (dark text on white paper); the
// visual view prints itself through the browser engine.
#include <QPointer>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace tarlo {

class CodeView;
class Editor;

class frmPrint : public QWidget {
    Q_OBJECT
  public:
    frmPrint(Editor& editor, CodeView* printTemp);

    // Topmost and centred over the main window; run once before showing.
    void Load();
    void cmdPrint_Click();

    QGroupBox* fraWhat = nullptr;
    QCheckBox* Check1 = nullptr;  // "Visual Editor"
    QCheckBox* Check2 = nullptr;  // "HTML Code"
    QGroupBox* fraNote = nullptr;
    QLabel* lblNote = nullptr;
    QPushButton* cmdPrint = nullptr;

  private:
    Editor& editor_;
    QPointer<QWidget> main_;
    QPointer<CodeView> printTemp_;
};

// Prints the visual view's document through the printer dialog; false when
// the dialog was cancelled or the engine could not print.
bool PrintVisualDocument(Editor& editor);
// Prints the work area (its selection when it has one and the user asks for
// it); false when the dialog was cancelled or printing failed.
bool PrintCodeArea(Editor& editor, CodeView& area);

}  // namespace tarlo
