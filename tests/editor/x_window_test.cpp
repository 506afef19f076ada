// The start window on a real X server (no window manager): what a new user
// sees, read back from the server's own pixels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QStatusBar>
#include <QTest>

#include "editor/dialogs.h"
#include "editor/main_window.h"
#include "support/gui_test_support.h"

namespace tarlo {
namespace {

// The share of pixels in a band of `shot` that are pure black: parts of the
// window the server holds but nothing painted.
double BlackShare(const QImage& shot, const QRect& band) {
    int black = 0;
    int all = 0;
    const QRect r = band.intersected(shot.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            ++all;
            if ((shot.pixel(x, y) & 0xFFFFFF) == 0) ++black;
        }
    }
    return all == 0 ? 1.0 : static_cast<double>(black) / all;
}

TEST(OnAnXServer, TheStartWindowShowsTheWholeStripAndRepaintsWhenGrown) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";
    }
    ScriptedDialogs dialogs;
    frmMain* window = test::StartTestWindow(&dialogs, [] {});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QTest::qWait(300);
    EXPECT_EQ(window->size(), QSize(867, 800));
    for (const std::string& problem : test::StripProblems(*window)) ADD_FAILURE() << problem;
    const QString dir = qEnvironmentVariable("TARLO_SCREENSHOT_DIR", QDir::tempPath());
    QScreen* screen = window->screen();
    screen->grabWindow(0).save(QDir(dir).filePath("tarlo-start-window.png"));

    // Grown: the menu bar and the status bar are painted over their whole
    // width, as the server shows them.
    window->resize(1500, 800);
    QTest::qWait(500);
    for (const std::string& problem : test::StripProblems(*window)) ADD_FAILURE() << problem;
    const QImage shot = screen->grabWindow(window->winId()).toImage();
    shot.save(QDir(dir).filePath("tarlo-grown-window.png"));
    ASSERT_GE(shot.width(), 1400);
    const QRect menu(QPoint(900, 2), QPoint(1490, window->menuBar()->height() - 3));
    EXPECT_LT(BlackShare(shot, menu), 0.5);
    const int bottom = window->statusBar()->mapTo(window, QPoint(0, 0)).y();
    const QRect status(QPoint(900, bottom + 2), QPoint(1490, shot.height() - 3));
    EXPECT_LT(BlackShare(shot, status), 0.5);
    delete window;
}

}  // namespace
}  // namespace tarlo
