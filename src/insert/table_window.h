#pragma once
// The "Table Wizard" dialog `frmTable`: rows, columns, width, gridlines and
// an alternate row colour; "Create Table" inserts the table's HTML at the
// code view's caret as one edit and closes the dialog.
#include <QObject>
#include <QPointer>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarlo {

class Editor;

class frmTable : public QWidget {
    Q_OBJECT
  public:
    explicit frmTable(Editor& editor);

    // Checks the boxes, builds the table, inserts it and closes; a check
    // that fails leaves the dialog open with the user's values.
    void mtb_Click();

    QLabel* lblHint = nullptr;
    QLineEdit* rowtxt = nullptr;
    QLineEdit* coltxt = nullptr;
    QLineEdit* twidthtxt = nullptr;
    QComboBox* Combo1 = nullptr;
    QComboBox* cmbColor = nullptr;
    QPushButton* mtb = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit* Box(int which) const;
    Editor& editor_;
};

// The wizard's command: one dialog at most, shown modeless; the visual
// editor then has the focus, so that the user can place the caret.
class TableCommand : public QObject {
    Q_OBJECT
  public:
    TableCommand(Editor& editor, QObject* owner);
    // Opens the wizard, or brings it to the front (cmdTable).
    void ShowTableMaker();
    frmTable* window() const { return window_; }

  private:
    Editor& editor_;
    QPointer<frmTable> window_;
};

// Creates the wizard's command (a child of `owner`) and registers TableMaker.
TableCommand* InstallTableMaker(Editor& editor, QObject* owner);

}  // namespace tarlo
