#pragma once
// The "Help" window `frmHelp`: Tarlo's own help pages, which travel inside
// the program, so help works without a network. A find box searches the
// page on show.
#include <QObject>
#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QWebEngineView;

namespace tarlo {

class Editor;

class frmHelp : public QWidget {
    Q_OBJECT
  public:
    explicit frmHelp(Editor& editor);

    void cmdBack_Click();
    void cmdContents_Click();
    // Finds the find box's text on the page, onwards from the last match.
    void txtFind_Return();

    QWebEngineView* webHelp = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdContents = nullptr;
    QLineEdit* txtFind = nullptr;
    QLabel* lblFindResult = nullptr;
};

class HelpCommand : public QObject {
    Q_OBJECT
  public:
    HelpCommand(Editor& editor, QObject* owner);
    void Show();
    frmHelp* window() const { return window_; }

  private:
    Editor& editor_;
    QPointer<frmHelp> window_;
};

}  // namespace tarlo
