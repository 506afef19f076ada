#include "checker/check_commands.h"

#include <QLabel>
#include <QProgressBar>

#include "checker/edgar_checks.h"
#include "checker/edgar_rules.h"
#include "checker/facts_window.h"
#include "checker/ixbrl_facts.h"
#include "checker/report_window.h"
#include "checker/structure_checks.h"
#include "codeview/code_view.h"
#include "document/document.h"
#include "document/view_sync.h"
#include "shell/command_guards.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "shell/long_operation.h"
#include "shell/window_helpers.h"

namespace tarlo {

CheckCommands::CheckCommands(Editor& editor, QObject* owner) : QObject(owner), editor_(editor) {
    setObjectName(QStringLiteral("CheckCommands"));
    // The open report stays for reading once another document is open, but
    // marked: its places would lead into the wrong document.
    editor_.document().AddReplacedListener([self = QPointer<CheckCommands>(this)] {
        if (!self) return;
        if (self->report_) self->report_->MarkDocumentClosed();
        if (self->facts_) self->facts_->MarkDocumentClosed();
    });
}

frmVal* CheckCommands::reportWindow() const {
    return report_;
}

FactsWindow* CheckCommands::factsWindow() const {
    return facts_;
}

void CheckCommands::CloseReport() {
    if (frmVal* old = report_) {
        // Runs start from the main window, never from inside the report, so
        // the old report can go at once.
        report_ = nullptr;
        delete old;
    }
}

void CheckCommands::ApplySelection(const CheckRun& run) {
    if (run.selection) editor_.SetSelection(*run.selection);
    if (run.focusCode) editor_.FocusCode();
}

void CheckCommands::CheckStructure() {
    if (running_) return;
    if (editor_.dialogs().Message(editor_.mainWindow(),
                                  QStringLiteral("This process can take a very long time. Do you "
                                                 "wish to continue?"),
                                  QStringLiteral("Tarlo Error checker"), Buttons::YesNo,
                                  Icon::Information) != Answer::Yes) {
        return;
    }
    const RunningFlag running(running_);
    const QPointer<CheckCommands> self(this);
    if (!RefreshForLongCommand(editor_, self)) return;
    CloseReport();
    ProgressWindows& progress = editor_.progress();
    progress.CloseCodeProgress();
    const ProgressCloser closer(editor_);
    const BusyPointer busy;
    progress.ShowCheckingProgress();

    PacedWork work;
    work.onDue = [&] {
        if (self) progress.ShowCheckingProgress();
    };
    const CheckRun run = RunStructureChecks(editor_.document().Text(), work);
    if (!self) return;
    ApplySelection(run);
    progress.ShowCheckingProgress();
    progress.CloseEdgProgress();
    ShowReport(run.records, nullptr);
}

void CheckCommands::CheckEdgar() {
    if (running_) return;
    const RunningFlag running(running_);
    const QPointer<CheckCommands> self(this);
    CloseReport();
    ProgressWindows& progress = editor_.progress();
    const ProgressCloser closer(editor_);
    const BusyPointer busy;
    progress.ShowCheckingProgress();

    const auto setItem = [&](const QString& text) {
        if (frmEdgProgress* p = progress.edgProgress()) p->lblitem->setText(text);
    };
    PacedWork work;
    work.onStage = [&](std::string_view what) {
        if (self) setItem(QString::fromUtf8(what.data(), static_cast<int>(what.size())));
    };
    work.onAdvance = [&] {
        if (self) progress.ShowCheckingProgress();
    };
    const CheckRun run = RunEdgarChecks(editor_.document().Text(), work);
    if (!self) return;
    ApplySelection(run);
    setItem(QStringLiteral("Processing report..."));
    frmEdgProgress* p = progress.edgProgress();
    ShowReport(run.records, p ? p->EdgProgress : nullptr);
}

void CheckCommands::CheckEdgarRules() {
    if (running_) return;
    const RunningFlag running(running_);
    const QPointer<CheckCommands> self(this);
    // The records point into the code: a refresh while the report is read
    // would move what they point at, as with the error check.
    if (!RefreshForLongCommand(editor_, self)) return;
    CloseReport();
    const BusyPointer busy;
    EdgarRulesOptions options;
    // Pictures are judged by their files where the document has a folder.
    options.documentFolder = editor_.document().BaseFolder;
    // A document with more than this needs the clean-up first; a report of
    // hundreds of thousands of rows would only keep the user waiting.
    options.maxFindings = kEdgarRulesReportLimit;
    const EdgarRulesResult result = tarlo::CheckEdgarRules(editor_.document().Text(), options);
    std::vector<ProblemRecord> records;
    records.reserve(result.findings.size() + 1);
    for (const EdgarFinding& f : result.findings) records.push_back(ToProblemRecord(f));
    if (result.truncated) {
        ProblemRecord more;
        more.Description =
            "The list stops here: the document has more findings than can be "
            "shown. Fix these and run the check again.";
        more.Code = "EDGAR";
        more.Severity = std::string(kSeverityWarning);
        more.Fix = "Run the check again after fixing these.";
        more.Position = static_cast<std::int32_t>(result.findings.back().offset);
        records.push_back(std::move(more));
    }
    ShowReport(records, nullptr, QStringLiteral("EDGAR Rules Check"));
}

void CheckCommands::ShowReport(const std::vector<ProblemRecord>& records, QProgressBar* bar,
                               const QString& title) {
    const QPointer<CheckCommands> self(this);
    const QPointer<QProgressBar> progressBar(bar);
    auto* report = new frmVal(editor_, title);
    report_ = report;
    const QPointer<frmVal> alive(report);
    if (progressBar && !records.empty()) {
        progressBar->setRange(1, static_cast<int>(records.size()));
        progressBar->setValue(1);
    }
    EventPacer pacer;
    const int count = static_cast<int>(records.size());
    report->Load(records, [&](int number) {
        if (number != count && !pacer.Due()) return;
        if (progressBar) progressBar->setValue(number);
        QCoreApplication::processEvents();
    });
    if (!self || !alive) return;
    // The size the user gave the last report; else wide enough for the
    // columns' texts. Centred again for the size it now has.
    if (reportSize_) {
        report->resize(*reportSize_);
    } else {
        report->FitToColumns();
    }
    CentreOverMain(report, editor_.mainWindow());
    report->onClosing = [self](const QSize& size) {
        if (self) self->reportSize_ = size;
    };
    report->show();
}

void CheckCommands::ShowFacts() {
    if (running_) return;
    const RunningFlag running(running_);
    const QPointer<CheckCommands> self(this);
    // The rows lead to byte offsets in the code: the page's edits come in
    // first, as before the rules check.
    if (!RefreshForLongCommand(editor_, self)) return;
    const BusyPointer busy;
    // A window of a replaced document would keep its mark: a fresh one
    // takes its place.
    if (facts_ && facts_->documentClosed()) delete facts_;
    if (!facts_) facts_ = new FactsWindow(editor_);
    facts_->Load(ReadIxFacts(editor_.document().Text()));
    facts_->show();
    facts_->raise();
}

CheckCommands* InstallChecker(Editor& editor, QObject* owner) {
    const QPointer<CheckCommands> checks = new CheckCommands(editor, owner);
    CommandTable& t = editor.commands();
    t.Set(CommandId::CheckStructure, [checks] {
        if (checks) checks->CheckStructure();
    });
    t.Set(CommandId::CheckEdgar, [checks] {
        if (checks) checks->CheckEdgar();
    });
    t.Set(CommandId::CheckEdgarRules, [checks] {
        if (checks) checks->CheckEdgarRules();
    });
    t.Set(CommandId::IxbrlFacts, [checks] {
        if (checks) checks->ShowFacts();
    });
    return checks;
}

}  // namespace tarlo
