#pragma once
// The two error-check runs of the main window: the structure check
// ("Error check", cmdCheck) and the EDGAR conformance check ("Test Error
// Chk", cmdCheck2). Each scans the code view's text and shows its problems
// in the "Error Report" window, replacing the previous report.
#include <QObject>
#include <QPointer>
#include <string>

class QProgressBar;

namespace tarlo {

class frmMain;
class frmVal;
struct CheckRun;

class CheckCommands : public QObject {
    Q_OBJECT
  public:
    explicit CheckCommands(frmMain& window);

    void cmdCheck_Click();
    void cmdCheck2_Click();

    frmVal* reportWindow() const;

  private:
    void CloseReport();
    void ApplySelection(const CheckRun& run);
    // Builds and shows the report; `bar` (may be null) follows the rows.
    void ShowReport(const std::string& reportText, QProgressBar* bar);

    frmMain& window_;
    QPointer<frmVal> report_;
    bool running_ = false;
};

}  // namespace tarlo
