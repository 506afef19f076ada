// The main window on a real X server, with and without a window manager:
// what a new user sees, read back from the server's own pixels, and keys
// sent by the server itself.
#include <gtest/gtest.h>

#include <cstdlib>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPixmap>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include "app/editor_commands.h"
#include "codeview/code_view.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "editor/main_window.h"
#include "pageview/visual_view.h"
#include "startup/splash_window.h"
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

// What a test on the X server needs that is not here; empty when all is.
std::string WhatTheServerTestNeeds(bool keys) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return "needs an X server (run under xvfb-run)";
    }
    if (keys && QStandardPaths::findExecutable("xdotool").isEmpty()) return "needs xdotool";
    return {};
}

frmMain* StartWholeEditor(ScriptedDialogs& dialogs) {
    return test::StartTestWindow(
        &dialogs, [] {}, {}, [](frmMain& w) { InstallEditorCommands(w); });
}

TEST(OnAnXServer, TheStartWindowShowsTheWholeStripAndRepaintsWhenGrown) {
    const std::string missing = WhatTheServerTestNeeds(false);
    if (!missing.empty()) GTEST_SKIP() << missing;
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

// Keys as a person presses them: from the X server (xdotool), through the
// window system's key path into whichever view has the keyboard.
TEST(OnAnXServer, RealKeysReachTheMenusFromTheCodeAndRedoInThePage) {
    const std::string missing = WhatTheServerTestNeeds(true);
    if (!missing.empty()) GTEST_SKIP() << missing;
    ScriptedDialogs dialogs;
    frmMain* window = StartWholeEditor(dialogs);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    window->document().AutoFormat = false;
    window->document().AutoColorize = false;
    const auto press = [window](const QStringList& keys) {
        const QString id = QString::number(window->winId());
        QProcess::execute("xdotool", {"windowfocus", "--sync", id});
        test::WaitUntil([window] { return window->isActiveWindow(); }, 3000);
        QProcess::execute("xdotool", QStringList{"key", "--delay", "30"} + keys);
    };
    const auto shown = [](const char* name) -> QWidget* {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
        }
        return nullptr;
    };

    const std::string code = "<html><body><p id=\"p\">x</p>\r\n<p>two</p></body></html>";
    // The code's history can redo, so a Ctrl+Y that reached it would show.
    window->txtCode->SetTextUtf8(code);
    window->txtCode->SetTextUtf8("<html><body><p>later</p></body></html>");
    ASSERT_TRUE(window->commands().Run(CommandId::Undo));
    ASSERT_EQ(window->txtCode->TextUtf8(), code);
    QApplication::clipboard()->setText("PASTED");
    window->txtCode->setFocus();
    window->txtCode->SetSel(30, 0);

    press({"ctrl+t"});
    QWidget* table = nullptr;
    EXPECT_TRUE(test::WaitUntil([&] { return (table = shown("frmTable")) != nullptr; }, 5000));
    if (table != nullptr) table->close();
    press({"shift+Insert"});
    QWidget* google = nullptr;
    EXPECT_TRUE(test::WaitUntil([&] { return (google = shown("frmGoogle")) != nullptr; }, 5000));
    if (google != nullptr) google->close();
    auto* edit = window->findChild<QMenu*>("mnuEdit");
    press({"alt+e"});
    EXPECT_TRUE(test::WaitUntil([edit] { return edit->isVisible(); }, 5000));
    press({"Escape", "Escape"});
    EXPECT_TRUE(test::WaitUntil([edit] { return !edit->isVisible(); }, 5000));
    EXPECT_EQ(window->txtCode->TextUtf8(), code);

    // In the page: type, undo, and the menu's Redo key brings it back.
    ASSERT_TRUE(window->Web->WaitForPushes());
    window->Web->setFocus();
    ASSERT_TRUE(test::WaitUntil([window] { return window->Web->hasFocusWithin(); }));
    window->Web->RunScript(
        "var r = document.createRange(); r.selectNodeContents(document.getElementById('p'));"
        "r.collapse(false); getSelection().removeAllRanges(); getSelection().addRange(r); true");
    const auto text = [window] {
        const auto t = window->Web->RunScript("document.getElementById('p').textContent");
        return t ? t->toString() : QString();
    };
    press({"y", "z"});
    ASSERT_TRUE(test::WaitUntil([&] { return text() == "xyz"; }, 5000)) << text().toStdString();
    press({"ctrl+z"});
    ASSERT_TRUE(test::WaitUntil([&] { return text() == "x"; }, 5000)) << text().toStdString();
    press({"ctrl+y"});
    EXPECT_TRUE(test::WaitUntil([&] { return text() == "xyz"; }, 5000)) << text().toStdString();
    EXPECT_EQ(window->txtCode->TextUtf8(), code);
    delete window;
}

// The first step of the usual job, as a person takes it: a word processor's
// page on the clipboard, pasted with the keyboard into a new document's page,
// is what the exit prompt asks about and what Save writes.
TEST(OnAnXServer, APastedPageInANewDocumentIsAskedAboutAndSaved) {
    const std::string missing = WhatTheServerTestNeeds(true);
    if (!missing.empty()) GTEST_SKIP() << missing;
    ScriptedDialogs dialogs;
    frmMain* window = StartWholeEditor(dialogs);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    auto* data = new QMimeData;
    data->setHtml("<p><b>Quarterly</b> results pasted</p>");
    data->setText("Quarterly results pasted");
    QApplication::clipboard()->setMimeData(data);
    QProcess::execute("xdotool", {"windowfocus", "--sync", QString::number(window->winId())});
    const QPoint middle = window->Web->mapToGlobal(window->Web->rect().center());
    QProcess::execute("xdotool", {"mousemove", "--sync", QString::number(middle.x()),
                                  QString::number(middle.y()), "click", "1"});
    ASSERT_TRUE(test::WaitUntil([window] { return window->Web->hasFocusWithin(); }, 5000));
    QProcess::execute("xdotool", {"key", "ctrl+v"});
    const auto page = [window] { return window->Web->OuterHtml().value_or(QString()); };
    ASSERT_TRUE(test::WaitUntil([&] { return page().contains("<b>Quarterly</b>"); }, 5000))
        << page().toStdString();

    dialogs.Queue(Answer::Cancel);
    EXPECT_FALSE(window->Form_Unload());
    ASSERT_EQ(dialogs.asked().size(), 1u);
    EXPECT_EQ(dialogs.asked()[0].text, "Do you want to save your document?");
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("pasted.html");
    dialogs.Queue(std::optional<QString>(path));
    window->commands().Run(CommandId::SaveDocument);
    EXPECT_TRUE(test::ReadBytes(path).contains("<b>Quarterly</b> results pasted"));
    delete window;
}

// Of two same-sized images, the share of pixels that are alike.
double Likeness(const QImage& a, const QImage& b) {
    const int w = std::min(a.width(), b.width());
    const int h = std::min(a.height(), b.height());
    if (w <= 0 || h <= 0) return 0;
    int alike = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                    std::abs(qBlue(p) - qBlue(q)) <
                24) {
                ++alike;
            }
        }
    }
    return static_cast<double>(alike) / (w * h);
}

// What a person sees while the main window loads: the splash, above it, read
// back from the server's own pixels, with and without a window manager.
TEST(OnAnXServer, TheSplashStaysAboveTheMainWindowWhileItLoads) {
    const std::string missing = WhatTheServerTestNeeds(false);
    if (!missing.empty()) GTEST_SKIP() << missing;
    ScriptedDialogs dialogs;
    frmMain window(&dialogs);
    window.SetEndProgram([] {});
    double likeness = -1;
    QPointer<frmSplash> splash;
    splash = new frmSplash(
        {[&](const std::function<void(int)>& progress) {
             bool looked = false;
             window.SetLoadProgress([&, progress](int percent) {
                 progress(percent);
                 if (looked || percent < 50 || !splash) return;
                 looked = true;
                 // The main window is up and painted behind it by now.
                 if (!QTest::qWaitForWindowExposed(&window)) return;
                 QTest::qWait(400);
                 const QRect r = splash->geometry();
                 // The picture, above the progress bar, which moves on.
                 const int h = r.height() * 6 / 10;
                 const QImage screen =
                     window.screen()->grabWindow(0, r.x(), r.y(), r.width(), h).toImage();
                 const QImage own = splash->grab(QRect(0, 0, r.width(), h)).toImage();
                 likeness = Likeness(screen, own);
             });
             window.show();
             window.Form_Load();
             window.SetLoadProgress({});
         },
         {},
         [] { return false; }});
    splash->Start();
    ASSERT_TRUE(test::WaitUntil([&] { return splash.isNull() || !splash->isVisible(); }, 30000));
    EXPECT_GT(likeness, 0.9) << "the splash was covered while the main window loaded";
}

}  // namespace
}  // namespace tarlo
