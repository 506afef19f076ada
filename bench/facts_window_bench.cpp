// How long the Inline XBRL Facts window takes to list a filing's facts: from
// the menu entry until every row is in the list (median of 5), on the
// files named on the command line, beside `tarlo-cli facts` printing the
// same list in a process of its own.
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTreeWidget>
#include <cstdio>
#include <vector>

#include "app/editor_commands.h"
#include "bench_support.h"
#include "bench_window.h"
#include "checker/check_commands.h"
#include "checker/facts_window.h"
#include "codeview/code_view.h"
#include "editor/main_window.h"
#include "pageview/visual_view.h"
#include "shell/dialogs.h"

using namespace tarlo;

int main(int argc, char** argv) {
    bench::PrepareWindowRun();
    QApplication app(argc, argv);
    ScriptedDialogs dialogs;
    frmMain w(&dialogs);
    bench::StartBenchWindow(w);
    const QString cli = QDir(QCoreApplication::applicationDirPath()).filePath("tarlo-cli");
    std::printf("%-32s %10s %8s %12s %14s\n", "document", "bytes", "facts", "window ms",
                "tarlo-cli ms");
    for (int i = 1; i < argc; ++i) {
        QFile f(argv[i]);
        if (!f.open(QIODevice::ReadOnly)) continue;
        w.txtCode->SetTextUtf8(f.readAll().toStdString());
        w.Web->WaitForPushes(600000);
        std::vector<double> runs;
        int rows = 0;
        for (int k = 0; k < 5; ++k) {
            QElapsedTimer t;
            t.start();
            w.menuAction("mnuIxbrlFacts")->trigger();
            auto* checks = w.findChild<CheckCommands*>("CheckCommands");
            FactsWindow* facts = checks ? checks->factsWindow() : nullptr;
            rows = facts ? facts->lvFacts->topLevelItemCount() : 0;
            runs.push_back(t.nsecsElapsed() / 1e6);
        }
        std::printf("%-32s %10lld %8d %12.1f %14.1f\n", qPrintable(QFileInfo(argv[i]).fileName()),
                    static_cast<long long>(f.size()), rows, bench::Median(runs),
                    bench::ProgramMs(cli, {"facts", argv[i]}));
        std::fflush(stdout);
    }
    std::printf(
        "\nwindow ms: from the Tools menu entry until every fact is listed (median of 5)\n"
        "tarlo-cli ms: tarlo-cli facts printing the same list, the whole process\n");
    return 0;
}
