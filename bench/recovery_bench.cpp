// What a recovery copy of an edited page costs, on the 4 MB Inline XBRL
// annual report of the corpus and on any files named on the command line:
//   - in the page's renderer, the serialisation of the whole page (outerHTML,
//     timed inside the page), and how long the page is busy with the copy's
//     read: the wait of a key typed into the page at that moment;
//   - on the GUI thread, the longest stall while the answer arrives and while
//     the editor's own keeper makes a copy after an edit in the page (a 5 ms
//     timer's lateness), and the GUI thread's own part of a copy;
//   - on the keeper's thread, the conversion into code and the write;
//   - peers in the same run: the blocking read the copy used before (the GUI
//     thread waits in OuterHtml for the whole round trip, input held back), and
//     `cp` writing the same number of bytes.
#include <unistd.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineScript>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/editor_commands.h"
#include "bench_support.h"
#include "codeview/code_view.h"
#include "document/view_sync.h"
#include "editor/file_commands.h"
#include "editor/main_window.h"
#include "pageview/visual_view.h"
#include "shell/dialogs.h"
#include "startup/recovery_copy.h"
#include "startup/recovery_keeper.h"

#ifndef TARLO_CORPUS_DIR
#define TARLO_CORPUS_DIR "../shared/corpus"
#endif

using namespace tarlo;
using tarlo::bench::Median;
using tarlo::bench::ProgramMs;

namespace {

constexpr int kRounds = 5;
constexpr int kWaitMs = 120000;

double Ms(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return done();
}

// Records how late each tick of a 5 ms timer on the GUI thread comes: the
// longest lateness is the longest time a key would have waited there.
class GuiLateness {
  public:
    GuiLateness() {
        tick_.setTimerType(Qt::PreciseTimer);
        tick_.setInterval(5);
        QObject::connect(&tick_, &QTimer::timeout, [this] {
            worst_ = std::max(worst_, since_.nsecsElapsed() / 1e6 - 5.0);
            since_.restart();
        });
        since_.start();
        tick_.start();
    }
    double WorstMs() const { return std::max(worst_, since_.nsecsElapsed() / 1e6 - 5.0); }

  private:
    QTimer tick_;
    QElapsedTimer since_;
    double worst_ = 0;
};

// An edit of the page's own, as typing makes one.
bool EditPage(VisualView& web, int n) {
    return web
        .RunScript(QStringLiteral("(document.body||document.documentElement).appendChild("
                                  "document.createTextNode(' edit%1'));true")
                       .arg(n))
        .has_value();
}

struct Figures {
    std::vector<double> serialiseMs, keyWaitMs, answerMs, deliveryStallMs, codeTextMs, convertMs,
        writeMs, keeperMs, stallMs, blockingMs, plainWaitMs;
    double pageMb = 0;
};

// The page's clock, read by a script queued behind whatever the page does.
void PageClock(VisualView& web, double& at) {
    web.page()->runJavaScript(QStringLiteral("performance.now()"),
                              QWebEngineScript::ApplicationWorld,
                              [&at](const QVariant& v) { at = v.toDouble(); });
}

void Measure(frmMain& w, FileCommands& files, RecoveryKeeper& keeper, const QString& path,
             const QString& scratch) {
    VisualView& web = *w.Web;
    if (!files.OpenDocumentFile(path) || !web.WaitForPushes(kWaitMs)) {
        std::printf("%s could not be opened\n", qPrintable(path));
        return;
    }
    Figures f;
    for (int round = 0; round < kRounds; ++round) {
        // The parts are measured while the editor's keeper leaves the page
        // alone: the page has not the focus and its edits are kept.
        w.txtCode->setFocus();
        WaitUntil([&] { return !keeper.timPageWatch->isActive() && !keeper.AskingPage(); },
                  kWaitMs);
        EditPage(web, round);
        // The edit laid out, as it is once the page has been quiet a second.
        web.RunScript(QStringLiteral("document.documentElement.offsetHeight"), kWaitMs);
        // The renderer's own time for the serialisation.
        const auto inPage = web.RunScript(
            QStringLiteral("(function(){var t=performance.now();var h=document.documentElement."
                           "outerHTML;return [performance.now()-t,h.length];})()"),
            kWaitMs);
        if (inPage) {
            const QVariantList v = inPage->toList();
            f.serialiseMs.push_back(v.value(0).toDouble());
            f.pageMb = v.value(1).toDouble() / 1e6;
        }
        // The count the keeper has seen before it reads.
        int edits = 0;
        bool counted = false;
        web.LookAtPageLater(VisualView::kNoHtml, false,
                            [&](const std::optional<VisualView::PageLook>& l) {
                                edits = l ? l->edits : 0;
                                counted = true;
                            });
        WaitUntil([&] { return counted; }, kWaitMs);
        // The copy's read between two readings of the page's clock: what a
        // key typed into the page right then waits for the page.
        double before = -1;
        double after = -1;
        std::optional<VisualView::PageLook> look;
        bool answered = false;
        PageClock(web, before);
        QElapsedTimer asked;
        asked.start();
        GuiLateness delivery;
        // The page read whole, as the copy reads it when its changed elements
        // cannot be laid over the code.
        web.LookAtPageLater(edits, true, [&](const std::optional<VisualView::PageLook>& l) {
            look = l;
            answered = true;
            f.answerMs.push_back(Ms(asked));
        });
        PageClock(web, after);
        WaitUntil([&] { return answered && after >= 0; }, kWaitMs);
        f.deliveryStallMs.push_back(delivery.WorstMs());
        f.keyWaitMs.push_back(after - before);
        if (!look || !look->html) continue;
        // The GUI thread takes the code view's text; the keeper's thread
        // converts the HTML and writes the copy.
        QElapsedTimer part;
        part.start();
        const std::string code = w.document().Text();
        f.codeTextMs.push_back(Ms(part));
        part.restart();
        RecoveryCopy copy{
            path.toStdString(),
            ViewSync::PageHtmlToCode(look->html->toStdString(), code, false, LineBreak::CrLf)};
        f.convertMs.push_back(Ms(part));
        part.restart();
        RecoveryStore::WriteWhole(scratch + "/measured.next", EncodeRecoveryCopy(copy));
        f.writeMs.push_back(Ms(part));

        // The peers: the blocking read the copy made before, and the same
        // read's work in the page, measured as the copy's read is.
        QElapsedTimer blocking;
        blocking.start();
        web.OuterHtml(kWaitMs);
        f.blockingMs.push_back(Ms(blocking));
        double plainBefore = -1;
        double plainAfter = -1;
        bool plainRead = false;
        PageClock(web, plainBefore);
        web.page()->runJavaScript(QStringLiteral("document.documentElement.outerHTML"),
                                  QWebEngineScript::ApplicationWorld,
                                  [&](const QVariant&) { plainRead = true; });
        PageClock(web, plainAfter);
        WaitUntil([&] { return plainRead && plainAfter >= 0; }, kWaitMs);
        f.plainWaitMs.push_back(plainAfter - plainBefore);

        // The keeper at work as in the editor: the page has the focus, an
        // edit stands still, the copy follows; the GUI thread's longest stall.
        web.setFocus();
        const QString marker = QStringLiteral("keeper%1").arg(round);
        QElapsedTimer cycle;
        cycle.start();
        GuiLateness late;
        web.RunScript(QStringLiteral("document.body.appendChild(document.createTextNode(%1));true")
                          .arg(VisualView::JsString(marker)));
        const bool kept = WaitUntil(
            [&] {
                const auto c = RecoveryStore::Read(keeper.store().CopyPath());
                return c && c->text.find(marker.toStdString()) != std::string::npos;
            },
            kWaitMs);
        if (kept) {
            f.keeperMs.push_back(Ms(cycle));
            f.stallMs.push_back(late.WorstMs());
        }
    }
    // `cp` writing as many bytes as the copy holds.
    const double cp = ProgramMs(QStandardPaths::findExecutable("cp"),
                                {keeper.store().CopyPath(), scratch + "/cp-peer.copy"}, true);
    std::printf(
        "%-28s %5.2f %9.1f %8.1f %8.1f %8.1f %8.1f %8.1f %7.1f %8.1f %7.1f %8.1f %8.1f "
        "%6.1f\n",
        qPrintable(QFileInfo(path).fileName()), f.pageMb, Median(f.serialiseMs),
        Median(f.keyWaitMs), Median(f.answerMs), Median(f.deliveryStallMs), Median(f.codeTextMs),
        Median(f.convertMs), Median(f.writeMs), Median(f.keeperMs, -1), Median(f.stallMs, -1),
        Median(f.blockingMs), Median(f.plainWaitMs), cp);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The copies go to a scratch folder, at a pace that makes a copy follow
    // an edit within a few looks.
    QTemporaryDir scratch;
    qputenv("XDG_STATE_HOME", scratch.filePath("state").toUtf8());
    qputenv("TARLO_RECOVERY_TIMING", "50,50");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ScriptedDialogs dialogs;
    frmMain w(&dialogs);
    w.SetEndProgram([] {});
    InstallEditorCommands(w);
    w.show();
    w.Form_Load();
    if (!QTest::qWaitForWindowExposed(&w, 5000)) std::printf("the main window did not show\n");
    auto* files = w.findChild<FileCommands*>("FileCommands");
    auto* keeper = w.findChild<RecoveryKeeper*>("RecoveryKeeper");
    if (files == nullptr || keeper == nullptr || !keeper->store().IsOpen()) {
        std::printf("the editor's file commands or recovery keeper are missing\n");
        return 1;
    }
    QStringList paths;
    const QString corpus = QStringLiteral(TARLO_CORPUS_DIR "/edgar-10k-2024-ixbrl-b.htm");
    if (QFileInfo::exists(corpus)) {
        paths << corpus;
    } else {
        std::printf("missing from the corpus: %s\n", qPrintable(corpus));
    }
    for (int i = 1; i < argc; ++i) paths << QString::fromLocal8Bit(argv[i]);

    std::printf("%-28s %5s %9s %8s %8s %8s %8s %8s %7s %8s %7s %8s %8s %6s\n", "document", "MB",
                "serialise", "key wait", "answer", "deliver", "code", "convert", "write", "keeper",
                "stall", "blocking", "old wait", "cp");
    for (const QString& path : paths) Measure(w, *files, *keeper, path, scratch.path());
    std::printf(
        "\nmedians of %d rounds, milliseconds\n"
        "MB: the page's HTML as the page serialises it\n"
        "serialise: outerHTML of the whole page, timed inside the renderer\n"
        "key wait: the page's clock read just before and just after the copy's read: what a\n"
        "  key typed into the page at that moment waits for the page (none for the GUI)\n"
        "answer: from asking the page until its HTML reaches the GUI thread\n"
        "deliver: the GUI thread's longest stall while the answer arrives (5 ms timer lateness;\n"
        "  the engine hands the 4 MB answer over on that thread)\n"
        "code: the GUI thread's own part of a copy, taking the code view's text\n"
        "convert, write: the keeper's thread: the code a refresh would make of the HTML, the\n"
        "  copy written and flushed to the disk\n"
        "keeper: the editor's keeper, from an edit in the page until the copy holds it\n"
        "  (looks every 50 ms here; the editor looks every second)\n"
        "stall: the GUI thread's longest stall meanwhile (5 ms timer lateness)\n"
        "blocking: peer, the old read: the GUI thread waits in OuterHtml, input held back\n"
        "old wait: the same read's key wait in the page (the page's work is the same)\n"
        "cp: peer, cp writing a file of the copy's size (not flushed to the disk)\n",
        kRounds);
    return 0;
}
