// The visual view losing its renderer, and documents too large for it: the
// code stays exactly as it is, nothing waits on or reads the missing page,
// and the page comes back with the document when the user asks for it.
#include <gtest/gtest.h>
#include <signal.h>

#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <string>

#include "app/editor_commands.h"
#include "codeview/code_view.h"
#include "document/view_sync.h"
#include "shell/dialogs.h"
#include "shell/document_files.h"
#include "editor/file_commands.h"
#include "editor/main_window.h"
#include "editor/print_window.h"
#include "pageview/visual_view.h"
#include "support/gui_test_support.h"
#include "support/window_suite.h"

namespace tarlo {
namespace {

// Far less than a page call's time limit, far more than the steps need: a
// step under this bound did not wait for the missing page.
constexpr qint64 kNoWaitMs = VisualView::kCallTimeoutMs / 3;

class PageHealthTest : public test::WindowSuite<PageHealthTest> {
  public:
    static void Install(frmMain& w) { InstallEditorCommands(w); }

  protected:
    void SetUp() override {
        PlainRefresh();
        dialogs->ClearAsked();
        files = window->findChild<FileCommands*>("FileCommands");
        ASSERT_NE(files, nullptr);
    }

    // The page's text as the engine renders it (not a read by the editor).
    static QString PageText() {
        QString text;
        bool done = false;
        window->Web->page()->toPlainText([&](const QString& t) {
            text = t;
            done = true;
        });
        test::WaitUntil([&] { return done; });
        return text;
    }

    static bool PageShows(const QString& words) {
        return test::WaitUntil([&] {
            window->Web->WaitForPushes();
            return PageText().contains(words);
        });
    }

    static std::string FileBytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    }

    // Kills the page's renderer as the system does when memory runs out.
    static bool KillRenderer() {
        const qint64 pid = window->Web->page()->renderProcessPid();
        return pid > 0 && ::kill(static_cast<pid_t>(pid), SIGKILL) == 0;
    }
    static bool Asked(const QString& words) {
        for (const auto& a : dialogs->asked()) {
            if (a.kind == "message" && a.text.contains(words)) return true;
        }
        return false;
    }

    FileCommands* files = nullptr;
    QTemporaryDir dir;
};

TEST_F(PageHealthTest, RendererKilledKeepsTheCodeAndShowsThePageAgainOnRequest) {
    const QByteArray bytes =
        "<html>\r\n<head><title>Quarterly report</title></head>\r\n<body>\r\n"
        "<p>Net revenues &amp; costs</p>\r\n<table><tr><td>1,234</td></tr></table>\r\n"
        "</body>\r\n</html>\r\n";
    const QString path = test::WriteFile(dir.path(), "quarter.html", bytes);
    ASSERT_TRUE(files->OpenDocumentFile(path));
    ASSERT_TRUE(PageShows("Net revenues"));
    const std::string code = window->document().Text();
    // An edit in the page that the code has not seen: a refresh would
    // normally read the page back.
    ASSERT_TRUE(
        window->Web->RunScript("document.body.appendChild(document.createTextNode('z'));"
                               "true"));
    ASSERT_TRUE(window->Web->PageEdited().value_or(false));

    dialogs->Queue(Answer::No);
    ASSERT_TRUE(KillRenderer());
    ASSERT_TRUE(test::WaitUntil([] { return Asked("stopped"); }, 30000));
    ASSERT_TRUE(window->Web->rendererLost());
    const auto& question = dialogs->asked().back();
    EXPECT_EQ(question.buttons, Buttons::YesNo);
    EXPECT_TRUE(question.text.contains("\"quarter.html\"")) << question.text.toStdString();
    EXPECT_TRUE(question.text.contains(
        QString::fromStdString(MegabytesText(static_cast<std::uint64_t>(code.size())))));
    EXPECT_TRUE(question.text.contains("intact")) << question.text.toStdString();
    EXPECT_TRUE(question.text.contains("Show the page again?"));
    auto* show = window->findChild<QPushButton*>("cmdShowPage");
    ASSERT_NE(show, nullptr);
    EXPECT_TRUE(show->isVisible());
    EXPECT_TRUE(window->StatusBar1->currentMessage().contains("stopped"));

    // Nothing reads or waits on the missing page, and nothing takes it for
    // the document: refresh, Save, the exit prompt, the recovery copy.
    QElapsedTimer clock;
    clock.start();
    window->cmdRefreshCode_Click();
    EXPECT_EQ(window->document().Text(), code);
    EXPECT_TRUE(files->SaveDocument());
    EXPECT_EQ(FileBytes(path), bytes.toStdString());
    EXPECT_FALSE(window->sync().HasUnsavedChanges());
    EXPECT_EQ(window->sync().CodeWithPageEdits(), code);
    EXPECT_FALSE(window->Web->ExecCommand("bold"));
    EXPECT_FALSE(window->Web->OuterHtml().has_value());
    EXPECT_LT(clock.elapsed(), kNoWaitMs);
    EXPECT_EQ(window->document().Text(), code);

    // Code typed while the page is gone goes in when it is back.
    window->txtCode->SetSel(static_cast<int>(code.find("Net")), 0);
    window->InsertAtCaret("Total ");
    show->click();
    EXPECT_FALSE(window->Web->rendererLost());
    EXPECT_TRUE(PageShows("Total Net revenues"));
    EXPECT_TRUE(window->Web->DesignModeOn().value_or(false));
    EXPECT_FALSE(window->Web->PageEdited().value_or(true));
    EXPECT_FALSE(show->isVisible());
    EXPECT_TRUE(window->Web->isEnabled());

    // Answering Yes brings the page back at once.
    const std::string typed = window->document().Text();
    dialogs->ClearAsked();
    dialogs->Queue(Answer::Yes);
    ASSERT_TRUE(KillRenderer());
    ASSERT_TRUE(test::WaitUntil([] { return Asked("stopped"); }, 30000));
    EXPECT_FALSE(window->Web->rendererLost());
    EXPECT_TRUE(PageShows("Total Net revenues"));
    EXPECT_EQ(window->document().Text(), typed);
    EXPECT_TRUE(files->SaveDocument());
    EXPECT_EQ(FileBytes(path), QByteArray(bytes).replace("Net", "Total Net").toStdString());
}

TEST_F(PageHealthTest, DocumentOverThePageLimitOpensInTheCodeViewOnly) {
    VisualView* web = window->Web;
    const std::uint64_t limit = 64 * 1024;
    web->SetPageLimit(limit);
    QByteArray large = "<html><body>\r\n";
    while (static_cast<std::uint64_t>(large.size()) <= limit) {
        large += "<p>Segment revenue by quarter</p>\r\n";
    }
    large += "</body></html>";
    const QString bigPath = test::WriteFile(dir.path(), "large.htm", large);
    ASSERT_TRUE(files->OpenDocumentFile(bigPath));
    ASSERT_TRUE(test::WaitUntil([&] { return web->codeOnly(); }));
    const std::string code = window->document().Text();
    const QString status = window->StatusBar1->currentMessage();
    EXPECT_TRUE(status.contains("code view only")) << status.toStdString();
    EXPECT_TRUE(status.contains(QString::fromStdString(MegabytesText(limit))));
    EXPECT_FALSE(web->isEnabled());
    EXPECT_TRUE(test::WaitUntil([] { return PageText().contains("code view only"); }));
    EXPECT_FALSE(PageText().contains("Segment revenue"));

    // A page that holds only the note is never read back as the document.
    window->cmdRefreshCode_Click();
    EXPECT_EQ(window->document().Text(), code);
    EXPECT_FALSE(web->OuterHtml().has_value());
    EXPECT_FALSE(web->ExecCommand("bold"));
    EXPECT_TRUE(files->SaveDocument());
    EXPECT_EQ(FileBytes(bigPath), large.toStdString());
    EXPECT_EQ(window->document().Text(), code);
    // The clean-up, which reads the page, says why it cannot run.
    dialogs->ClearAsked();
    dialogs->Queue(Answer::Ok);
    window->commands().Run(CommandId::CleanUp);
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_TRUE(dialogs->asked()[0].text.contains("Nothing was changed"))
        << dialogs->asked()[0].text.toStdString();
    EXPECT_EQ(window->document().Text(), code);
    // Printing the page says why it cannot, without asking for a printer.
    dialogs->ClearAsked();
    dialogs->Queue(Answer::Ok);
    EXPECT_FALSE(PrintVisualDocument(*window));
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_EQ(dialogs->asked()[0].kind, "message");
    EXPECT_TRUE(dialogs->asked()[0].text.contains("cannot be printed"));

    // A document within the limit shows in the page as before.
    const QString smallPath =
        test::WriteFile(dir.path(), "small.htm", "<html><body><p>Cash flows</p></body></html>");
    ASSERT_TRUE(files->OpenDocumentFile(smallPath));
    EXPECT_TRUE(PageShows("Cash flows"));
    EXPECT_FALSE(web->codeOnly());
    EXPECT_TRUE(web->isEnabled());
    EXPECT_TRUE(web->DesignModeOn().value_or(false));
    EXPECT_FALSE(window->StatusBar1->currentMessage().contains("code view only"));
    web->SetPageLimit(kMaxPageBytes);
}

}  // namespace
}  // namespace tarlo
