#pragma once
// The report window of a check run ("Error Report" for the error check):
// one row per problem with its line and column, the counts in the status
// bar, and a double-click that takes the user to the problem in the code
// view. A tool window above the main window; the next check run replaces
// it. Negligible items can be hidden, and once another document is opened
// the report says so and no longer leads into the code.
#include <QIcon>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "checker/edgar_rules.h"
#include "checker/problem_report.h"
#include "text/colour.h"

class QCheckBox;
class QLabel;
class QStatusBar;
class QTreeWidget;

namespace tarlo {

class Editor;

// The report's columns, in the order they show.
enum ReportColumn : int {
    kColumnIssue,
    kColumnCode,
    kColumnSeverity,
    kColumnLine,
    kColumnColumn,
    kColumnRecommendation,
    kReportColumnCount,
};

class frmVal : public QWidget {
    Q_OBJECT
  public:
    // `title` names what was checked; the error check's report is the
    // "Error Report".
    explicit frmVal(Editor& editor, const QString& title = QStringLiteral("Error Report"));
    ~frmVal() override;

    // Called with the window's size as it goes (closed by the user or
    // replaced by the next run), so that the next report opens as large.
    std::function<void(const QSize&)> onClosing;

    // Fills the list with one row per record (`perRow` runs after each row,
    // with its 1-based number) and the status bar with their counts.
    void Load(const std::vector<ProblemRecord>& records,
              const std::function<void(int)>& perRow = {});

    // Widens the window, as far as the screen allows, so that the columns
    // show whole; for a report that has no size of the user's to keep.
    void FitToColumns();

    // Puts the code view's caret on the selected row's problem, while the
    // report's document is still the one open.
    void lvProbs_DblClick();

    // Hides or shows the Negligible rows as the check box says; the counts
    // stay those of the whole report.
    void chkNegligible_Click();

    // Another document is open: the report stays for reading, says that its
    // document is gone, and its rows lead nowhere.
    void MarkDocumentClosed();
    bool documentClosed() const { return documentClosed_; }

    QCheckBox* chkNegligible = nullptr;  // "Show negligible items", ticked at first
    QLabel* lblDocumentClosed = nullptr;
    QTreeWidget* lvProbs = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    std::vector<QIcon> imlProbs;      // image 1: a page with a green exclamation mark
    QLabel* Panel(int number) const;  // 1 errors, 2 warnings, 3 negligible items

  private:
    // Each column as wide as its texts, within bounds; a cell still cut
    // shows its whole text as its tool tip.
    void FitColumnsToTexts();

    Editor& editor_;
    QPointer<QWidget> main_;  // the editor's window, while it lives
    std::vector<QLabel*> panels_;
    std::vector<int> negligibleRows_;
    bool documentClosed_ = false;
};

// The 1-based line and column (in characters) of the place each row leads
// to in `text`: where its double-click puts the caret. Nothing for a row
// whose tag is no place in the text.
std::vector<std::optional<LineColumn>> RowPlaces(std::string_view text,
                                                 const std::vector<ReportRow>& rows);

// The colour the Severity cells take: the code view's plain colour, unless
// it could not be read on the list's background (white text in dark mode on
// a white list), when the list's own text colour is used.
QColor SeverityColour(WinColor plain, const QColor& background, const QColor& listText);

}  // namespace tarlo
