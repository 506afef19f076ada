// The formatting tools of the visual view on the real browser engine: each
// changes the page's HTML as its name says, and the window-colour toggle.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

#include "codeview/code_view.h"
#include "editor/document_commands.h"
#include "editor/main_window.h"
#include "editor/visual_commands.h"
#include "pageview/visual_view.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "support/gui_test_support.h"
#include "support/window_suite.h"

using tarlo::test::WaitUntil;

namespace tarlo {
namespace {

class VisualCommandsTest : public test::WindowSuite<VisualCommandsTest> {
  public:
    static void Install(frmMain& w) {
        InstallDocumentCommands(w, &w);
        InstallVisualCommands(w, &w);
    }

  protected:
    void SetUp() override {
        while (dialogs->pending() > 0) dialogs->Message(nullptr, "", "", Buttons::Ok, Icon::None);
        dialogs->ClearAsked();
        window->txtCode->SetTextUtf8(
            "<html><head></head><body><p id=\"p\">hello world</p><p id=\"q\">second</p>"
            "</body></html>");
        ASSERT_TRUE(window->Web->WaitForPushes());
    }

    static QString Page() { return window->Web->OuterHtml().value_or(QString()); }
    static void Select(const char* id) {
        window->Web->RunScript(QStringLiteral("var r=document.createRange();r.selectNodeContents("
                                              "document.getElementById('%1'));var s=getSelection();"
                                              "s.removeAllRanges();s.addRange(r);true")
                                   .arg(id));
    }
    // Runs a command as its button does.
    static void Click(const char* button) {
        auto* b = window->findChild<QToolButton*>(button);
        ASSERT_NE(b, nullptr) << button;
        b->setEnabled(true);
        b->click();
    }
};

TEST_F(VisualCommandsTest, CharacterAndParagraphToolsChangeThePage) {
    Select("p");
    window->MarkCodeAccurate();
    const std::string codeBefore = window->txtCode->TextUtf8();
    Click("cmdBold");
    EXPECT_TRUE(Page().contains(QRegularExpression("<(b|strong)>hello world</(b|strong)>")))
        << Page().toStdString();
    // The focus is in the page, the code waits for a refresh.
    EXPECT_TRUE(WaitUntil([] { return window->Web->hasFocusWithin(); }));
    EXPECT_EQ(window->txtStatus->text(), "Code needs to be refreshed.");
    EXPECT_EQ(window->txtCode->TextUtf8(), codeBefore);

    Select("q");
    Click("cmdItalics");
    EXPECT_TRUE(Page().contains(QRegularExpression("<(i|em)>second</(i|em)>")));
    Select("q");
    Click("cmdUnder");
    EXPECT_TRUE(Page().contains("<u>"));
    Select("q");
    Click("cmdCenter");
    EXPECT_TRUE(Page().contains(QRegularExpression("text-align: ?center|align=\"center\"")));
    Select("q");
    Click("cmdBullets");
    EXPECT_TRUE(Page().contains("<ul>"));

    // The menu entries run the same commands.
    Select("p");
    window->menuAction("mnuNumberedList")->trigger();
    EXPECT_TRUE(Page().contains("<ol>"));
    window->menuAction("mnuRule")->trigger();
    EXPECT_TRUE(Page().contains("<hr>"));

    // Rule and Unlink leave the focus where it was; the paragraph tools
    // hand it to the page.
    for (CommandId command : {CommandId::HorizontalRule, CommandId::Unlink, CommandId::AlignLeft}) {
        window->activateWindow();
        window->txtCode->setFocus();
        ASSERT_TRUE(WaitUntil([] { return window->txtCode->hasFocus(); }));
        window->commands().Run(command);
        QTest::qWait(50);
        const bool toPage = command == CommandId::AlignLeft;
        EXPECT_EQ(window->Web->hasFocusWithin(), toPage) << CommandName(command);
        EXPECT_EQ(window->txtCode->hasFocus(), !toPage) << CommandName(command);
    }

    // A command the engine does not know fails quietly.
    EXPECT_FALSE(window->Web->ExecCommand("LiveResize"));
    EXPECT_TRUE(dialogs->asked().empty());
}

TEST_F(VisualCommandsTest, FontsColoursLinksAndPictures) {
    Select("p");
    window->cmbFontSize->setCurrentText("5 (Large)");
    window->commands().Run(CommandId::FontSize);
    EXPECT_TRUE(Page().contains("size=\"5\"")) << Page().toStdString();

    // A font that is not installed: the substitute's name is what the page gets.
    const QString typed = "No Such Font Tarlo";
    const QString settled = VisualCommands::SettledFontName(typed);
    EXPECT_NE(settled, typed);
    Select("q");
    window->cmbFontName->setCurrentText(typed);
    window->commands().Run(CommandId::FontName);
    EXPECT_TRUE(Page().contains("face=\"" + settled + "\"")) << Page().toStdString();
    EXPECT_FALSE(Page().contains(typed));

    // Cancelled colour dialog: black the first time, then the last chosen.
    window->Web->RunScript("document.getElementById('p').style.color='blue';true");
    Select("p");
    window->commands().Run(CommandId::FontColour);
    // Black on a page whose default is black: the blue is gone.
    EXPECT_FALSE(Page().contains("blue")) << Page().toStdString();
    Select("q");
    dialogs->Queue(std::optional<QColor>(QColor(200, 16, 32)));
    window->commands().Run(CommandId::FontColour);
    EXPECT_TRUE(Page().contains("color=\"#c81020\"")) << Page().toStdString();
    Select("p");
    window->commands().Run(CommandId::FontColour);
    EXPECT_EQ(Page().count("#c81020"), 2) << Page().toStdString();
    EXPECT_EQ(VisualCommands::CssColour(RgbColor(1, 2, 255)), "#0102ff");

    // A link: the address asked for; cancel inserts nothing.
    Select("q");
    dialogs->Queue(std::optional<QString>());
    window->commands().Run(CommandId::InsertLink);
    EXPECT_FALSE(Page().contains("<a "));
    Select("q");
    dialogs->Queue(std::optional<QString>("https://www.sec.gov/a?b=1&c=\"2\""));
    window->menuAction("mnuLink")->trigger();
    EXPECT_TRUE(Page().contains("<a href=\"https://www.sec.gov/a?b=1&amp;c=%222%22\"") ||
                Page().contains("<a href=\"https://www.sec.gov/a?b=1&amp;c=&quot;2&quot;\""))
        << Page().toStdString();
    Select("q");
    window->commands().Run(CommandId::Unlink);
    EXPECT_FALSE(Page().contains("<a "));

    // A picture with its alternate text; quotes in the text stay text.
    Select("p");
    dialogs->Queue(std::optional<QString>("logo.gif"));
    dialogs->Queue(std::optional<QString>());
    window->commands().Run(CommandId::InsertPicture);
    EXPECT_FALSE(Page().contains("<img"));
    dialogs->Queue(std::optional<QString>("logo.gif"));
    dialogs->Queue(std::optional<QString>("The \"Acme\" logo"));
    window->menuAction("mnuGraphic")->trigger();
    EXPECT_TRUE(Page().contains("<img src=\"logo.gif\" alt=\"The &quot;Acme&quot; logo\">"))
        << Page().toStdString();
}

TEST_F(VisualCommandsTest, WindowColourToggleFlipsAndReturns) {
    CodeLook& st = window->document().Look;
    const auto start = st.WindowColorCount;
    ASSERT_EQ(start % 2, 0);
    window->menuAction("mnuColor")->trigger();
    EXPECT_EQ(st.WindowColorCount, start + 1);
    EXPECT_EQ(st.ForegroundColor, kBlack);
    EXPECT_EQ(window->txtCode->ColourAt(0), kBlack);
    EXPECT_EQ(window->txtStatus->text(), "Code is accurate.");
    window->menuAction("mnuColor")->trigger();
    EXPECT_EQ(st.ForegroundColor, kWhite);
    EXPECT_EQ(window->txtCode->ColourAt(0), kWhite);
}

}  // namespace
}  // namespace tarlo
