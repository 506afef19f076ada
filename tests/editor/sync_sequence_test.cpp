// The two views stay one document through long mixed runs of edits: random
// page edits (typing, Bold, a list, Delete across paragraphs, a paste) each taken
// back by a refresh, random code edits (text, an attribute value, a tag
// taken out) each pushed into the page, and Undo and Redo among them. After
// every step the page holds the very tree a page written whole from the
// code holds, however the two views got there (element by element, or
// whole).
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <random>
#include <string>

#include "app/editor_commands.h"
#include "codeview/code_view.h"
#include "document/view_sync.h"
#include "editor/fidelity_support.h"
#include "editor/file_commands.h"
#include "editor/main_window.h"
#include "pageview/visual_view.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "support/corpus.h"
#include "support/gui_test_support.h"
#include "text/page_source.h"

using tarlo::test::kPlaceSelection;
using tarlo::test::WaitUntil;

namespace tarlo {
namespace {

class SyncSequenceTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dialogs = new ScriptedDialogs;
        window = test::StartTestWindow(
            dialogs, [] {}, {}, [](frmMain& w) { InstallEditorCommands(w); });
        files = window->findChild<FileCommands*>("FileCommands");
        // The page a whole write of the code gives, beside the window's.
        reference = new VisualView;
        reference->resize(800, 600);
        reference->SetElementPatches(false);
        reference->SetPushSource([] { return window->txtCode->TextUtf8(); });
        // Shown without taking the keyboard from the window.
        reference->setAttribute(Qt::WA_ShowWithoutActivating);
        reference->show();
        ASSERT_TRUE(reference->SetDocumentBase(QDir::tempPath()));
        window->activateWindow();
    }
    static void TearDownTestSuite() {
        delete reference;
        delete window;
        delete dialogs;
    }

    // The page of the window and the page written whole from the same code.
    static std::pair<std::string, std::string> Pages() {
        EXPECT_TRUE(window->Web->WaitForPushes());
        reference->TakeNewCode();
        EXPECT_TRUE(reference->WaitForPushes());
        return {window->Web->OuterHtml().value_or("(no answer)").toStdString(),
                reference->OuterHtml().value_or("(no answer)").toStdString()};
    }

    static QWidget* PageWidget() {
        return window->Web->focusProxy() ? window->Web->focusProxy() : window->Web;
    }

    // Places the selection for a page edit; false when the page has no place.
    static bool Select(const char* kind, int which) {
        EXPECT_TRUE(window->Web->WaitForPushes());
        window->Web->setFocus();
        EXPECT_TRUE(WaitUntil([] { return window->Web->hasFocusWithin(); }));
        const QString script =
            QStringLiteral("%1('%2',%3)").arg(QLatin1String(kPlaceSelection), kind).arg(which);
        return !window->Web->RunScript(script).value_or(QVariant()).toString().isEmpty();
    }

    // After a page edit: the refresh, once the page has seen the edit (an
    // edit that changed nothing is not waited for long).
    static void Refresh() {
        WaitUntil([] { return window->Web->PageEdited().value_or(false); }, 1500);
        window->cmdRefreshCode_Click();
    }

    // The byte after the `n`-th ">" from `from` that starts text (no "<"
    // after it), in the page's part of the code; -1 when there is none.
    static int TextPlace(const std::string& code, std::size_t from) {
        const std::string_view shown = PageContent(code);
        const std::size_t start = static_cast<std::size_t>(shown.data() - code.data());
        const std::size_t end = start + shown.size();
        for (std::size_t at = code.find('>', std::max(from, start));
             at != std::string::npos && at + 1 < end; at = code.find('>', at + 1)) {
            const char next = code[at + 1];
            if (next != '<' && next != '\r' && next != '\n') return static_cast<int>(at + 1);
        }
        return -1;
    }

    QTemporaryDir dir;
    static inline frmMain* window = nullptr;
    static inline ScriptedDialogs* dialogs = nullptr;
    static inline FileCommands* files = nullptr;
    static inline VisualView* reference = nullptr;
};

// Where two pages part, with a little of each around it.
std::string WhereTheyDiffer(const std::string& a, const std::string& b) {
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    const std::size_t from = at > 80 ? at - 80 : 0;
    return "at " + std::to_string(at) + "\n  page:  " + a.substr(from, 200) +
           "\n  whole: " + b.substr(from, 200);
}

TEST_F(SyncSequenceTest, MixedPageAndCodeEditsWithUndoKeepThePageAsTheCodeReads) {
    TARLO_NEED_CORPUS();
    struct Run {
        const char* name;
        int steps;
    };
    for (const Run run :
         {Run{"edgar-8k-ex99-press-release.htm", 160}, Run{"edgar-10k-2024-ixbrl-a.htm", 30}}) {
        const QString copy = QDir(dir.path()).filePath(run.name);
        ASSERT_TRUE(QFile::copy(QDir(TARLO_CORPUS_DIR).filePath(run.name), copy));
        dialogs->Queue(Answer::No);
        ASSERT_TRUE(files->OpenDocumentFile(copy)) << run.name;
        while (dialogs->pending() > 0) dialogs->Message(nullptr, "", "", Buttons::Ok, Icon::None);
        ASSERT_TRUE(window->Web->WaitForPushes(60000));
        const bool xhtml = window->Web->showsXhtml();
        std::mt19937 random(20261208u);
        const int patchedBefore = window->Web->PatchedPushCount();
        const int wholeRefreshes = window->sync().WholeRefreshCount();
        for (int step = 0; step < run.steps; ++step) {
            CodeView& code = *window->txtCode;
            const std::string text = code.TextUtf8();
            const int kind = static_cast<int>(random() % 10);
            const int which = static_cast<int>(random() % 40);
            const std::size_t somewhere = random() % text.size();
            std::string what;
            switch (kind) {
                case 0:  // typing in the page
                    what = "page: typing";
                    if (Select("caret", which)) QTest::keyClicks(PageWidget(), "ab c");
                    Refresh();
                    break;
                case 1:  // Bold in the page
                    what = "page: Bold";
                    if (Select("word", which)) window->commands().Run(CommandId::Bold);
                    Refresh();
                    break;
                case 2:  // Delete across two paragraphs in the page
                    what = "page: Delete across paragraphs";
                    if (Select("blocks", which)) QTest::keyClick(PageWidget(), Qt::Key_Delete);
                    Refresh();
                    break;
                case 3: {  // a paste in the page
                    what = "page: paste";
                    if (Select("caret", which)) {
                        auto* data = new QMimeData;
                        data->setHtml(QStringLiteral("<i>pasted</i> <b>here</b>"));
                        data->setText(QStringLiteral("pasted here"));
                        QApplication::clipboard()->setMimeData(data);
                        QTest::keyClick(PageWidget(), Qt::Key_V, Qt::ControlModifier);
                    }
                    Refresh();
                    break;
                }
                case 4: {  // text typed into the code
                    what = "code: text";
                    const int at = TextPlace(text, somewhere);
                    if (at >= 0) code.ReplaceRange(at, 0, "Zq");
                    break;
                }
                case 5: {  // an attribute value changed in the code
                    what = "code: attribute";
                    std::size_t at = text.find("style=\"", somewhere);
                    if (at == std::string::npos) at = text.find("style=\"");
                    if (at != std::string::npos) {
                        code.ReplaceRange(static_cast<int>(at + 7), 0, "color:red;");
                    }
                    break;
                }
                case 6: {  // an end tag taken out of the code (HTML only)
                    what = "code: end tag out";
                    if (xhtml) break;
                    std::size_t at = text.find("</", somewhere);
                    if (at == std::string::npos) break;
                    const std::size_t end = text.find('>', at);
                    if (end != std::string::npos && text.compare(at, 6, "</html") != 0) {
                        code.ReplaceRange(static_cast<int>(at), static_cast<int>(end + 1 - at), "");
                    }
                    break;
                }
                case 9:  // a bullet list in the page
                    what = "page: bullet list";
                    if (Select("caret", which)) window->commands().Run(CommandId::BulletList);
                    Refresh();
                    break;
                case 7:
                    what = "Undo";
                    code.setFocus();
                    window->commands().Run(CommandId::Undo);
                    break;
                case 8:
                    what = "Redo";
                    code.setFocus();
                    window->commands().Run(CommandId::Redo);
                    break;
            }
            const auto [page, whole] = Pages();
            ASSERT_TRUE(page == whole) << run.name << " step " << step << ": " << what << " "
                                       << WhereTheyDiffer(page, whole);
        }
        // The run went element by element, not whole every time.
        EXPECT_GT(window->Web->PatchedPushCount(), patchedBefore) << run.name;
        std::printf("%s: %d steps, %d pushes element by element, %d refreshes whole\n", run.name,
                    run.steps, window->Web->PatchedPushCount() - patchedBefore,
                    window->sync().WholeRefreshCount() - wholeRefreshes);
    }
}

}  // namespace
}  // namespace tarlo
