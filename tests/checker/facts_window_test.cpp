// The Inline XBRL Facts window in a real main window, with the real browser
// engine and code editor: what it lists of a real filing and its counts, the
// filter, sorting by value, the double-click into the code, and a document
// that is no Inline XBRL.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "checker/check_commands.h"
#include "checker/facts_window.h"
#include "codeview/code_view.h"
#include "pageview/visual_view.h"
#include "shell/command_table.h"
#include "support/corpus.h"
#include "support/window_suite.h"

namespace tarlo {
namespace {

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class FactsWindowTest : public test::WindowSuite<FactsWindowTest> {
  public:
    static void Install(frmMain& w) { InstallChecker(w, &w); }

  protected:
    void SetUp() override {
        PlainRefresh();
        dialogs->ClearAsked();
    }
    static void SetCode(const std::string& text) {
        window->txtCode->SetTextUtf8(text);
        ASSERT_TRUE(window->Web->WaitForPushes());
    }
    static FactsWindow* Facts() {
        auto* checks = window->findChild<CheckCommands*>("CheckCommands");
        return checks ? checks->factsWindow() : nullptr;
    }
    static QTreeWidget* List() { return Facts()->lvFacts; }
    static int VisibleRows() {
        int n = 0;
        for (int r = 0; r < List()->topLevelItemCount(); ++r)
            n += List()->topLevelItem(r)->isHidden() ? 0 : 1;
        return n;
    }
    static void DoubleClick(QTreeWidgetItem* item) {
        List()->setCurrentItem(item);
        emit List()->itemDoubleClicked(item, 0);
    }
};

// The menu entry lists every fact of a real filing with the counts of a
// plain search, the filter narrows the list and says how far, and a
// double-click selects exactly the fact's markup in the code.
TEST_F(FactsWindowTest, ListsAFilingsFactsFiltersAndLeadsIntoTheCode) {
    TARLO_NEED_CORPUS();
    std::ifstream in(std::filesystem::path(TARLO_CORPUS_DIR) / "edgar-10k-2024-ixbrl-a.htm",
                     std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    ASSERT_FALSE(text.empty());
    SetCode(text);

    QAction* entry = window->menuAction("mnuIxbrlFacts");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(), "Inline XBRL &Facts");
    entry->trigger();
    ASSERT_NE(Facts(), nullptr);
    EXPECT_TRUE(Facts()->isVisible());
    EXPECT_TRUE(Facts()->lblNotIxbrl->isHidden());

    const std::size_t facts = Count(text, "<ix:nonFraction ") + Count(text, "<ix:nonNumeric ") +
                              Count(text, "<ix:fraction ");
    ASSERT_GT(facts, 100u);
    EXPECT_EQ(static_cast<std::size_t>(List()->topLevelItemCount()), facts);
    const QString totals = QStringLiteral("%1 facts, %2 contexts, %3 units")
                               .arg(facts)
                               .arg(Count(text, "<xbrli:context "))
                               .arg(Count(text, "<xbrli:unit "));
    EXPECT_EQ(Facts()->lblCounts->text(), totals);

    // Any case, any column; the totals stay those of the whole document.
    Facts()->txtFilter->setText(QStringLiteral("revenuefromcontract"));
    const int narrowed = VisibleRows();
    EXPECT_GT(narrowed, 0);
    EXPECT_LT(narrowed, List()->topLevelItemCount());
    EXPECT_EQ(Facts()->lblCounts->text(),
              QStringLiteral("%1; the filter shows %2").arg(totals).arg(narrowed));
    for (int r = 0; r < List()->topLevelItemCount(); ++r) {
        const QTreeWidgetItem* item = List()->topLevelItem(r);
        if (!item->isHidden()) {
            EXPECT_TRUE(item->text(kFactConcept).contains("RevenueFromContract")) << r;
        }
    }

    // The fact id="f-60", found in the bytes by plain search.
    const std::size_t id = text.find("id=\"f-60\"");
    ASSERT_NE(id, std::string::npos);
    const std::size_t start = text.rfind("<ix:nonFraction", id);
    const std::size_t end = text.find("</ix:nonFraction>", id) + 17;
    QTreeWidgetItem* row = nullptr;
    for (int r = 0; r < List()->topLevelItemCount() && !row; ++r) {
        QTreeWidgetItem* item = List()->topLevelItem(r);
        if (!item->isHidden() && item->text(kFactShown) == "294,866" &&
            item->text(kFactPeriod) == "2023-10-01/2024-09-28")
            row = item;
    }
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(kFactValue), "294866000000");
    DoubleClick(row);
    EXPECT_EQ(window->Selection().start, static_cast<int>(start));
    EXPECT_EQ(window->Selection().length, static_cast<int>(end - start));
    EXPECT_EQ(window->txtCode->selectedText(),
              QString::fromUtf8(text.substr(start, end - start).c_str()));
    // The page brings the same fact into view.
    const char* const inView =
        "(function(){var r=document.getElementById('f-60').getBoundingClientRect();"
        "return r.height>0&&r.top>=0&&r.bottom<=innerHeight;})()";
    EXPECT_TRUE(window->Web->RunScript(inView).value_or(false).toBool());

    // Marking the facts changes what the page shows, never the document:
    // the code, the page's markup and its record of edits stay as they were,
    // and the marks outlive the page being written again.
    const char* const outlined =
        "getComputedStyle(document.getElementById('f-60')).outlineStyle==='solid'";
    const QString pageBefore = window->Web->OuterHtml().value_or(QString());
    Facts()->chkMark->setChecked(true);
    EXPECT_TRUE(window->Web->RunScript(outlined).value_or(false).toBool());
    EXPECT_EQ(window->Web->OuterHtml().value_or(QString()), pageBefore);
    EXPECT_FALSE(window->Web->PageEdited().value_or(true));
    EXPECT_EQ(window->txtCode->TextUtf8(), text);
    window->Web->TakeNewCode();
    ASSERT_TRUE(window->Web->WaitForPushes());
    EXPECT_TRUE(window->Web->RunScript(outlined).value_or(false).toBool());
    Facts()->chkMark->setChecked(false);
    EXPECT_FALSE(window->Web->RunScript(outlined).value_or(true).toBool());

    Facts()->txtFilter->clear();
    EXPECT_EQ(VisibleRows(), List()->topLevelItemCount());
    EXPECT_EQ(Facts()->lblCounts->text(), totals);
    EXPECT_TRUE(dialogs->asked().empty());
    Facts()->close();
}

// Values sort as numbers, the texts after them; a document without facts
// says so in the window and asks nothing.
TEST_F(FactsWindowTest, SortsValuesAsNumbersAndSaysWhenThereAreNoFacts) {
    const std::string head =
        "<html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:ix=\"http://www.xbrl.org/2013/"
        "inlineXBRL\"><body><p>Caf\xc3\xa9 ";
    std::string doc = head;
    for (const char* fact : {">10", ">9", " sign=\"-\">5", ">1000"}) {
        doc += std::string("<ix:nonFraction name=\"a:B\" contextRef=\"c\" unitRef=\"u\"") + fact +
               "</ix:nonFraction> ";
    }
    doc += "<ix:nonNumeric name=\"a:T\" contextRef=\"c\">words</ix:nonNumeric></p></body></html>";
    SetCode(doc);
    window->commands().Run(CommandId::IxbrlFacts);
    ASSERT_NE(Facts(), nullptr);
    List()->sortByColumn(kFactValue, Qt::AscendingOrder);
    QStringList values;
    for (int r = 0; r < List()->topLevelItemCount(); ++r)
        values << List()->topLevelItem(r)->text(kFactValue);
    EXPECT_EQ(values.join(' ').toStdString(), "-5 9 10 1000 words");
    // Past the two-byte letter: the selection is in bytes, not characters.
    DoubleClick(List()->topLevelItem(1));
    EXPECT_EQ(window->txtCode->selectedText().toStdString(),
              "<ix:nonFraction name=\"a:B\" contextRef=\"c\" unitRef=\"u\">9</ix:nonFraction>");

    SetCode("<html><body><p>No tagging here.</p></body></html>");
    window->commands().Run(CommandId::IxbrlFacts);
    ASSERT_NE(Facts(), nullptr);
    EXPECT_FALSE(Facts()->lblNotIxbrl->isHidden());
    EXPECT_EQ(List()->topLevelItemCount(), 0);
    EXPECT_EQ(Facts()->lblCounts->text(), "0 facts, 0 contexts, 0 units");
    EXPECT_TRUE(dialogs->asked().empty());
    Facts()->close();
}

}  // namespace
}  // namespace tarlo
