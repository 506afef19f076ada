#pragma once
// The "Find and Replace" window `frmFind`: searches the code view with its
// own search (FindInCode) and replaces there. It opens in a find-only layout;
// the first press of "&Replace..." adds the replace controls. The caption of
// `cmdFind` is its only search state: "&Find" starts at the top of the code,
// "&Find Next" at the end of the selection.
#include <QObject>
#include <QPointer>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarlo {

class Editor;

class frmFind : public QWidget {
    Q_OBJECT
  public:
    explicit frmFind(Editor& editor);

    void cmdFind_Click();
    void cmdReplace_Click();
    void cmdReplaceAll_Click();
    void cmdCancel_Click();

    // The option bits of FindInCode from the three check boxes.
    int Options() const;

    QLabel* lblFind = nullptr;
    QLineEdit* cboFind = nullptr;
    QLabel* lblReplace = nullptr;
    QLineEdit* cboReplace = nullptr;
    QPushButton* cmdFind = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdReplace = nullptr;
    QPushButton* cmdReplaceAll = nullptr;
    QGroupBox* Frame1 = nullptr;
    QCheckBox* chkWholeWord = nullptr;
    QCheckBox* chkMatchCase = nullptr;
    QCheckBox* chkNoHighlight = nullptr;
    QLabel* Label1 = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void ShowResults();
    void ShowNotFound();
    // Whether the selection is an occurrence of the search text under the
    // options now ticked, in its place in the code.
    bool SelectionIsOccurrence();
    // Searches from `start`; a hit focuses the code, no hit is reported as
    // Find reports it.
    void FindOnwardFrom(int start);
    Editor& editor_;
};

// The window's command: one window at most; showing it again while it is
// open keeps its text, options, layout and search state.
class FindCommand : public QObject {
    Q_OBJECT
  public:
    FindCommand(Editor& editor, QObject* owner);
    void Show();
    frmFind* window() const { return window_; }

  private:
    Editor& editor_;
    QPointer<frmFind> window_;
};

// Creates the find command (a child of `owner`) and registers FindReplace.
FindCommand* InstallFindReplace(Editor& editor, QObject* owner);

}  // namespace tarlo
