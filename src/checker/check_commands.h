#pragma once
// The check runs: the structure check ("Error check", cmdCheck), the EDGAR
// conformance check ("Test Error Chk", cmdCheck2) and the EDGAR rules check.
// Each scans the code text and shows its problems in a report window
// ("Error Report", or named after the check), replacing the previous report;
// a report opens as large as the last one was when it went. The Inline XBRL
// facts window lives here too: like a report, it reads the code and leads
// back into it.
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

class QProgressBar;

namespace tarlo {

class Editor;
class FactsWindow;
class frmVal;
struct CheckRun;
struct ProblemRecord;

// The most findings the EDGAR rules check lists in the report window.
inline constexpr int kEdgarRulesReportLimit = 10000;

class CheckCommands : public QObject {
    Q_OBJECT
  public:
    CheckCommands(Editor& editor, QObject* owner);

    // "Error check" (cmdCheck): the structure check, after a refresh.
    void CheckStructure();
    // "Test Error Chk" (cmdCheck2): the EDGAR conformance check.
    void CheckEdgar();
    // "EDGAR Rules Check": what EDGAR's acceptance checks would refuse.
    void CheckEdgarRules();

    // "Inline XBRL Facts": every fact of the document in a window of its
    // own, read again (and brought forward) when already open.
    void ShowFacts();

    frmVal* reportWindow() const;
    FactsWindow* factsWindow() const;

  private:
    void CloseReport();
    void ApplySelection(const CheckRun& run);
    // Builds and shows the report titled `title`; `bar` (may be null)
    // follows the rows.
    void ShowReport(const std::vector<ProblemRecord>& records, QProgressBar* bar,
                    const QString& title = QStringLiteral("Error Report"));

    Editor& editor_;
    QPointer<frmVal> report_;
    QPointer<FactsWindow> facts_;
    // The last report's size when it went, for this run of the program.
    std::optional<QSize> reportSize_;
    bool running_ = false;
};

// Creates the check commands (a child of `owner`) and registers them.
CheckCommands* InstallChecker(Editor& editor, QObject* owner);

}  // namespace tarlo
