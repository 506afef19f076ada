// The Help menu's windows and the start-up, in a real main window driven
// through their controls: the tip of the day and the settings file it
// writes, About, the help pages and the splash window's decision.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolBar>
#include <QToolButton>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "app/window_memory.h"
#include "controls/splitter_control.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "editor/main_window.h"
#include "startup/about_window.h"
#include "startup/help_window.h"
#include "startup/recent_files_menu.h"
#include "startup/splash_window.h"
#include "startup/startup_commands.h"
#include "startup/startup_files.h"
#include "startup/tip_window.h"
#include "support/gui_test_support.h"

namespace tarlo {

// Stands in for the desktop browser: remembers what it was asked to open.
class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public slots:
    void Open(const QUrl& url) { opened.push_back(url); }
};

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class StartupWindowsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dialogs = new ScriptedDialogs;
        window = test::StartTestWindow(
            dialogs, [] {}, [](frmMain& w) { tools = InstallStartupTools(w, &w); });
    }
    static void TearDownTestSuite() {
        delete window;
        delete dialogs;
    }
    void SetUp() override {
        dialogs->ClearAsked();
        // Each test has its own configuration and cache folders.
        ASSERT_TRUE(home.isValid());
        qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
        qputenv("XDG_CACHE_HOME", home.filePath("cache").toUtf8());
        tools.tip->SetTipsFile(QLatin1String(kTipsResource));
    }
    void TearDown() override {
        for (QWidget* w : {static_cast<QWidget*>(tools.tip->window()),
                           static_cast<QWidget*>(tools.about->window()),
                           static_cast<QWidget*>(tools.help->window())}) {
            if (w) w->close();
        }
        test::WaitUntil(
            [] { return !tools.tip->window() && !tools.about->window() && !tools.help->window(); });
    }
    QString Settings() const { return home.filePath("config/Tarlo/Tarlo.ini"); }
    static frmTip* OpenTip() {
        EXPECT_TRUE(window->commands().Run(CommandId::TipOfTheDay));
        return tools.tip->window();
    }
    static void CloseTip() {
        frmTip* tip = tools.tip->window();
        QTest::mouseClick(tip->findChild<QPushButton*>("Command2"), Qt::LeftButton);
        EXPECT_TRUE(test::WaitUntil([] { return tools.tip->window() == nullptr; }));
    }

    QTemporaryDir home;
    static inline frmMain* window = nullptr;
    static inline ScriptedDialogs* dialogs = nullptr;
    static inline StartupTools tools;
};

TEST_F(StartupWindowsTest, TheTipWindowShowsAShippedTipWithItsControls) {
    frmTip* tip = OpenTip();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->objectName(), "frmTip");
    EXPECT_EQ(tip->windowTitle(), "Tip of the Day");
    EXPECT_EQ(tip->findChild<QLabel*>("lblHeading")->text(), "Did you know...");
    EXPECT_EQ(tip->findChild<QPushButton*>("cmdNext")->text(), "&Next Tip");
    EXPECT_EQ(tip->findChild<QPushButton*>("Command2")->text(), "&Close");
    auto* box = tip->findChild<QCheckBox*>("chkLoadTipsAtStartup");
    EXPECT_EQ(box->text(), "Show tips at start up.");
    EXPECT_FALSE(box->isChecked());  // no settings file yet: no tips at start-up
    EXPECT_FALSE(tip->findChild<QLabel*>("imgTip")->pixmap().isNull());

    // Our own tips, at least 30 of them, each one shown as written.
    EXPECT_GE(tip->tips().size(), 30u);
    QSet<QString> shipped;
    for (const std::string& t : tip->tips()) shipped.insert(QString::fromStdString(t));
    auto* text = tip->findChild<QLabel*>("lblTipText");
    QSet<QString> shown;
    for (int i = 0; i < 60; ++i) {
        EXPECT_TRUE(shipped.contains(text->text())) << text->text().toStdString();
        shown.insert(text->text());
        QTest::mouseClick(tip->findChild<QPushButton*>("cmdNext"), Qt::LeftButton);
    }
    EXPECT_GT(shown.size(), 5);  // Next Tip really picks anew

    // Opening it again while it is open keeps the one window.
    EXPECT_EQ(OpenTip(), tip);
    // Above the main window and centred over it.
    EXPECT_EQ(tip->parentWidget(), window);
    EXPECT_EQ(tip->windowType(), Qt::Tool);
    const QRect main = window->frameGeometry();
    const QRect own = tip->frameGeometry();
    EXPECT_NEAR(own.center().x(), main.center().x(), 2);
    EXPECT_NEAR(own.center().y(), main.center().y(), 2);
}

TEST_F(StartupWindowsTest, TheTipCheckBoxShowsTheSettingAndClosingWritesIt) {
    const auto box = [] {
        return tools.tip->window()->findChild<QCheckBox*>("chkLoadTipsAtStartup");
    };
    QDir().mkpath(home.filePath("config/Tarlo"));
    test::WriteFile(home.filePath("config/Tarlo"), "Tarlo.ini", "1\n");
    OpenTip();
    EXPECT_TRUE(box()->isChecked());

    // Unticked and closed: 0, and the window opens unticked from then on, so
    // closing it again leaves the tips off.
    box()->setChecked(false);
    CloseTip();
    EXPECT_EQ(ReadAll(Settings()), "0\n");
    EXPECT_FALSE(ReadShowTips());
    OpenTip();
    EXPECT_FALSE(box()->isChecked());
    CloseTip();
    EXPECT_EQ(ReadAll(Settings()), "0\n");

    // Ticked and closed: 1, and the box opens ticked.
    OpenTip();
    box()->setChecked(true);
    CloseTip();
    EXPECT_EQ(ReadAll(Settings()), "1\n");
    EXPECT_TRUE(ReadShowTips());
    OpenTip();
    EXPECT_TRUE(box()->isChecked());
    // The main window's remembered lines after the flag are kept.
    test::WriteFile(home.filePath("config/Tarlo"), "Tarlo.ini", "1\nsplit=40\n");
    CloseTip();
    EXPECT_EQ(ReadAll(Settings()), "1\nsplit=40\n");
    OpenTip();

    // The close box writes too.
    box()->setChecked(false);
    tools.tip->window()->close();
    EXPECT_TRUE(test::WaitUntil([] { return tools.tip->window() == nullptr; }));
    EXPECT_EQ(ReadAll(Settings()), "0\nsplit=40\n");
    // Nothing but the file is left behind in the folder.
    EXPECT_EQ(QDir(home.filePath("config/Tarlo")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"Tarlo.ini"});
}

TEST_F(StartupWindowsTest, AnUnwritableSettingsFolderStillLetsTheTipWindowClose) {
    // A file where the Tarlo folder should be: even root cannot write there.
    QDir().mkpath(home.filePath("config"));
    test::WriteFile(home.filePath("config"), "Tarlo", "not a folder");
    frmTip* tip = OpenTip();
    ASSERT_NE(tip, nullptr);
    CloseTip();
    EXPECT_EQ(ReadAll(home.filePath("config/Tarlo")), "not a folder");
    EXPECT_FALSE(ReadShowTips());
}

TEST_F(StartupWindowsTest, TipsFilesOfThreeLinesNoneAndTooMany) {
    QTemporaryDir dir;
    tools.tip->SetTipsFile(test::WriteFile(dir.path(), "three.txt", "one\ntwo\nthree"));
    frmTip* tip = OpenTip();
    const QSet<QString> three{"one", "two", "three"};
    QSet<QString> shown;
    for (int i = 0; i < 100; ++i) {
        const QString t = tip->findChild<QLabel*>("lblTipText")->text();
        EXPECT_TRUE(three.contains(t)) << t.toStdString();
        shown.insert(t);
        tip->cmdNext_Click();
    }
    EXPECT_EQ(shown, three);  // the last line, without a line break, is a tip too
    CloseTip();

    tools.tip->SetTipsFile(dir.filePath("missing.txt"));
    tip = OpenTip();
    EXPECT_TRUE(tip->tips().empty());
    EXPECT_EQ(tip->findChild<QLabel*>("lblTipText")->text(), "");
    tip->cmdNext_Click();
    EXPECT_EQ(tip->findChild<QLabel*>("lblTipText")->text(), "");
    CloseTip();

    tools.tip->SetTipsFile(test::WriteFile(dir.path(), "empty.txt", ""));
    tip = OpenTip();
    EXPECT_EQ(tip->findChild<QLabel*>("lblTipText")->text(), "");
    CloseTip();

    QByteArray many;
    for (int i = 1; i <= 1005; ++i) many += "tip " + QByteArray::number(i) + "\n";
    tools.tip->SetTipsFile(test::WriteFile(dir.path(), "many.txt", many));
    tip = OpenTip();
    ASSERT_EQ(tip->tips().size(), 1000u);
    for (int i = 0; i < 200; ++i) {
        const int n = tip->findChild<QLabel*>("lblTipText")->text().mid(4).toInt();
        EXPECT_TRUE(n >= 1 && n <= 1000) << n;
        tip->cmdNext_Click();
    }
}

TEST_F(StartupWindowsTest, AboutShowsItsTextsAndItsLinkOpensTheHelpInTheBrowser) {
    ASSERT_TRUE(window->commands().Run(CommandId::About));
    frmAbout* about = tools.about->window();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), "About Tarlo");
    EXPECT_EQ(about->findChild<QLabel*>("lblDescription")->text(),
              "Tarlo was designed with one thing in mind; the coder. We think that Tarlo is the "
              "best program available designed to view and edit both the HTML code and its "
              "output at the same time.");
    EXPECT_EQ(about->findChild<QLabel*>("lblPublisher")->text(), "Tarlo contributors");
    EXPECT_TRUE(about->findChild<QLabel*>("lblNotice")->text().contains("Tarlo contributors"));
    EXPECT_FALSE(about->findChild<QLabel*>("imgAbout")->pixmap().isNull());
    auto* link = about->findChild<QLabel*>("lblLink");
    EXPECT_EQ(link->toolTip(), "Click to see where the magic happens");
    // The whole text shows: the window is tall enough for its wrapped lines.
    auto* text = about->findChild<QLabel*>("lblDescription");
    EXPECT_GE(text->height(), text->heightForWidth(text->width()));
    // The version, the licence and the libraries with their own versions.
    EXPECT_TRUE(about->findChild<QLabel*>("lblVersion")->text().startsWith("Tarlo 0."));
    EXPECT_TRUE(about->findChild<QLabel*>("lblVersion")->text().contains("GPL-3.0-or-later"));
    const QString libraries = about->findChild<QLabel*>("lblLibraries")->text();
    for (const QString& part : {QStringLiteral("Qt ") + qVersion(), QStringLiteral("QScintilla 2."),
                                QStringLiteral("libcurl "), QStringLiteral("Chromium ")}) {
        EXPECT_TRUE(libraries.contains(part)) << libraries.toStdString();
    }
    emit about->findChild<QPushButton*>("cmdLicence")->clicked();
    auto* licence = about->findChild<QPlainTextEdit*>("txtLicence");
    ASSERT_NE(licence, nullptr);
    EXPECT_TRUE(licence->toPlainText().contains("GNU GENERAL PUBLIC LICENSE"));
    EXPECT_TRUE(licence->toPlainText().contains("Version 3, 29 June 2007"));

    UrlCatcher browser;
    QDesktopServices::setUrlHandler("file", &browser, "Open");
    emit link->linkActivated(QStringLiteral("help"));
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(browser.opened.size(), 1);
    const QString index = browser.opened.front().toLocalFile();
    EXPECT_TRUE(index.startsWith(home.filePath("cache/Tarlo/help/"))) << index.toStdString();
    // The browser gets the same pages the help window shows, links and all.
    EXPECT_EQ(ReadAll(index), ReadAll(":/help/index.html"));
    EXPECT_EQ(ReadAll(QFileInfo(index).dir().filePath("checks.html")),
              ReadAll(":/help/checks.html"));
    EXPECT_EQ(ReadAll(QFileInfo(index).dir().filePath("style.css")), ReadAll(":/help/style.css"));

    // Not kept above the main window; in the middle of the screen.
    EXPECT_EQ(about->windowType(), Qt::Window);
    const QRect screen = window->screen()->availableGeometry();
    EXPECT_NEAR(about->frameGeometry().center().x(), screen.center().x(), 2);
    EXPECT_NEAR(about->frameGeometry().center().y(), screen.center().y(), 2);

    QTest::mouseClick(about->findChild<QPushButton*>("cmdDone"), Qt::LeftButton);
    EXPECT_TRUE(test::WaitUntil([] { return tools.about->window() == nullptr; }));
}

TEST_F(StartupWindowsTest, F1OpensTheHelpWindowOnTheShippedIndex) {
    window->activateWindow();
    window->menuAction("mnuHelp2")->trigger();
    frmHelp* help = tools.help->window();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(window->menuAction("mnuHelp2")->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(help->windowTitle(), "Help");
    auto* web = help->findChild<QWebEngineView*>("webHelp");
    QSignalSpy loaded(web, &QWebEngineView::loadFinished);
    EXPECT_TRUE(
        test::WaitUntil([&] { return !loaded.isEmpty() && web->title() == "Tarlo Help"; }, 30000))
        << web->title().toStdString();
    EXPECT_EQ(help->windowType(), Qt::Tool);
    // The design's 12705 x 7920 twips, on the screen whole even when it is smaller.
    const QRect screen = window->screen()->availableGeometry();
    const QSize frame = help->frameGeometry().size() - help->size();
    EXPECT_EQ(help->size(), QSize(847, 528).boundedTo(screen.size() - frame));
    EXPECT_TRUE(screen.contains(help->frameGeometry()));
    EXPECT_NEAR(help->frameGeometry().center().x(), screen.center().x(), 2);
    EXPECT_NEAR(help->frameGeometry().center().y(), screen.center().y(), 2);

    // The find box searches the page on show and says when nothing is there.
    auto* find = help->findChild<QLineEdit*>("txtFind");
    auto* found = help->findChild<QLabel*>("lblFindResult");
    QSignalSpy finished(web->page(), &QWebEnginePage::findTextFinished);

    QTest::keyClicks(find, "Contents");
    QTest::keyClick(find, Qt::Key_Return);
    ASSERT_TRUE(test::WaitUntil([&] { return finished.size() == 1; }, 30000));
    EXPECT_GT(finished.at(0).at(0).value<QWebEngineFindTextResult>().numberOfMatches(), 0);
    EXPECT_EQ(found->text(), "");
    find->setText("qqzzxx");
    QTest::keyClick(find, Qt::Key_Return);
    ASSERT_TRUE(test::WaitUntil([&] { return finished.size() == 2; }, 30000));
    EXPECT_EQ(found->text(), "Not found");

    // A page reached from the index, and back to the contents.
    web->setUrl(QUrl("qrc:/help/checks.html"));
    EXPECT_TRUE(
        test::WaitUntil([web] { return web->title() == "The error checks - Tarlo Help"; }, 30000));
    QTest::mouseClick(help->findChild<QPushButton*>("cmdContents"), Qt::LeftButton);
    EXPECT_TRUE(test::WaitUntil([web] { return web->title() == "Tarlo Help"; }, 30000));
}

// Every page the help can show, and what each links to.
struct HelpPage {
    QString name;
    QString html;
};

std::vector<HelpPage> HelpPages() {
    std::vector<HelpPage> pages;
    QDirIterator it(":/help", {"*.html"}, QDir::Files);
    while (it.hasNext()) {
        const QString path = it.next();
        pages.push_back({QFileInfo(path).fileName(), QString::fromUtf8(ReadAll(path))});
    }
    return pages;
}

TEST(HelpPagesTest, EveryLinkLeadsToAShippedPageAndPlaceAndEveryPageIsReachable) {
    const std::vector<HelpPage> pages = HelpPages();
    ASSERT_GE(pages.size(), 10u);
    QMap<QString, QString> byName;
    for (const HelpPage& p : pages) byName[p.name] = p.html;
    ASSERT_TRUE(byName.contains("index.html"));

    const QRegularExpression href(QStringLiteral("(?:href|src)\\s*=\\s*\"([^\"]*)\""));
    QSet<QString> reached{"index.html"};
    QStringList queue{"index.html"};
    int links = 0;
    while (!queue.isEmpty()) {
        const QString from = queue.takeFirst();
        auto m = href.globalMatch(byName[from]);
        while (m.hasNext()) {
            const QString link = m.next().captured(1);
            ++links;
            SCOPED_TRACE((from + " -> " + link).toStdString());
            // Nothing reaches out of the help: no network, no other scheme.
            EXPECT_FALSE(link.contains(':')) << "not a page of the help";
            const QString file = link.section('#', 0, 0);
            const QString anchor = link.section('#', 1);
            const QString target = file.isEmpty() ? from : file;
            EXPECT_TRUE(QFile::exists(":/help/" + target)) << "no such page";
            if (!anchor.isEmpty()) {
                EXPECT_TRUE(byName[target].contains("id=\"" + anchor + "\""))
                    << "no such place on the page";
            }
            if (target.endsWith(".html") && byName.contains(target) && !reached.contains(target)) {
                reached.insert(target);
                queue.push_back(target);
            }
        }
    }
    EXPECT_GT(links, 40);
    for (const HelpPage& p : pages) {
        EXPECT_TRUE(reached.contains(p.name)) << p.name.toStdString() << " is not linked";
        EXPECT_TRUE(p.html.contains("<title>")) << p.name.toStdString();
    }
}

TEST_F(StartupWindowsTest, EveryToolbarCommandIsNamedInTheHelp) {
    QString all;
    for (const HelpPage& p : HelpPages()) {
        all += QTextDocumentFragment::fromHtml(p.html).toPlainText() + "\n";
    }
    all = all.simplified();

    QStringList names;
    for (QToolBar* bar : window->findChildren<QToolBar*>()) {
        for (QAction* a : bar->actions()) {
            if (frmMain::CommandOf(a)) names << a->toolTip();
        }
    }
    for (QToolButton* b : window->findChildren<QToolButton*>()) {
        if (frmMain::CommandOf(b)) names << b->accessibleName();
    }
    for (QComboBox* c : window->findChildren<QComboBox*>()) {
        if (frmMain::CommandOf(c)) names << c->accessibleName();
    }
    ASSERT_GE(names.size(), 40);
    for (const QString& name : names) {
        EXPECT_TRUE(all.contains(name, Qt::CaseInsensitive)) << name.toStdString();
    }
}

TEST_F(StartupWindowsTest, RecentFilesListNewestFirstOutliveTheRunAndPruneGoneFiles) {
    QTemporaryDir docs;
    QStringList paths;
    for (int i = 1; i <= 9; ++i) {
        paths << test::WriteFile(docs.path(), QStringLiteral("f%1.htm").arg(i), "<p>x</p>");
    }
    QMenu file;
    file.addAction("&Open");
    QAction* exit = file.addAction("E&xit");
    QStringList opened;
    auto open = [&opened](const QString& path) {
        opened << path;
        return !path.endsWith("f2.htm");  // f2 is refused, as Open refuses a bad file
    };
    auto* recent = new RecentFilesMenu(&file, exit, *dialogs, window, open);
    EXPECT_TRUE(recent->Files().isEmpty());
    EXPECT_FALSE(file.findChild<QAction*>("mnuRecentSeparator")->isVisible());

    for (const QString& p : paths) recent->Add(p);
    ASSERT_EQ(recent->Files().size(), 8);
    EXPECT_EQ(recent->Files().front(), paths[8]);
    EXPECT_EQ(recent->Files().back(), paths[1]);
    // In the menu before Exit, numbered for the keyboard.
    const QList<QAction*> entries = file.actions();
    EXPECT_EQ(entries.last(), exit);
    EXPECT_EQ(entries[1]->text(), "&1 " + paths[8]);
    EXPECT_EQ(entries[8]->text(), "&8 " + paths[1]);
    EXPECT_TRUE(entries[9]->isSeparator());

    // Choosing an entry opens it and brings it to the top.
    file.findChild<QAction*>("mnuRecent3")->trigger();
    EXPECT_EQ(opened, QStringList{paths[6]});
    EXPECT_EQ(recent->Files().front(), paths[6]);
    // A file Open refuses stays where it was.
    recent->Choose(static_cast<int>(recent->Files().indexOf(paths[1])));
    EXPECT_EQ(recent->Files().back(), paths[1]);

    // A file that has gone is taken off with a message, and nothing is opened.
    QFile::remove(paths[4]);
    opened.clear();
    dialogs->Queue(Answer::Ok);
    recent->Choose(static_cast<int>(recent->Files().indexOf(paths[4])));
    EXPECT_TRUE(opened.isEmpty());
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_TRUE(dialogs->asked().front().text.contains(paths[4]));
    EXPECT_EQ(recent->Files().size(), 7);
    EXPECT_FALSE(recent->Files().contains(paths[4]));

    // The list outlives the run.
    QMenu again;
    QAction* exit2 = again.addAction("E&xit");
    auto* next = new RecentFilesMenu(&again, exit2, *dialogs, window, open);
    EXPECT_EQ(next->Files(), recent->Files());
    EXPECT_EQ(again.findChild<QAction*>("mnuRecent1")->text(), "&1 " + paths[6]);
}

// The splash window's first tick, with the main window's part recorded.
struct StartupRun {
    QStringList steps;
    int lastProgress = -1;
};

// `showTip` is what the splash runs to show the tip of the day.
StartupRun RunSplash(const std::function<void()>& showTip) {
    StartupRun run;
    QPointer<QProgressBar> bar;
    auto* splash = new frmSplash({[&run, &bar](const std::function<void(int)>& progress) {
                                      run.steps << "main";
                                      // The busy pointer shows while the main window loads.
                                      EXPECT_NE(QApplication::overrideCursor(), nullptr);
                                      for (int p = 0; p <= 100; p += 25) {
                                          progress(p);
                                          if (bar && bar->value() == p) run.lastProgress = p;
                                      }
                                  },
                                  [&run, &showTip] {
                                      run.steps << "tip";
                                      showTip();
                                  },
                                  {}});
    const QPointer<frmSplash> alive(splash);
    bar = splash->findChild<QProgressBar*>("ProgressBar1");
    EXPECT_EQ(splash->objectName(), "frmSplash");
    EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(splash->size(), QSize(417, 249));  // 6255 x 3735 twips
    splash->Start();
    EXPECT_TRUE(test::WaitUntil([&] { return alive.isNull(); }));
    return run;
}

TEST_F(StartupWindowsTest, TheSplashShowsTheTipOnlyWhenTheSettingsFileSaysOne) {
    const QString folder = home.filePath("config/Tarlo");
    QDir().mkpath(folder);
    const auto tipOfTheDay = [] { window->commands().Run(CommandId::TipOfTheDay); };

    EXPECT_EQ(RunSplash(tipOfTheDay).steps, QStringList{"main"});  // no file

    test::WriteFile(folder, "Tarlo.ini", "1\n");
    const StartupRun withTip = RunSplash(tipOfTheDay);
    EXPECT_EQ(withTip.steps, (QStringList{"main", "tip"}));
    EXPECT_EQ(withTip.lastProgress, 100);
    // The tip window is up, over the main window, its box ticked as stored.
    frmTip* tip = tools.tip->window();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->isVisible());
    EXPECT_EQ(tip->parentWidget(), window);
    EXPECT_EQ(tip->windowType(), Qt::Tool);
    EXPECT_TRUE(tip->findChild<QCheckBox*>("chkLoadTipsAtStartup")->isChecked());
    CloseTip();
    EXPECT_EQ(ReadAll(Settings()), "1\n");

    test::WriteFile(folder, "Tarlo.ini", "0\n");
    EXPECT_EQ(RunSplash(tipOfTheDay).steps, QStringList{"main"});
    EXPECT_EQ(tools.tip->window(), nullptr);
    test::WriteFile(folder, "Tarlo.ini", "\x01\x02garbage\xff\n1\n");
    EXPECT_EQ(RunSplash(tipOfTheDay).steps, QStringList{"main"});
    test::WriteFile(folder, "Tarlo.ini", "");
    EXPECT_EQ(RunSplash(tipOfTheDay).steps, QStringList{"main"});

    // Nothing at start-up asks or tells the user anything about the file.
    EXPECT_TRUE(dialogs->asked().empty());
    // The busy pointer is gone once the splash has closed.
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(StartupWindowsTest, TheMainWindowStartsAgainWhereItWasLeftOrFittedIntoTheScreen) {
    ctlSplitterEx* splitter = window->ctlSplitterEx1;
    const QRect before = window->geometry();
    const QString folder = home.filePath("config/Tarlo");
    QDir().mkpath(folder);
    test::WriteFile(folder, "Tarlo.ini", "1\n");
    const auto placedAt = [](const QRect& r) {
        return test::WaitUntil([&r] { return window->geometry() == r; });
    };

    // The user's run: a smaller window, moved, the views stacked and the line
    // between them dragged to 70 percent; then the program ends.
    const QRect left(60, 50, 640, 480);
    PlaceMainWindow(*window, {PixelRect{60, 50, 640, 480}, 70, false, false});
    ASSERT_TRUE(placedAt(left));
    ASSERT_EQ(splitter->split(), 70);
    ASSERT_NE(splitter->tileMode(), 1);
    ASSERT_TRUE(RememberMainWindow(*window));
    EXPECT_TRUE(ReadAll(Settings()).startsWith("1\n"));
    EXPECT_TRUE(ReadShowTips());

    // The next start loads the window as designed, then restores the rest.
    window->ToggleOrientation();
    window->setGeometry(0, 0, 867, 800);
    ASSERT_EQ(splitter->split(), 30);
    RestoreMainWindow(*window);
    EXPECT_TRUE(placedAt(left));
    EXPECT_EQ(splitter->split(), 70);
    EXPECT_NE(splitter->tileMode(), 1);

    // Maximised, it is written with the place it goes back to.
    test::WriteFile(folder, "Tarlo.ini",
                    "1\nleft=60\ntop=50\nwidth=640\nheight=480\nmaximized=1\n");
    RestoreMainWindow(*window);
    EXPECT_TRUE(window->isMaximized());
    ASSERT_TRUE(RememberMainWindow(*window));
    EXPECT_TRUE(ReadAll(Settings()).contains("left=60\ntop=50\nwidth=640\nheight=480\n"));
    EXPECT_TRUE(ReadAll(Settings()).contains("maximized=1\n"));
    window->showNormal();

    // A place on a monitor that has gone: the design size fitted into the
    // screen's free area instead, the views side by side as remembered.
    test::WriteFile(folder, "Tarlo.ini",
                    "0\nleft=5000\ntop=50\nwidth=640\nheight=480\norientation=side-by-side\n");
    RestoreMainWindow(*window);
    const QRect free = window->screen()->availableGeometry();
    EXPECT_TRUE(test::WaitUntil([&free] {
        // The design width, or all of the screen's width where that is less.
        return free.contains(window->frameGeometry()) &&
               (window->width() == 867 || window->frameGeometry().width() == free.width());
    })) << window->frameGeometry().x()
        << "," << window->frameGeometry().y() << " " << window->width() << "x" << window->height();
    EXPECT_EQ(splitter->tileMode(), 1);

    window->setGeometry(before);
    placedAt(before);
}

}  // namespace
}  // namespace tarlo

#include "startup_windows_test.moc"
