#include "checker/check_commands.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include "checker/edgar_checks.h"
#include "checker/report_window.h"
#include "checker/structure_checks.h"
#include "cleanup/command_guards.h"
#include "codeview/code_view.h"
#include "editor/dialogs.h"

namespace tarlo {

CheckCommands::CheckCommands(frmMain& window) : QObject(&window), window_(window) {
    setObjectName(QStringLiteral("CheckCommands"));
}

frmVal* CheckCommands::reportWindow() const {
    return report_;
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
    CodeView* code = window_.txtCode;
    if (run.selection) code->SetSel(run.selection->start, run.selection->length);
    if (run.focusCode) code->setFocus(Qt::OtherFocusReason);
}

void CheckCommands::cmdCheck_Click() {
    if (running_) return;
    frmMain& w = window_;
    if (w.dialogs()->Message(&w,
                             QStringLiteral("This process can take a very long time. Do you wish "
                                            "to continue?"),
                             QStringLiteral("Tarlo Error checker"), Buttons::YesNo,
                             Icon::Information) != Answer::Yes) {
        return;
    }
    const RunningFlag running(running_);
    const QPointer<CheckCommands> self(this);
    if (w.chkAuto->isChecked()) {
        w.chkAuto->setChecked(false);
        w.timRefresh->stop();
    }
    w.cmdRefreshCode_Click();
    if (!self) return;
    CloseReport();
    ProgressWindows* progress = w.progressWindows();
    progress->CloseCodeProgress();
    const ProgressCloser closer(&w);
    const BusyPointer busy;
    progress->ShowCheckingProgress();

    EventPacer pacer;
    const auto tick = [&] {
        if (!self || !pacer.Due()) return;
        progress->ShowCheckingProgress();
        QCoreApplication::processEvents();
    };
    const CheckRun run = RunStructureChecks(w.txtCode->TextUtf8(), tick);
    if (!self) return;
    ApplySelection(run);
    progress->ShowCheckingProgress();
    progress->CloseEdgProgress();
    ShowReport(run.reportText, nullptr);
}

void CheckCommands::cmdCheck2_Click() {
    if (running_) return;
    frmMain& w = window_;
    const RunningFlag running(running_);
    const QPointer<CheckCommands> self(this);
    CloseReport();
    ProgressWindows* progress = w.progressWindows();
    const ProgressCloser closer(&w);
    const BusyPointer busy;
    progress->ShowCheckingProgress();

    const auto setItem = [&](const char* text) {
        if (frmEdgProgress* p = progress->edgProgress())
            p->lblitem->setText(QString::fromLatin1(text));
    };
    EdgarCheckHooks hooks;
    hooks.stage = [&](EdgarStage stage) {
        if (!self) return;
        if (stage == EdgarStage::MicrosoftCodes) {
            setItem("Checking for Microsoft codes...");
            progress->ShowCheckingProgress();
        } else {
            setItem("Checking for unacceptable characters...");
        }
        QCoreApplication::processEvents();
    };
    hooks.scanDone = [&] {
        if (self) progress->ShowCheckingProgress();
    };
    const CheckRun run = RunEdgarChecks(w.txtCode->TextUtf8(), hooks);
    if (!self) return;
    ApplySelection(run);
    setItem("Processing report...");
    frmEdgProgress* p = progress->edgProgress();
    ShowReport(run.reportText, p ? p->EdgProgress : nullptr);
}

void CheckCommands::ShowReport(const std::string& reportText, QProgressBar* bar) {
    const QPointer<CheckCommands> self(this);
    const QPointer<QProgressBar> progressBar(bar);
    auto* report = new frmVal(window_);
    report_ = report;
    const QPointer<frmVal> alive(report);
    const std::vector<ReportRow> rows = ReportRows(reportText);
    if (progressBar && !rows.empty()) {
        progressBar->setRange(1, static_cast<int>(rows.size()));
        progressBar->setValue(1);
    }
    EventPacer pacer;
    const int count = static_cast<int>(rows.size());
    report->Load(rows, [&](int number) {
        if (number != count && !pacer.Due()) return;
        if (progressBar) progressBar->setValue(number);
        QCoreApplication::processEvents();
    });
    if (!self || !alive) return;
    report->show();
}

}  // namespace tarlo
