// The "Find and Replace" window in a real main window, driven through its
// controls: the caption states of Find and Replace, the options, the result
// line, Replace All's messages, its true count and its single edit.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "codeview/code_commands.h"
#include "codeview/code_view.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "editor/main_window.h"
#include "pageview/visual_view.h"
#include "shell/window_helpers.h"
#include "find/find_window.h"
#include "support/gui_test_support.h"
#include "support/window_suite.h"

namespace tarlo {
namespace {

class FindWindowTest : public test::WindowSuite<FindWindowTest> {
  public:
    static void Install(frmMain& w) {
        InstallCodeCommands(w, &w);
        InstallFindReplace(w, &w);
    }

  protected:
    void SetUp() override {
        dialogs->ClearAsked();
        PlainRefresh();
    }
    void TearDown() override {
        if (frmFind* f = Find()) {
            f->close();
            test::WaitUntil([] { return Find() == nullptr; });
        }
    }
    static void SetCode(const std::string& text) {
        window->txtCode->SetTextUtf8(text);
        window->txtCode->SetSel(0, 0);
    }
    static frmFind* Find() {
        auto* command = window->findChild<FindCommand*>("FindCommand");
        return command ? command->window() : nullptr;
    }
    static frmFind* Open() {
        EXPECT_TRUE(window->commands().Run(CommandId::FindReplace));
        return Find();
    }
    static ByteRange Sel() { return window->Selection(); }
    static QPushButton* Button(const char* name) { return Find()->findChild<QPushButton*>(name); }
    static void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }
};

TEST_F(FindWindowTest, OpensOnceOverTheMainWindowWithTheSelection) {
    SetCode("<p>abc def</p>");
    window->SetSelection({3, 3});
    frmFind* f = Open();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->windowTitle(), "Find and Replace");
    EXPECT_EQ(f->cboFind->text(), "abc");
    EXPECT_FALSE(f->Label1->isVisible());
    EXPECT_FALSE(f->cboReplace->isVisible());
    EXPECT_FALSE(f->lblReplace->isVisible());
    EXPECT_FALSE(f->cmdReplaceAll->isVisible());
    EXPECT_EQ(f->cmdFind->text(), "&Find");
    EXPECT_EQ(f->cmdReplace->text(), "&Replace...");
    EXPECT_EQ(f->parentWidget(), window);
    // Centred over the main window.
    const QRect main = window->frameGeometry();
    const QRect own = f->frameGeometry();
    EXPECT_NEAR(own.center().x(), main.center().x(), 2);
    EXPECT_NEAR(own.center().y(), main.center().y(), 2);

    // Shown again while open: the same window, its state as it was.
    f->cboFind->setText("def");
    f->chkMatchCase->setChecked(true);
    Click("cmdReplace");
    EXPECT_EQ(Open(), f);
    EXPECT_EQ(f->cboFind->text(), "def");
    EXPECT_TRUE(f->chkMatchCase->isChecked());
    EXPECT_TRUE(f->cboReplace->isVisible());
    EXPECT_EQ(window->findChildren<frmFind*>().size(), 1);

    // Closed, the next one starts over in the find-only layout.
    Click("cmdCancel");
    ASSERT_TRUE(test::WaitUntil([] { return Find() == nullptr; }));
    window->SetSelection({0, 0});
    f = Open();
    EXPECT_EQ(f->cboFind->text(), "");
    EXPECT_FALSE(f->chkMatchCase->isChecked());
    EXPECT_FALSE(f->cboReplace->isVisible());
}

TEST_F(FindWindowTest, TheMainWindowsToolSwitchingLeavesTheWindowsOwnButtonsAlone) {
    // The toolbar's "cmdFind" and the window's share a name: while the page
    // has the focus only the toolbar's is off.
    frmFind* f = Open();
    QApplication::setActiveWindow(window);
    window->Web->setFocus();
    ASSERT_TRUE(test::WaitUntil([] { return window->Web->hasFocusWithin(); }));
    auto* toolbarFind = window->findChild<QToolButton*>("cmdFind");
    ASSERT_NE(toolbarFind, nullptr);
    EXPECT_FALSE(toolbarFind->isEnabled());
    EXPECT_TRUE(f->cmdFind->isEnabled());
    window->txtCode->setFocus();
    ASSERT_TRUE(test::WaitUntil([] { return window->txtCode->hasFocus(); }));
    EXPECT_TRUE(toolbarFind->isEnabled());
}

TEST_F(FindWindowTest, FindNextWalksTheHitsThenSaysNotFoundAndStartsOver) {
    SetCode("one TABLE two table three");
    frmFind* f = Open();
    f->cboFind->setText("table");
    Click("cmdFind");
    EXPECT_EQ(Sel(), (ByteRange{4, 5}));
    EXPECT_EQ(f->cmdFind->text(), "&Find Next");
    EXPECT_TRUE(f->Label1->isVisible());
    EXPECT_EQ(f->Label1->text(), "Results:");
    Click("cmdFind");
    EXPECT_EQ(Sel(), (ByteRange{14, 5}));
    Click("cmdFind");
    EXPECT_EQ(f->Label1->text(), "\"table\" not found.");
    EXPECT_EQ(f->cmdFind->text(), "&Find");
    EXPECT_EQ(Sel(), (ByteRange{14, 5}));
    // Enter in the search box is the same as the button.
    QTest::keyClick(f->cboFind, Qt::Key_Return);
    EXPECT_EQ(Sel(), (ByteRange{4, 5}));

    // Match case skips TABLE.
    f->chkMatchCase->setChecked(true);
    f->cmdFind->setText("&Find");
    Click("cmdFind");
    EXPECT_EQ(Sel(), (ByteRange{14, 5}));
    // Whole word: "tab" is inside words only.
    f->chkMatchCase->setChecked(false);
    f->chkWholeWord->setChecked(true);
    f->cboFind->setText("tab");
    f->cmdFind->setText("&Find");
    Click("cmdFind");
    EXPECT_EQ(f->Label1->text(), "\"tab\" not found.");
    EXPECT_EQ(f->Options(), CodeView::kWholeWord);

    // No highlight: a hit leaves the selection, so Find Next finds it again.
    f->chkWholeWord->setChecked(false);
    f->chkNoHighlight->setChecked(true);
    f->cboFind->setText("two");
    window->SetSelection({0, 0});
    f->cmdFind->setText("&Find");
    Click("cmdFind");
    EXPECT_EQ(f->cmdFind->text(), "&Find Next");
    EXPECT_EQ(Sel(), (ByteRange{0, 0}));
    Click("cmdFind");
    EXPECT_EQ(f->cmdFind->text(), "&Find Next");
    EXPECT_EQ(f->Options(), CodeView::kNoHighlight);

    // An empty search text finds nothing.
    f->cboFind->setText("");
    Click("cmdFind");
    EXPECT_EQ(f->Label1->text(), "\"\" not found.");
}

TEST_F(FindWindowTest, ReplaceShowsItsControlsThenReplacesAndSearchesOn) {
    SetCode("cat dog cat");
    window->SetSelection({0, 3});
    frmFind* f = Open();
    EXPECT_EQ(f->cboFind->text(), "cat");
    Click("cmdReplace");
    EXPECT_EQ(window->txtCode->TextUtf8(), "cat dog cat");
    EXPECT_EQ(f->cmdReplace->text(), "&Replace");
    EXPECT_TRUE(f->cboReplace->isVisible());
    EXPECT_TRUE(f->cmdReplaceAll->isVisible());
    EXPECT_TRUE(f->Label1->isVisible());

    f->cboReplace->setText("cow");
    Click("cmdReplace");
    EXPECT_EQ(window->txtCode->TextUtf8(), "cow dog cat");
    EXPECT_EQ(Sel(), (ByteRange{8, 3}));  // the next occurrence
    // With nothing selected nothing goes in at the caret: the press finds
    // the next occurrence, and the press after replaces it.
    window->SetSelection({4, 0});
    QTest::keyClick(f->cboReplace, Qt::Key_Return);
    EXPECT_EQ(window->txtCode->TextUtf8(), "cow dog cat");
    EXPECT_EQ(Sel(), (ByteRange{8, 3}));
    Click("cmdReplace");
    EXPECT_EQ(window->txtCode->TextUtf8(), "cow dog cow");
    EXPECT_EQ(f->Label1->text(), "\"cat\" not found.");
    EXPECT_EQ(f->cmdFind->text(), "&Find");
}

// Replace changes only a selection that is an occurrence under the ticked
// options; any other press leaves the code alone and finds onward.
TEST_F(FindWindowTest, ReplaceNeverChangesWhatIsNotAnOccurrence) {
    frmFind* f = Open();
    Click("cmdReplace");
    f->cboFind->setText("company");
    f->cboReplace->setText("firm");
    const auto press = [](const std::string& code, ByteRange selection) {
        SetCode(code);
        window->SetSelection(selection);
        Click("cmdReplace");
        return window->txtCode->TextUtf8();
    };
    // Nothing found and the caret inside a tag.
    EXPECT_EQ(press("<TD>x</TD>", {2, 0}), "<TD>x</TD>");
    EXPECT_EQ(f->Label1->text(), "\"company\" not found.");
    // Another text selected: not replaced; the occurrence after it is found.
    EXPECT_EQ(press("<TD>company</TD>", {1, 2}), "<TD>company</TD>");
    EXPECT_EQ(Sel(), (ByteRange{4, 7}));
    // Other case with Match Case ticked: not an occurrence, none after it.
    f->chkMatchCase->setChecked(true);
    EXPECT_EQ(press("Company", {0, 7}), "Company");
    EXPECT_EQ(f->Label1->text(), "\"company\" not found.");
    f->chkMatchCase->setChecked(false);
    EXPECT_EQ(press("Company", {0, 7}), "firm");
    // Part of a longer word with Whole Word ticked.
    f->chkWholeWord->setChecked(true);
    EXPECT_EQ(press("companyname company", {0, 7}), "companyname company");
    EXPECT_EQ(Sel(), (ByteRange{12, 7}));
    f->chkWholeWord->setChecked(false);
    // No Highlight leaves the selection as it was, so no press ever inserts
    // at the caret.
    f->chkNoHighlight->setChecked(true);
    EXPECT_EQ(press("a company", {0, 0}), "a company");
    for (int i = 0; i < 3; ++i) Click("cmdReplace");
    EXPECT_EQ(window->txtCode->TextUtf8(), "a company");
    f->chkNoHighlight->setChecked(false);
}

TEST_F(FindWindowTest, ReplaceAllCountsEveryOccurrenceInOneEdit) {
    frmFind* f = Open();
    Click("cmdReplace");
    auto replaceAll = [&](const std::string& text, const char* find, const char* by) {
        SetCode(text);
        dialogs->ClearAsked();
        f->cboFind->setText(find);
        f->cboReplace->setText(by);
        f->cmdFind->setText("&Find Next");
        Click("cmdReplaceAll");
        EXPECT_EQ(f->cmdFind->text(), "&Find");
        return window->txtCode->TextUtf8();
    };
    EXPECT_EQ(replaceAll("aaa", "a", "aa"), "aaaaaa");
    ASSERT_EQ(dialogs->asked().size(), 2u);
    EXPECT_EQ(dialogs->asked()[0].title, "Tarlo - ReplaceAll");
    EXPECT_EQ(dialogs->asked()[0].text,
              "The specified region has been searched. \n3 replacements have been made.");
    EXPECT_EQ(dialogs->asked()[1].text, "Replacements Complete.");

    EXPECT_EQ(replaceAll("abcabc", "abc", "x"), "xx");
    EXPECT_NE(dialogs->asked()[0].text.indexOf("\n2 replacements"), -1);

    EXPECT_EQ(replaceAll("nothing here", "zebra", "x"), "nothing here");
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_EQ(dialogs->asked()[0].text, "Replacements Complete.");

    // Past 32,767: every occurrence, the true count, one change of the code
    // view and one undo step.
    std::string many;
    for (int i = 0; i < 40000; ++i) many += "<td>x</td>";
    SetCode(many);
    ASSERT_TRUE(window->Web->WaitForPushes());
    const int undoBefore = window->document().History().UndoIndex();
    QSignalSpy changes(window->txtCode, &CodeView::Change);
    dialogs->ClearAsked();
    f->cboFind->setText("x");
    f->cboReplace->setText("y");
    Click("cmdReplaceAll");
    EXPECT_EQ(changes.count(), 1);
    std::string expected;
    for (int i = 0; i < 40000; ++i) expected += "<td>y</td>";
    EXPECT_EQ(window->txtCode->TextUtf8(), expected);
    ASSERT_FALSE(dialogs->asked().empty());
    EXPECT_NE(dialogs->asked()[0].text.indexOf("\n40000 replacements"), -1);
    EXPECT_EQ(window->document().History().UndoIndex(), undoBefore + 1);
    window->menuAction("mnuUndo")->trigger();
    EXPECT_EQ(window->txtCode->TextUtf8(), many);
    // The page shows the replaced code too.
    SetCode("<p>old</p>");
    replaceAll("<p>old</p>", "old", "new");
    ASSERT_TRUE(window->Web->WaitForPushes());
    const std::optional<std::string> page = window->Web->ReadOuterHtml();
    ASSERT_TRUE(page.has_value());
    EXPECT_NE(page->find("new"), std::string::npos);
}

TEST_F(FindWindowTest, ReplaceAllAgreesWithFindOnCaseAndWholeWords) {
    // Every occurrence Find walks to is one Replace All replaces.
    const std::string text =
        "Caf\u00e9 caf\u00e9s CAF\u00c9 x_caf\u00e9 \u2014caf\u00e9\u2014 caf\u00e91";
    frmFind* f = Open();
    Click("cmdReplace");
    for (int options = 0; options < 8; options += 2) {
        SetCode(text);
        f->chkWholeWord->setChecked((options & 2) != 0);
        f->chkMatchCase->setChecked((options & 4) != 0);
        f->cboFind->setText(QString::fromUtf8("caf\u00e9"));
        int hits = 0;
        for (int start = 0;;) {
            const int at = window->txtCode->FindInCode("caf\u00e9", start, options | 8);
            if (at < 0) break;
            ++hits;
            start = at + 1;
        }
        dialogs->ClearAsked();
        f->cboReplace->setText("#");
        Click("cmdReplaceAll");
        int replaced = 0;
        for (const char c : window->txtCode->TextUtf8()) replaced += c == '#';
        EXPECT_EQ(replaced, hits) << "options " << options;
    }
}

}  // namespace
}  // namespace tarlo
