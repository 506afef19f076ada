#pragma once
// The "Error Report" window: one row per problem a check run found, the
// counts in the status bar, and a double-click that takes the user to the
// problem in the code view. A tool window above the main window; the next
// check run replaces it.
#include <QIcon>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

#include "checker/problem_report.h"
#include "text/colour.h"

class QLabel;
class QStatusBar;
class QTreeWidget;

namespace tarlo {

class Editor;

class frmVal : public QWidget {
    Q_OBJECT
  public:
    explicit frmVal(Editor& editor);

    // Fills the list with one row per record (`perRow` runs after each row,
    // with its 1-based number) and the status bar with their counts.
    void Load(const std::vector<ProblemRecord>& records,
              const std::function<void(int)>& perRow = {});

    // Puts the code view's caret on the selected row's problem.
    void lvProbs_DblClick();

    QTreeWidget* lvProbs = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    std::vector<QIcon> imlProbs;      // image 1: a page with a green exclamation mark
    QLabel* Panel(int number) const;  // 1 errors, 2 warnings, 3 negligible items

  private:
    Editor& editor_;
    QPointer<QWidget> main_;  // the editor's window, while it lives
    std::vector<QLabel*> panels_;
};

// The colour the Severity cells take: the code view's plain colour, unless
// it could not be read on the list's background (white text in dark mode on
// a white list), when the list's own text colour is used.
QColor SeverityColour(WinColor plain, const QColor& background, const QColor& listText);

}  // namespace tarlo
