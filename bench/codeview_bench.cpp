// Figures for the code window services, each beside a peer measured in the
// same run: tarlo-cli format against HTML Tidy's indenter, tarlo-cli colorize
// against highlight's HTML output, colouring in the real code view, and the
// memory and time of the undo history over 60 changes.
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench_support.h"
#include "codeview/code_view.h"
#include "codeview/html_colorizer.h"
#include "filing_generator.h"

using namespace tarlo;
using tarlo::bench::Median;
using tarlo::bench::ProgramMs;

namespace {

QString Ratio(double ours, double peer) {
    return peer > 0 ? QString::number(ours / peer, 'f', 3) : QStringLiteral("-");
}

void Measure(const QString& name, const QString& path, const std::string& html) {
    const QString cli = QCoreApplication::applicationDirPath() + "/tarlo-cli";
    const double formatMs = ProgramMs(cli, {"format", path});
    const double tidyMs = ProgramMs(QStandardPaths::findExecutable("tidy"), {"-i", "-q", path});
    // Tidy writes nothing for a document it finds errors in unless told to;
    // filings usually have some, so its time is shown with the output forced too.
    const double tidyForcedMs = ProgramMs(QStandardPaths::findExecutable("tidy"),
                                          {"-i", "-q", "--force-output", "yes", path});
    const double colorMs = ProgramMs(cli, {"colorize", path});
    const double highlightMs =
        ProgramMs(QStandardPaths::findExecutable("highlight"), {"-S", "html", path});

    // Colouring in the real code view: the runs computed and applied at once.
    CodeView view;
    view.resize(800, 600);
    view.show();
    view.SetTextUtf8(html);
    QElapsedTimer t;
    t.start();
    std::vector<StyleRun> runs;
    for (const RoleRun& r : ColourRoles(view.TextUtf8())) {
        runs.push_back({static_cast<int>(r.start), static_cast<int>(r.length),
                        RoleColour(r.role, ColourSettings{}), 8.5});
    }
    view.ApplyRuns(runs);
    QCoreApplication::processEvents();
    const double viewMs = t.nsecsElapsed() / 1e6;

    const double docMb = html.size() / 1e6;

    std::printf("%-36s %8.1f MB\n", name.toUtf8().constData(), docMb);
    std::printf(
        "  format    tarlo-cli %9.1f ms   tidy -i -q %9.1f ms   ratio %s   (tidy with "
        "--force-output %.1f ms, ratio %s)\n",
        formatMs, tidyMs, Ratio(formatMs, tidyMs).toUtf8().constData(), tidyForcedMs,
        Ratio(formatMs, tidyForcedMs).toUtf8().constData());
    std::printf("  colorize  tarlo-cli %9.1f ms   highlight  %9.1f ms   ratio %s\n", colorMs,
                highlightMs, Ratio(colorMs, highlightMs).toUtf8().constData());
    std::printf("  colouring the code view %9.1f ms\n", viewMs);
    // The undo history's bytes and times are tarlo_undo_bench's.
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const std::string filing = bench::GenerateFiling(10u << 20);
    const QString generated = dir.filePath("generated-10mb.htm");
    {
        QFile f(generated);
        f.open(QIODevice::WriteOnly);
        f.write(filing.data(), static_cast<qint64>(filing.size()));
    }
    Measure("generated filing", generated, filing);
    for (int i = 1; i < argc; ++i) {
        QFile f(QString::fromLocal8Bit(argv[i]));
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QByteArray bytes = f.readAll();
        Measure(QFileInfo(f).fileName(), f.fileName(), bytes.toStdString());
    }
    std::printf("\nratio = ours / peer's time, both measured in this run (median of 3).\n");
    return 0;
}
