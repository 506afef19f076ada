#include "cleanup/edgarize_command.h"

#include <QCheckBox>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

#include "cleanup/command_guards.h"
#include "cleanup/edgarize.h"
#include "codeview/code_view.h"
#include "editor/dialogs.h"
#include "editor/visual_view.h"

namespace tarlo {

namespace {

const char* const kConfirm =
    "This process can take a very long time and cannot be undone. You should save your work "
    "before running this command. Do you wish to continue?";

}  // namespace

EdgarizeCommand::EdgarizeCommand(frmMain& window) : QObject(&window), window_(window) {
    setObjectName(QStringLiteral("EdgarizeCommand"));
    lbltest = new QLabel(window.StatusBar1);
    lbltest->setObjectName(QStringLiteral("lbltest"));
    lbltest->setAccessibleName(QStringLiteral("Clean-up statistics"));
    window.StatusBar1->addWidget(lbltest, 1);
}

void EdgarizeCommand::cmdEdgarize_Click() {
    // A second click while the clean-up runs would clean a half-built page.
    if (running_) return;
    frmMain& w = window_;
    if (w.dialogs()->Message(&w, kConfirm, QStringLiteral("Tarlo Code cleaner"), Buttons::YesNo,
                             Icon::Information) != Answer::Yes) {
        return;
    }
    const RunningFlag running(running_);
    const QPointer<EdgarizeCommand> self(this);
    if (w.chkAuto->isChecked()) {
        w.chkAuto->setChecked(false);
        w.timRefresh->stop();
    }
    w.cmdRefreshCode_Click();
    if (!self) return;
    w.MarkCodeAccurate();

    ProgressWindows* progress = w.progressWindows();
    const ProgressCloser closer(&w);
    if (frmEdgProgress* p = progress->ShowCleaningProgress()) {
        p->lblitem->setText(QStringLiteral("Cleaning code..."));
    }
    // The page's HTML is held here, not in the one-line work box, which
    // would cut a filing short at its length limit.
    const std::optional<QString> html = w.Web->OuterHtml();
    if (!self || !html || html->isEmpty()) return;
    const std::string page = html->toStdString();

    const BusyPointer busy;
    EdgarizeHooks hooks;
    hooks.cleaning = [&](const CleaningStatistics& s) {
        if (!self) return;
        lbltest->setText(QString::fromStdString(StatisticsLine(s)));
        QCoreApplication::processEvents();
    };
    hooks.replacing = [&] {
        if (!self) return;
        if (frmEdgProgress* p = progress->ShowCleaningProgress()) {
            p->lblitem->setText(QStringLiteral("Replacing codes..."));
        }
        QCoreApplication::processEvents();
    };
    hooks.replaced = [&] {
        if (self) progress->ShowCleaningProgress();
    };
    const std::string cleaned = Edgarize(page, hooks);
    if (!self) return;

    // Straight into the code view: the user's clipboard is not ours to use.
    w.txtCode->SetTextUtf8(cleaned);
    w.cmdRefreshCode_Click();
    if (!self) return;
    progress->ShowCleaningProgress();
}

}  // namespace tarlo
