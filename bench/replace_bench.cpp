// Figures for find and replace on a generated 10 MB filing (and on any files
// named on the command line): Replace All of a one-character text with
// 100,000+ occurrences in tarlo-cli beside sed in the same run, Replace All
// in the real window and the undo of it, and Find Next through the filing.
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench_support.h"
#include "codeview/code_commands.h"
#include "codeview/code_view.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "editor/main_window.h"
#include "pageview/visual_view.h"
#include "filing_generator.h"
#include "find/find_text.h"
#include "find/find_window.h"
#include "insert/table_maker.h"
#include "insert/table_window.h"

using namespace tarlo;
using tarlo::bench::Median;
using tarlo::bench::ProgramMs;

namespace {

void Measure(frmMain& w, const std::string& name, const std::string& html, const QString& path) {
    // The one-character text: the first of these with 100,000 occurrences or
    // more, else the most frequent.
    std::string find = "=";
    std::size_t most = 0;
    for (const char* candidate : {"%", "$", "=", "\"", "<"}) {
        const std::size_t n =
            static_cast<std::size_t>(std::count(html.begin(), html.end(), *candidate));
        if (n > most) {
            most = n;
            find = candidate;
        }
        if (n >= 100000) break;
    }
    const std::string replacement = "#";

    QElapsedTimer core;
    core.start();
    const ReplaceAllResult r = ReplaceAllText(html, find, replacement, SearchOptions{});
    const double coreMs = core.nsecsElapsed() / 1e6;

    const QString cli = QCoreApplication::applicationDirPath() + "/tarlo-cli";
    const double cliMs = ProgramMs(QFileInfo::exists(cli) ? cli : QString(),
                                   {"replace", "--match-case", QString::fromStdString(find),
                                    QString::fromStdString(replacement), path},
                                   true);
    const QString sedProgram = QStandardPaths::findExecutable("sed");
    const QString escaped = find == "$" ? "\\$" : QString::fromStdString(find);
    const double sedMs = ProgramMs(
        sedProgram, {"-e", "s/" + escaped + "/" + QString::fromStdString(replacement) + "/g", path},
        true);

    // The window: Replace All, then the undo of it, each until the code
    // view holds the result.
    CodeView* code = w.txtCode;
    code->SetTextUtf8(html);
    w.Web->WaitForPushes(600000);
    w.commands().Run(CommandId::FindReplace);
    frmFind* f = w.findChild<FindCommand*>("FindCommand")->window();
    if (f->cmdReplace->text() == "&Replace...") f->cmdReplace->click();
    f->cboFind->setText(QString::fromStdString(find));
    f->cboReplace->setText(QString::fromStdString(replacement));
    QElapsedTimer t;
    t.start();
    f->cmdReplaceAll->click();
    const double windowMs = t.nsecsElapsed() / 1e6;
    w.Web->WaitForPushes(600000);
    const double inPageMs = t.nsecsElapsed() / 1e6;
    t.restart();
    w.menuAction("mnuUndo")->trigger();
    const double undoMs = t.nsecsElapsed() / 1e6;
    const bool undone = code->Length() == static_cast<int>(html.size());
    w.Web->WaitForPushes(600000);

    // Find Next through the filing: milliseconds per hit, and the search from
    // past the last hit.
    const std::string word = "increased";
    code->SetSel(0, 0);
    f->cboFind->setText(QString::fromStdString(word));
    f->cmdFind->setText("&Find");
    std::vector<double> hitMs;
    for (int i = 0; i < 200; ++i) {
        t.restart();
        f->cmdFind->click();
        hitMs.push_back(t.nsecsElapsed() / 1e6);
        if (f->cmdFind->text() == "&Find") break;
    }
    const auto last = html.rfind(word);
    code->SetSel(static_cast<int>(last == std::string::npos ? 0 : last + word.size()), 0);
    f->cmdFind->setText("&Find Next");
    t.restart();
    f->cmdFind->click();
    const double notFoundMs = t.nsecsElapsed() / 1e6;

    std::printf(
        "%-22s %9zu %4s %8zu %9.1f %9.1f %9.1f %6s %10.1f %10.1f %9.1f%s %9.3f %9.3f\n",
        name.c_str(), html.size(), find.c_str(), r.count, coreMs, cliMs, sedMs,
        cliMs > 0 && sedMs > 0 ? QByteArray::number(cliMs / sedMs, 'f', 2).constData() : "-",
        windowMs, inPageMs, undoMs, undone ? "" : "!", Median(hitMs, -1), notFoundMs);
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
    InstallCodeCommands(w, &w);
    InstallFindReplace(w, &w);
    InstallTableMaker(w, &w);
    w.document().AutoFormat = false;
    w.document().AutoColorize = false;

    std::printf("%-22s %9s %4s %8s %9s %9s %9s %6s %10s %10s %9s %9s %9s\n", "document", "bytes",
                "find", "count", "core ms", "cli ms", "sed ms", "ratio", "window ms", "in page ms",
                "undo ms", "hit ms", "none ms");
    QTemporaryDir dir;
    const std::string html = bench::GenerateFiling(10u << 20);
    const QString path = dir.filePath("generated_10MB.htm");
    QFile out(path);
    if (out.open(QIODevice::WriteOnly)) out.write(html.data(), static_cast<qint64>(html.size()));
    out.close();
    Measure(w, "generated 10 MB", html, path);
    for (int i = 1; i < argc; ++i) {
        QFile f(argv[i]);
        if (!f.open(QIODevice::ReadOnly)) continue;
        Measure(w, QFileInfo(argv[i]).fileName().toStdString(), f.readAll().toStdString(), argv[i]);
    }
    // The largest table the wizard builds, inserted into an empty document:
    // how long the window is held, beside building the text alone.
    w.txtCode->SetTextUtf8("");
    w.Web->WaitForPushes(600000);
    w.commands().Run(CommandId::TableMaker);
    if (frmTable* t = w.findChild<TableCommand*>("TableCommand")->window()) {
        t->rowtxt->setText("999");
        t->coltxt->setText("999");
        t->twidthtxt->setText("100");
        t->cmbColor->setCurrentText("Blue");
        QElapsedTimer build;
        build.start();
        const std::string table = MakeTable(999, 999, 100, false, "Blue");
        const double buildMs = build.nsecsElapsed() / 1e6;
        QElapsedTimer insert;
        insert.start();
        t->mtb->click();
        const double insertMs = insert.nsecsElapsed() / 1e6;
        std::printf(
            "\ntable 999 x 999: %.1f MB, built in %.1f ms; Create Table held the window "
            "%.1f ms (%.2f s per 5 MB)\n",
            table.size() / 1e6, buildMs, insertMs,
            insertMs / 1000 / (static_cast<double>(table.size()) / 5e6));
    }
    std::printf(
        "\nfind/count: the one-character text replaced by \"#\" and its occurrences\n"
        "core ms: the Replace All pass on the text alone\n"
        "cli ms: tarlo-cli replace --match-case on the file (median of 3, output discarded)\n"
        "sed ms: sed -e 's/X/#/g' on the same file; ratio = cli / sed\n"
        "window ms: Replace All in the Find and Replace window until the code view holds the\n"
        "  result (one edit); in page ms: until the page holds it too\n"
        "undo ms: one Undo (Ctrl+Z) giving back the whole text (\"!\" when it did not)\n"
        "hit ms: Find Next per hit of \"increased\" (median); none ms: Find Next from past the\n"
        "  last hit, which answers not found\n");
    return 0;
}
