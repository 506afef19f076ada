// What a key typed into the page costs: the editor as the program puts it
// together (its commands, the edit watch, the recovery copy), a filing
// opened from a file, the caret in a table cell, ten keys typed 1.5 s apart
// as a filer types; the processor time of the editor and all its page
// processes from /proc, less what the same time costs at rest. Beside it the
// bare page: the same document in a plain engine view in design mode, the
// same keys, measured the same way in a process of its own. Then the same
// keys in the code view, each carried into the page. The documents
// are a generated 1 MB filing and any files named on the command line.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <cstdio>
#include <functional>
#include <string>

#include "app/editor_commands.h"
#include "bench_support.h"
#include "bench_window.h"
#include "codeview/code_view.h"
#include "editor/file_commands.h"
#include "editor/main_window.h"
#include "filing_generator.h"
#include "pageview/visual_view.h"
#include "process_cpu.h"
#include "shell/dialogs.h"

using namespace tarlo;

namespace {

constexpr int kKeys = 10;
constexpr int kApartMs = 1500;

// The caret into the first table cell with a word in it (outside ix:
// elements); true when there is one.
const char* const kCaretIntoACell =
    "(function(){var w=document.createTreeWalker(document.body||document.documentElement,"
    "NodeFilter.SHOW_TEXT);for(var n=w.nextNode();n;n=w.nextNode()){var cell=false,bad=false;"
    "for(var a=n.parentNode;a;a=a.parentNode){if(a.nodeName.indexOf(':')>=0)bad=true;"
    "if(/^td$/i.test(a.nodeName))cell=true;}var m=/[A-Za-z]{4,}/.exec(n.data);"
    "if(bad||!cell||!m)continue;var r=document.createRange();r.setStart(n,m.index+2);"
    "r.collapse(true);var s=getSelection();s.removeAllRanges();s.addRange(r);return true;}"
    "return false;})()";

// Processor milliseconds per key, at rest subtracted; `type` types one key.
double PerKey(const std::function<void()>& type) {
    QTest::qWait(3000);  // what the last step left running settles
    const double rest0 = bench::TreeCpuMs().tree;
    QTest::qWait(kKeys * kApartMs);
    const double rest = bench::TreeCpuMs().tree - rest0;
    const double typing0 = bench::TreeCpuMs().tree;
    for (int i = 0; i < kKeys; ++i) {
        type();
        QTest::qWait(kApartMs);
    }
    return (bench::TreeCpuMs().tree - typing0 - rest) / kKeys;
}

bool RunScriptNow(QWebEnginePage* page, const QString& script) {
    bool answered = false;
    bool result = false;
    page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& v) {
        answered = true;
        result = v.toBool();
    });
    for (int i = 0; i < 600 && !answered; ++i) QTest::qWait(50);
    return result;
}

// The bare page: prints its figure for the parent run to read.
int BarePage(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return 2;
    const QByteArray bytes = f.readAll();
    QWebEngineView view;
    view.resize(1200, 800);
    view.show();
    bool loaded = false;
    QObject::connect(&view, &QWebEngineView::loadFinished, [&](bool) { loaded = true; });
    // Loaded from a file (content handed over directly is limited to 2 MB),
    // an XHTML document as XML, as the editor shows it.
    QTemporaryDir dir;
    const bool xml = bytes.startsWith("<?xml");
    const QString file = QDir(dir.path()).filePath(xml ? "page.xhtml" : "page.html");
    QFile::copy(path, file);
    view.load(QUrl::fromLocalFile(file));
    for (int i = 0; i < 1200 && !loaded; ++i) QTest::qWait(50);
    RunScriptNow(view.page(), "document.designMode='on';true");
    if (!RunScriptNow(view.page(), kCaretIntoACell)) return 3;
    QWidget* target = view.focusProxy() ? view.focusProxy() : &view;
    view.setFocus();
    std::printf("%.1f\n", PerKey([target] { QTest::keyClick(target, Qt::Key_X); }));
    return 0;
}

void Measure(frmMain& w, ScriptedDialogs& dialogs, const QString& path, const char* self) {
    auto* files = w.findChild<FileCommands*>("FileCommands");
    dialogs.Queue(Answer::No);  // the last document's keys are not saved
    files->OpenDocumentFile(path);
    while (dialogs.pending() > 0) dialogs.Message(nullptr, "", "", Buttons::Ok, Icon::None);
    w.Web->WaitForPushes(600000);
    w.Web->setFocus();
    QTest::qWait(500);
    if (!w.Web->RunScript(kCaretIntoACell).value_or(false).toBool()) {
        std::printf("%-32s no table cell with a word\n", qPrintable(QFileInfo(path).fileName()));
        return;
    }
    QWidget* page = w.Web->focusProxy() ? w.Web->focusProxy() : w.Web;
    const int edits0 = w.Web->PageEditCount().value_or(0);
    const double editor = PerKey([page] { QTest::keyClick(page, Qt::Key_X); });
    const int edits = w.Web->PageEditCount().value_or(0) - edits0;
    // The same keys in the code view, in the middle of the text: each
    // reaches the page after the typing pause.
    w.cmdRefreshCode_Click();
    w.Web->WaitForPushes(600000);
    w.txtCode->SetSel(w.txtCode->Length() / 2, 0);
    w.txtCode->setFocus();
    const int patched0 = w.Web->PatchedPushCount();
    const double code = PerKey([&w] { QTest::keyClick(w.txtCode, Qt::Key_X); });
    const int patched = w.Web->PatchedPushCount() - patched0;

    QProcess bare;
    bare.start(QString::fromLocal8Bit(self), {"--bare", path});
    bare.waitForFinished(600000);
    const QString bareFigure = QString::fromLocal8Bit(bare.readAllStandardOutput()).trimmed();
    std::printf("%-32s %10lld %12.1f %12s %8d %12.1f %8d\n", qPrintable(QFileInfo(path).fileName()),
                static_cast<long long>(QFileInfo(path).size()), editor,
                bareFigure.isEmpty() ? "-" : qPrintable(bareFigure), edits, code, patched);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    bench::PrepareWindowRun();
    QApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--bare") return BarePage(argv[2]);
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    frmMain w(&dialogs);
    bench::StartBenchWindow(w);
    std::printf("%-32s %10s %12s %12s %8s %12s %8s\n", "document", "bytes", "editor ms",
                "bare page ms", "edits", "code key ms", "patched");
    const QString generated = QDir(dir.path()).filePath("generated-1mb.htm");
    QFile out(generated);
    if (out.open(QIODevice::WriteOnly)) {
        out.write(QByteArray::fromStdString(bench::GenerateFiling(1u << 20)));
        out.close();
    }
    Measure(w, dialogs, generated, argv[0]);
    for (int i = 1; i < argc; ++i) {
        // A copy: the editor may keep recovery copies and the keys are not
        // the file's.
        const QString copy = QDir(dir.path()).filePath(QFileInfo(argv[i]).fileName());
        if (!QFile::copy(QString::fromLocal8Bit(argv[i]), copy)) continue;
        Measure(w, dialogs, copy, argv[0]);
    }
    std::printf(
        "\neditor ms: processor time per key typed into a table cell of the page, of the\n"
        "  editor and all its page processes, ten keys 1.5 s apart, the same time at rest\n"
        "  subtracted (the edit watch and the recovery copy included)\n"
        "bare page ms: the same document in a plain engine view in design mode, the same keys\n"
        "edits: the edits the editor's page counted (the keys reached the page)\n"
        "code key ms: the same for keys typed into the code view, each carried into the page\n"
        "patched: of those, the pushes that rebuilt one element of the page, not the whole\n");
    return 0;
}
