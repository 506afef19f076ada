// What typing costs in the main window: the processor time of one typed key
// in the code view, its handler and the paint that follows, with the caret
// near the start, in the middle and near the end of the document; the
// processor time the idle window takes with a one-line filing open; and the
// time from opening a filing until the code view takes a key. The documents
// are two Inline XBRL annual reports from the corpus (one of them a single
// 4 MB line), a generated 10 MB filing of short lines and the same filing cut
// into lines of about 2 KB, and any files named on the command line. A plain
// QPlainTextEdit holding the same text is measured in the same run as the peer.
#include <time.h>
#include <unistd.h>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/editor_commands.h"
#include "bench_support.h"
#include "codeview/code_view.h"
#include "shell/dialogs.h"
#include "editor/file_commands.h"
#include "editor/main_window.h"
#include "pageview/visual_view.h"
#include "filing_generator.h"

#ifndef TARLO_CORPUS_DIR
#define TARLO_CORPUS_DIR "../shared/corpus"
#endif

using namespace tarlo;
using tarlo::bench::Median;

namespace {

constexpr int kWarmUpKeys = 2;
constexpr int kMeasuredKeys = 15;
// A key of the peer's that takes longer than this makes its figure rest on
// three keys: its whole run would otherwise take many minutes.
constexpr double kSlowKeyMs = 5000;
constexpr int kSlowMeasuredKeys = 3;
constexpr int kPushTimeoutMs = 120000;
constexpr int kIdleMs = 10000;
constexpr int kCaretPercents[] = {2, 50, 98};

// Processor time of the whole process, every thread of it, in milliseconds.
double CpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Processor and wall time of one stretch of work.
class Stopwatch {
  public:
    Stopwatch() : cpu0_(CpuMs()) { wall_.start(); }
    double cpuMs() const { return CpuMs() - cpu0_; }
    double wallMs() const { return wall_.nsecsElapsed() / 1e6; }

  private:
    double cpu0_;
    QElapsedTimer wall_;
};

std::size_t LongestLine(const std::string& text) {
    std::size_t longest = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        longest = std::max(longest, end - start);
        start = end + 1;
    }
    return longest;
}

// The offset just after the '>' nearest to the given share of the text, so
// that the caret never stands inside a character of several bytes.
int CaretAt(const std::string& text, int percent) {
    const std::size_t target = text.size() * static_cast<std::size_t>(percent) / 100;
    const std::size_t after = text.find('>', target);
    const std::size_t before = target == 0 ? std::string::npos : text.rfind('>', target - 1);
    std::size_t at = after;
    if (at == std::string::npos || (before != std::string::npos && target - before < at - target)) {
        at = before;
    }
    return at == std::string::npos ? static_cast<int>(target) : static_cast<int>(at + 1);
}

// The generated filing with its line breaks taken out and put back after the
// first '>' once a line holds about `every` bytes: the shape of filings whose
// software writes long lines.
std::string RecutLines(const std::string& html, std::size_t every) {
    std::string flat;
    flat.reserve(html.size());
    for (char c : html) {
        if (c != '\r' && c != '\n') flat += c;
    }
    std::string out;
    out.reserve(flat.size() + 2 * (flat.size() / every + 1));
    std::size_t lineStart = 0;
    for (char c : flat) {
        out += c;
        if (c == '>' && out.size() - lineStart >= every) {
            out += "\r\n";
            lineStart = out.size();
        }
    }
    if (lineStart != out.size()) out += "\r\n";
    return out;
}

bool WriteFile(const QString& path, const std::string& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) &&
           f.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
               static_cast<qint64>(bytes.size());
}

// Lets the window's and the engine's pending work finish, for a bounded time.
void Settle(int ms) {
    QTest::qWait(ms);
}

// The view's own pending events and the window's pending paints; the push
// to the page waits in the queue.
void SendPaintsAndOwnEvents(QAbstractScrollArea* view) {
    QCoreApplication::sendPostedEvents(view);
    QCoreApplication::sendPostedEvents(view->viewport());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

struct KeyFigures {
    double cpuMs = 0;
    double wallMs = 0;
    int keys = 0;
};

// Types X into the view: each key is the key press and release, the view
// painted at once and the events it posted. The first keys are not counted.
KeyFigures TypeKeys(QAbstractScrollArea* view, bool mayCut) {
    int warmUp = kWarmUpKeys;
    int measured = kMeasuredKeys;
    std::vector<double> cpu;
    std::vector<double> wall;
    for (int i = 0; i < warmUp + measured; ++i) {
        const Stopwatch key;
        QTest::keyClick(view, Qt::Key_X);
        view->viewport()->repaint();
        SendPaintsAndOwnEvents(view);
        const double keyCpu = key.cpuMs();
        if (i == 0 && mayCut && keyCpu > kSlowKeyMs) {
            warmUp = 1;
            measured = kSlowMeasuredKeys;
        }
        if (i >= warmUp) {
            cpu.push_back(keyCpu);
            wall.push_back(key.wallMs());
        }
    }
    return {Median(cpu), Median(wall), measured};
}

struct PushFigures {
    double cpuMs = -1;
    double wallMs = -1;
    int duringKeys = 0;  // pushes that started while the keys were handled
};

// The newest code into the page: what this process spends on it.
PushFigures PushOnce(VisualView* web) {
    const Stopwatch push;
    if (!web->WaitForPushes(kPushTimeoutMs)) return {};
    return {push.cpuMs(), push.wallMs()};
}

struct OpenFigures {
    std::string name;
    double openMs = -1;
    double openCpuMs = -1;
    double pageMs = -1;
    double setTextMs = -1;
    double peerMs = -1;
    double peerCpuMs = -1;
};

struct IdleFigures {
    bool measured = false;
    double oursPercent = 0;
    double peerPercent = 0;
    bool oursFocused = false;
    bool peerFocused = false;
};

// Processor time over wall time of an event loop nobody types into.
double IdlePercent() {
    const Stopwatch idle;
    QTest::qWait(kIdleMs);
    return 100.0 * idle.cpuMs() / idle.wallMs();
}

// The peer keeps each CR LF as one paragraph break and counts UTF-16 units:
// the peer's position of a byte offset of the code.
int PeerOffset(const std::string& text, int caret) {
    QString prefix = QString::fromUtf8(text.data(), caret);
    prefix.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return static_cast<int>(prefix.size());
}

void PrintRow(const std::string& name, std::size_t bytes, std::size_t longest, int percent,
              const KeyFigures& ours, const PushFigures& push, const KeyFigures& peer) {
    const QByteArray ratio =
        peer.cpuMs > 0 ? QByteArray::number(ours.cpuMs / peer.cpuMs, 'f', 2) : "-";
    std::printf("%-30s %9zu %9zu %4d%% %9.2f %9.2f %9.1f %9.1f %6d %9.2f%s %7s\n", name.c_str(),
                bytes, longest, percent, ours.cpuMs, ours.wallMs, push.cpuMs, push.wallMs,
                push.duringKeys, peer.cpuMs, peer.keys == kMeasuredKeys ? " " : "*",
                ratio.constData());
    std::fflush(stdout);
}

class Bench {
  public:
    Bench(frmMain& w, ScriptedDialogs& dialogs, QPlainTextEdit& peer)
        : w_(w), dialogs_(dialogs), peer_(peer) {}

    OpenFigures Measure(const std::string& name, const QString& path, bool idle,
                        IdleFigures* idleOut);

  private:
    // Whether the window became the active one in time.
    bool ActivateMain();
    bool ActivatePeer();

    frmMain& w_;
    ScriptedDialogs& dialogs_;
    QPlainTextEdit& peer_;
};

bool Bench::ActivateMain() {
    w_.activateWindow();
    const bool active = QTest::qWaitForWindowActive(&w_, 2000);
    w_.txtCode->setFocus();
    return active;
}

bool Bench::ActivatePeer() {
    peer_.show();
    peer_.activateWindow();
    const bool active = QTest::qWaitForWindowActive(&peer_, 2000);
    peer_.setFocus();
    return active;
}

OpenFigures Bench::Measure(const std::string& name, const QString& path, bool idle,
                           IdleFigures* idleOut) {
    OpenFigures open;
    open.name = name;
    CodeView* code = w_.txtCode;
    VisualView* web = w_.Web;
    auto* files = w_.findChild<FileCommands*>("FileCommands");
    if (!files) return open;
    ActivateMain();
    web->WaitForPushes(kPushTimeoutMs);
    Settle(200);

    // Open as File > Open does; the typing of the document before is not kept.
    if (files->HasUnsavedChanges()) dialogs_.Queue(Answer::No);
    {
        const Stopwatch opening;
        if (!files->OpenDocumentFile(path)) {
            std::printf("%-30s could not be opened\n", name.c_str());
            dialogs_.ClearAsked();
            return open;
        }
        code->viewport()->repaint();
        SendPaintsAndOwnEvents(code);
        open.openMs = opening.wallMs();
        open.openCpuMs = opening.cpuMs();
        if (web->WaitForPushes(kPushTimeoutMs)) open.pageMs = opening.wallMs();
    }
    dialogs_.ClearAsked();
    const std::string text = code->TextUtf8();
    {
        // The same text assigned to the code view directly, for comparison
        // with the whole open.
        Settle(200);
        const Stopwatch assign;
        code->SetTextUtf8(text);
        code->viewport()->repaint();
        SendPaintsAndOwnEvents(code);
        open.setTextMs = assign.wallMs();
        web->WaitForPushes(kPushTimeoutMs);
    }
    const std::size_t longest = LongestLine(text);

    std::vector<KeyFigures> ours;
    std::vector<PushFigures> pushes;
    for (int percent : kCaretPercents) {
        ActivateMain();
        code->SetSel(CaretAt(text, percent), 0);
        code->viewport()->repaint();
        web->WaitForPushes(kPushTimeoutMs);
        Settle(300);
        const int before = web->pushesStarted();
        ours.push_back(TypeKeys(code, false));
        const int duringKeys = web->pushesStarted() - before;
        pushes.push_back(PushOnce(web));
        pushes.back().duringKeys = duringKeys;
    }
    if (idle && idleOut) {
        ActivateMain();
        code->SetSel(CaretAt(text, 50), 0);
        code->viewport()->repaint();
        web->WaitForPushes(kPushTimeoutMs);
        Settle(1000);
        idleOut->measured = true;
        idleOut->oursFocused = code->hasFocus();
        idleOut->oursPercent = IdlePercent();
    }

    // The peer: the same text, caret offsets and keys in a plain text box.
    const QString peerText = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
                                 .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ActivatePeer();
    {
        const Stopwatch opening;
        peer_.setPlainText(peerText);
        peer_.viewport()->repaint();
        SendPaintsAndOwnEvents(&peer_);
        open.peerMs = opening.wallMs();
        open.peerCpuMs = opening.cpuMs();
    }
    std::vector<KeyFigures> peer;
    for (int percent : kCaretPercents) {
        QTextCursor cursor = peer_.textCursor();
        cursor.setPosition(PeerOffset(text, CaretAt(text, percent)));
        peer_.setTextCursor(cursor);
        peer_.setFocus();
        peer_.viewport()->repaint();
        Settle(100);
        peer.push_back(TypeKeys(&peer_, true));
    }
    if (idle && idleOut) {
        // The main window out of the way, so that the figure is the peer's.
        w_.hide();
        ActivatePeer();
        QTextCursor cursor = peer_.textCursor();
        cursor.setPosition(PeerOffset(text, CaretAt(text, 50)));
        peer_.setTextCursor(cursor);
        Settle(1000);
        idleOut->peerFocused = peer_.hasFocus();
        idleOut->peerPercent = IdlePercent();
        w_.show();
        if (!QTest::qWaitForWindowExposed(&w_, 5000)) std::printf("the main window did not show\n");
    }
    peer_.clear();
    peer_.hide();

    for (std::size_t i = 0; i < ours.size(); ++i) {
        PrintRow(i == 0 ? name : std::string(), text.size(), longest, kCaretPercents[i], ours[i],
                 pushes[i], peer[i]);
    }
    return open;
}

}  // namespace

int main(int argc, char** argv) {
    tarlo::bench::PrepareWindowRun();
    QApplication app(argc, argv);
    const QElapsedTimer run = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    ScriptedDialogs dialogs;
    frmMain w(&dialogs);
    w.SetEndProgram([] {});
    // The window as the program builds it: every subsystem's commands, so
    // that every key records its undo step and feeds the page.
    InstallEditorCommands(w);
    w.show();
    w.Form_Load();
    if (!QTest::qWaitForWindowExposed(&w, 5000)) std::printf("the main window did not show\n");

    // The peer is as large as the code view and, like it, does not wrap.
    QPlainTextEdit peer;
    peer.setLineWrapMode(QPlainTextEdit::NoWrap);
    peer.setFont(QFont("Arial", 9));
    peer.resize(w.txtCode->size());

    QTemporaryDir dir;
    struct Doc {
        std::string name;
        QString path;
        bool idle;
    };
    std::vector<Doc> docs;
    const QString corpus = QStringLiteral(TARLO_CORPUS_DIR);
    for (const char* file : {"edgar-10k-2024-ixbrl-b.htm", "edgar-10k-2024-ixbrl-a.htm"}) {
        const QString path = corpus + '/' + file;
        if (QFileInfo::exists(path)) {
            docs.push_back({file, path, docs.empty()});
        } else {
            std::printf("missing from the corpus: %s\n", qPrintable(path));
        }
    }
    {
        const std::string filing = bench::GenerateFiling(10u << 20);
        const QString shortLines = dir.filePath("generated_short_lines.htm");
        const QString longLines = dir.filePath("generated_2kb_lines.htm");
        if (WriteFile(shortLines, filing))
            docs.push_back({"generated, short lines", shortLines, false});
        if (WriteFile(longLines, RecutLines(filing, 2000))) {
            docs.push_back({"generated, 2 KB lines", longLines, false});
        }
    }
    for (int i = 1; i < argc; ++i) {
        docs.push_back(
            {QFileInfo(argv[i]).fileName().toStdString(), QString::fromLocal8Bit(argv[i]), false});
    }

    std::printf("%-30s %9s %9s %5s %9s %9s %9s %9s %6s %10s %7s\n", "document", "bytes", "longest",
                "caret", "key cpu", "key wall", "push cpu", "push wall", "pushes", "peer cpu",
                "ratio");
    std::fflush(stdout);
    Bench bench(w, dialogs, peer);
    std::vector<OpenFigures> opens;
    IdleFigures idle;
    for (const Doc& doc : docs) opens.push_back(bench.Measure(doc.name, doc.path, doc.idle, &idle));

    std::printf("\n%-30s %9s %9s %9s %9s %9s %9s\n", "document", "open", "open cpu", "in page",
                "set text", "peer", "peer cpu");
    for (const OpenFigures& o : opens) {
        std::printf("%-30s %9.0f %9.0f %9.0f %9.0f %9.0f %9.0f\n", o.name.c_str(), o.openMs,
                    o.openCpuMs, o.pageMs, o.setTextMs, o.peerMs, o.peerCpuMs);
    }
    if (idle.measured) {
        std::printf(
            "\nidle, %s open, caret at 50%%, %d s: ours %.1f%% of a core%s, peer %.1f%% "
            "of a core%s\n",
            docs.front().name.c_str(), kIdleMs / 1000, idle.oursPercent,
            idle.oursFocused ? "" : " (the code view had no focus)", idle.peerPercent,
            idle.peerFocused ? "" : " (the peer had no focus)");
    }
    std::printf(
        "\nAll times in ms. cpu: processor time of this whole process (every thread, "
        "CLOCK_PROCESS_CPUTIME_ID);\n"
        "  the web engine lays out and paints the page in a renderer process of its own, whose\n"
        "  time is not counted; its browser side (and, when it runs in-process, its GPU thread)\n"
        "  runs in this process and is counted.\n"
        "key cpu / key wall: one typed X in the code view of the main window: the key press and\n"
        "  release, the code view painted at once, its own pending events and the window's\n"
        "  pending paints; median of %d keys after %d unmeasured ones\n"
        "push cpu / push wall: afterwards, this process's share of bringing the typed code into\n"
        "  the page (one push for all the keys at that caret; the push runs on a timer and is\n"
        "  never part of the key figures)\n"
        "pushes: pushes that started while the keys were handled, 0 when the key path never\n"
        "  let the event loop run\n"
        "peer cpu: the same keys at the same offsets in a plain QPlainTextEdit holding the same\n"
        "  text (no wrapping, as the code view); * = median of %d keys, its keys being over %.0f "
        "s;\n"
        "  ratio = key cpu / peer cpu (above 1: the code view takes longer than the peer)\n"
        "caret: the caret just after the '>' nearest to that share of the document\n"
        "longest: bytes in the longest line\n"
        "open: File > Open of the document until the code view has painted it and takes a key;\n"
        "  in page: until the page shows it too; set text: the same text assigned to the code\n"
        "  view and painted; peer: the peer taking the text and painting it\n"
        "idle: processor time over wall time while nobody types, the window shown and the caret\n"
        "  in the code view (for the peer, its window alone, the main window hidden)\n"
        "whole run: %.0f s\n",
        kMeasuredKeys, kWarmUpKeys, kSlowMeasuredKeys, kSlowKeyMs / 1000, run.elapsed() / 1000.0);
    return 0;
}
