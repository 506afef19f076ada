// The clean-up and the two error checks in a real main window, with the real
// browser engine and code editor: prompts, Auto-Refresh, the progress
// window, the clipboard, the report window, its double-click, its negligible
// filter and what becomes of it when another document is opened.
#include <gtest/gtest.h>

#include <QToolButton>

#include <algorithm>
#include <map>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include "checker/check_commands.h"
#include "checker/report_window.h"
#include "checker/structure_checks.h"
#include "cleanup/edgarize_command.h"
#include "codeview/code_view.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "editor/file_commands.h"
#include "editor/main_window.h"
#include "shell/progress_windows.h"
#include "pageview/visual_view.h"
#include "support/gui_test_support.h"

using tarlo::test::WaitUntil;

namespace tarlo {
namespace {

class CleanupCheckerWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dialogs = new ScriptedDialogs;
        window = test::StartTestWindow(
            dialogs, [] {}, {},
            [](frmMain& w) {
                InstallCleanup(w, &w);
                InstallChecker(w, &w);
            });
    }
    static void TearDownTestSuite() {
        delete window;
        delete dialogs;
    }
    void SetUp() override {
        dialogs->ClearAsked();
        window->document().AutoFormat = false;
        window->document().AutoColorize = false;
    }

    static void SetCode(const std::string& text) {
        window->txtCode->SetTextUtf8(text);
        ASSERT_TRUE(window->Web->WaitForPushes());
    }
    static void AutoRefreshOn() {
        window->chkAuto->setChecked(true);
        window->timRefresh->start();
    }
    static CheckCommands* Checks() { return window->findChild<CheckCommands*>("CheckCommands"); }
    static frmVal* Report() { return Checks() ? Checks()->reportWindow() : nullptr; }
    static QTreeWidgetItem* Row(int i) { return Report()->lvProbs->topLevelItem(i); }
    static QString Selected() { return window->txtCode->selectedText(); }
    static void DoubleClickRow(int i) {
        Report()->lvProbs->setCurrentItem(Row(i));
        emit Report()->lvProbs->itemDoubleClicked(Row(i), 0);
    }

    static inline frmMain* window = nullptr;
    static inline ScriptedDialogs* dialogs = nullptr;
};

TEST_F(CleanupCheckerWindowTest, CleanUpAsksThenReplacesTheDocument) {
    SetCode(
        "<html><head><title>r</title></head><body><p class=MsoNormal>Net "
        "<b>sales</b> rose<o:p></o:p></p></body></html>");
    AutoRefreshOn();
    QGuiApplication::clipboard()->setText("the user's own copy");

    // "No" changes nothing, not even Auto-Refresh.
    dialogs->Queue(Answer::No);
    ASSERT_TRUE(window->commands().Run(CommandId::CleanUp));
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_EQ(dialogs->asked()[0].title, "Tarlo Code cleaner");
    EXPECT_TRUE(dialogs->asked()[0].text.startsWith(
        "This process can take a very long time and cannot be undone."));
    EXPECT_EQ(dialogs->asked()[0].buttons, Buttons::YesNo);
    EXPECT_TRUE(window->chkAuto->isChecked());
    EXPECT_NE(window->txtCode->TextUtf8().find("MsoNormal"), std::string::npos);

    // The menu entry runs the same command.
    dialogs->Queue(Answer::Yes);
    window->menuAction("mnuEdgarize")->trigger();
    EXPECT_EQ(dialogs->asked().size(), 2u);
    EXPECT_FALSE(window->chkAuto->isChecked());
    EXPECT_FALSE(window->timRefresh->isActive());
    const std::string code = window->txtCode->TextUtf8();
    EXPECT_EQ(code.find("MsoNormal"), std::string::npos) << code;
    EXPECT_EQ(code.find("o:p"), std::string::npos) << code;
    // The blank after the bold word survives.
    EXPECT_NE(code.find("<b>sales</b> rose"), std::string::npos) << code;
    EXPECT_NE(code.find("<title>"), std::string::npos) << code;
    EXPECT_EQ(window->txtStatus->text(), "Code is accurate.");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "the user's own copy");
    EXPECT_EQ(window->progress().edgProgress(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    auto* lbltest = window->findChild<QLabel*>("lbltest");
    ASSERT_NE(lbltest, nullptr);
    EXPECT_TRUE(lbltest->text().startsWith("Code Size : Before ")) << lbltest->text().toStdString();
    EXPECT_TRUE(lbltest->text().endsWith(" Minutes Passed"));
}

// The page engine adds table sections and hands characters over raw: the
// clean-up takes both away, with what else EDGAR refuses, and keeps the rows
// and every character as a reference.
TEST_F(CleanupCheckerWindowTest, CleanUpLeavesNothingEdgarRefusesThatItCanTakeAway) {
    SetCode(
        "<html><head><meta http-equiv=Content-Type content=\"text/html; charset=windows-1252\">"
        "<link rel=File-List href=\"x_files/filelist.xml\"><script>var a = '<p>';</script>"
        "<style>p { margin: 0 }</style>"
        "</head><body><p>Caf&eacute; &#8217;24&nbsp;&middot; A</p>"
        "<table><tr><td>one</td><td colspan=2>two</td></tr></table></body></html>");
    dialogs->Queue(Answer::Yes);
    ASSERT_TRUE(window->commands().Run(CommandId::CleanUp));
    const std::string code = window->txtCode->TextUtf8();
    for (const char* gone :
         {"tbody", "http-equiv", "<link", "<script", "var a", "<style", "margin"}) {
        EXPECT_EQ(code.find(gone), std::string::npos) << gone << " in " << code;
    }
    EXPECT_TRUE(std::all_of(code.begin(), code.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80;
    })) << code;
    EXPECT_NE(code.find("Caf&#233;"), std::string::npos) << code;
    EXPECT_NE(code.find("&#146;24"), std::string::npos) << code;
    EXPECT_NE(code.find("&#183; A"), std::string::npos) << code;
    EXPECT_NE(code.find("<td colspan=\"2\">two</td>"), std::string::npos) << code;
}

TEST_F(CleanupCheckerWindowTest, CleaningInlineXbrlNamesItsFormOrWarnsThatTheTaggingGoes) {
    // XHTML with tagging is cleaned in the form that keeps it, and the
    // question says so.
    const std::string filing =
        "<?xml version='1.0'?>\r\n<html xmlns=\"http://www.w3.org/1999/xhtml\" "
        "xmlns:ix=\"http://www.xbrl.org/2013/inlineXBRL\"><body><p>Revenue "
        "<ix:nonFraction name=\"us-gaap:Revenues\" contextRef=\"c1\">12</ix:nonFraction></p>"
        "</body></html>";
    SetCode(filing);
    dialogs->Queue(Answer::No);
    ASSERT_TRUE(window->commands().Run(CommandId::CleanUp));
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_TRUE(dialogs->asked()[0].text.startsWith(
        "This document is Inline XBRL: Clean up runs in its Inline XBRL form"))
        << dialogs->asked()[0].text.toStdString();
    EXPECT_TRUE(dialogs->asked()[0].text.contains("cannot be undone"));
    EXPECT_EQ(window->txtCode->TextUtf8(), filing);

    // Tagging in a page that is not XHTML cannot be kept: the warning says
    // it goes, and No is the default.
    dialogs->ClearAsked();
    const std::string html =
        "<html><body><p>Revenue <ix:nonFraction name=\"us-gaap:Revenues\">12</ix:nonFraction>"
        "</p></body></html>";
    SetCode(html);
    dialogs->Queue(Answer::No);
    ASSERT_TRUE(window->commands().Run(CommandId::CleanUp));
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_TRUE(dialogs->asked()[0].text.startsWith("This document is Inline XBRL. Cleaning it"))
        << dialogs->asked()[0].text.toStdString();
    EXPECT_EQ(dialogs->asked()[0].buttons, Buttons::YesNoDefaultNo);
    EXPECT_EQ(dialogs->asked()[0].icon, Icon::Warning);
    EXPECT_EQ(window->txtCode->TextUtf8(), html);
}

TEST_F(CleanupCheckerWindowTest, TheReportShowsEachRecordWhole) {
    // The report text splits a field that holds "|"; the window, fed the
    // records, shows every field as found and leads to the record's position.
    SetCode("<p>a|b</p>");
    frmVal report(*window);
    report.Load({{"Stray bar", "a|b", "Warning", "Remove it", 4},
                 {"Missing", "<TITLE>", "Error", "Add it", 0}});
    ASSERT_EQ(report.lvProbs->topLevelItemCount(), 2);
    QTreeWidgetItem* row = report.lvProbs->topLevelItem(0);
    EXPECT_EQ(row->text(1), "a|b");
    EXPECT_EQ(row->text(2), "Warning");
    EXPECT_EQ(row->text(kColumnRecommendation), "Remove it");
    EXPECT_EQ(report.Panel(1)->text(), "1 error");
    EXPECT_EQ(report.Panel(2)->text(), "1 warning");
    report.lvProbs->setCurrentItem(row);
    report.lvProbs_DblClick();
    EXPECT_EQ(window->txtCode->SelStart(), 4);
    EXPECT_EQ(window->txtCode->SelLength(), 1);
}

TEST_F(CleanupCheckerWindowTest, StructureCheckReportsAndLeadsToTheProblem) {
    SetCode(
        "<html><head></head><body><font size=2><font color=red>x</font></font>"
        "<o:p></o:p></body></html>");
    AutoRefreshOn();
    dialogs->Queue(Answer::No);
    window->commands().Run(CommandId::CheckStructure);
    EXPECT_EQ(dialogs->asked().back().title, "Tarlo Error checker");
    EXPECT_EQ(dialogs->asked().back().text,
              "This process can take a very long time. Do you wish to continue?");
    EXPECT_TRUE(window->chkAuto->isChecked());
    EXPECT_EQ(Report(), nullptr);

    dialogs->Queue(Answer::Yes);
    window->commands().Run(CommandId::CheckStructure);
    EXPECT_FALSE(window->chkAuto->isChecked());
    EXPECT_FALSE(window->timRefresh->isActive());
    EXPECT_EQ(window->progress().edgProgress(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    frmVal* report = Report();
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->isVisible());
    EXPECT_EQ(report->windowTitle(), "Error Report");
    EXPECT_TRUE(report->windowFlags().testFlag(Qt::Tool));
    QTreeWidget* list = report->lvProbs;
    ASSERT_EQ(list->columnCount(), 6);
    EXPECT_EQ(list->headerItem()->text(kColumnLine), "Line");
    EXPECT_EQ(list->headerItem()->text(kColumnColumn), "Column");
    EXPECT_EQ(list->headerItem()->text(kColumnRecommendation), "Recommendation");
    // 2585 twips at first, and wide enough for "Improper or missing code".
    EXPECT_GT(list->columnWidth(kColumnIssue), 172);
    EXPECT_LT(list->columnWidth(kColumnIssue), 260);
    // Nested fonts, the missing title, and the two paragraph marks.
    ASSERT_EQ(list->topLevelItemCount(), 4);
    EXPECT_EQ(Row(0)->text(0), "Nested codes");
    EXPECT_EQ(Row(1)->text(2), "Error");
    EXPECT_EQ(Row(1)->foreground(2).color(), QColor(Qt::red));
    EXPECT_TRUE(Row(1)->font(2).bold());
    EXPECT_TRUE(Row(1)->font(kColumnRecommendation).bold());
    EXPECT_FALSE(Row(0)->font(2).bold());
    EXPECT_NE(Row(0)->foreground(2).color(), QColor(Qt::red));
    EXPECT_FALSE(Row(0)->icon(0).isNull());
    EXPECT_EQ(report->Panel(1)->text(), "1 error");
    EXPECT_EQ(report->Panel(2)->text(), "3 warnings");
    EXPECT_EQ(report->Panel(3)->text(), "No negligible items");

    // A 1-based position selects the second character of the tag.
    DoubleClickRow(0);
    const std::string code = window->txtCode->TextUtf8();
    const int font = static_cast<int>(code.find("<font"));
    EXPECT_EQ(window->txtCode->SelStart(), font + 1);
    EXPECT_EQ(window->txtCode->SelLength(), 1);
    EXPECT_EQ(Selected(), "f");
    // The row's line and column are those of the character it selects.
    EXPECT_EQ(Row(0)->text(kColumnLine), "1");
    EXPECT_EQ(Row(0)->text(kColumnColumn), QString::number(font + 2));
    EXPECT_TRUE(WaitUntil([] { return window->txtCode->hasFocus(); }, 3000));
    // A 0-based position selects the first character.
    DoubleClickRow(2);
    EXPECT_EQ(window->txtCode->SelStart(), static_cast<int>(code.find("<o:p>")));
    EXPECT_EQ(Selected(), "<");
}

TEST_F(CleanupCheckerWindowTest, EdgarCheckChecksTheCodeAsItIsAndReplacesTheReport) {
    // No question, no refresh: the raw characters in the code are checked.
    SetCode(
        "<html><head><title>t</title></head><body>caf\u00e9 \u00a9 2024 \u2014 end</body></html>");
    window->commands().Run(CommandId::CheckEdgar);
    EXPECT_TRUE(dialogs->asked().empty());
    frmVal* first = Report();
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(first->lvProbs->topLevelItemCount(), 2);
    EXPECT_EQ(Row(0)->text(1), "\u00a9");
    EXPECT_EQ(first->Panel(1)->text(), "1 error");
    EXPECT_EQ(first->Panel(2)->text(), "1 warning");
    EXPECT_EQ(window->progress().edgProgress(), nullptr);
    // The double-click selects the whole character, two bytes of UTF-8.
    DoubleClickRow(0);
    EXPECT_EQ(Selected(), "\u00a9");
    DoubleClickRow(1);
    EXPECT_EQ(Selected(), "\u2014");

    // The next run replaces the window; rows are never appended.
    const QPointer<frmVal> old(first);
    SetCode("<html><head><title>t</title></head><body>plain</body></html>");
    window->commands().Run(CommandId::CheckEdgar);
    EXPECT_TRUE(WaitUntil([&] { return old.isNull(); }, 3000));
    ASSERT_NE(Report(), nullptr);
    EXPECT_EQ(Report()->lvProbs->topLevelItemCount(), 0);
    EXPECT_EQ(Report()->Panel(1)->text(), "No errors");
    EXPECT_EQ(Report()->Panel(2)->text(), "No warnings");
    EXPECT_EQ(Report()->Panel(3)->text(), "No negligible items");
}

TEST_F(CleanupCheckerWindowTest, EdgarRulesCheckRefreshesListsWhatEdgarRefusesAndLeadsThere) {
    SetCode(
        "<html><head><title>t</title></head><body><table><tbody><tr>"
        "<td onclick=\"go()\">a</td></tr></tbody></table>"
        "<a href=\"http://example.com/x.htm\">b</a></body></html>");
    AutoRefreshOn();
    // Typed in the page since the last refresh: the check sees it.
    ASSERT_TRUE(
        window->Web->RunScript("document.body.appendChild(document.createElement("
                               "'iframe')); true"));
    dialogs->ClearAsked();
    QAction* entry = window->menuAction("mnuEdgarRules");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(), "EDGAR &Rules Check");
    auto* button = window->findChild<QToolButton*>("cmdEdgarRules");
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->toolTip().isEmpty());
    EXPECT_FALSE(button->icon().isNull());
    entry->trigger();
    // No question: the check is quick. Auto-Refresh goes off, as for the
    // error check, so that the places stay where the report says.
    EXPECT_TRUE(dialogs->asked().empty());
    EXPECT_FALSE(window->chkAuto->isChecked());
    const std::string code = window->txtCode->TextUtf8();
    ASSERT_NE(code.find("<iframe"), std::string::npos) << code;

    frmVal* report = Report();
    ASSERT_NE(report, nullptr);
    ASSERT_TRUE(report->isVisible());
    std::map<std::string, int> rowOf;
    for (int i = 0; i < report->lvProbs->topLevelItemCount(); ++i) {
        const std::string what = Row(i)->text(1).toStdString();
        for (const char* subject : {"tbody", "onclick", "example.com", "iframe"}) {
            if (what.find(subject) != std::string::npos && !rowOf.count(subject))
                rowOf[subject] = i;
        }
        EXPECT_TRUE(Row(i)->text(2) == "Error" || Row(i)->text(2) == "Warning");
    }
    for (const char* subject : {"tbody", "onclick", "example.com", "iframe"}) {
        EXPECT_TRUE(rowOf.count(subject)) << subject << " not reported";
    }
    EXPECT_NE(report->Panel(1)->text(), "No errors");
    // Double-click leads to the place in the code.
    if (rowOf.count("tbody")) {
        DoubleClickRow(rowOf["tbody"]);
        EXPECT_EQ(code.substr(static_cast<std::size_t>(window->txtCode->SelStart()), 6), "<tbody");
    }
    if (rowOf.count("onclick")) {
        DoubleClickRow(rowOf["onclick"]);
        EXPECT_EQ(code.substr(static_cast<std::size_t>(window->txtCode->SelStart()), 7), "onclick");
    }

    // After the clean-up, what it can take away is no longer reported.
    dialogs->Queue(Answer::Yes);
    ASSERT_TRUE(window->commands().Run(CommandId::CleanUp));
    window->commands().Run(CommandId::CheckEdgarRules);
    ASSERT_NE(Report(), nullptr);
    for (int i = 0; i < Report()->lvProbs->topLevelItemCount(); ++i) {
        EXPECT_EQ(Row(i)->text(1).toStdString().find("tbody"), std::string::npos);
    }
}

TEST_F(CleanupCheckerWindowTest, EdgarRulesReportSaysWhereItStops) {
    std::string many = "<html><head><title>t</title></head><body>";
    for (int i = 0; i < kEdgarRulesReportLimit + 5; ++i) many += "<span>x</span>";
    SetCode(many + "</body></html>");
    window->commands().Run(CommandId::CheckEdgarRules);
    ASSERT_NE(Report(), nullptr);
    const int rows = Report()->lvProbs->topLevelItemCount();
    EXPECT_EQ(rows, kEdgarRulesReportLimit + 1);
    EXPECT_TRUE(Row(rows - 1)->text(0).startsWith("The list stops here"))
        << Row(rows - 1)->text(0).toStdString();
}

TEST_F(CleanupCheckerWindowTest, AReportOfAnotherDocumentIsMarkedAndLeadsNowhere) {
    FileCommands files(*window, nullptr);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString other =
        test::WriteFile(dir.path(), "other.html",
                        "<html><head><title>o</title></head><body>"
                        "<p>another filing, longer than the first</p></body></html>");

    SetCode("<html><head></head><body><o:p></o:p> text</body></html>");
    dialogs->Queue(Answer::Yes);
    window->commands().Run(CommandId::CheckStructure);
    const QPointer<frmVal> report(Report());
    ASSERT_NE(report, nullptr);
    ASSERT_EQ(report->lvProbs->topLevelItemCount(), 3);
    EXPECT_FALSE(report->documentClosed());
    EXPECT_FALSE(report->lblDocumentClosed->isVisible());

    // Open (the unsaved code let go): the report stays for reading, marked,
    // and its rows lead nowhere.
    dialogs->Queue(Answer::No);
    ASSERT_TRUE(files.OpenDocumentFile(other));
    ASSERT_FALSE(report.isNull());
    EXPECT_TRUE(report->isVisible());
    EXPECT_EQ(report->lvProbs->topLevelItemCount(), 3);
    EXPECT_TRUE(report->documentClosed());
    EXPECT_TRUE(report->lblDocumentClosed->isVisible());
    EXPECT_EQ(report->lblDocumentClosed->text(),
              "This report is for a document that is no longer open.");
    window->txtCode->SetSel(0, 0);
    DoubleClickRow(1);
    EXPECT_EQ(window->txtCode->SelStart(), 0);
    EXPECT_EQ(window->txtCode->SelLength(), 0);
    report->lvProbs->setCurrentItem(Row(2));
    report->lvProbs_DblClick();
    EXPECT_EQ(window->txtCode->SelLength(), 0);
    // A failed open changes nothing: the document is still the one open.
    EXPECT_FALSE(files.OpenDocumentFile(dir.filePath("missing.html")));

    // A new run reports on the open document, unmarked, and leads into it.
    SetCode(
        "<html><head><title>t</title></head><body><font size=2><font>x</font></font>"
        "</body></html>");
    dialogs->Queue(Answer::Yes);
    window->commands().Run(CommandId::CheckStructure);
    EXPECT_TRUE(WaitUntil([&] { return report.isNull(); }, 3000));
    const QPointer<frmVal> last(Report());
    ASSERT_NE(last, nullptr);
    EXPECT_FALSE(last->documentClosed());
    EXPECT_FALSE(last->lblDocumentClosed->isVisible());
    ASSERT_EQ(last->lvProbs->topLevelItemCount(), 1);
    window->txtCode->SetSel(0, 0);
    DoubleClickRow(0);
    EXPECT_EQ(Selected(), "f");

    // New marks the report too; a New the user cancels does not.
    window->document().DocumentPath.clear();
    dialogs->Queue(Answer::Yes);               // save first?
    dialogs->Queue(std::optional<QString>());  // ... then cancel the save dialog
    files.NewDocument();
    EXPECT_NE(window->txtCode->TextUtf8(), "");
    EXPECT_FALSE(last->documentClosed());
    dialogs->Queue(Answer::No);
    files.NewDocument();
    EXPECT_EQ(window->txtCode->TextUtf8(), "");
    ASSERT_FALSE(last.isNull());
    EXPECT_TRUE(last->documentClosed());
    EXPECT_TRUE(last->lblDocumentClosed->isVisible());
}

TEST_F(CleanupCheckerWindowTest, NegligibleItemsCanBeHiddenWithoutChangingTheCounts) {
    SetCode("<p>x</p>");
    const std::vector<ProblemRecord> records = {
        {"Immediate similar codes", "<B>", "Negligible", "Can be ignored", 3},
        {"Nested codes", "<FONT>", "Warning", "Combine", 1},
        {"Immediate similar codes", "<I>", "Negligible", "Can be ignored", 5},
        {"Improper or missing code", "<TITLE>", "Error", "Add", 0},
    };
    frmVal report(*window);
    report.Load(records);
    report.show();
    QTreeWidget* list = report.lvProbs;
    ASSERT_EQ(list->topLevelItemCount(), 4);
    // Ticked when the window opens: every row shows.
    EXPECT_EQ(report.chkNegligible->text(), "Show negligible items");
    EXPECT_TRUE(report.chkNegligible->isChecked());
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(list->topLevelItem(i)->isHidden()) << i;
    const QString counts[] = {report.Panel(1)->text(), report.Panel(2)->text(),
                              report.Panel(3)->text()};
    EXPECT_EQ(counts[2], "2 negligible items");

    report.chkNegligible->click();
    EXPECT_FALSE(report.chkNegligible->isChecked());
    EXPECT_TRUE(list->topLevelItem(0)->isHidden());
    EXPECT_FALSE(list->topLevelItem(1)->isHidden());
    EXPECT_TRUE(list->topLevelItem(2)->isHidden());
    EXPECT_FALSE(list->topLevelItem(3)->isHidden());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(report.Panel(i + 1)->text(), counts[i]) << i;
    // The rows left still lead to their problems.
    report.lvProbs->setCurrentItem(list->topLevelItem(1));
    report.lvProbs_DblClick();
    EXPECT_EQ(window->txtCode->SelStart(), 1);

    report.chkNegligible->click();
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(list->topLevelItem(i)->isHidden()) << i;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(report.Panel(i + 1)->text(), counts[i]) << i;

    // Rows loaded while the box is clear come hidden as well.
    frmVal later(*window);
    later.chkNegligible->setChecked(false);
    later.Load(records);
    EXPECT_TRUE(later.lvProbs->topLevelItem(2)->isHidden());
    EXPECT_FALSE(later.lvProbs->topLevelItem(3)->isHidden());
}

TEST_F(CleanupCheckerWindowTest, SeverityColourStaysReadable) {
    // White text on a white list would vanish: the list's own colour is used.
    EXPECT_EQ(SeverityColour(kWhite, Qt::white, Qt::black), QColor(Qt::black));
    EXPECT_EQ(SeverityColour(kBlack, Qt::white, Qt::darkGray), QColor(Qt::black));
    EXPECT_EQ(SeverityColour(kWhite, Qt::black, Qt::gray), QColor(Qt::white));
}

TEST_F(CleanupCheckerWindowTest, ReportRowsGiveTheirPlaceInCharacters) {
    // Rows come grouped by check, not by place; a tag that is no place in
    // the text gives no line.
    const std::string text = "a\r\nb\u00e9c\rd";
    std::vector<ReportRow> rows;
    for (const char* tag : {"8", "0", "6", "-1", "99", "x"}) rows.push_back({"", "", "", "", tag});
    const auto places = RowPlaces(text, rows);
    ASSERT_EQ(places.size(), 6u);
    const std::pair<std::size_t, std::size_t> expected[] = {{3, 1}, {1, 1}, {2, 3}};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(places[i]) << i;
        EXPECT_EQ(places[i]->line, expected[i].first) << i;
        EXPECT_EQ(places[i]->column, expected[i].second) << i;
    }
    for (int i = 3; i < 6; ++i) EXPECT_FALSE(places[i]) << i;
}

TEST_F(CleanupCheckerWindowTest, RulesReportIsNamedFitsItsTextsAndKeepsItsSize) {
    SetCode(
        "<html>\n<head><title>t</title></head>\n<body>\n"
        "<p>caf\u00e9 <script>x</script></p>\n</body></html>\n");
    window->commands().Run(CommandId::CheckEdgarRules);
    frmVal* report = Report();
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->windowTitle(), "EDGAR Rules Check");
    QTreeWidget* list = report->lvProbs;
    // Places as tarlo-cli validate gives them: "é" is one character.
    std::map<std::string, std::pair<QString, QString>> placeOf;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const std::string code = Row(i)->text(kColumnCode).toStdString();
        for (const char* what : {"5.2.1.1", "script"}) {
            if (code.find(what) != std::string::npos && !placeOf.count(what))
                placeOf[what] = {Row(i)->text(kColumnLine), Row(i)->text(kColumnColumn)};
        }
    }
    EXPECT_EQ(placeOf["5.2.1.1"], std::make_pair(QString("4"), QString("7")));
    EXPECT_EQ(placeOf["script"], std::make_pair(QString("4"), QString("9")));

    // The long messages widen their columns, within bounds, and what is
    // still cut shows whole as a tool tip; the window widens to show them.
    EXPECT_GT(list->columnWidth(kColumnIssue), 172);
    EXPECT_LE(list->columnWidth(kColumnIssue), 420);
    EXPECT_LE(list->columnWidth(kColumnRecommendation), 560);
    int tips = 0;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QString tip = Row(i)->toolTip(kColumnIssue);
        if (tip.isEmpty()) continue;
        EXPECT_EQ(tip, Row(i)->text(kColumnIssue));
        ++tips;
    }
    EXPECT_GT(tips, 0);
    EXPECT_GT(report->width(), 696);  // 10440 twips

    // Closed by the user, or replaced by the next run: the next report opens
    // as large as the last one was.
    report->resize(640, 260);
    const QPointer<frmVal> closed(report);
    report->close();
    EXPECT_TRUE(WaitUntil([&] { return closed.isNull(); }, 3000));
    window->commands().Run(CommandId::CheckEdgarRules);
    ASSERT_NE(Report(), nullptr);
    EXPECT_EQ(Report()->size(), QSize(640, 260));
    Report()->resize(610, 240);
    window->commands().Run(CommandId::CheckEdgar);
    ASSERT_NE(Report(), nullptr);
    EXPECT_EQ(Report()->size(), QSize(610, 240));
    EXPECT_EQ(Report()->windowTitle(), "Error Report");
}

// A filing written as one long line: the clean-up and the checks read it as
// written, and a report row leads to the right place in it.
TEST_F(CleanupCheckerWindowTest, LongLineFilingsAreCleanedAndCheckedAsWritten) {
    std::string filing = "<html><head><title>r</title></head><body>";
    for (int i = 0; filing.size() < 30000; ++i) {
        filing += "<p class=MsoNormal>Row " + std::to_string(i) + "<o:p></o:p></p>";
    }
    filing += "<font size=2><font color=red>x</font></font></body></html>";
    SetCode(filing);
    ASSERT_GT(window->txtCode->SoftBreakCount(), 3);
    dialogs->Queue(Answer::Yes);
    window->commands().Run(CommandId::CheckStructure);
    frmVal* report = Report();
    ASSERT_NE(report, nullptr);
    int nested = -1;
    for (int i = 0; i < report->lvProbs->topLevelItemCount(); ++i) {
        if (Row(i)->text(0) == "Nested codes") nested = i;
    }
    ASSERT_GE(nested, 0);
    DoubleClickRow(nested);
    EXPECT_EQ(window->txtCode->SelStart(), static_cast<int>(filing.find("<font")) + 1);
    EXPECT_EQ(window->txtCode->TextRange(window->txtCode->SelStart(), 1), "f");
    report->close();

    dialogs->Queue(Answer::Yes);
    ASSERT_TRUE(window->commands().Run(CommandId::CleanUp));
    // Every paragraph comes back whole and in order, with nothing of the
    // view's own breaks between them.
    const std::string cleaned = window->txtCode->TextUtf8();
    std::string rows;
    for (int i = 0; filing.find("Row " + std::to_string(i) + "<") != std::string::npos; ++i) {
        rows += "<p>Row " + std::to_string(i) + "</p>";
    }
    EXPECT_NE(cleaned.find(rows), std::string::npos);
    EXPECT_EQ(cleaned.find("MsoNormal"), std::string::npos);
}

}  // namespace
}  // namespace tarlo
