// How large a document the visual view's page can hold on this machine:
// filings of growing size, built by repeating the body of a real 10-Q from
// the corpus, are put into the code view and pushed into the real page
// (headless), with the editor's page limit lifted. For each size: whether the
// page shows it or its renderer ends, the time until it is in the page, the
// time until the page answers a call afterwards (it lays the document out
// first; the editor gives a call 15 s), the time of an edit there (a word made
// bold) and of a read of its HTML (what a refresh after a page edit costs), and
// the renderer's memory. Each size runs in a process of its own, so that every
// figure comes from a fresh renderer.
//   tarlo_page_size_bench [MB ...]        default 8 16 24 32 48 64
// TARLO_BENCH_FILING names another corpus file to grow (an Inline XBRL one
// shows the XHTML page).
#include <unistd.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <cstdio>
#include <limits>
#include <string>

#include "codeview/code_view.h"
#include "shell/dialogs.h"
#include "editor/main_window.h"
#include "pageview/visual_view.h"

#ifndef TARLO_CORPUS_DIR
#define TARLO_CORPUS_DIR "../shared/corpus"
#endif

using namespace tarlo;

namespace {

// The filing's <html> element with its body repeated until it holds `bytes`.
std::string GrownFiling(const std::string& filing, std::size_t bytes) {
    const std::size_t html = filing.find("<html");
    const std::size_t open = filing.find('>', filing.find("<body", html)) + 1;
    const std::size_t close = filing.rfind("</body>");
    const std::string body = filing.substr(open, close - open);
    std::string out = filing.substr(html, open - html);
    out.reserve(bytes + body.size() + 32);
    while (out.size() < bytes) out += body;
    out += "</body></html>";
    return out;
}

// "VmHWM" (peak) or "VmRSS" of a process in MB; -1 when it is gone.
double MemoryMb(qint64 pid, const char* field) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (pid <= 0 || !f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(line.indexOf(':') + 1).trimmed().split(' ').first().toDouble() / 1024;
        }
    }
    return -1;
}

int MeasureOne(int megabytes) {
    const QString name = qEnvironmentVariable("TARLO_BENCH_FILING", "edgar-10q-2019.htm");
    QFile corpus(QStringLiteral(TARLO_CORPUS_DIR "/") + name);
    if (!corpus.open(QIODevice::ReadOnly)) {
        std::printf("missing from the corpus: %s\n", qPrintable(corpus.fileName()));
        return 1;
    }
    const std::string html =
        GrownFiling(corpus.readAll().toStdString(), static_cast<std::size_t>(megabytes) << 20);

    ScriptedDialogs dialogs;
    frmMain w(&dialogs);
    w.SetEndProgram([] {});
    w.show();
    w.Form_Load();
    VisualView* web = w.Web;
    web->SetPageLimit(std::numeric_limits<std::uint64_t>::max());
    QString ended;
    QObject::connect(web, &VisualView::rendererEnded, [&ended](auto status) {
        ended = QStringLiteral("renderer ended (%1)").arg(static_cast<int>(status));
    });
    const qint64 pid = web->page()->renderProcessPid();

    QElapsedTimer t;
    t.start();
    w.txtCode->SetTextUtf8(html);
    const double codeMs = t.nsecsElapsed() / 1e6;
    t.restart();
    const bool shown = web->WaitForPushes(600000);
    const double pushMs = t.nsecsElapsed() / 1e6;
    const double peakAfterPush = MemoryMb(pid, "VmHWM");
    t.restart();
    const auto elements =
        web->RunScript(QStringLiteral("document.getElementsByTagName('*').length"), 120000);
    const double callMs = t.nsecsElapsed() / 1e6;
    const double laidOut = MemoryMb(pid, "VmHWM");
    t.restart();
    const auto bold = web->RunScript(
        QStringLiteral("(function(){var w=document.createTreeWalker(document.body,"
                       "NodeFilter.SHOW_TEXT);for(var n=w.nextNode();n;n=w.nextNode()){"
                       "if(n.data.length<8)continue;var r=document.createRange();"
                       "r.setStart(n,0);r.setEnd(n,5);var s=getSelection();"
                       "s.removeAllRanges();s.addRange(r);return document.execCommand('bold');}"
                       "return false;})()"),
        120000);
    const double editMs = t.nsecsElapsed() / 1e6;
    t.restart();
    const auto outer = web->OuterHtml(300000);
    const double readMs = t.nsecsElapsed() / 1e6;
    const QString outcome = !ended.isEmpty() ? ended
                            : !shown         ? QStringLiteral("push timed out")
                            : !elements      ? QStringLiteral("page does not answer")
                            : !outer         ? QStringLiteral("read failed")
                                             : QStringLiteral("shown");
    std::printf("%4d MB %5s %10zu %-22s %8.0f %8.0f %8.0f %8.0f %8.0f %9d %9.0f %9.0f %9.0f\n",
                megabytes, web->showsXhtml() ? "xhtml" : "html", html.size(), qPrintable(outcome),
                codeMs, pushMs, callMs, bold && bold->toBool() ? editMs : -1, readMs,
                elements ? elements->toInt() : -1, peakAfterPush, laidOut, MemoryMb(pid, "VmHWM"));
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && QByteArray(argv[1]) == "--one") {
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        QApplication app(argc, argv);
        return MeasureOne(QByteArray(argv[2]).toInt());
    }
    QStringList sizes;
    for (int i = 1; i < argc; ++i) sizes << QString::fromLocal8Bit(argv[i]);
    if (sizes.isEmpty()) sizes = {"8", "16", "24", "32", "48", "64"};
    std::printf("%7s %5s %10s %-22s %8s %8s %8s %8s %8s %9s %9s %9s %9s\n", "size", "page", "bytes",
                "outcome", "code ms", "push ms", "call ms", "edit ms", "read ms", "elements",
                "pushed MB", "laid MB", "end MB");
    std::fflush(stdout);
    for (const QString& mb : sizes) {
        QProcess one;
        one.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        one.start(QString::fromLocal8Bit(argv[0]), {QStringLiteral("--one"), mb});
        one.waitForFinished(-1);
    }
    std::printf(
        "\ncode ms: the text into the code view; push ms: from there until the page holds it\n"
        "call ms: until the page answers a small script afterwards (it lays the document out\n"
        "  first; a call of the editor gives up after 15 s)\n"
        "edit ms: a word selected and made bold in the page (-1: failed)\n"
        "read ms: the page's whole HTML read back, as a refresh after a page edit does\n"
        "pushed MB, laid MB, end MB: the renderer's peak resident memory once the page holds\n"
        "  the document, once it answered, and at the end of the run (-1: the renderer is gone)\n");
    return 0;
}
