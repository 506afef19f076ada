// A filer's work through the real window: what is pasted or typed into the
// page of a new document is the document; undo stays inside the document it
// belongs to; a file is written back in its own bytes and line breaks, with
// its permissions; the caret panels follow the caret wherever it goes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/editor_commands.h"
#include "codeview/code_view.h"
#include "document/view_sync.h"
#include "editor/file_commands.h"
#include "editor/main_window.h"
#include "editor/status_panels.h"
#include "pageview/visual_view.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "support/gui_test_support.h"

using tarlo::test::ReadBytes;
using tarlo::test::WaitUntil;
using tarlo::test::WriteFile;

namespace tarlo {
namespace {

class FilerWorkTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dialogs = new ScriptedDialogs;
        window = test::StartTestWindow(
            dialogs, [] { ++ended; }, {}, [](frmMain& w) { InstallEditorCommands(w); });
        files = window->findChild<FileCommands*>("FileCommands");
    }
    static void TearDownTestSuite() {
        delete window;
        delete dialogs;
    }
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_NE(files, nullptr);
        window->document().AutoFormat = false;
        window->document().AutoColorize = false;
        dialogs->ClearAsked();
    }
    void TearDown() override {
        // Whatever a test leaves is not saved by the next one.
        while (dialogs->pending() > 0) dialogs->Message(nullptr, "", "", Buttons::Ok, Icon::None);
    }

    static std::string Code() { return window->txtCode->TextUtf8(); }
    static QString Page() { return window->Web->OuterHtml().value_or(QString()); }
    static QWidget* PageWidget() {
        return window->Web->focusProxy() ? window->Web->focusProxy() : window->Web;
    }
    static void FocusPage() {
        window->Web->setFocus();
        ASSERT_TRUE(WaitUntil([] { return window->Web->hasFocusWithin(); }));
        // The caret into the body, as a click there puts it.
        window->Web->RunScript(
            "var b=document.body||document.documentElement;var r=document.createRange();"
            "r.selectNodeContents(b);r.collapse(false);var s=getSelection();"
            "s.removeAllRanges();s.addRange(r);true");
    }
    QString Path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    bool Open(const QString& path) {
        dialogs->Queue(Answer::No);  // whatever was there before is let go
        const bool opened = files->OpenDocumentFile(path);
        while (dialogs->pending() > 0) dialogs->Message(nullptr, "", "", Buttons::Ok, Icon::None);
        return opened && window->Web->WaitForPushes();
    }
    void New() {
        dialogs->Queue(Answer::No);
        window->commands().Run(CommandId::NewDocumentMenu);
        while (dialogs->pending() > 0) dialogs->Message(nullptr, "", "", Buttons::Ok, Icon::None);
        ASSERT_TRUE(window->Web->WaitForPushes());
        dialogs->ClearAsked();
    }

    QTemporaryDir dir;
    static inline frmMain* window = nullptr;
    static inline ScriptedDialogs* dialogs = nullptr;
    static inline FileCommands* files = nullptr;
    static inline int ended = 0;
};

// The first test: the window is as the program starts it.
TEST_F(FilerWorkTest, WhatIsPastedOrTypedIntoANewPageIsTheDocument) {
    ASSERT_EQ(Code(), "");
    auto* data = new QMimeData;
    data->setHtml("<p><b>Pasted</b> from a word processor</p>");
    data->setText("Pasted from a word processor");
    QApplication::clipboard()->setMimeData(data);
    FocusPage();
    QTest::keyClick(PageWidget(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(WaitUntil([] { return Page().contains("<b>Pasted</b>"); })) << Page().toStdString();

    // The exit prompt knows there is work; Cancel keeps the window.
    EXPECT_TRUE(files->HasUnsavedChanges());
    dialogs->Queue(Answer::Cancel);
    EXPECT_FALSE(window->Form_Unload());
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_EQ(dialogs->asked()[0].text, "Do you want to save your document?");
    EXPECT_EQ(ended, 0);

    // Save asks for a name and writes what the page holds.
    dialogs->ClearAsked();
    dialogs->Queue(std::optional<QString>(Path("pasted.html")));
    window->commands().Run(CommandId::SaveDocument);
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_EQ(dialogs->asked()[0].kind, "save");
    EXPECT_TRUE(ReadBytes(Path("pasted.html")).contains("<b>Pasted</b> from a word processor"));

    // File > New, keys typed into its page: a refresh reads them, New asks
    // about them, and Cancel there (or Escape) leaves them as they are.
    New();
    FocusPage();
    QTest::keyClicks(PageWidget(), "typed words");
    ASSERT_TRUE(WaitUntil([] { return Page().contains("typed words"); }));
    dialogs->Queue(Answer::Cancel);
    window->commands().Run(CommandId::NewDocumentMenu);
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_EQ(dialogs->asked()[0].buttons, Buttons::YesNoCancel);
    EXPECT_TRUE(Page().contains("typed words"));
    window->commands().Run(CommandId::RefreshCode);
    EXPECT_NE(Code().find("typed words"), std::string::npos);
    EXPECT_EQ(window->txtStatus->text(), "Code is accurate.");
    // New empties the page even when the code was empty already.
    New();
    FocusPage();
    QTest::keyClicks(PageWidget(), "more");
    ASSERT_TRUE(WaitUntil([] { return Page().contains("more"); }));
    New();
    EXPECT_FALSE(Page().contains("more"));
    EXPECT_FALSE(files->HasUnsavedChanges());
}

TEST_F(FilerWorkTest, UndoNeverLeavesTheDocumentItBelongsTo) {
    const QString a = WriteFile(dir.path(), "a.html", "<p>document A</p>\n");
    const QString b = WriteFile(dir.path(), "b.html", "<p>document B</p>\n");
    ASSERT_TRUE(Open(a));
    ASSERT_TRUE(Open(b));
    window->txtCode->setFocus();
    // Right after Open there is nothing to undo: B stays, never A, never empty.
    window->commands().Run(CommandId::Undo);
    EXPECT_EQ(Code(), "<p>document B</p>");
    window->txtCode->SetSel(static_cast<int>(Code().size()), 0);
    QTest::keyClicks(window->txtCode, "x");
    EXPECT_EQ(Code(), "<p>document B</p>x");
    window->commands().Run(CommandId::Undo);
    window->commands().Run(CommandId::Undo);
    EXPECT_EQ(Code(), "<p>document B</p>");
    window->commands().Run(CommandId::Redo);
    EXPECT_EQ(Code(), "<p>document B</p>x");
    // Save writes B's text into B.
    window->commands().Run(CommandId::SaveDocument);
    EXPECT_EQ(ReadBytes(b), QByteArray("<p>document B</p>x\n"));
    EXPECT_EQ(ReadBytes(a), QByteArray("<p>document A</p>\n"));

    // After New the history is the new document's alone.
    New();
    window->commands().Run(CommandId::Undo);
    window->commands().Run(CommandId::Undo);
    EXPECT_EQ(Code(), "");
    window->commands().Run(CommandId::Redo);
    EXPECT_EQ(Code(), "");
}

TEST_F(FilerWorkTest, FilesAreWrittenInTheirOwnBytesLineBreaksAndPermissions) {
    // Open then Save without an edit: the same bytes, whatever the breaks.
    const QByteArray forms[] = {
        "<html><body>\n<p>lf</p>\n</body></html>\n",
        "<html><body>\r\n<p>crlf</p>\r\n</body></html>\r\n",
        "<html><body>\r\n<p>mixed</p>\n</body></html>",
        "<html><body><p>one line, no final break, caf\xC3\xA9</p></body></html>",
    };
    for (const QByteArray& bytes : forms) {
        const QString path = WriteFile(dir.path(), "form.html", bytes);
        ASSERT_TRUE(Open(path));
        window->commands().Run(CommandId::SaveDocument);
        EXPECT_EQ(ReadBytes(path), bytes);
    }

    // Enter in the code view of an LF file writes LF; a refresh of a page
    // edit keeps the file's kind too.
    const QString lf = WriteFile(dir.path(), "lf.html", "<html><body>\n<p>a</p>\n</body></html>\n");
    ASSERT_TRUE(Open(lf));
    window->txtCode->setFocus();
    window->txtCode->SetSel(static_cast<int>(Code().find("</body>")), 0);
    QTest::keyClicks(window->txtCode, "<p>b</p>");
    QTest::keyClick(window->txtCode, Qt::Key_Return);
    ASSERT_TRUE(window->Web->WaitForPushes());
    window->Web->RunScript(
        "document.body.appendChild(document.createElement('p')).textContent='c';true");
    window->commands().Run(CommandId::SaveDocument);
    const QByteArray saved = ReadBytes(lf);
    EXPECT_TRUE(saved.contains("<p>b</p>")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("<p>c</p>")) << saved.toStdString();
    EXPECT_FALSE(saved.contains('\r')) << saved.toStdString();

    // The clean-up's result is saved with CR LF breaks in a new document:
    // none of them a bare CR.
    New();
    window->txtCode->SetTextUtf8(
        "<html><head><title>t</title></head><body><p class=MsoNormal>one</p>\r\n\r\n"
        "<p class=MsoNormal>two</p>\n<pre>a\nb</pre></body></html>");
    ASSERT_TRUE(window->Web->WaitForPushes());
    dialogs->Queue(Answer::Yes);
    window->commands().Run(CommandId::CleanUp);
    dialogs->Queue(std::optional<QString>(Path("cleaned.html")));
    window->commands().Run(CommandId::SaveDocumentAs);
    const QByteArray cleaned = ReadBytes(Path("cleaned.html"));
    ASSERT_TRUE(cleaned.contains("two")) << cleaned.toStdString();
    for (qsizetype i = 0; i < cleaned.size(); ++i) {
        const char next = i + 1 < cleaned.size() ? cleaned[i + 1] : '\0';
        const char before = i > 0 ? cleaned[i - 1] : '\0';
        if (cleaned[i] == '\r') {
            EXPECT_EQ(next, '\n') << "bare CR at " << i;
        } else if (cleaned[i] == '\n') {
            EXPECT_EQ(before, '\r') << "bare LF at " << i;
        }
    }

    // An Inline XBRL document: the question names the form that keeps the
    // tagging, and the code keeps its XML declaration, namespaces, hidden
    // header and empty-element tags; only what EDGAR refuses goes.
    New();
    window->txtCode->SetTextUtf8(
        "<?xml version='1.0' encoding='ASCII'?>\r\n<html xmlns=\"http://www.w3.org/1999/xhtml\" "
        "xmlns:ix=\"http://www.xbrl.org/2013/inlineXBRL\"><head><title>t</title></head><body>"
        "<div style=\"display:none\"><ix:header/></div><!-- gone --><p class=\"MsoNormal\">"
        "<ix:nonFraction name=\"a:B\" contextRef=\"c\">1</ix:nonFraction><br/></p></body></html>");
    ASSERT_TRUE(window->Web->WaitForPushes());
    dialogs->ClearAsked();
    dialogs->Queue(Answer::Yes);
    window->commands().Run(CommandId::CleanUp);
    ASSERT_FALSE(dialogs->asked().empty());
    EXPECT_TRUE(dialogs->asked().front().text.contains("Inline XBRL form"));
    EXPECT_EQ(
        Code(),
        "<?xml version='1.0' encoding='ASCII'?>\r\n<html xmlns=\"http://www.w3.org/1999/xhtml\" "
        "xmlns:ix=\"http://www.xbrl.org/2013/inlineXBRL\"><head><title>t</title></head><body>"
        "<div style=\"display:none\"><ix:header/></div><p>"
        "<ix:nonFraction name=\"a:B\" contextRef=\"c\">1</ix:nonFraction><br/></p></body></html>");

    // Saving over a file keeps its permission bits; a read-only file is
    // refused with its name, and stays as it was.
    const QString kept = WriteFile(dir.path(), "kept.html", "<p>kept</p>\n");
    ASSERT_EQ(chmod(kept.toLocal8Bit().constData(), 0640), 0);
    ASSERT_TRUE(Open(kept));
    window->txtCode->SetTextUtf8("<p>kept, edited</p>");
    window->commands().Run(CommandId::SaveDocument);
    EXPECT_EQ(ReadBytes(kept), QByteArray("<p>kept, edited</p>\n"));
    struct stat st {};
    ASSERT_EQ(stat(kept.toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    ASSERT_EQ(chmod(kept.toLocal8Bit().constData(), 0444), 0);
    window->txtCode->SetTextUtf8("<p>must not land</p>");
    dialogs->ClearAsked();
    dialogs->Queue(Answer::Ok);
    window->commands().Run(CommandId::SaveDocument);
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_TRUE(dialogs->asked()[0].text.contains(QDir::toNativeSeparators(kept)));
    EXPECT_TRUE(dialogs->asked()[0].text.contains("read-only"));
    EXPECT_EQ(ReadBytes(kept), QByteArray("<p>kept, edited</p>\n"));
    ASSERT_EQ(stat(kept.toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
    chmod(kept.toLocal8Bit().constData(), 0644);
}

TEST_F(FilerWorkTest, CaretPanelsFollowTheCaretWithoutAKey) {
    const QString path = WriteFile(dir.path(), "lines.html",
                                   "<html>\n<body>\n<p>third line</p>\n</body>\n</html>\n");
    ASSERT_TRUE(Open(path));
    window->SetSelection(ByteRange{static_cast<int>(Code().find("third")) + 3, 0});
    EXPECT_TRUE(WaitUntil([] { return window->SB->PanelText(StatusPanel::Line) == "Line: 3"; }))
        << window->SB->PanelText(StatusPanel::Line).toStdString();
    EXPECT_EQ(window->SB->PanelText(StatusPanel::Column), "Column: 6");
    New();
    EXPECT_TRUE(WaitUntil([] { return window->SB->PanelText(StatusPanel::Line) == "Line: 1"; }))
        << window->SB->PanelText(StatusPanel::Line).toStdString();
    EXPECT_EQ(window->SB->PanelText(StatusPanel::Column), "Column: 0");
}

// Escape closes every tool window, as its close box does, and nothing is
// typed or inserted into the document by it; every control of each has a
// name a screen reader reads.
TEST_F(FilerWorkTest, EscapeClosesEveryToolWindowAndLeavesTheDocumentAsItWas) {
    New();
    window->txtCode->SetTextUtf8("<html><head></head><body><o:p></o:p><p>kept</p></body></html>");
    ASSERT_TRUE(window->Web->WaitForPushes());
    const std::string before = Code();
    const std::pair<CommandId, const char*> tools[] = {
        {CommandId::TagReference, "frmHTML"},
        {CommandId::Symbols, "frmSpecial"},
        {CommandId::TableMaker, "frmTable"},
        {CommandId::Keywords, "frmSEO"},
        {CommandId::Marquee, "frmMarquee"},
        {CommandId::Layer, "frmLayer"},
        {CommandId::WebSearchForm, "frmGoogle"},
        {CommandId::FindReplace, "frmFind"},
        {CommandId::Upload, "frmFTP"},
        {CommandId::CheckStructure, "frmVal"},
        {CommandId::Help, "frmHelp"},
        {CommandId::TipOfTheDay, "frmTip"},
        {CommandId::About, "frmAbout"},
    };
    const auto shown = [](const char* name) -> QWidget* {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
        }
        return nullptr;
    };
    for (const auto& [command, name] : tools) {
        for (int i = 0; i < 4; ++i) dialogs->Queue(Answer::Yes);  // the check's questions
        window->commands().Run(command);
        QPointer<QWidget> tool;
        ASSERT_TRUE(WaitUntil([&] { return (tool = shown(name)) != nullptr; })) << name;
        // Every control a person can use is named for a screen reader.
        for (QWidget* w : tool->findChildren<QWidget*>()) {
            if (!w->isVisible() || w->focusPolicy() == Qt::NoFocus || w->window() != tool) continue;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            if (a == nullptr || a->role() == QAccessible::ScrollBar) continue;
            EXPECT_FALSE(a->text(QAccessible::Name).trimmed().isEmpty())
                << name << ": " << w->metaObject()->className() << " "
                << w->objectName().toStdString() << " has no accessible name";
        }
        tool->activateWindow();
        QApplication::setActiveWindow(tool);
        QWidget* keys = QApplication::focusWidget();
        if (keys == nullptr || keys->window() != tool) keys = tool;
        QTest::keyClick(keys, Qt::Key_Escape);
        EXPECT_TRUE(WaitUntil([&] { return tool.isNull() || !tool->isVisible(); })) << name;
        while (dialogs->pending() > 0) dialogs->Message(nullptr, "", "", Buttons::Ok, Icon::None);
        EXPECT_EQ(Code(), before) << name;
    }
    // A snippet dialog's Cancel closes it, with what was typed there unused.
    window->commands().Run(CommandId::Keywords);
    QPointer<QWidget> keywords = shown("frmSEO");
    ASSERT_NE(keywords, nullptr);
    QTest::keyClicks(keywords->findChild<QLineEdit*>("txtWords"), "revenue, filing");
    QTest::mouseClick(keywords->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
    EXPECT_TRUE(WaitUntil([&] { return keywords.isNull() || !keywords->isVisible(); }));
    EXPECT_EQ(Code(), before);
}

// A file that cannot be opened is refused with the real reason, and the
// document in the editor stays.
TEST_F(FilerWorkTest, OpenNamesWhyAFileCannotBeOpened) {
    New();
    window->txtCode->SetTextUtf8("<p>still here</p>");
    const QString fifo = Path("pipe.html");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const QString unreadable = WriteFile(dir.path(), "secret.html", "<p>x</p>");
    chmod(unreadable.toLocal8Bit().constData(), 0);
    const std::pair<QString, QString> cases[] = {
        {Path("missing.html"), "there is no such file"},
        {fifo, "it is not a regular file"},
        {dir.path(), "it is a folder"},
        {unreadable, geteuid() == 0 ? QString() : QStringLiteral("no permission to read it")},
    };
    for (const auto& [path, reason] : cases) {
        if (reason.isEmpty()) continue;  // root reads every file
        dialogs->ClearAsked();
        dialogs->Queue(Answer::Ok);
        EXPECT_FALSE(files->OpenDocumentFile(path));
        ASSERT_EQ(dialogs->asked().size(), 1u) << path.toStdString();
        EXPECT_TRUE(dialogs->asked()[0].text.contains(QDir::toNativeSeparators(path)));
        EXPECT_TRUE(dialogs->asked()[0].text.endsWith(reason))
            << dialogs->asked()[0].text.toStdString();
        EXPECT_EQ(Code(), "<p>still here</p>");
    }
}

}  // namespace
}  // namespace tarlo
