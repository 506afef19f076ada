// The code window's services in a real main window: the browser engine and
// the code editor, headless.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTest>
#include <random>

#include "codeview/code_commands.h"
#include "codeview/code_view.h"
#include "codeview/html_colorizer.h"
#include "codeview/html_formatter.h"
#include "document/undo_history.h"
#include "editor/main_window.h"
#include "editor/status_panels.h"
#include "editor/status_text.h"
#include "pageview/visual_view.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "shell/progress_windows.h"
#include "support/gui_test_support.h"

using tarlo::test::WaitUntil;

namespace tarlo {
namespace {

constexpr WinColor kTag = RgbColor(0, 0, 255);
constexpr WinColor kName = RgbColor(255, 0, 0);
constexpr WinColor kValue = RgbColor(0, 128, 0);
constexpr WinColor kGrey = RgbColor(128, 128, 128);

class CodeServicesTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dialogs = new ScriptedDialogs;
        window = test::StartTestWindow(
            dialogs, [] {}, {}, [](frmMain& w) { InstallCodeCommands(w, &w); });
        services = window->findChild<CodeCommands*>("codeWindowServices");
    }
    static void TearDownTestSuite() {
        delete window;
        delete dialogs;
    }
    void SetUp() override {
        window->document().AutoFormat = false;
        window->document().AutoColorize = false;
        code()->setFocus();
    }
    static CodeView* code() { return window->txtCode; }
    static void SetPage(const std::string& html) {
        code()->SetTextUtf8(html);
        ASSERT_TRUE(window->Web->WaitForPushes());
    }
    // Colour of every byte, for comparing with what was typed.
    static std::vector<WinColor> Colours() {
        std::vector<WinColor> out;
        for (int i = 0; i < code()->Length(); ++i) out.push_back(code()->ColourAt(i));
        return out;
    }

    static inline frmMain* window = nullptr;
    static inline ScriptedDialogs* dialogs = nullptr;
    static inline CodeCommands* services = nullptr;
};

TEST_F(CodeServicesTest, TypingATagKeyByKeyColoursIt) {
    ASSERT_NE(services, nullptr);
    code()->SetTextUtf8("");
    const WinColor plain = window->document().Look.ForegroundColor;
    QTest::keyClicks(code(), "<p align=\"a b\">x");
    ASSERT_EQ(code()->TextUtf8(), "<p align=\"a b\">x");
    const std::vector<WinColor> expected = {kTag,   kTag,   kName, kName,  kName,  kName,
                                            kName,  kName,  kName, kValue, kValue, kValue,
                                            kValue, kValue, kTag,  plain};
    EXPECT_EQ(Colours(), expected);
    // A comment opener turns grey with its second "-"; inside, only "<" switches.
    code()->SetTextUtf8("");
    QTest::keyClicks(code(), "<!--a <b= >c");
    EXPECT_EQ(code()->TextUtf8(), "<!--a <b= >c");
    for (int i = 0; i < 6; ++i) EXPECT_EQ(code()->ColourAt(i), kGrey) << i;
    for (int i = 6; i < 12; ++i) EXPECT_EQ(code()->ColourAt(i), kTag) << i;
    // "=" outside a tag is typed like any other character.
    code()->SetTextUtf8("");
    QTest::keyClicks(code(), "a=b");
    EXPECT_EQ(Colours(), std::vector<WinColor>(3, code()->ColourAt(0)));
}

TEST_F(CodeServicesTest, ColorizeAndFormatCommands) {
    SetPage("<html><body><p align=\"left\">a = 5</p><!-- c\r\n <b> --></body></html>");
    window->menuAction("mnuColorize")->trigger();
    const std::string text = code()->TextUtf8();
    EXPECT_EQ(text.find("<p align"), code()->TextUtf8().find("<p align"));  // text unchanged
    const int p = static_cast<int>(text.find("<p align"));
    EXPECT_EQ(code()->ColourAt(p), kTag);
    EXPECT_EQ(code()->ColourAt(p + 2), kName);
    EXPECT_EQ(code()->ColourAt(p + 9), kValue);
    EXPECT_EQ(code()->SizeAt(p), 8.5);
    const int a = static_cast<int>(text.find("a = 5"));
    EXPECT_EQ(code()->ColourAt(a), window->document().Look.ForegroundColor);
    EXPECT_EQ(code()->ColourAt(static_cast<int>(text.find("<b>"))),
              window->document().Look.ForegroundColor);
    EXPECT_EQ(code()->SelStart(), 1);
    EXPECT_EQ(code()->SelLength(), 0);
    EXPECT_EQ(window->progress().codeProgress(), nullptr);  // closed again

    // Format HTML takes the page, lays it out and paints it plain.
    window->menuAction("mnuFormat")->trigger();
    const std::string formatted = code()->TextUtf8();
    EXPECT_EQ(formatted.rfind("\r\n", 0), 0u);
    EXPECT_NE(formatted.find("\r\n     <body>"), std::string::npos);
    EXPECT_EQ(code()->ColourAt(3), window->document().Look.ForegroundColor);
    // With Auto-Format ticked, Colorize formats first.
    SetPage("<html><body><b>x</b></body></html>");
    window->document().AutoFormat = true;
    window->menuAction("mnuColorize")->trigger();
    EXPECT_NE(code()->TextUtf8().find("\r\n          <b>x"), std::string::npos);
    EXPECT_EQ(code()->ColourAt(static_cast<int>(code()->TextUtf8().find("<b>"))), kTag);
}

// A filing written as one long line: the view shows it in pieces, and every
// command still works on the line as written.
TEST_F(CodeServicesTest, ALongLineFilingIsEditedAsWritten) {
    std::string doc = "<html><body>";
    for (int i = 0; doc.size() < 40000; ++i) {
        doc += "<td align=\"right\">caf\xC3\xA9 " + std::to_string(i) + "</td>";
    }
    doc += "</body></html>";
    SetPage(doc);
    ASSERT_GT(code()->SoftBreakCount(), 5);
    // The caret panels count the document's lines and characters.
    const int deep = static_cast<int>(doc.find("<td", 30000));
    code()->SetSel(deep, 0);
    window->ShowCaretPosition();
    EXPECT_EQ(window->SB->PanelText(StatusPanel::Line).toStdString(), LinePanelText(1));
    const auto column = QString::fromUtf8(doc.data(), deep).size();
    EXPECT_EQ(window->SB->PanelText(StatusPanel::Column).toStdString(), ColumnPanelText(column));
    QTest::keyClick(code(), Qt::Key_X);
    EXPECT_EQ(window->SB->PanelText(StatusPanel::Column).toStdString(),
              ColumnPanelText(column + 1));
    std::string typed = doc;
    typed.insert(static_cast<std::size_t>(deep), "x");
    EXPECT_EQ(code()->TextUtf8(), typed);
    // Undo and redo give back the line exactly, as do the page and Save.
    window->menuAction("mnuUndo")->trigger();
    EXPECT_EQ(code()->TextUtf8(), doc);
    window->menuAction("mnuRedo")->trigger();
    EXPECT_EQ(code()->TextUtf8(), typed);
    ASSERT_TRUE(window->Web->WaitForPushes());
    EXPECT_EQ(window->document().Text(), typed);
    // Colorize colours each byte as the colorizer reads the line as written.
    window->menuAction("mnuColorize")->trigger();
    ASSERT_EQ(code()->TextUtf8(), typed);
    const std::vector<ColourRole> roles = ColourRolesPerByte(typed);
    const ColourSettings& colours = window->document().Look.Colours;
    for (std::size_t i = 0; i < typed.size(); i += 97) {
        ASSERT_EQ(code()->ColourAt(static_cast<int>(i)), RoleColour(roles[i], colours)) << i;
    }
    // Format HTML lays the line out; the view's pieces are gone with it.
    window->menuAction("mnuFormat")->trigger();
    EXPECT_EQ(code()->TextUtf8(), FormatHtml(typed));
    EXPECT_EQ(code()->SoftBreakCount(), 0);
}

// Random edits of a long-line filing in the main window, undo and redo among
// them, against the same edits on a plain string and its list of states.
TEST_F(CodeServicesTest, RandomEditsWithUndoAndRedoOnALongLine) {
    std::string doc = "<html><body>";
    for (int i = 0; doc.size() < 30000; ++i) doc += "<td>cell " + std::to_string(i) + "</td>";
    doc += "</body></html>";
    SetPage(doc);
    ASSERT_GT(code()->SoftBreakCount(), 3);
    UndoHistory& history = window->document().History();
    std::vector<std::string> states = {doc};
    std::size_t at = 0;  // the state the view shows
    int undos = 0;
    int redos = 0;
    std::mt19937 rng(1208);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto changed = [&](std::string text) {
        states.resize(at + 1);
        states.push_back(std::move(text));
        ++at;
    };
    for (int step = 0; step < 300; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        std::string model = states[at];
        const int caret = pick(static_cast<int>(model.size()) + 1);
        code()->SetSel(caret, 0);
        const int op = pick(6);
        if (op == 0) {
            QTest::keyClick(code(), Qt::Key_Q);
            model.insert(static_cast<std::size_t>(caret), "q");
            changed(model);
        } else if (op == 1 && caret > 0) {
            QTest::keyClick(code(), Qt::Key_Backspace);
            model.erase(static_cast<std::size_t>(caret) - 1, 1);
            changed(model);
        } else if (op == 2) {
            const int length = std::min(pick(5000), static_cast<int>(model.size()) - caret);
            if (length == 0) continue;
            code()->SetSel(caret, length);
            code()->cut();
            model.erase(static_cast<std::size_t>(caret), static_cast<std::size_t>(length));
            changed(model);
        } else if (op == 3) {
            const std::size_t hit = model.find("</td>", static_cast<std::size_t>(caret));
            if (hit == std::string::npos) continue;
            ASSERT_EQ(code()->FindInCode("</td>", caret, CodeView::kMatchCase),
                      static_cast<int>(hit));
            code()->ReplaceSelection("</th>");
            model.replace(hit, 5, "</th>");
            changed(model);
        } else if (op == 4 && history.UndoIndex() > 0 && at > 0) {
            services->Undo();
            --at;
            ++undos;
        } else if (op == 5 && at + 1 < states.size()) {
            services->Redo();
            ++at;
            ++redos;
        } else {
            continue;
        }
        ASSERT_EQ(code()->TextUtf8(), states[at]);
    }
    EXPECT_GT(undos, 20);
    EXPECT_GT(redos, 5);
}

TEST_F(CodeServicesTest, FormattingPastTheEditorsLimitKeepsTheCode) {
    // Indentation stops growing at 100 blanks, but 700,000 opening tags
    // would still format into over 64 MB. They stand in a script, which the
    // page keeps as one text, so that showing them costs the page nothing.
    std::string body;
    body.reserve(3600000);
    for (int i = 0; i < 700000; ++i) body += "<li>x";
    code()->SetTextUtf8("<html><body><script>" + body + "</script></body></html>");
    const std::string before = code()->TextUtf8();
    dialogs->ClearAsked();
    window->menuAction("mnuFormat")->trigger();
    EXPECT_EQ(code()->TextUtf8(), before);
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_TRUE(dialogs->asked()[0].text.startsWith("Formatted, this document's code would be "))
        << dialogs->asked()[0].text.toStdString();
    EXPECT_TRUE(dialogs->asked()[0].text.contains("more than Tarlo can edit (64.0 MB)"));
    EXPECT_EQ(window->progress().codeProgress(), nullptr);
    // The same page again (Auto-Refresh would do it every minute) is not told twice.
    window->menuAction("mnuFormat")->trigger();
    EXPECT_EQ(dialogs->asked().size(), 1u);
    // A page that formats within the limit is formatted as usual.
    SetPage("<html><body><wbr><b>x</b></body></html>");
    window->menuAction("mnuFormat")->trigger();
    EXPECT_EQ(code()->TextUtf8().rfind("\r\n<html>", 0), 0u);
    EXPECT_NE(code()->TextUtf8().find("\r\n               <b>x"), std::string::npos);
    EXPECT_EQ(dialogs->asked().size(), 1u);
}

TEST_F(CodeServicesTest, UndoAndRedoThroughSixtyChanges) {
    std::vector<std::string> texts;
    std::vector<std::vector<WinColor>> colours;
    code()->SetTextUtf8("<b>");
    for (int n = 1; n <= 60; ++n) {
        // Colour first, then change the text: the snapshot carries both.
        code()->SetRangeColour(0, 3, static_cast<WinColor>(n));
        code()->SetSel(code()->Length(), 0);
        code()->ReplaceSelection(n % 2 ? "x" : "y");
        texts.push_back(code()->TextUtf8());
        colours.push_back(Colours());
    }
    window->menuAction("mnuUndo")->trigger();
    EXPECT_EQ(code()->TextUtf8(), texts[58]);
    EXPECT_EQ(Colours(), colours[58]);  // colours come back exactly
    QTest::keyClick(code(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(code()->TextUtf8(), texts[57]);
    int steps = 2;
    while (window->document().History().UndoIndex() > 0) {
        services->Undo();
        ++steps;
    }
    EXPECT_EQ(steps, 50);
    EXPECT_EQ(code()->TextUtf8(), texts[9]);
    EXPECT_EQ(Colours(), colours[9]);
    services->Undo();  // nothing further back
    EXPECT_EQ(code()->TextUtf8(), texts[9]);
    window->menuAction("mnuRedo")->trigger();
    EXPECT_EQ(code()->TextUtf8(), texts[10]);
    // Loading a snapshot pushes it into the page but records nothing.
    ASSERT_TRUE(window->Web->WaitForPushes());
    EXPECT_TRUE(
        window->Web->OuterHtml().value_or("").contains(QString::fromStdString(texts[10] + "<")));
    EXPECT_EQ(window->document().History().UndoIndex(), 1);
    EXPECT_FALSE(window->document().RestoringUndo);
}

// Each step keeps only the stretch it changed; whatever mix of edits and
// repaints came before, undo shows exactly the text and looks the view had.
TEST_F(CodeServicesTest, StretchRecordingKeepsEverySlotExact) {
    code()->SetTextUtf8("<table><tr><td width=\"50%\">Revenue</td></tr></table>\r\n");
    unsigned seed = 7;
    auto next = [&seed](int below) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned>(below));
    };
    struct Shown {
        std::string text;
        std::vector<StyleRun> runs;
    };
    auto now = [] { return Shown{code()->TextUtf8(), code()->Runs()}; };
    auto same = [](const Shown& slot) {
        return slot.text == code()->TextUtf8() && slot.runs == code()->Runs();
    };
    services->StartHistory();  // a history of this text alone
    std::vector<Shown> recorded = {now()};
    for (int n = 0; n < 40; ++n) {
        const int len = code()->Length();
        // Now and then a recolour or a new plain look first, unrecorded.
        if (n % 3 == 0) code()->SetRangeColour(next(len), 20, static_cast<WinColor>(100 + n));
        if (n % 11 == 5) code()->SetDefaultLook(static_cast<WinColor>(next(3)), 9);
        const int at = next(len + 1);
        code()->SetSel(at, next(4));
        code()->ReplaceSelection(std::string(static_cast<std::size_t>(next(3)), "<a=>"[next(4)]));
        if (code()->SelStart() == at && code()->Length() == len) continue;  // nothing changed
        recorded.push_back(now());
    }
    // Undo in place walks back through the same slots.
    for (std::size_t i = recorded.size() - 1; i > recorded.size() - 6; --i) {
        services->Undo();
        ASSERT_TRUE(same(recorded[i - 1])) << i;
    }
    // Colouring after the last step: undo still shows the slot before exactly.
    services->Redo();
    ASSERT_TRUE(same(recorded[recorded.size() - 5]));
    code()->SetRangeColour(0, code()->Length(), kGrey);
    services->Undo();
    EXPECT_TRUE(same(recorded[recorded.size() - 6]));
    // The history holds the steps' stretches, not the document.
    EXPECT_LT(window->document().History().MemoryBytes(), 50u * 1024);
}

TEST_F(CodeServicesTest, CaseToggleAndParagraphIndent) {
    code()->SetTextUtf8("Hello World");
    const int before = services->CaseToggleCount();
    code()->SetSel(0, 0);
    services->ToggleCase();  // nothing selected: only the count moves
    EXPECT_EQ(code()->TextUtf8(), "Hello World");
    code()->SetSel(0, 5);
    services->ToggleCase();
    const bool upper = (before + 2) % 2 == 0;
    EXPECT_EQ(code()->TextUtf8(), upper ? "HELLO World" : "hello World");
    services->ToggleCase();
    EXPECT_EQ(code()->TextUtf8(), upper ? "hello World" : "HELLO World");
    EXPECT_EQ(services->CaseToggleCount(), before + 3);

    code()->SetTextUtf8("<P>One</P><p>two</p><P></P>");
    const int slot = window->document().History().UndoIndex();
    window->commands().Run(CommandId::IndentFirstLines);
    const std::string nbsp = "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";
    EXPECT_EQ(code()->TextUtf8(), "<P>" + nbsp + "One</P><p>two</p>");
    EXPECT_EQ(window->document().History().UndoIndex(), std::min(slot + 2, 50));  // two steps
    // Without an upper-case paragraph the text stays, but both settings are
    // still changes: the colours go and two steps are recorded.
    code()->SetTextUtf8("<p>low</p>");
    code()->SetRangeColour(0, 3, kTag);
    const int plainSlot = window->document().History().UndoIndex();
    window->commands().Run(CommandId::IndentFirstLines);
    EXPECT_EQ(code()->TextUtf8(), "<p>low</p>");
    EXPECT_EQ(code()->ColourAt(0), code()->ColourAt(5));
    EXPECT_EQ(window->document().History().UndoIndex(), std::min(plainSlot + 2, 50));
}

}  // namespace
}  // namespace tarlo
