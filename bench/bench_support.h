#pragma once
// What every benchmark here needs: the middle of a set of timings, and the
// time a peer program takes on a file, measured in the same run.
#include <unistd.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <vector>

namespace tarlo::bench {

// What every window benchmark sets before its QApplication: headless unless
// told otherwise, and, as root, the page engine without its sandbox (which
// refuses root).
inline void PrepareWindowRun() {
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

inline double Median(std::vector<double> v, double whenEmpty = 0) {
    std::sort(v.begin(), v.end());
    return v.empty() ? whenEmpty : v[v.size() / 2];
}

// Milliseconds a program needs (median of 3), its output thrown away; -1 when
// it is not installed, or, when `mustSucceed`, when a run fails.
inline double ProgramMs(const QString& program, const QStringList& args, bool mustSucceed = false) {
    if (program.isEmpty()) return -1;
    std::vector<double> runs;
    for (int i = 0; i < 3; ++i) {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer t;
        t.start();
        p.start(program, args);
        const bool finished = p.waitForFinished(600000);
        if (mustSucceed && (!finished || p.exitCode() != 0)) return -1;
        runs.push_back(t.nsecsElapsed() / 1e6);
    }
    return Median(runs);
}

}  // namespace tarlo::bench
