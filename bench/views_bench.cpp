// Figures for the two views on documents of 10 KB, 1 MB and 10 MB (and on
// any files named on the command line): the time to handle one typed
// character in the code view, the time until that character is in the visual
// view, and the time of a refresh. HTML Tidy reading and writing the same
// document is measured in the same run as the peer for the refresh.
#include <unistd.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench_support.h"
#include "codeview/code_commands.h"
#include "codeview/code_view.h"
#include "editor/main_window.h"
#include "filing_generator.h"
#include "pageview/visual_view.h"
#include "shell/dialogs.h"

using namespace tarlo;
using tarlo::bench::Median;
using tarlo::bench::ProgramMs;

namespace {

// Milliseconds HTML Tidy needs to read the document and write it out again.
double TidyMs(const QString& path) {
    return ProgramMs(
        QStandardPaths::findExecutable("tidy"),
        {"-q", "-raw", "--show-warnings", "no", "--force-output", "yes", "-o", "/dev/null", path});
}

void Measure(frmMain& w, const std::string& name, const std::string& html, const QString& path) {
    CodeView* code = w.txtCode;
    VisualView* web = w.Web;
    code->SetTextUtf8(html);
    web->WaitForPushes(600000);
    // Caret inside the body text, as when correcting a word.
    const auto at = html.find("increased");
    code->SetSel(static_cast<int>(at == std::string::npos ? html.size() / 2 : at), 0);
    code->setFocus();

    std::vector<double> keyMs;
    std::vector<double> visibleMs;
    for (int i = 0; i < 15; ++i) {
        web->WaitForPushes(600000);
        const int before = web->pushesStarted();
        QElapsedTimer t;
        t.start();
        QTest::keyClick(code, Qt::Key_X);
        keyMs.push_back(t.nsecsElapsed() / 1e6);
        // The character is in the page when a push started after it ends.
        while (web->pushesStarted() == before || web->pushPending()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        visibleMs.push_back(t.nsecsElapsed() / 1e6);
    }
    std::vector<double> refreshMs;
    for (int i = 0; i < 3; ++i) {
        // The page first takes the previous refresh's text, so that each
        // figure is one refresh alone.
        web->WaitForPushes(600000);
        QElapsedTimer t;
        t.start();
        w.cmdRefreshCode_Click();
        refreshMs.push_back(t.nsecsElapsed() / 1e6);
    }
    // The same after an edit in the page: the page is read back into the code.
    std::vector<double> editedMs;
    for (int i = 0; i < 3; ++i) {
        web->WaitForPushes(600000);
        web->RunScript(
            "(document.body||document.documentElement).appendChild("
            "document.createTextNode('e'));true");
        QElapsedTimer t;
        t.start();
        w.cmdRefreshCode_Click();
        editedMs.push_back(t.nsecsElapsed() / 1e6);
    }
    // The same after an edit inside one paragraph or cell: only that element
    // is taken back into the code, and the page is not written again.
    std::vector<double> elementMs;
    for (int i = 0; i < 3; ++i) {
        web->WaitForPushes(600000);
        web->RunScript(
            "(function(){var w=document.createTreeWalker(document.body||document.documentElement,"
            "NodeFilter.SHOW_TEXT);for(var n=w.nextNode();n;n=w.nextNode()){"
            "if(/^(p|td|font|span|div)$/i.test(n.parentNode.nodeName)&&/[a-z]/i.test(n.data)){"
            "n.data+='e';return true;}}return false;})()");
        QElapsedTimer t;
        t.start();
        w.cmdRefreshCode_Click();
        elementMs.push_back(t.nsecsElapsed() / 1e6);
    }
    const char* kind = web->showsXhtml() ? "xhtml" : "html";
    // Format HTML from the page, as the window runs it (progress window included).
    auto* services = w.findChild<CodeCommands*>("codeWindowServices");
    web->WaitForPushes(600000);
    QElapsedTimer formatTimer;
    formatTimer.start();
    services->FormatCode();
    const double formatMs = formatTimer.nsecsElapsed() / 1e6;
    const double formattedMb = code->Length() / 1e6;
    const double tidy = TidyMs(path);
    std::printf("%-28s %6s %10zu %12.3f %14.1f %12.1f %12.1f %12.1f %12.1f %8s %10.1f %9.1f\n",
                name.c_str(), kind, html.size(), Median(keyMs), Median(visibleMs),
                Median(refreshMs), Median(editedMs), Median(elementMs), tidy,
                tidy > 0 ? QByteArray::number(Median(refreshMs) / tidy, 'f', 2).constData() : "-",
                formatMs, formattedMb);
    std::fflush(stdout);
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
    // Typing is measured with the code window's services in place, as the
    // program runs: every key records an undo snapshot.
    InstallCodeCommands(w, &w);

    std::printf("%-28s %6s %10s %12s %14s %12s %12s %12s %12s %8s %10s %9s\n", "document", "page",
                "bytes", "key ms", "in page ms", "refresh ms", "edited ms", "element ms", "tidy ms",
                "ratio", "format ms", "code MB");
    QTemporaryDir dir;
    for (const auto& [label, size] :
         std::vector<std::pair<std::string, std::size_t>>{{"generated 10 KB", 10u << 10},
                                                          {"generated 1 MB", 1u << 20},
                                                          {"generated 10 MB", 10u << 20}}) {
        const std::string html = bench::GenerateFiling(size);
        const QString path = dir.filePath(QString::fromStdString(label).replace(' ', '_') + ".htm");
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) f.write(html.data(), static_cast<qint64>(html.size()));
        f.close();
        Measure(w, label, html, path);
    }
    for (int i = 1; i < argc; ++i) {
        QFile f(argv[i]);
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QByteArray bytes = f.readAll();
        Measure(w, QFileInfo(argv[i]).fileName().toStdString(), bytes.toStdString(), argv[i]);
    }
    std::printf(
        "\nkey ms: one typed character handled by the code view (median of 15)\n"
        "in page ms: from the key press until the page holds the character\n"
        "page: the kind of page the code is shown in (XHTML code in an XML page)\n"
        "refresh ms: a refresh of the page as the code built it (the code stays), painted plain\n"
        "edited ms: a refresh after an edit in the page: its HTML read back into the code view,\n"
        "  painted plain (the page then takes the refreshed text in the background)\n"
        "element ms: a refresh after an edit inside one element of the body: that element\n"
        "  taken back into the code (the page is not written again)\n"
        "tidy ms: HTML Tidy reading and writing the same document; ratio = refresh / tidy\n"
        "format ms: Format HTML from the page into the code view; code MB: its result\n"
        "  (the code is left as it was when the result would pass the editor's limit)\n");
    return 0;
}
