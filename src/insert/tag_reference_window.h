#pragma once
// "Common HTML codes" (frmHTML): the tag reference beside the main window.
// Selecting a tag shows its description as the list's hover text; a
// double-click (or Enter) puts the tag at the code view's caret. The window
// stays open for the next tag.
#include <QWidget>

class QEvent;
class QLabel;
class QListWidget;
class QListWidgetItem;

namespace tarlo {

class Editor;

class frmHTML : public QWidget {
    Q_OBJECT
  public:
    explicit frmHTML(Editor& editor);

    // The selected entry's description becomes the list's hover text.
    void listHTML_Click();
    // Collapses the code view's selection to its start, focuses the code
    // view and inserts `entry` there; no entry (a double-click below the
    // last one) inserts nothing.
    void listHTML_DblClick(const QListWidgetItem* entry);

    QListWidget* listHTML = nullptr;
    QLabel* lblNote = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    Editor& editor_;
    QObject* listViewport_ = nullptr;
};

}  // namespace tarlo
