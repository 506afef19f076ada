// One QApplication for the whole test binary: starting Qt WebEngine costs
// seconds, so every GUI test of a binary shares it.
#include <QtWebEngineCore/qtwebenginecoreglobal.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <QApplication>

#include "support/ci_skips.h"

int main(int argc, char** argv) {
    // Chromium refuses to start its sandbox as root; tests run as root in CI.
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return tarlo::test::FailSkipsUnderCi(RUN_ALL_TESTS());
}
