// How long the two clean-ups take in the window, from the menu entry until the
// cleaned document is in both views: Clean up, and Clean up, keeping the
// layout (which asks the page for every element's look, twice), on a
// generated word-processor filing and on the files named on the command line,
// beside HTML Tidy's own Word clean-up of the same file (which moves the
// styles into a style sheet of its own instead).
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <string>
#include <vector>

#include "app/editor_commands.h"
#include "bench_support.h"
#include "bench_window.h"
#include "codeview/code_view.h"
#include "editor/main_window.h"
#include "pageview/visual_view.h"
#include "shell/dialogs.h"
#include "text/text_encoding.h"
#include "word_filing_generator.h"

using namespace tarlo;

namespace {

// One run of a clean-up on `text`: the document is set afresh, then the
// command runs with Yes to its question. Milliseconds, and the result's size.
double CleanMs(frmMain& w, ScriptedDialogs& dialogs, const std::string& text, const char* entry,
               std::size_t* size) {
    w.txtCode->SetTextUtf8(text);
    w.Web->WaitForPushes(600000);
    dialogs.Queue(Answer::Yes);
    QElapsedTimer t;
    t.start();
    w.menuAction(entry)->trigger();
    w.Web->WaitForPushes(600000);
    const double ms = t.nsecsElapsed() / 1e6;
    *size = w.txtCode->TextUtf8().size();
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    bench::PrepareWindowRun();
    QApplication app(argc, argv);
    ScriptedDialogs dialogs;
    frmMain w(&dialogs);
    bench::StartBenchWindow(w);
    w.document().AutoFormat = false;
    w.document().AutoColorize = false;

    QTemporaryDir dir;
    std::vector<QString> files;
    for (const std::size_t bytes : {std::size_t(1) << 20, std::size_t(5) << 20}) {
        const QString path = dir.filePath(QStringLiteral("word-%1mb.htm").arg(bytes >> 20));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(QByteArray::fromStdString(bench::GenerateWordFiling(bytes)));
        files.push_back(path);
    }
    for (int i = 1; i < argc; ++i) files.push_back(QString::fromLocal8Bit(argv[i]));
    const bool tidy = !QStandardPaths::findExecutable(QStringLiteral("tidy")).isEmpty();

    std::printf("%-34s %9s | %10s %10s | %12s %10s | %10s %6s\n", "document", "bytes", "clean ms",
                "bytes", "layout ms", "bytes", "tidy ms", "ratio");
    for (const QString& path : files) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QByteArray bytes = f.readAll();
        const std::string text =
            DecodeDocumentBytes({bytes.constData(), std::size_t(bytes.size())});
        std::size_t plainSize = 0, layoutSize = 0;
        const double plain = CleanMs(w, dialogs, text, "mnuEdgarize", &plainSize);
        const double layout = CleanMs(w, dialogs, text, "mnuEdgarizeLayout", &layoutSize);
        const double tidyMs =
            tidy ? bench::ProgramMs(
                       QStringLiteral("tidy"),
                       {QStringLiteral("-q"), QStringLiteral("--word-2000"), QStringLiteral("yes"),
                        QStringLiteral("--clean"), QStringLiteral("yes"), QStringLiteral("-o"),
                        QStringLiteral("/dev/null"), path})
                 : -1;
        std::printf("%-34s %9lld | %10.0f %10zu | %12.0f %10zu | %10.0f %6.2f\n",
                    qPrintable(QFileInfo(path).fileName()), static_cast<long long>(bytes.size()),
                    plain, plainSize, layout, layoutSize, tidyMs,
                    tidyMs > 0 ? layout / tidyMs : 0.0);
        std::fflush(stdout);
    }
    std::printf(
        "\nclean ms / layout ms: Clean up / Clean up, keeping the layout, from the menu entry "
        "until both views hold the result (one run each)\n"
        "tidy ms: tidy --word-2000 yes --clean yes on the same file, the whole process; ratio: "
        "layout / tidy\n");
    return 0;
}
