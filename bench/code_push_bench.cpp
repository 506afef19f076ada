// Figures for a code edit reaching the page, on generated 1 MB and 10 MB filings
// (and on any files named on the command line): a character typed in the
// code view, from the key until the page holds it, with the page written
// whole and with only the edited element rebuilt. The processor time counts
// every process of the editor (the page's renderer and helpers too), since
// most of a whole write is spent there.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "codeview/code_view.h"
#include "editor/main_window.h"
#include "filing_generator.h"
#include "pageview/visual_view.h"
#include "process_cpu.h"
#include "shell/dialogs.h"

using namespace tarlo;
using tarlo::bench::Cpu;
using tarlo::bench::Median;
using tarlo::bench::TreeCpuMs;

namespace {

struct Figures {
    double wallMs = 0;
    double cpuMs = 0;
    double mainCpuMs = 0;
    int patched = 0;
    int whole = 0;
};

// Types X at `at`, keys apart, each until the page holds it.
Figures TypeInto(frmMain& w, int at, bool patches) {
    CodeView* code = w.txtCode;
    VisualView* web = w.Web;
    web->SetElementPatches(patches);
    code->SetSel(at, 0);
    code->setFocus();
    web->WaitForPushes(600000);
    const int patched = web->PatchedPushCount();
    const int whole = web->WholePushCount();
    std::vector<double> wall;
    std::vector<double> cpu;
    std::vector<double> mainCpu;
    for (int i = 0; i < 9; ++i) {
        web->WaitForPushes(600000);
        QTest::qWait(200);  // the renderer at rest
        const Cpu cpu0 = TreeCpuMs();
        const int before = web->pushesStarted();
        QElapsedTimer t;
        t.start();
        QTest::keyClick(code, Qt::Key_X);
        // Waits in the event loop, not by polling it: a polling wait would
        // count its own spinning as the editor's time.
        double wallMs = -1;
        QEventLoop loop;
        QObject::connect(web, &VisualView::pushFinished, &loop, [&] {
            if (web->pushesStarted() == before || web->pushPending()) return;
            wallMs = t.nsecsElapsed() / 1e6;
            loop.quit();
        });
        QTimer::singleShot(600000, &loop, &QEventLoop::quit);
        loop.exec();
        wall.push_back(wallMs);
        QTest::qWait(300);  // what the renderer does after the answer (layout, paint)
        const Cpu cpu1 = TreeCpuMs();
        cpu.push_back(cpu1.tree - cpu0.tree);
        mainCpu.push_back(cpu1.self - cpu0.self);
    }
    return {Median(wall), Median(cpu), Median(mainCpu), web->PatchedPushCount() - patched,
            web->WholePushCount() - whole};
}

void Measure(frmMain& w, const std::string& name, const std::string& html) {
    w.txtCode->SetTextUtf8(html);
    w.Web->WaitForPushes(600000);
    const auto found = html.find("increased");
    const int at = static_cast<int>(found == std::string::npos ? html.size() / 2 : found);
    for (const bool patches : {false, true}) {
        const Figures f = TypeInto(w, at, patches);
        std::printf("%-28s %10zu %-8s %12.1f %12.1f %12.1f %8d %6d\n", name.c_str(), html.size(),
                    patches ? "element" : "whole", f.wallMs, f.cpuMs, f.mainCpuMs, f.patched,
                    f.whole);
        std::fflush(stdout);
    }
}

}  // namespace

int main(int argc, char** argv) {
    tarlo::bench::PrepareWindowRun();
    QApplication app(argc, argv);
    ScriptedDialogs dialogs;
    frmMain w(&dialogs);
    w.SetEndProgram([] {});
    w.show();
    w.Form_Load();
    std::printf("%-28s %10s %-8s %12s %12s %12s %8s %6s\n", "document", "bytes", "push",
                "in page ms", "cpu ms", "editor cpu", "patched", "whole");
    Measure(w, "generated 1 MB", bench::GenerateFiling(1u << 20));
    Measure(w, "generated 10 MB", bench::GenerateFiling(10u << 20));
    for (int i = 1; i < argc; ++i) {
        QFile f(argv[i]);
        if (!f.open(QIODevice::ReadOnly)) continue;
        Measure(w, QFileInfo(argv[i]).fileName().toStdString(), f.readAll().toStdString());
    }
    std::printf(
        "\nin page ms: from the key press in the code view until the page holds the character\n"
        "  (median of 9; includes the pause the push waits for typing to rest)\n"
        "cpu ms: processor time of the editor and the page's processes for that key (median)\n"
        "editor cpu: of that, the editor's own process (median)\n"
        "push: whole, the page written whole; element, only the edited element rebuilt\n"
        "patched / whole: how the 9 pushes went\n");
    return 0;
}
