// The insertion tools in a real main window, with the real code editor and
// browser engine: the symbol palette, the tag reference and the snippet
// dialogs, driven through their controls. Every insertion lands at the caret
// as one edit (one undo step), and each window exists once, where it belongs.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <fstream>
#include <iterator>

#include "codeview/code_commands.h"
#include "codeview/code_view.h"
#include "document/document.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "editor/main_window.h"
#include "pageview/visual_view.h"
#include "shell/window_helpers.h"
#include "insert/insert_commands.h"
#include "insert/special_symbols.h"
#include "insert/symbol_window.h"
#include "insert/tag_reference.h"
#include "insert/tag_reference_window.h"
#include "support/gui_test_support.h"
#include "support/window_suite.h"

using tarlo::test::WaitUntil;

namespace tarlo {
namespace {

std::string Golden(const std::string& name, const std::string& file) {
    std::ifstream in(std::string(TEST_DATA_DIR) + "/snippets/" + name + "/" + file,
                     std::ios::binary);
    EXPECT_TRUE(in.good()) << name << "/" << file;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

QString ToQ(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

class InsertWindowsTest : public test::WindowSuite<InsertWindowsTest> {
  public:
    static void Install(frmMain& w) {
        // The code commands keep the undo history the tests count.
        InstallCodeCommands(w, &w);
        InstallInsertTools(w, &w);
    }

  protected:
    void SetUp() override {
        PlainRefresh();
        window->activateWindow();
        window->txtCode->setFocus();
    }
    void TearDown() override {
        // Each test starts with every tool window closed and gone.
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w != window && w->isVisible() && w->parentWidget() == window) w->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(dialogs->asked().empty());
    }

    static void SetCode(const std::string& text, int start, int length) {
        window->txtCode->SetTextUtf8(text);
        ASSERT_TRUE(window->Web->WaitForPushes());
        window->SetSelection(ByteRange{start, length});
    }
    static std::string Code() { return window->txtCode->TextUtf8(); }
    static int UndoIndex() { return window->document().History().UndoIndex(); }
    static ByteRange Sel() { return window->Selection(); }
    static InsertCommands* Tools() { return window->findChild<InsertCommands*>("InsertCommands"); }
    static bool FocusInCode() {
        return QApplication::activeWindow() == window &&
               QApplication::focusWidget() == window->txtCode;
    }
    static QToolButton* Button(const char* name) {
        return window->findChild<QToolButton*>(QString::fromLatin1(name));
    }
    // The window's middle lies on the middle of `over`, to the pixel.
    static void ExpectCentred(const QWidget* w, const QRect& over) {
        const QPoint d = w->frameGeometry().center() - over.center();
        EXPECT_LE(std::abs(d.x()), 1) << w->objectName().toStdString();
        EXPECT_LE(std::abs(d.y()), 1) << w->objectName().toStdString();
    }
    static void ExpectTopmost(const QWidget* w) {
        EXPECT_EQ(w->parentWidget(), window);
        EXPECT_EQ(w->windowType(), Qt::Tool) << w->objectName().toStdString();
        EXPECT_FALSE(w->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        EXPECT_FALSE(w->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    }
};

// --- the symbol palette

TEST_F(InsertWindowsTest, PaletteOpensOnceAboveTheMainWindowAndLeavesTheKeyboardInTheCode) {
    SetCode("<p>x</p>", 3, 0);
    ASSERT_TRUE(Button("cmdSpecial")->isEnabled());
    Button("cmdSpecial")->click();
    frmSpecial* palette = Tools()->symbolWindow();
    ASSERT_NE(palette, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return palette->isVisible() && FocusInCode(); }));
    EXPECT_EQ(palette->windowTitle(), "Special Symbols");
    ExpectTopmost(palette);
    ExpectCentred(palette, window->frameGeometry());
    // The drawn size, taller only where the system's font needs more lines.
    EXPECT_EQ(palette->width(), TwipSizeToPixels(3540, 1665).width());
    EXPECT_GE(palette->height(), TwipSizeToPixels(3540, 1665).height());
    EXPECT_GE(palette->Frame1->y(), palette->lblInstruction->geometry().bottom());
    EXPECT_EQ(palette->cells.size(), 33u);
    for (const SymbolCell& cell : SymbolCells()) {
        auto* label = palette->findChild<QLabel*>(ToQ(cell.control));
        ASSERT_NE(label, nullptr) << cell.control;
        EXPECT_FALSE(label->accessibleName().isEmpty());
        // The two boxes show a drawn box or a Wingdings letter, never nothing.
        EXPECT_TRUE(!label->text().isEmpty() || !label->pixmap().isNull()) << cell.control;
    }
    EXPECT_TRUE(palette->findChild<QLabel*>("Label4")->text().startsWith("Place the cursor"));
    EXPECT_FALSE(palette->txtSymbol->isVisible());

    // Opening again, from the button or Insert > Symbol, neither makes a
    // second palette nor moves this one.
    palette->move(palette->pos() + QPoint(37, 23));
    const QPoint moved = palette->pos();
    window->activateWindow();
    window->Web->setFocus();
    window->txtCode->setFocus();
    Button("cmdSpecial")->click();
    window->menuAction("mnuSymbol")->trigger();
    EXPECT_EQ(Tools()->symbolWindow(), palette);
    EXPECT_EQ(palette->pos(), moved);
    EXPECT_EQ(window->findChildren<frmSpecial*>().size(), 1);
    EXPECT_TRUE(WaitUntil([] { return FocusInCode(); }));
    EXPECT_EQ(Code(), "<p>x</p>");
}

TEST_F(InsertWindowsTest, EachClickInsertsItsCodeAtTheCaretAsOneEdit) {
    SetCode("ab", 1, 0);
    window->commands().Run(CommandId::Symbols);
    frmSpecial* palette = Tools()->symbolWindow();
    ASSERT_NE(palette, nullptr);
    auto click = [&](const char* control) {
        auto* label = palette->findChild<SymbolLabel*>(control);
        ASSERT_NE(label, nullptr) << control;
        QTest::mouseClick(label, Qt::LeftButton);
    };

    int before = UndoIndex();
    click("LabelEuro");
    EXPECT_EQ(Code(), "a&#128;b");
    EXPECT_EQ(Sel().start, 7);
    EXPECT_EQ(Sel().length, 0);
    EXPECT_EQ(UndoIndex(), before + 1);
    EXPECT_EQ(palette->txtSymbol->text(), "&#128;");
    EXPECT_TRUE(FocusInCode());
    EXPECT_TRUE(palette->isVisible());

    // A selection stays in place after the code and is no longer selected.
    SetCode("xyz", 0, 3);
    before = UndoIndex();
    click("LabelCopyright");
    EXPECT_EQ(Code(), "&#169;xyz");
    EXPECT_EQ(Sel().start, 6);
    EXPECT_EQ(Sel().length, 0);
    EXPECT_EQ(UndoIndex(), before + 1);

    // Three in a row follow each other; the crossed box is its whole markup.
    SetCode("", 0, 0);
    click("LabelTM");
    click("LabelM");
    click("LabelCheck");
    EXPECT_EQ(Code(), "&#153;&#151;<strong><FONT face=Wingdings>x</font></strong>");
    EXPECT_EQ(Sel().start, static_cast<int>(Code().size()));

    // Tab and Space reach a cell without the mouse.
    SetCode("", 0, 0);
    auto* half = palette->findChild<SymbolLabel*>("LabelHalf");
    QTest::keyClick(half, Qt::Key_Space);
    EXPECT_EQ(Code(), "&#189;");
    ASSERT_TRUE(window->Web->WaitForPushes());
}

TEST_F(InsertWindowsTest, ClosingThePaletteGivesTheFocusToThePageAndTheNextOneIsNew) {
    window->commands().Run(CommandId::Symbols);
    QPointer<frmSpecial> palette = Tools()->symbolWindow();
    ASSERT_TRUE(palette);
    palette->move(0, 0);
    palette->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(palette);
    EXPECT_TRUE(WaitUntil([] {
        QWidget* f = QApplication::focusWidget();
        return f && (f == window->Web || window->Web->isAncestorOf(f));
    }));

    window->txtCode->setFocus();
    window->commands().Run(CommandId::Symbols);
    frmSpecial* again = Tools()->symbolWindow();
    ASSERT_NE(again, nullptr);
    ExpectCentred(again, window->frameGeometry());
}

// --- the tag reference

TEST_F(InsertWindowsTest, TagReferenceListsTheTagsAndShowsTheChosenOnesDescription) {
    Button("cmdHTML")->click();
    frmHTML* tags = Tools()->tagWindow();
    ASSERT_NE(tags, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return tags->isVisible(); }));
    EXPECT_EQ(tags->windowTitle(), "Common HTML codes");
    ExpectTopmost(tags);
    ExpectCentred(tags, window->frameGeometry());
    EXPECT_EQ(tags->width(), TwipSizeToPixels(2055, 5280).width());
    EXPECT_GE(tags->height(), TwipSizeToPixels(2055, 5280).height());
    EXPECT_EQ(tags->lblNote->text(), "Double-click codes to insert into code window.");

    QListWidget* list = tags->listHTML;
    ASSERT_EQ(list->count(), 85);
    for (int i = 0; i < list->count(); ++i) {
        EXPECT_EQ(list->item(i)->text(), ToQ(TagReferenceEntries()[i].text)) << i;
    }
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_TRUE(list->toolTip().isEmpty());

    list->setCurrentRow(84);  // "</R>"
    EXPECT_EQ(list->toolTip(), ToQ(*DescribeTag("<R>")));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Up);  // "<R>"
    EXPECT_EQ(list->currentItem()->text(), "<R>");
    EXPECT_EQ(list->toolTip(), ToQ(*DescribeTag("<R>")));
    QTest::keyClick(list, Qt::Key_Up);  // "<PAGE>"
    EXPECT_TRUE(list->toolTip().startsWith("SGML tag for page markers"));

    // A second opening brings the same window to the front, unmoved.
    tags->move(tags->pos() + QPoint(11, 7));
    const QPoint moved = tags->pos();
    window->commands().Run(CommandId::TagReference);
    EXPECT_EQ(Tools()->tagWindow(), tags);
    EXPECT_EQ(tags->pos(), moved);
    EXPECT_EQ(window->findChildren<frmHTML*>().size(), 1);

    // Closing hands the keyboard back to the main window.
    tags->activateWindow();
    tags->close();
    EXPECT_TRUE(WaitUntil([] { return QApplication::activeWindow() == window; }));
}

TEST_F(InsertWindowsTest, DoubleClickInsertsTheTagAloneBeforeAnySelection) {
    window->commands().Run(CommandId::TagReference);
    frmHTML* tags = Tools()->tagWindow();
    ASSERT_NE(tags, nullptr);
    QListWidget* list = tags->listHTML;
    auto doubleClick = [&](const char* entry) {
        const auto found = list->findItems(entry, Qt::MatchExactly | Qt::MatchCaseSensitive);
        ASSERT_EQ(found.size(), 1) << entry;
        list->scrollToItem(found[0]);
        const QPoint at = list->visualItemRect(found[0]).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    };

    SetCode("<p>ab</p>", 4, 0);
    int before = UndoIndex();
    doubleClick("<!-->");
    EXPECT_EQ(Code(), "<p>a<!-->b</p>");
    EXPECT_EQ(Sel().start, 9);
    EXPECT_EQ(UndoIndex(), before + 1);
    EXPECT_TRUE(WaitUntil([] { return FocusInCode(); }));
    EXPECT_TRUE(tags->isVisible());

    // At the very end, with the caret after it.
    SetCode("text", 4, 0);
    doubleClick("<R>");
    EXPECT_EQ(Code(), "text<R>");
    EXPECT_EQ(Sel().start, 7);

    // The selected text stays, after the tag; no closing tag, no line break.
    SetCode("xyz", 0, 3);
    before = UndoIndex();
    doubleClick("<TABLE>");
    EXPECT_EQ(Code(), "<TABLE>xyz");
    EXPECT_EQ(Sel().start, 7);
    EXPECT_EQ(Sel().length, 0);
    EXPECT_EQ(UndoIndex(), before + 1);

    // Enter on the chosen entry does what a double-click does.
    SetCode("", 0, 0);
    list->setFocus();
    list->setCurrentRow(16);  // "<B>"
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(Code(), "<B>");

    // No entry under the pointer: nothing goes in, but the selection
    // collapses and the code view has the keyboard.
    SetCode("xyz", 1, 2);
    tags->activateWindow();
    before = UndoIndex();
    tags->listHTML_DblClick(nullptr);
    EXPECT_EQ(Code(), "xyz");
    EXPECT_EQ(Sel().start, 1);
    EXPECT_EQ(Sel().length, 0);
    EXPECT_EQ(UndoIndex(), before);
    EXPECT_TRUE(FocusInCode());
    ASSERT_TRUE(window->Web->WaitForPushes());
}

// --- the snippet dialogs

TEST_F(InsertWindowsTest, SnippetDialogsOpenCentredOnTheScreenWithTheirTexts) {
    struct Case {
        const char* opener;
        SnippetKind kind;
        const char* name;
        const char* caption;
        const char* hintStart;
        const char* box;
    };
    const Case cases[] = {
        {"mnukeywords", SnippetKind::Keywords, "frmSEO", "Optimize your page for search engines.",
         "Place the cursor in the code window either directly after the <HEAD> tag", "txtWords"},
        {"mnuMarquee", SnippetKind::Marquee, "frmMarquee", "Add a Marquee",
         "Place the cursor in the code window where you want your marquee to be", "Text1"},
        {"mnuLayer", SnippetKind::Layer, "frmLayer", "Add Layer",
         "Place the cursor in thecode window where you want your new layer to be then press "
         "Submit.",
         nullptr},
        {"mnuGoogle", SnippetKind::SearchForm, "frmGoogle", "Add Google Search",
         "Place the cursor in the code window where you want your Search button to be then "
         "press Submit.",
         nullptr},
    };
    const QRect screen = window->screen()->availableGeometry();
    for (const Case& c : cases) {
        window->menuAction(c.opener)->trigger();
        frmSnippet* dialog = Tools()->snippetWindow(c.kind);
        ASSERT_NE(dialog, nullptr) << c.name;
        ASSERT_TRUE(WaitUntil([&] { return dialog->isVisible(); }));
        EXPECT_EQ(dialog->objectName(), c.name);
        EXPECT_EQ(dialog->windowTitle(), c.caption);
        EXPECT_TRUE(dialog->lblHint->text().startsWith(c.hintStart)) << c.name;
        ExpectTopmost(dialog);
        ExpectCentred(dialog, screen);
        EXPECT_EQ(dialog->cmdSubmit->text(), "&Submit");
        if (c.box) {
            auto* box = dialog->findChild<QLineEdit*>(c.box);
            ASSERT_NE(box, nullptr) << c.box;
            EXPECT_TRUE(box->text().isEmpty());
        } else {
            EXPECT_EQ(dialog->input, nullptr);
        }
        // A second opening brings the same dialog forward.
        window->menuAction(c.opener)->trigger();
        EXPECT_EQ(Tools()->snippetWindow(c.kind), dialog);
    }
    EXPECT_EQ(Tools()->snippetWindow(SnippetKind::Keywords)->lblBox->text(),
              "Type in the keywords you would like to add separated by commas (Computer, IBM, "
              "Dell, etc.)");
    // The toolbar's keywords button opens the same keywords dialog.
    frmSnippet* keywords = Tools()->snippetWindow(SnippetKind::Keywords);
    window->activateWindow();
    window->txtCode->setFocus();
    Button("cmdSEO")->click();
    EXPECT_EQ(Tools()->snippetWindow(SnippetKind::Keywords), keywords);
    EXPECT_EQ(window->findChildren<frmSnippet*>().size(), 4);
}

TEST_F(InsertWindowsTest, EnterInTheKeywordsInsertsTheTagClosesAndTheNextOpeningIsEmpty) {
    SetCode("<head></head>", 6, 0);
    window->commands().Run(CommandId::Keywords);
    QPointer<frmSnippet> dialog = Tools()->snippetWindow(SnippetKind::Keywords);
    ASSERT_TRUE(dialog);
    const int before = UndoIndex();
    QTest::keyClicks(dialog->input, QString::fromUtf8(Golden("keywords_plain", "input.txt")));
    QTest::keyClick(dialog->input, Qt::Key_Return);
    const std::string meta = Golden("keywords_plain", "expected.html");
    EXPECT_EQ(Code(), "<head>" + meta + "</head>");
    EXPECT_EQ(Sel().start, static_cast<int>(6 + meta.size()));
    EXPECT_EQ(UndoIndex(), before + 1);
    EXPECT_TRUE(FocusInCode());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(dialog);

    // A quote in the keywords is written so that the tag stays whole.
    SetCode("", 0, 0);
    window->commands().Run(CommandId::Keywords);
    dialog = Tools()->snippetWindow(SnippetKind::Keywords);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->input->text().isEmpty());
    QTest::keyClicks(dialog->input, QString::fromUtf8(Golden("keywords_quote", "input.txt")));
    dialog->cmdSubmit->click();
    EXPECT_EQ(Code(), Golden("keywords_quote", "expected.html"));
    ASSERT_TRUE(window->Web->WaitForPushes());
}

TEST_F(InsertWindowsTest, SnippetsGoInBeforeTheSelectionAsOneEdit) {
    struct Case {
        CommandId id;
        SnippetKind kind;
        const char* golden;
        bool typed;
    };
    const Case cases[] = {
        {CommandId::Marquee, SnippetKind::Marquee, "marquee_plain", true},
        {CommandId::Marquee, SnippetKind::Marquee, "marquee_empty", true},
        {CommandId::Layer, SnippetKind::Layer, "layer", false},
        {CommandId::WebSearchForm, SnippetKind::SearchForm, "search_form", false},
    };
    for (const Case& c : cases) {
        SetCode("ab<i>sel</i>", 2, 3);
        window->commands().Run(c.id);
        QPointer<frmSnippet> dialog = Tools()->snippetWindow(c.kind);
        ASSERT_TRUE(dialog) << c.golden;
        if (c.typed)
            QTest::keyClicks(dialog->input, QString::fromUtf8(Golden(c.golden, "input.txt")));
        const int before = UndoIndex();
        // Enter in the marquee's box submits as the button does.
        if (c.typed) {
            QTest::keyClick(dialog->input, Qt::Key_Return);
        } else {
            QTest::mouseClick(dialog->cmdSubmit, Qt::LeftButton);
        }
        const std::string snippet = Golden(c.golden, "expected.html");
        EXPECT_EQ(Code(), "ab" + snippet + "<i>sel</i>") << c.golden;
        EXPECT_EQ(Sel().start, static_cast<int>(2 + snippet.size())) << c.golden;
        EXPECT_EQ(Sel().length, 0) << c.golden;
        EXPECT_EQ(UndoIndex(), before + 1) << c.golden;
        EXPECT_FALSE(dialog->isVisible()) << c.golden;
        EXPECT_TRUE(FocusInCode()) << c.golden;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(dialog) << c.golden;
    }
    // The page follows the code, as after typing.
    ASSERT_TRUE(window->Web->WaitForPushes());
}

}  // namespace
}  // namespace tarlo
