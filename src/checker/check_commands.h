#pragma once
// The two error-check runs: the structure check ("Error check", cmdCheck)
// and the EDGAR conformance check ("Test Error Chk", cmdCheck2). Each scans
// the code text and shows its problems in the "Error Report" window,
// replacing the previous report.
#include <QObject>
#include <QPointer>
#include <vector>

class QProgressBar;

namespace tarlo {

class Editor;
class frmVal;
struct CheckRun;
struct ProblemRecord;

// The most findings the EDGAR rules check lists in the report window.
inline constexpr int kEdgarRulesReportLimit = 10000;

class CheckCommands : public QObject {
    Q_OBJECT
  public:
    CheckCommands(Editor& editor, QObject* owner);

    void cmdCheck_Click();
    void cmdCheck2_Click();
    // "EDGAR Rules Check": what EDGAR's acceptance checks would refuse.
    void cmdEdgarRules_Click();

    frmVal* reportWindow() const;

  private:
    void CloseReport();
    void ApplySelection(const CheckRun& run);
    // Builds and shows the report; `bar` (may be null) follows the rows.
    void ShowReport(const std::vector<ProblemRecord>& records, QProgressBar* bar);

    Editor& editor_;
    QPointer<frmVal> report_;
    bool running_ = false;
};

// Creates the check commands (a child of `owner`) and registers them.
CheckCommands* InstallChecker(Editor& editor, QObject* owner);

}  // namespace tarlo
