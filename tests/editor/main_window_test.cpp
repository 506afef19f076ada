// The main window with the real browser engine and the real code editor,
// headless: the two transfers, the document status, the tools that follow the
// focus, the caret panels, auto-refresh, the exit prompts and the layout.
#include <gtest/gtest.h>

#include <QScrollArea>
#include <QScrollBar>

#include <functional>
#include <map>
#include <memory>
#include <set>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/editor_commands.h"
#include "codeview/code_view.h"
#include "controls/splitter_control.h"
#include "document/view_sync.h"
#include "editor/file_commands.h"
#include "editor/main_window.h"
#include "editor/menu_keys.h"
#include "editor/status_panels.h"
#include "pageview/request_filter.h"
#include "pageview/visual_view.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "startup/recent_files_menu.h"
#include "support/gui_test_support.h"
#include "support/window_suite.h"

using tarlo::test::WaitUntil;

namespace tarlo {
namespace {

class MainWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dialogs = new ScriptedDialogs;
        window = test::StartTestWindow(dialogs, [] { ++ended; });
    }
    static void TearDownTestSuite() {
        delete window;
        delete dialogs;
    }
    void SetUp() override {
        ended = 0;
        dialogs->ClearAsked();
        window->document().AutoFormat = false;
        window->document().AutoColorize = false;
    }

    static std::string Code() { return window->txtCode->TextUtf8(); }
    static QString Page() { return window->Web->OuterHtml().value_or(QString()); }
    static QColor StatusColour() { return window->txtStatus->palette().color(QPalette::Text); }
    static QWidget* Control(const char* name) { return window->findChild<QWidget*>(name); }
    static void SetCode(const std::string& text) {
        window->txtCode->SetTextUtf8(text);
        ASSERT_TRUE(window->Web->WaitForPushes());
    }

    static inline frmMain* window = nullptr;
    static inline ScriptedDialogs* dialogs = nullptr;
    static inline int ended = 0;
};

TEST_F(MainWindowTest, StartsReadyToEdit) {
    EXPECT_EQ(window->Web->DesignModeOn(), std::optional<bool>(true));
    EXPECT_EQ(window->cmbFontName->currentText(), "Times New Roman");
    EXPECT_GT(window->cmbFontName->count(), 0);
    EXPECT_EQ(window->cmbFontSize->count(), 7);
    EXPECT_EQ(window->cmbFontSize->currentText(), "2 (Smaller)");
    EXPECT_EQ(window->SB->panelCount(), 12);
    EXPECT_EQ(window->SB->PanelText(StatusPanel::Help), "Press F1 for Help");
    EXPECT_EQ(window->SB->PanelText(StatusPanel::DocumentStatus), "Document Status: ");
    // The tips box is not empty before either view had the focus.
    EXPECT_FALSE(window->lblTips->isHidden());
    EXPECT_FALSE(window->lblTips->text().isEmpty());
    EXPECT_FALSE(window->SB->PanelText(StatusPanel::Time).isEmpty());  // the clock
    EXPECT_FALSE(window->SB->PanelText(StatusPanel::Date).isEmpty());  // the date
    EXPECT_FALSE(window->timRefresh->isActive());
    EXPECT_EQ(window->timRefresh->interval(), 60000);
    // Side by side, code on the left.
    EXPECT_EQ(window->ctlSplitterEx1->tileMode(), 1);
    EXPECT_EQ(window->ctlSplitterEx1->firstTile(), window->txtCode);
    EXPECT_LT(window->txtCode->x(), window->Web->x());
    EXPECT_TRUE(window->menuAction("mnu9")->isChecked());
    EXPECT_FALSE(Control("cmdCheck2")->isVisible());
}

TEST_F(MainWindowTest, RefreshBringsThePageIntoTheCodeAndMarksItAccurate) {
    SetCode("");
    window->Web->WriteDocument("");
    window->cmdRefreshCode_Click();
    EXPECT_EQ(Code(), "<html><head></head><body></body></html>");
    EXPECT_EQ(window->txtStatus->text(), "Code is accurate.");
    EXPECT_EQ(StatusColour(), QColor(0, 100, 0));

    // Edits made in the page come back; line feeds become CR LF.
    window->Web->WriteDocument("<html><body><p>one</p>\n<p>two</p></body></html>");
    window->cmdRefreshCode_Click();
    EXPECT_EQ(Code(), "<html><head></head><body><p>one</p>\r\n<p>two</p></body></html>");
}

TEST_F(MainWindowTest, CharacterReferencesSurviveTheRoundTrip) {
    SetCode(
        "<html><body><p id=\"x\">a&#150;b &#169; caf&#233; &#8364;&#128; &#9731; &#153;</p>"
        "</body></html>");
    const auto text = window->Web->RunScript("document.getElementById('x').textContent");
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->toString(),
              QString::fromUtf8("a\u2013b \u00a9 caf\u00e9 \u20ac\u20ac \u2603 \u2122"));
    // The page shows the code and nothing else: the code stays as written.
    const std::string written = Code();
    window->cmdRefreshCode_Click();
    EXPECT_EQ(Code(), written);
    // What the page adds comes back with its characters as references; the
    // paragraph it did not touch stays as written.
    window->Web->RunScript(
        "document.body.appendChild(document.createTextNode('\\u20ac\\u00e9!'));true");
    window->cmdRefreshCode_Click();
    const std::string code = Code();
    EXPECT_NE(code.find("a&#150;b &#169; caf&#233; &#8364;&#128; &#9731; &#153;</p>&#128;&#233;!"),
              std::string::npos)
        << code;
    for (unsigned char c : code) EXPECT_LT(c, 0x80);
}

TEST_F(MainWindowTest, TypingPushesIntoThePageWithoutTouchingTheStatus) {
    SetCode("<html><body><p id=\"t\">ab</p></body></html>");
    window->MarkCodeStale();
    window->txtCode->setFocus();
    // Caret between "a" and "b".
    const int pos = static_cast<int>(Code().find("ab")) + 1;
    window->txtCode->SetSel(pos, 0);
    QTest::keyClicks(window->txtCode, "XY");
    EXPECT_EQ(window->txtStatus->text(), "Code needs to be refreshed.");
    ASSERT_TRUE(WaitUntil([] {
        const auto t = window->Web->RunScript("document.getElementById('t').textContent");
        return t && t->toString() == "aXYb";
    }));
    EXPECT_EQ(window->txtStatus->text(), "Code needs to be refreshed.");
    // Enter writes CR LF into the code.
    QTest::keyClick(window->txtCode, Qt::Key_Return);
    EXPECT_NE(Code().find("aXY\r\nb"), std::string::npos);
    // A refresh reads what the code says, even straight after typing.
    QTest::keyClicks(window->txtCode, "Z");
    window->cmdRefreshCode_Click();
    EXPECT_NE(Code().find("aXY\r\nZb"), std::string::npos) << Code();
}

TEST_F(MainWindowTest, FocusSwitchesToolsTipsAndStatus) {
    window->txtCode->setFocus();
    ASSERT_TRUE(WaitUntil([] { return window->txtCode->hasFocus(); }));
    window->cmdRefreshCode_Click();
    const char* codeTools[] = {"cmdFind",  "cmdUndo", "cmdRedo", "cmdSpecial",
                               "cmdTable", "cmdHTML", "cmdCase", "cmdSEO"};
    const char* visualTools[] = {"cmdBold",    "cmdLeft",     "cmdPic",
                                 "cmdNumbers", "cmbFontName", "cmbFontSize",
                                 "txtColor",   "ImgColor",    "cmdAutoIndent"};

    window->Web->setFocus();
    ASSERT_TRUE(WaitUntil([] { return window->Web->hasFocusWithin(); }));
    EXPECT_EQ(window->txtStatus->text(), "Code needs to be refreshed.");
    EXPECT_EQ(StatusColour(), QColor(150, 0, 0));
    for (const char* name : codeTools) EXPECT_FALSE(Control(name)->isEnabled()) << name;
    for (const char* name : visualTools) EXPECT_TRUE(Control(name)->isEnabled()) << name;
    EXPECT_TRUE(window->lblTips->text().startsWith("This is the Visual Editor side"));

    window->txtCode->setFocus();
    ASSERT_TRUE(WaitUntil([] { return window->txtCode->hasFocus(); }));
    for (const char* name : codeTools) EXPECT_TRUE(Control(name)->isEnabled()) << name;
    for (const char* name : visualTools) EXPECT_FALSE(Control(name)->isEnabled()) << name;
    EXPECT_TRUE(window->lblTips->text().startsWith("This is the code side"));
    // Leaving the visual view marks the code stale even with no edit, and
    // taking the code view's focus does not refresh.
    EXPECT_EQ(window->txtStatus->text(), "Code needs to be refreshed.");
    window->cmdRefreshCode_Click();
    EXPECT_EQ(window->txtStatus->text(), "Code is accurate.");
}

TEST_F(MainWindowTest, CaretPanelsGroupLinesAndCountColumnsInCharacters) {
    std::string text;
    for (int i = 1; i <= 1300; ++i) text += "line " + std::to_string(i) + "\r\n";
    text += "\xC3\xA9\xC3\xA9<b>";  // two accented letters, four bytes
    SetCode(text);
    window->txtCode->SetSel(0, 0);
    window->ShowCaretPosition();
    EXPECT_EQ(window->SB->PanelText(StatusPanel::Line), "Line: 1");
    EXPECT_EQ(window->SB->PanelText(StatusPanel::Column), "Column: 0");

    const int line1234 = static_cast<int>(text.find("line 1234\r\n"));
    window->txtCode->SetSel(line1234 + 3, 0);
    window->ShowCaretPosition();
    EXPECT_EQ(window->SB->PanelText(StatusPanel::Line), "Line: 1,234");
    EXPECT_EQ(window->SB->PanelText(StatusPanel::Column), "Column: 3");

    window->txtCode->SetSel(static_cast<int>(text.size()) - 2, 0);  // before "b>"
    window->ShowCaretPosition();
    EXPECT_EQ(window->SB->PanelText(StatusPanel::Line), "Line: 1,301");
    EXPECT_EQ(window->SB->PanelText(StatusPanel::Column), "Column: 3");

    // Key presses in the code view update the panels.
    window->txtCode->setFocus();
    window->txtCode->SetSel(0, 0);
    QTest::keyClick(window->txtCode, Qt::Key_Down);
    EXPECT_EQ(window->SB->PanelText(StatusPanel::Line), "Line: 2");
}

TEST_F(MainWindowTest, AutoRefreshRefreshesAtOnceAndOnEveryTick) {
    SetCode("<html><body>old</body></html>");
    window->MarkCodeStale();
    window->chkAuto->click();
    EXPECT_TRUE(window->timRefresh->isActive());
    EXPECT_EQ(window->txtStatus->text(), "Code is accurate.");

    window->Web->WriteDocument("<html><body>new</body></html>");
    window->MarkCodeStale();
    // A tick, without waiting a minute for it.
    QMetaObject::invokeMethod(window->timRefresh, "timeout", Qt::DirectConnection);
    EXPECT_EQ(Code(), "<html><head></head><body>new</body></html>");
    EXPECT_EQ(window->txtStatus->text(), "Code is accurate.");

    window->chkAuto->click();
    EXPECT_FALSE(window->timRefresh->isActive());
}

TEST_F(MainWindowTest, RefreshPaintsPlainAndRunsTheCodeServicesInOrder) {
    struct Recorder : CodeFormatting {
        std::vector<std::string> calls;
        void FormatCode() override { calls.push_back("format"); }
        void ColourCode() override { calls.push_back("colorize"); }
    } services;
    window->sync().SetFormatting(&services);
    SetCode("<html><body>x</body></html>");
    window->txtCode->SetRangeColour(0, 5, RgbColor(0, 0, 255));
    window->cmdRefreshCode_Click();
    EXPECT_TRUE(services.calls.empty());
    // Plain: every character in the plain colour, the first one included.
    const auto runs = window->txtCode->Runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].colour, kWhite);

    window->document().AutoFormat = true;
    window->document().AutoColorize = true;
    window->cmdRefreshCode_Click();
    EXPECT_EQ(services.calls, (std::vector<std::string>{"format", "colorize"}));
    window->sync().SetFormatting(nullptr);
}

TEST_F(MainWindowTest, CodeFontSizeMenuTicksOneEntryAndResizesAllText) {
    SetCode("<p>size</p>");
    window->menuAction("mnu12")->trigger();
    for (const char* name : {"mnu8", "mnu9", "mnu10", "mnu14"}) {
        EXPECT_FALSE(window->menuAction(name)->isChecked()) << name;
    }
    EXPECT_TRUE(window->menuAction("mnu12")->isChecked());
    EXPECT_EQ(window->document().Look.CodeFontSize, 12);
    EXPECT_EQ(window->txtCode->SizeAt(0), 12);
    EXPECT_EQ(window->txtCode->SizeAt(window->txtCode->Length() - 1), 12);
    window->menuAction("mnu9")->trigger();
    EXPECT_EQ(window->txtCode->SizeAt(0), 9);
}

TEST_F(MainWindowTest, OrientationToggleSwapsTheViews) {
    QAction* toggle = window->menuAction("mnuToggle");
    EXPECT_EQ(toggle->shortcut(), QKeySequence("F11"));
    toggle->trigger();
    EXPECT_EQ(window->ctlSplitterEx1->tileMode(), 0);
    EXPECT_EQ(window->ctlSplitterEx1->firstTile(), window->Web);
    EXPECT_LT(window->Web->y(), window->txtCode->y());  // visual view on top
    toggle->trigger();
    EXPECT_EQ(window->ctlSplitterEx1->tileMode(), 1);
    EXPECT_LT(window->txtCode->x(), window->Web->x());
    EXPECT_EQ(window->ctlSplitterEx1->split(), 30);
}

TEST_F(MainWindowTest, StatusStripFollowsTheBottomEdge) {
    for (const QSize size : {QSize(900, 700), QSize(1200, 900)}) {
        window->resize(size);
        QCoreApplication::processEvents();
        const int statusBar1Top = window->centralWidget()->height();
        const QWidget* logo = window->picLogo;
        EXPECT_EQ(logo->y(), statusBar1Top - 48);    // 725 twips
        EXPECT_EQ(window->SB->y(), logo->y() - 20);  // 300 twips
        for (const char* name : {"chkAuto", "chkFormat", "chkColorize", "txtStatus"}) {
            EXPECT_EQ(Control(name)->y(), window->SB->y() + 5) << name;  // 75 twips
        }
        EXPECT_EQ(window->frmTips->width(),
                  (window->frameGeometry().width() * 15 - 10500 + 7) / 15);
        EXPECT_EQ(window->ctlSplitterEx1->height(),
                  (window->frameGeometry().height() * 15 - 2800 + 7) / 15);
    }
}

TEST_F(MainWindowTest, ExitPromptsKeepTheDocumentUnlessTheUserLetsItGo) {
    // Empty code: a yes/no question.
    SetCode("");
    dialogs->Queue(Answer::No);
    EXPECT_FALSE(window->Form_Unload());
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_EQ(dialogs->asked()[0].text, "Are you sure you want to exit?");
    EXPECT_EQ(dialogs->asked()[0].title, "Tarlo");
    EXPECT_EQ(dialogs->asked()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(dialogs->asked()[0].icon, Icon::Information);
    EXPECT_EQ(ended, 0);
    dialogs->Queue(Answer::Yes);
    EXPECT_TRUE(window->Form_Unload());
    EXPECT_EQ(ended, 1);

    // Text in the code: save first?
    ended = 0;
    dialogs->ClearAsked();
    SetCode("<p>work</p>");
    dialogs->Queue(Answer::Cancel);
    window->close();  // the close box goes through the same prompt
    ASSERT_FALSE(dialogs->asked().empty());
    EXPECT_EQ(dialogs->asked().back().text, "Do you want to save your document?");
    EXPECT_EQ(dialogs->asked().back().buttons, Buttons::YesNoCancel);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(ended, 0);

    // Yes with a Save As that is cancelled or fails keeps the window.
    bool saveSucceeds = false;
    int saves = 0;
    window->SetSaveAs([&] {
        ++saves;
        return saveSucceeds;
    });
    dialogs->Queue(Answer::Yes);
    EXPECT_FALSE(window->Form_Unload());
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(Code(), "<p>work</p>");

    saveSucceeds = true;
    dialogs->Queue(Answer::Yes);
    EXPECT_TRUE(window->Form_Unload());
    EXPECT_EQ(ended, 1);

    dialogs->Queue(Answer::No);
    EXPECT_TRUE(window->Form_Unload());
    EXPECT_EQ(ended, 2);
    EXPECT_EQ(saves, 2);
    window->SetSaveAs(nullptr);
}

TEST_F(MainWindowTest, MenuEntriesWithoutACommandChangeNothing) {
    SetCode("<p>keep</p>");
    window->txtCode->SetSel(3, 2);
    window->menuAction("mnuAll")->trigger();
    window->menuAction("mnuCut")->trigger();
    EXPECT_EQ(Code(), "<p>keep</p>");
    EXPECT_EQ(window->txtCode->SelStart(), 3);
    EXPECT_EQ(window->txtCode->SelLength(), 2);
    // Once a command is supplied, the entry runs it.
    int runs = 0;
    window->commands().Set(CommandId::Bold, [&] { ++runs; });
    window->menuAction("mnuBold")->trigger();
    EXPECT_EQ(runs, 1);
    Control("cmdBold")->setEnabled(true);
    qobject_cast<QToolButton*>(Control("cmdBold"))->click();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(window->menuAction("mnuEdgarize")->shortcut(), QKeySequence("Ctrl+F1"));
    EXPECT_EQ(window->menuAction("mnuGoogle")->shortcut(), QKeySequence("Shift+Ins"));
    EXPECT_EQ(window->menuAction("mnuSaveAs")->text(), "Save &As...");
}

TEST_F(MainWindowTest, HoverTipsShowInTheTipsFrame) {
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(Control("cmdRefreshCode"), &enter);
    EXPECT_TRUE(window->lblTips->text().startsWith("This button will refresh the code"));
    // The numbered-list tip comes with a press, not on hover.
    QApplication::sendEvent(Control("cmdNumbers"), &enter);
    EXPECT_TRUE(window->lblTips->text().startsWith("This button will refresh the code"));
    QApplication::sendEvent(Control("chkAuto"), &enter);
    EXPECT_EQ(window->lblTips->text(),
              "When checked, this box will refresh the code every 60 seconds.");
}

TEST_F(MainWindowTest, ThePageNeverReachesTheNetworkNorNavigatesAway) {
    const int before = window->Web->requestFilter()->blockedCount();
    SetCode(
        "<html><body><img src=\"http://192.0.2.1/logo.png\">"
        "<img src=\"https://example.com/x.gif\"><a id=\"l\" href=\"http://example.com/\">x</a>"
        "</body></html>");
    EXPECT_TRUE(
        WaitUntil([&] { return window->Web->requestFilter()->blockedCount() >= before + 2; }));
    const QUrl url = window->Web->url();
    window->Web->RunScript("location.href = 'http://example.com/'; true");
    window->Web->RunScript("document.getElementById('l').click(); true");
    QTest::qWait(300);
    EXPECT_EQ(window->Web->url(), url);
    EXPECT_TRUE(Page().contains("logo.png"));
}

TEST_F(MainWindowTest, PicturesBesideTheDocumentShow) {
    QTemporaryDir dir;
    QImage image(7, 5, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(dir.filePath("pic.png")));
    ASSERT_TRUE(window->Web->SetDocumentBase(dir.path()));
    window->Web->SetDesignMode(true);
    SetCode("<html><body><img id=\"p\" src=\"pic.png\"></body></html>");
    EXPECT_TRUE(WaitUntil([] {
        const auto w = window->Web->RunScript("document.getElementById('p').naturalWidth");
        return w && w->toInt() == 7;
    }));
    window->Web->Navigate(QUrl("about:blank"));
    window->Web->SetDesignMode(true);
}

TEST_F(MainWindowTest, OpenedAndSavedDocumentsComeFirstInTheRecentFiles) {
    QTemporaryDir dir;
    auto write = [&](const char* name) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<html><body><p>" + QByteArray(name) + "</p></body></html>");
        return QFileInfo(f).absoluteFilePath();
    };
    const QString a = write("a.htm");
    const QString b = write("b.htm");
    const QString notHtml = write("notes.txt");
    // A window with the file commands, as the program starts it.
    frmMain* window = test::StartTestWindow(
        dialogs, [] {}, {}, [](frmMain& w) { InstallEditorCommands(w); });
    const std::unique_ptr<frmMain> closer(window);
    auto* files = window->findChild<FileCommands*>("FileCommands");
    auto* recent = window->findChild<RecentFilesMenu*>("RecentFilesMenu");
    ASSERT_NE(files, nullptr);
    ASSERT_NE(recent, nullptr);

    ASSERT_TRUE(files->OpenDocumentFile(a));
    ASSERT_TRUE(files->OpenDocumentFile(b));
    ASSERT_GE(recent->Files().size(), 2);
    EXPECT_EQ(recent->Files().mid(0, 2), (QStringList{b, a}));
    // A file that is not an HTML document is no document to come back to.
    ASSERT_TRUE(files->OpenDocumentFile(notHtml));
    EXPECT_EQ(recent->Files().first(), b);

    // Choosing an entry from the File menu opens it and brings it to the top.
    QAction* second = window->findChild<QAction*>("mnuRecent2");
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->text().startsWith("&2 ")) << second->text().toStdString();
    EXPECT_TRUE(window->findChild<QMenu*>("mnuFile")->actions().contains(second));
    window->document().SetSavedText(window->document().Text());
    second->trigger();
    EXPECT_EQ(QString::fromStdString(window->document().DocumentPath), a);
    EXPECT_EQ(recent->Files().mid(0, 2), (QStringList{a, b}));

    // Save As puts the new name first; a file that has gone is taken off.
    const QString c = dir.filePath("c.htm");
    dialogs->Queue(std::optional<QString>(c));
    ASSERT_TRUE(window->commands().Run(CommandId::SaveDocumentAs));
    EXPECT_EQ(recent->Files().first(), QFileInfo(c).absoluteFilePath());
    ASSERT_TRUE(QFile::remove(a));
    dialogs->ClearAsked();
    window->findChild<QAction*>("mnuRecent2")->trigger();
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_TRUE(dialogs->asked()[0].text.contains("no longer exists"));
    EXPECT_FALSE(recent->Files().contains(a));
}

TEST_F(MainWindowTest, FindInCodeHonoursItsOptionBits) {
    SetCode("Cat scatter CAT cat");
    CodeView* code = window->txtCode;
    EXPECT_EQ(code->FindInCode("cat", 0, 0), 0);
    EXPECT_EQ(code->SelStart(), 0);
    EXPECT_EQ(code->SelLength(), 3);
    EXPECT_EQ(code->FindInCode("cat", 1, CodeView::kNoHighlight), 5);
    EXPECT_EQ(code->SelStart(), 0);  // no highlight leaves the selection
    EXPECT_EQ(code->FindInCode("cat", 1, CodeView::kWholeWord | 8), 12);
    EXPECT_EQ(code->FindInCode("cat", 1, CodeView::kWholeWord | CodeView::kMatchCase | 8), 16);
    EXPECT_EQ(code->FindInCode("dog", 0, 8), -1);
    EXPECT_EQ(code->FindInCode("cat", 17, 8), -1);  // no wrap-around
}

TEST_F(MainWindowTest, EveryButtonAndMenuEntryRunsACommand) {
    // The features still to come: their controls stay in place and do nothing
    // until their issue lands, and each that lands leaves this list.
    const std::set<CommandId> notYetBuilt = {};
    frmMain* full = test::StartTestWindow(
        dialogs, [] {}, {}, [](frmMain& w) { InstallEditorCommands(w); });
    std::vector<QObject*> controls;
    for (QAction* a : full->findChildren<QAction*>()) {
        const QString name = a->objectName();
        // The recent documents are documents, not commands.
        const bool entry =
            name.startsWith("mnu") && !name.endsWith("_entry") && !name.startsWith("mnuRecent");
        if (entry || name.startsWith("tbIcons_") || name.startsWith("tb2_")) controls.push_back(a);
    }
    for (QToolButton* b : full->findChildren<QToolButton*>()) {
        const QString name = b->objectName();
        if (!name.isEmpty() && !name.startsWith("qt_")) controls.push_back(b);
    }
    controls.push_back(full->cmbFontName);
    controls.push_back(full->cmbFontSize);
    // 9 + 3 toolbar buttons, 31 other buttons, the two font boxes, 46 menu entries.
    EXPECT_GE(controls.size(), 80u);
    std::set<CommandId> seen;
    for (QObject* c : controls) {
        const std::optional<CommandId> id = frmMain::CommandOf(c);
        ASSERT_TRUE(id.has_value()) << c->objectName().toStdString() << " runs no command";
        seen.insert(*id);
        if (notYetBuilt.count(*id) > 0) {
            EXPECT_FALSE(full->commands().Has(*id))
                << CommandName(*id) << " is built: take it off the list";
        } else {
            EXPECT_TRUE(full->commands().Has(*id))
                << c->objectName().toStdString() << ": " << CommandName(*id) << " is not installed";
        }
    }
    // Every command is reachable from some control.
    EXPECT_EQ(seen.size(), kCommandCount);

    // ...and every command of the tool rows from a menu, so from the keyboard.
    std::set<CommandId> inMenus;
    for (QAction* a : full->menuBar()->findChildren<QAction*>()) {
        if (const auto id = frmMain::CommandOf(a)) inMenus.insert(*id);
    }
    for (QMenu* m : full->findChildren<QMenu*>()) {
        for (QAction* a : m->actions()) {
            if (const auto id = frmMain::CommandOf(a)) inMenus.insert(*id);
        }
    }
    for (QToolButton* b : full->findChildren<QToolButton*>()) {
        const std::optional<CommandId> id = frmMain::CommandOf(b);
        if (!id || b->isHidden()) continue;
        EXPECT_EQ(inMenus.count(*id), 1u) << b->objectName().toStdString() << " ("
                                          << b->toolTip().toStdString() << ") has no menu entry";
    }
    delete full;
}

// At the start size and wide: the strip's controls and every status panel lie
// inside the window, the caret's panels always among them, nothing overlaps,
// and the status box leaves its caption readable.
TEST_F(MainWindowTest, TheStatusStripFitsTheWindow) {
    const QSize start = window->size();
    const int statusText =
        window->txtStatus->fontMetrics().horizontalAdvance("Code needs to be refreshed.");
    for (const int width : {867, 1500, 700, 640, 560}) {
        window->resize(width, 800);
        QApplication::processEvents();
        // The banner's texts never run over each other.
        if (window->lblEdgar->isVisible()) {
            EXPECT_FALSE(window->lblEdgar->geometry().intersects(window->Web2->geometry()))
                << "at width " << width;
        }
        // The status both views depend on can be read whole at every width.
        window->MarkCodeStale();
        EXPECT_GT(window->txtStatus->width(), statusText) << "at width " << width;
        EXPECT_EQ(window->txtStatus->cursorPosition(), 0);
        for (const std::string& problem : test::StripProblems(*window)) {
            ADD_FAILURE() << problem << " at width " << width;
        }
        if (width >= 1500) {
            for (const StatusPanel p :
                 {StatusPanel::CapsLock, StatusPanel::NumLock, StatusPanel::Insert,
                  StatusPanel::Time, StatusPanel::Date}) {
                EXPECT_TRUE(window->SB->panel(p)->isVisible()) << IndexOf(p) + 1;
            }
        }
        if (width >= 867) {
            for (const char* name : {"chkAuto", "chkFormat", "chkColorize"}) {
                auto* w = window->findChild<QWidget*>(name);
                EXPECT_GE(w->width(), w->sizeHint().width()) << name;
            }
        }
    }
    window->resize(start);
}

// Every tip can be read whole: it fits the tips box or the box scrolls to its
// end; screen readers get the tip's own text.
TEST_F(MainWindowTest, EveryTipCanBeReadWhole) {
    int tips = 0;
    // The tips belong to the tool rows' buttons and the strip's boxes.
    for (QWidget* w : window->findChildren<QAbstractButton*>()) {
        QEvent enter(QEvent::Enter);
        const QString before = window->lblTips->text();
        window->lblTips->clear();
        QApplication::sendEvent(w, &enter);
        if (window->lblTips->text().isEmpty()) {
            window->lblTips->setText(before);
            continue;
        }
        ++tips;
        QApplication::processEvents();
        const QString tip = window->lblTips->text();
        EXPECT_EQ(window->lblTips->accessibleName(), tip);
        QScrollArea* box = window->scrTips;
        const int needed = window->lblTips->heightForWidth(box->viewport()->width());
        const int reachable = box->viewport()->height() + box->verticalScrollBar()->maximum();
        EXPECT_GE(reachable, needed) << tip.toStdString();
    }
    EXPECT_GE(tips, 15);
}

// The keys of the menus, read from the menus themselves: the entries'
// shortcuts and the titles' Alt keys.
QList<QKeySequence> MenuKeysOf(frmMain& w) {
    auto* keys = w.findChild<MenuKeys*>("MenuKeys");
    return keys != nullptr ? keys->Keys() : QList<QKeySequence>();
}

void Press(QWidget* target, const QKeySequence& key) {
    QTest::keyClick(target, key[0].key(), key[0].keyboardModifiers());
}

// Every entry's key runs the entry with the keyboard in either view, and
// reaches neither view's own bindings; only Undo and Redo stay with the
// page, which keeps its own history. Every title opens with its Alt key.
TEST_F(MainWindowTest, EveryMenuKeyReachesTheMenuFromEitherView) {
    const std::string code = "<p>one</p>\r\n<p>two</p>\r\n<p>three</p>";
    SetCode(code);
    // An entry given a key later, one the code component binds (Ctrl+D
    // would duplicate the line), counts as much as the first ones.
    QAction* later = window->findChild<QMenu*>("mnuTools")->addAction("Later");
    later->setObjectName("mnuLater");
    later->setShortcut(QKeySequence("Ctrl+D"));
    const std::unique_ptr<QAction> remove(later);
    std::map<QAction*, int> runs;
    std::vector<QMetaObject::Connection> counters;
    std::vector<QAction*> entries;
    for (QAction* a : window->menuBar()->findChildren<QAction*>()) {
        if (a->shortcut().isEmpty() || !a->objectName().startsWith("mnu")) continue;
        entries.push_back(a);
        counters.push_back(QObject::connect(a, &QAction::triggered, [&runs, a] { ++runs[a]; }));
    }
    EXPECT_GE(entries.size(), 30u);
    std::vector<QAction*> titles;
    for (QAction* a : window->menuBar()->actions()) {
        if (a->menu() != nullptr) titles.push_back(a);
    }
    ASSERT_EQ(titles.size(), 6u);
    for (const bool page : {false, true}) {
        QWidget* proxy = window->Web->focusProxy();
        QWidget* view = page ? (proxy != nullptr ? proxy : window->Web) : window->txtCode;
        const char* where = page ? " in the page" : " in the code";
        for (QAction* a : entries) {
            // A menu shown last leaves the window to be activated again.
            QApplication::setActiveWindow(window);
            view->setFocus();
            ASSERT_TRUE(WaitUntil([view] { return view->hasFocus(); }));
            const int before = runs[a];
            Press(view, a->shortcut());
            const bool pageOwn =
                page && (a->objectName() == "mnuUndo" || a->objectName() == "mnuRedo");
            EXPECT_EQ(runs[a], before + (pageOwn ? 0 : 1))
                << a->objectName().toStdString() << where;
        }
        for (QAction* title : titles) {
            QApplication::setActiveWindow(window);
            view->setFocus();
            const QKeySequence key =
                QKeySequence::mnemonic(title->text()).isEmpty()
                    ? QKeySequence(Qt::ALT | Qt::Key(title->text()[0].unicode()))
                    : QKeySequence::mnemonic(title->text());
            Press(view, key);
            EXPECT_TRUE(title->menu()->isVisible()) << title->text().toStdString() << where;
            EXPECT_TRUE(MenuKeysOf(*window).contains(key)) << title->text().toStdString();
            title->menu()->hide();
        }
        // An Alt key that opens no menu types nothing either.
        window->txtCode->setFocus();
        QTest::keyClick(window->txtCode, Qt::Key_Q, Qt::AltModifier);
    }
    for (const auto& c : counters) QObject::disconnect(c);
    EXPECT_EQ(Code(), code);
}

// The keys help page names every key of the menus.
TEST_F(MainWindowTest, TheKeysHelpPageListsEveryMenuKey) {
    QFile file(":/help/keys.html");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(file.readAll());
    const QList<QKeySequence> keys = MenuKeysOf(*window);
    EXPECT_GE(keys.size(), 36);
    for (const QKeySequence& key : keys) {
        const QString name = key.toString(QKeySequence::PortableText);
        // Whole: "F1" is not named by "Ctrl+F1".
        const QRegularExpression named("(?<![\\w+])" + QRegularExpression::escape(name) +
                                       "(?!\\w)");
        EXPECT_TRUE(page.contains(named)) << name.toStdString();
    }
}

// The menus' keys with the program's commands, the keyboard in the code
// view: the code component's own bindings of those keys never act.
class MenuKeysTest : public test::WindowSuite<MenuKeysTest> {
  public:
    static void Install(frmMain& w) { InstallEditorCommands(w); }

  protected:
    static std::string Code() { return window->txtCode->TextUtf8(); }
    // The tool window of that name, if it is shown.
    static QWidget* Shown(const char* name) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
        }
        return nullptr;
    }
    static void FocusCode() {
        QApplication::setActiveWindow(window);
        window->txtCode->setFocus();
        ASSERT_TRUE(WaitUntil([] { return window->txtCode->hasFocus(); }));
    }
};

TEST_F(MenuKeysTest, CodeViewKeysRunTheMenuEntriesNotTheComponentsBindings) {
    const std::string code = "<table>\r\n<tr><td>a</td></tr>\r\n</table>";
    window->txtCode->SetTextUtf8(code);
    window->txtCode->SetSel(12, 0);  // on the second line
    QApplication::clipboard()->setText("PASTED");
    CodeView* view = window->txtCode;

    dialogs->ClearAsked();
    QMenu* edit = window->findChild<QMenu*>("mnuEdit");
    const struct {
        const char* key;
        std::function<bool()> ran;
    } keys[] = {
        // The code component would swap two lines, cut one, paste, type "e".
        {"Ctrl+T", [] { return Shown("frmTable") != nullptr; }},
        {"Ctrl+L",
         [] { return !dialogs->asked().empty() && dialogs->asked()[0].text == "Link address:"; }},
        {"Shift+Ins", [] { return Shown("frmGoogle") != nullptr; }},
        {"Alt+E", [edit] { return edit->isVisible(); }},
    };
    for (const auto& k : keys) {
        FocusCode();
        const QKeySequence key(QString::fromLatin1(k.key));
        QTest::keyClick(view, key[0].key(), key[0].keyboardModifiers());
        EXPECT_TRUE(k.ran()) << k.key;
        EXPECT_EQ(Code(), code) << k.key;
        for (const char* name : {"frmTable", "frmGoogle"}) {
            if (QWidget* w = Shown(name)) w->close();
        }
        edit->hide();
    }

    // The component's ordinary editing keys still edit: select a character,
    // copy it, paste it at the end, take it away again.
    FocusCode();
    view->SetSel(1, 0);
    QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Code(), code + "t");
    QTest::keyClick(view, Qt::Key_Backspace);
    EXPECT_EQ(Code(), code);
}

}  // namespace
}  // namespace tarlo
