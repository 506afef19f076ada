// The "Table Wizard" in a real main window, through its controls: start
// values, the key filter, the order of the checks of "Create Table", the
// insertion at the caret as one edit, and the editor's size limit.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <fstream>
#include <sstream>

#include "codeview/code_commands.h"
#include "codeview/code_view.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "editor/main_window.h"
#include "pageview/visual_view.h"
#include "insert/table_maker.h"
#include "insert/table_window.h"
#include "support/gui_test_support.h"
#include "support/window_suite.h"

namespace tarlo {
namespace {

class TableWindowTest : public test::WindowSuite<TableWindowTest> {
  public:
    static void Install(frmMain& w) {
        InstallCodeCommands(w, &w);
        InstallTableMaker(w, &w);
    }

  protected:
    void SetUp() override {
        dialogs->ClearAsked();
        PlainRefresh();
    }
    void TearDown() override {
        if (frmTable* t = Table()) {
            t->close();
            test::WaitUntil([] { return Table() == nullptr; });
        }
    }
    static frmTable* Table() {
        auto* command = window->findChild<TableCommand*>("TableCommand");
        return command ? command->window() : nullptr;
    }
    static frmTable* Open() {
        EXPECT_TRUE(window->commands().Run(CommandId::TableMaker));
        return Table();
    }
    static void Fill(frmTable* t, const char* rows, const char* cols, const char* width) {
        t->rowtxt->setText(rows);
        t->coltxt->setText(cols);
        t->twidthtxt->setText(width);
    }
    static void Create(frmTable* t) { QTest::mouseClick(t->mtb, Qt::LeftButton); }
    static std::string Code() { return window->txtCode->TextUtf8(); }
};

TEST_F(TableWindowTest, OpensOnceWithItsStartValuesAndHandsTheFocusToThePage) {
    frmTable* t = Open();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->windowTitle(), "Table Wizard");
    EXPECT_EQ(t->lblHint->text(),
              "Place the cursor in the code window where you want your table to be.");
    EXPECT_EQ(t->rowtxt->text(), "5");
    EXPECT_EQ(t->coltxt->text(), "4");
    EXPECT_EQ(t->twidthtxt->text(), "100");
    EXPECT_EQ(t->Combo1->currentText(), "No");
    EXPECT_EQ(t->cmbColor->currentText(), "None");
    ASSERT_EQ(t->Combo1->count(), 2);
    EXPECT_EQ(t->Combo1->itemText(0), "Yes");
    ASSERT_EQ(t->cmbColor->count(), 6);
    EXPECT_EQ(t->cmbColor->itemText(5), "Grey");
    EXPECT_EQ(t->mtb->text(), "Create Table");
    EXPECT_EQ(t->parentWidget(), window);
    const QRect main = window->frameGeometry();
    EXPECT_NEAR(t->frameGeometry().center().x(), main.center().x(), 2);
    EXPECT_NEAR(t->frameGeometry().center().y(), main.center().y(), 2);
    EXPECT_TRUE(test::WaitUntil([] { return window->Web->hasFocusWithin(); }));
    EXPECT_FALSE(window->txtCode->hasFocus());

    t->rowtxt->setText("7");
    EXPECT_EQ(Open(), t);
    EXPECT_EQ(t->rowtxt->text(), "7");
    EXPECT_EQ(window->findChildren<frmTable*>().size(), 1);
}

TEST_F(TableWindowTest, NumberBoxesTakeDigitsAndBackspaceOnly) {
    frmTable* t = Open();
    t->rowtxt->clear();
    t->rowtxt->setFocus();
    QTest::keyClicks(t->rowtxt, "a1 -2.x3");
    EXPECT_EQ(t->rowtxt->text(), "123");
    QTest::keyClick(t->rowtxt, Qt::Key_Backspace);
    EXPECT_EQ(t->rowtxt->text(), "12");
    QTest::keyClicks(t->twidthtxt, "%");
    EXPECT_EQ(t->twidthtxt->text(), "100");
    // Tab still moves on to the next box.
    QApplication::setActiveWindow(t);
    t->rowtxt->setFocus();
    ASSERT_TRUE(test::WaitUntil([t] { return t->rowtxt->hasFocus(); }));
    QTest::keyClick(t->rowtxt, Qt::Key_Tab);
    EXPECT_TRUE(t->coltxt->hasFocus());
    EXPECT_EQ(t->rowtxt->text(), "12");
    // The editing shortcuts edit: select all, then paste over it.
    QApplication::clipboard()->setText("40");
    QTest::keyClick(t->coltxt, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(t->coltxt->selectedText(), t->coltxt->text());
    QTest::keyClick(t->coltxt, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(t->coltxt->text(), "40");
}

TEST_F(TableWindowTest, CreateTableChecksInOrderAndBuildsNothingOnAStop) {
    window->txtCode->SetTextUtf8("<body></body>");
    frmTable* t = Open();
    // Rows 1000 stops first, even with columns and width too large as well.
    Fill(t, "1000", "1000", "101");
    Create(t);
    EXPECT_EQ(t->rowtxt->text(), "1");
    EXPECT_EQ(t->coltxt->text(), "1000");
    EXPECT_EQ(t->twidthtxt->text(), "101");
    Create(t);
    EXPECT_EQ(t->coltxt->text(), "1");
    EXPECT_EQ(t->twidthtxt->text(), "101");
    Create(t);
    EXPECT_EQ(t->twidthtxt->text(), "100");
    EXPECT_EQ(Code(), "<body></body>");
    ASSERT_EQ(Table(), t);

    // Empty, zero and blank boxes build nothing and keep the dialog open.
    for (const char* cols : {"", "00", "   "}) {
        Fill(t, "2", cols, "100");
        Create(t);
        EXPECT_EQ(Code(), "<body></body>") << cols;
        EXPECT_EQ(Table(), t);
        EXPECT_EQ(t->coltxt->text(), cols);
    }
    // A pasted box that is not a whole number is selected for correcting.
    Fill(t, "2", "3x", "100");
    Create(t);
    EXPECT_EQ(Code(), "<body></body>");
    EXPECT_EQ(t->coltxt->selectedText(), "3x");
    EXPECT_TRUE(dialogs->asked().empty());
}

TEST_F(TableWindowTest, CreateTableInsertsAtTheCaretAsOneEditAndCloses) {
    window->txtCode->SetTextUtf8("<body></body>");
    ASSERT_TRUE(window->Web->WaitForPushes());
    window->SetSelection({6, 3});  // collapses to its start
    frmTable* t = Open();
    Fill(t, "2", "2", "100");
    t->cmbColor->setCurrentText("Blue");
    const int undoBefore = window->document().History().UndoIndex();
    QSignalSpy changes(window->txtCode, &CodeView::Change);
    Create(t);
    std::ifstream f(TEST_DATA_DIR "/table/blue_2x2/expected.html", std::ios::binary);
    std::ostringstream expected;
    expected << f.rdbuf();
    ASSERT_FALSE(expected.str().empty());
    EXPECT_EQ(Code(), "<body>" + expected.str() + "</body>");
    EXPECT_EQ(window->Selection(), (ByteRange{6 + static_cast<int>(expected.str().size()), 0}));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(window->document().History().UndoIndex(), undoBefore + 1);
    ASSERT_TRUE(test::WaitUntil([] { return Table() == nullptr; }));

    // The next opening starts from the start values; "yes" is no border.
    t = Open();
    EXPECT_EQ(t->rowtxt->text(), "5");
    EXPECT_EQ(t->cmbColor->currentText(), "None");
    window->txtCode->SetTextUtf8("");
    Fill(t, "3", "8", "100");
    t->Combo1->setCurrentText("yes");
    t->cmbColor->setCurrentText("Red");
    Create(t);
    EXPECT_EQ(Code(), MakeTable(3, 8, 100, false, "Red"));
    EXPECT_NE(Code().find("width = \"12%\""), std::string::npos);
}

TEST_F(TableWindowTest, ATableTheEditorCannotHoldIsRefused) {
    // About 60 MB of table beside 8 MB of code passes the 64 MB limit.
    window->txtCode->SetTextUtf8(std::string(8 * 1024 * 1024, 'x'));
    window->txtCode->SetSel(0, 0);
    frmTable* t = Open();
    Fill(t, "999", "999", "100");
    Create(t);
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_NE(dialogs->asked()[0].text.indexOf("more than Tarlo can edit"), -1);
    EXPECT_EQ(window->txtCode->Length(), 8 * 1024 * 1024);
    EXPECT_EQ(Table(), t);
    window->txtCode->SetTextUtf8("");
}

}  // namespace
}  // namespace tarlo
