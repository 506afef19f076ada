// What the code window's undo history costs on a large filing: the bytes it
// holds right after a generated 10 MB filing is opened and after 60 edits
// (keys here and there, a paste, a deletion of a few kilobytes, Colorize),
// beside the document's own size; the time of one undo and one redo of a key
// and of the step that holds the colours; and the time of opening, of
// Colorize and of the key that records the colours as part of its step.
#include <unistd.h>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <string>
#include <vector>

#include "app/editor_commands.h"
#include "bench_support.h"
#include "codeview/code_view.h"
#include "editor/file_commands.h"
#include "editor/main_window.h"
#include "filing_generator.h"
#include "pageview/visual_view.h"
#include "shell/command_id.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"

using namespace tarlo;
using tarlo::bench::Median;

namespace {

constexpr int kPushTimeoutMs = 120000;
constexpr int kRepeats = 7;

double Ms(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

double Mb(std::size_t bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

void Report(const char* when, std::size_t history, std::size_t document) {
    std::printf("%-34s history %8.2f MB   document %8.2f MB   ratio %5.2f\n", when, Mb(history),
                Mb(document),
                document == 0 ? 0.0 : static_cast<double>(history) / static_cast<double>(document));
}

// A key typed at `pos`, recorded as its own step.
void TypeAt(CodeView* code, int pos, Qt::Key key) {
    code->SetSel(pos, 0);
    QTest::keyClick(code, key);
}

}  // namespace

int main(int argc, char** argv) {
    tarlo::bench::PrepareWindowRun();
    QApplication app(argc, argv);
    ScriptedDialogs dialogs;
    frmMain w(&dialogs);
    w.SetEndProgram([] {});
    // Every subsystem's commands, so that every change records its step.
    InstallEditorCommands(w);
    w.show();
    w.Form_Load();
    CodeView* code = w.txtCode;
    auto* files = w.findChild<FileCommands*>("FileCommands");
    if (files == nullptr) {
        std::printf("the window has no file commands\n");
        return 1;
    }

    QTemporaryDir dir;
    const QString path = dir.filePath("generated_10mb.htm");
    {
        const std::string filing = bench::GenerateFiling(10u << 20);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) ||
            f.write(filing.data(), static_cast<qint64>(filing.size())) !=
                static_cast<qint64>(filing.size())) {
            std::printf("could not write %s\n", qPrintable(path));
            return 1;
        }
    }
    QElapsedTimer opening;
    opening.start();
    if (!files->OpenDocumentFile(path)) {
        std::printf("could not open %s\n", qPrintable(path));
        return 1;
    }
    const double openMs = Ms(opening);
    w.Web->WaitForPushes(kPushTimeoutMs);
    const UndoHistory& history = w.document().History();
    Report("after opening", history.MemoryBytes(), static_cast<std::size_t>(code->Length()));

    // 60 edits spread over the document; Colorize is not a step of its own,
    // the key after it records the colours with it.
    code->setFocus();
    const int length = code->Length();
    int edits = 0;
    for (int i = 0; i < 20; ++i, ++edits) TypeAt(code, length / 23 * (i + 1), Qt::Key_X);
    QApplication::clipboard()->setText(
        QStringLiteral("<p>Pasted paragraph &#150; a few words.</p>"));
    code->SetSel(length / 2, 0);
    code->paste();
    ++edits;
    for (int i = 0; i < 10; ++i, ++edits) TypeAt(code, length / 3 + i, Qt::Key_Y);
    code->SetSel(length / 4, 4096);
    QTest::keyClick(code, Qt::Key_Delete);
    ++edits;
    QElapsedTimer colourise;
    colourise.start();
    w.commands().Run(CommandId::ColorizeHtml);
    const double colouriseMs = Ms(colourise);
    ++edits;
    QElapsedTimer firstKey;
    firstKey.start();
    TypeAt(code, length / 5, Qt::Key_Z);
    const double firstKeyMs = Ms(firstKey);
    ++edits;
    int keysAfter = 0;
    while (edits < 60) {
        TypeAt(code, length / 7 + edits, Qt::Key_Z);
        ++edits;
        ++keysAfter;
    }
    w.Web->WaitForPushes(kPushTimeoutMs);
    char when[64];
    std::snprintf(when, sizeof when, "after %d edits (%d steps)", edits, history.UndoIndex());
    Report(when, history.MemoryBytes(), static_cast<std::size_t>(code->Length()));
    std::printf("%-34s %8.1f ms\n", "opening (until the code view has it)", openMs);
    std::printf("%-34s %8.1f ms\n", "Colorize", colouriseMs);
    std::printf("%-34s %8.1f ms\n", "the key after Colorize", firstKeyMs);

    // One key's step undone and redone.
    std::vector<double> undo;
    std::vector<double> redo;
    for (int i = 0; i < kRepeats; ++i) {
        QElapsedTimer t;
        t.start();
        w.commands().Run(CommandId::Undo);
        undo.push_back(Ms(t));
        t.restart();
        w.commands().Run(CommandId::Redo);
        redo.push_back(Ms(t));
    }
    std::printf("%-34s %8.2f ms (median of %d)\n", "undo of a key", Median(undo), kRepeats);
    std::printf("%-34s %8.2f ms (median of %d)\n", "redo of a key", Median(redo), kRepeats);

    // Back to before the colours, then forward again: the colours of the
    // whole filing go and come back.
    const int steps = keysAfter + 1;
    QElapsedTimer back;
    back.start();
    double colourStepMs = 0;
    for (int i = 0; i < steps; ++i) {
        QElapsedTimer t;
        t.start();
        w.commands().Run(CommandId::Undo);
        colourStepMs = Ms(t);
    }
    const double backMs = Ms(back);
    QElapsedTimer t;
    t.start();
    w.commands().Run(CommandId::Redo);
    const double colourRedoMs = Ms(t);
    std::printf("%-34s %8.2f ms\n", "undo of the step with the colours", colourStepMs);
    std::printf("%-34s %8.2f ms\n", "redo of the step with the colours", colourRedoMs);
    std::printf("%-34s %8.2f ms (%d steps)\n", "undo back to before Colorize", backMs, steps);
    Report("after the undos", history.MemoryBytes(), static_cast<std::size_t>(code->Length()));
    w.Web->WaitForPushes(kPushTimeoutMs);
    return 0;
}
