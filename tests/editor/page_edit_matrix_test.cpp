// Every kind of edit a filer makes in the page, on every filing of the
// corpus, through the real views: typing a word, Bold, Italic, a link, a
// bullet list, an alignment, Delete across two paragraphs, a paste of HTML,
// a table and a picture. After each, Save writes the file as it was outside
// the element the edit touched, byte for byte; an Inline XBRL filing stays
// well-formed XML with every ix: element, attribute and fact as it was; and
// the page is never read back whole.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
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

using tarlo::test::Differ;
using tarlo::test::Difference;
using tarlo::test::ElementAt;
using tarlo::test::kFilings;
using tarlo::test::kPlaceSelection;
using tarlo::test::PathFrom;
using tarlo::test::ReadBytes;
using tarlo::test::ReadFacts;
using tarlo::test::WaitUntil;

namespace tarlo {
namespace {

// One edit of the page: how the selection is placed, which element the
// edit may change (the block or the block's parent), and the edit itself.
struct PageEdit {
    const char* name;
    const char* selection;  // "word", "caret" or "blocks"
    bool parentOfBlock;     // the edit may replace the block among its siblings
    void (*apply)(frmMain& w, ScriptedDialogs& dialogs);
};

QWidget* PageWidget(frmMain& w) {
    return w.Web->focusProxy() ? w.Web->focusProxy() : w.Web;
}

void Paste(frmMain& w, const QString& html) {
    auto* data = new QMimeData;
    data->setHtml(html);
    data->setText(QStringLiteral("pasted"));
    QApplication::clipboard()->setMimeData(data);
    QTest::keyClick(PageWidget(w), Qt::Key_V, Qt::ControlModifier);
}

const PageEdit kEdits[] = {
    {"typing a word", "caret", false,
     [](frmMain& w, ScriptedDialogs&) { QTest::keyClicks(PageWidget(w), "word "); }},
    {"Bold", "word", false,
     [](frmMain& w, ScriptedDialogs&) { w.commands().Run(CommandId::Bold); }},
    {"Italic", "word", false,
     [](frmMain& w, ScriptedDialogs&) { w.commands().Run(CommandId::Italic); }},
    {"a link", "word", false,
     [](frmMain& w, ScriptedDialogs& dialogs) {
         dialogs.Queue(std::optional<QString>(QStringLiteral("https://www.sec.gov/")));
         w.commands().Run(CommandId::InsertLink);
     }},
    {"a bullet list", "caret", true,
     [](frmMain& w, ScriptedDialogs&) { w.commands().Run(CommandId::BulletList); }},
    {"an alignment", "caret", true,
     [](frmMain& w, ScriptedDialogs&) { w.commands().Run(CommandId::AlignRight); }},
    {"Delete across two paragraphs", "blocks", false,
     [](frmMain& w, ScriptedDialogs&) { QTest::keyClick(PageWidget(w), Qt::Key_Delete); }},
    {"a paste of HTML", "caret", true,
     [](frmMain& w, ScriptedDialogs&) {
         Paste(w, QStringLiteral("<p><b>Pasted</b> from a <i>word processor</i></p><p>two</p>"));
     }},
    {"a table", "caret", true,
     [](frmMain& w, ScriptedDialogs&) {
         Paste(w, QStringLiteral("<table border=\"1\"><tr><td>Revenue</td><td>1,234</td></tr>"
                                 "<tr><td>Costs</td><td>(56)</td></tr></table>"));
     }},
    {"a picture", "caret", false,
     [](frmMain& w, ScriptedDialogs& dialogs) {
         dialogs.Queue(std::optional<QString>(QStringLiteral("logo.gif")));
         dialogs.Queue(std::optional<QString>(QStringLiteral("Company logo")));
         w.commands().Run(CommandId::InsertPicture);
     }},
};

class PageEditMatrixTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dialogs = new ScriptedDialogs;
        window = test::StartTestWindow(
            dialogs, [] {}, {}, [](frmMain& w) { InstallEditorCommands(w); });
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
    }

    QTemporaryDir dir;
    static inline frmMain* window = nullptr;
    static inline ScriptedDialogs* dialogs = nullptr;
    static inline FileCommands* files = nullptr;
};

TEST_F(PageEditMatrixTest, EveryPageEditOnEveryFilingChangesOnlyItsElement) {
    TARLO_NEED_CORPUS();
    for (const char* name : kFilings) {
        const QString copy = QDir(dir.path()).filePath(name);
        ASSERT_TRUE(QFile::copy(QDir(TARLO_CORPUS_DIR).filePath(name), copy));
        dialogs->Queue(Answer::No);  // the last filing's edits are not saved
        ASSERT_TRUE(files->OpenDocumentFile(copy)) << name;
        while (dialogs->pending() > 0) dialogs->Message(nullptr, "", "", Buttons::Ok, Icon::None);
        ASSERT_TRUE(window->Web->WaitForPushes(60000)) << name;
        const bool xhtml = window->Web->showsXhtml();
        std::string before = ReadBytes(copy).toStdString();
        int skip = 0;
        for (const PageEdit& edit : kEdits) {
            SCOPED_TRACE(std::string(name) + ": " + edit.name);
            // A page written again from the code after the last edit is
            // written before the selection is placed.
            ASSERT_TRUE(window->Web->WaitForPushes());
            window->Web->setFocus();
            ASSERT_TRUE(WaitUntil([] { return window->Web->hasFocusWithin(); }));
            const QString script =
                QStringLiteral("%1('%2',%3)")
                    .arg(QLatin1String(kPlaceSelection), QLatin1String(edit.selection))
                    .arg(skip++);
            const QString path = window->Web->RunScript(script).value_or(QVariant()).toString();
            ASSERT_FALSE(path.isEmpty()) << "no place for the edit";
            std::vector<int> element = PathFrom(path);
            if (edit.parentOfBlock) element.pop_back();
            const ByteRange range = ElementAt(before, element, xhtml);
            ASSERT_GT(range.length, 0);

            const int wholeBefore = window->sync().WholeRefreshCount();
            edit.apply(*window, *dialogs);
            ASSERT_TRUE(WaitUntil([] { return window->Web->PageEdited().value_or(false); }));
            dialogs->ClearAsked();
            window->commands().Run(CommandId::SaveDocument);
            EXPECT_TRUE(dialogs->asked().empty());
            const std::string after = ReadBytes(copy).toStdString();

            EXPECT_EQ(window->sync().WholeRefreshCount(), wholeBefore) << "read back whole";
            const Difference d = Differ(before, after);
            EXPECT_LT(d.from, std::max(d.beforeTo, d.afterTo)) << "nothing changed";
            EXPECT_LE(static_cast<std::size_t>(range.start), d.from);
            EXPECT_GE(static_cast<std::size_t>(range.end()), d.beforeTo)
                << after.substr(d.from, std::min<std::size_t>(d.afterTo - d.from, 400));
            if (xhtml) {
                EXPECT_TRUE(ReadFacts(QByteArray::fromStdString(after)) ==
                            ReadFacts(QByteArray::fromStdString(before)))
                    << "not well-formed, or an ix: element changed";
            }
            before = after;
        }
    }
}

}  // namespace
}  // namespace tarlo
