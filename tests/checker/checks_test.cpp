// The two check runs and the report text they build, text in, records out.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "checker/edgar_checks.h"
#include "checker/problem_report.h"
#include "checker/structure_checks.h"

namespace tarlo {
namespace {

const std::string kTitle = "<html><head><TITLE>t</TITLE></head>";
const std::string kNested = "Nested codes|<FONT>|Warning|Combine nested codes into one|";
const std::string kNoTitle = "Improper or missing code|<TITLE>|Error|Add missing code(s)|";

std::string Structure(const std::string& text) {
    return RunStructureChecks(text).reportText;
}
std::string Edgar(const std::string& text) {
    return RunEdgarChecks(text).reportText;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(StructureChecks, NestedFonts) {
    // Two start tags in a row, then two end tags: one warning, at position 1.
    EXPECT_EQ(Structure(kTitle.substr(0, 0) +
                        "<font size=2><font color=red>x</font></font><title></title>"),
              kNested + "1\r\n");
    // Closed before the next one opens, then a pair: the pair's outer tag is
    // skipped as "next", its inner tag has nothing after it.
    EXPECT_EQ(Structure("<title></title><font>a</font><i>x</i><font><font>b</font></font>"), "");
    // Three deep: the outer one is reported, the middle one is skipped.
    EXPECT_EQ(Structure("<title></title><FONT><FONT><FONT>x</FONT></FONT></FONT>"),
              kNested + "16\r\n");
    // A start tag with no ">" after it ends the check instead of starting over.
    EXPECT_EQ(Structure("<title></title><font<font"), "");
    EXPECT_EQ(Structure("<title></title><font><font>x</font></font><font"), kNested + "16\r\n");
    // No end tag at all counts as closed when another start tag follows.
    EXPECT_EQ(Structure("<title></title><font><font>x"), "");
    const CheckRun run = RunStructureChecks("<title></title>ab<font><font>x</font>");
    EXPECT_EQ(run.reportText, kNested + "18\r\n");
    ASSERT_TRUE(run.selection.has_value());
    EXPECT_EQ(run.selection->start, 17);
    EXPECT_EQ(run.selection->length, 0);
    EXPECT_TRUE(run.focusCode);
}

TEST(StructureChecks, Title) {
    EXPECT_EQ(Structure("<p>no title</p>"), kNoTitle + "0\r\n");
    EXPECT_EQ(Structure("<title>x</title>"), "");
    EXPECT_EQ(Structure("</TITLE>x<TITLE>"), kNoTitle + "10\r\n");
    // An opening tag with attributes is not recognised.
    EXPECT_EQ(Structure("<title lang=en>x</title>"), kNoTitle + "0\r\n");
    // A missing title leaves the caret where it was: nothing to move it to.
    const CheckRun run = RunStructureChecks("abc");
    EXPECT_FALSE(run.selection.has_value());
}

TEST(StructureChecks, ImmediateSimilarCodes) {
    const std::string similar =
        "Immediate similar codes|<B>|Negligible|Can be ignored...consolidate codes or leave "
        "as is|";
    // The first ">" is at 6, so the scan starts at 8 and passes over <p>.
    EXPECT_EQ(Structure("<html><p><b>x</b><b>y</b></p></html>"),
              kNoTitle + "0\r\n" + similar + "10\r\n");
    EXPECT_EQ(Structure(kTitle + "<p>a</p><br><p>b</p>"), "");
    // Text between the closing tag and the next tag does not count.
    EXPECT_EQ(Structure(kTitle + "<p>a</p> b <p>c</p>"),
              "Immediate similar codes|<P>|Negligible|Can be ignored...consolidate codes or "
              "leave as is|36\r\n");
    // Case of the repeated tag does not matter; the code is in upper case.
    EXPECT_EQ(Structure(kTitle + "<i>a</I><I>b</i>"),
              "Immediate similar codes|<I>|Negligible|Can be ignored...consolidate codes or "
              "leave as is|36\r\n");
    // A tag never closed compares with the first tag of the text.
    EXPECT_EQ(Structure("<br><title></title>x<br>"),
              "Immediate similar codes|<BR>|Negligible|Can be ignored...consolidate codes or "
              "leave as is|21\r\n");
    // The tag is copied whole: a "|" inside it shifts the later fields of the
    // row, and the position still reaches the row's tag.
    const std::string piped = Structure(kTitle + "<td align=a|b>x</td align=a|b><td align=a|b>");
    EXPECT_EQ(piped,
              "Immediate similar codes|<TD ALIGN=A|B>|Negligible|Can be ignored...consolidate "
              "codes or leave as is|36\r\n");
    const std::vector<ReportRow> rows = ReportRows(piped);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].code, "<TD ALIGN=A");
    EXPECT_EQ(rows[0].tag, "36");
    // A CR LF inside it splits the record into two lines of the report.
    const std::string broken = Structure(kTitle + "<td\r\nv>x</td\r\nv><td\r\nv>");
    EXPECT_EQ(broken,
              "Immediate similar codes|<TD\r\nV>|Negligible|Can be ignored...consolidate "
              "codes or leave as is|36\r\n");
    EXPECT_EQ(ReportRows(broken).size(), 2u);
    // An "<IMG" after the title with no ">" after it moves the start to 2.
    EXPECT_EQ(Structure("<a><b>x</b><b>y</b><title></title><img"),
              "Immediate similar codes|<B>|Negligible|Can be ignored...consolidate codes or "
              "leave as is|4\r\n");
}

TEST(StructureChecks, ParagraphMarks) {
    const std::string open =
        "Unnecessary Microsoft code|<o:p>|Warning|Remove manually from code or use the Cleanup "
        "button to remove|";
    const std::string close =
        "Unnecessary Microsoft code|</o:p>|Warning|Remove manually from code or use the Cleanup "
        "button to remove|";
    EXPECT_EQ(Structure("<o:p></o:p><title></title>"), open + "0\r\n" + close + "5\r\n");
    // The last tag is never closed, so check 3 compares it with the first.
    EXPECT_EQ(Structure("<O:P></O:P><title></title><o:p>"),
              "Immediate similar codes|<O:P>|Negligible|Can be ignored...consolidate codes or "
              "leave as is|27\r\n" +
                  open + "0\r\n" + open + "26\r\n" + close + "5\r\n");
    // The last hit puts the caret just before it.
    const CheckRun run = RunStructureChecks("<title></title>x</o:p>");
    ASSERT_TRUE(run.selection.has_value());
    EXPECT_EQ(run.selection->start, 15);
    // A hit at the very start keeps the match selected.
    const CheckRun first = RunStructureChecks("</o:p><title></title>");
    ASSERT_TRUE(first.selection.has_value());
    EXPECT_EQ(first.selection->start, 0);
    EXPECT_EQ(first.selection->length, 6);
}

TEST(EdgarChecks, TitleMarkupAndCharacters) {
    EXPECT_EQ(Edgar("<title>x</title>plain &#169; text"), "");
    EXPECT_EQ(Edgar("x"),
              "Improper or missing code|<TITLE>|Error|Edgarize or add missing code(s)|0\r\n");
    // "Mso" in exactly this case opens the scan; then every "mso" counts.
    EXPECT_EQ(Edgar("<title></title>mso-x"), "");
    EXPECT_EQ(Edgar("<title></title>mso-x Mso MSO"),
              "Unacceptable Microsoft element|mso|Error|Edgarize or manually remove|15\r\n"
              "Unacceptable Microsoft element|mso|Error|Edgarize or manually remove|21\r\n"
              "Unacceptable Microsoft element|mso|Error|Edgarize or manually remove|25\r\n");
    // Upper-case Office tags alone are not looked for; with one lower-case
    // occurrence they are all reported.
    EXPECT_EQ(Edgar("<title></title><O:P>"), "");
    EXPECT_EQ(Edgar("<title></title><O:P><o:p></O:P>"),
              "Unacceptable Microsoft code|<o:|Error|Edgarize or manually remove code|15\r\n"
              "Unacceptable Microsoft code|<o:|Error|Edgarize or manually remove code|20\r\n");
    // Positions are byte offsets: "é" takes two bytes.
    EXPECT_EQ(
        Edgar("<title></title>\u00e9\u201cq\u201d\u2019"),
        "Unacceptable character|''|Error|Edgarize or manually replace with a straight quote|17\r\n"
        "Unacceptable character|''|Error|Edgarize or manually replace with a straight quote|21\r\n"
        "Unacceptable character|'|Warning|Edgarize or manually replace with a straight "
        "apostrophe|24\r\n");
    EXPECT_EQ(Edgar("<title></title>\u2013\u2014"),
              "Unacceptable character|-|Error|Replace with minus sign or code &#150; - check "
              "Special Symbol window|15\r\n"
              "Unacceptable character|\u2014|Warning|Replace with two minus signs or code &#151; - "
              "check Special Symbol window|18\r\n");
    // A capital AE is found once the small one occurs, as a search without
    // regard to case finds it.
    EXPECT_EQ(Edgar("<title></title>\u00c6"), "");
    EXPECT_EQ(Edgar("<title></title>\u00c6\u00e6"),
              "Unacceptable character|\u00e6|Error|Delete or replace with (ae) or code &#230; - "
              "check Special Symbol window|15\r\n"
              "Unacceptable character|\u00e6|Error|Delete or replace with (ae) or code &#230; - "
              "check Special Symbol window|17\r\n");
}

TEST(EdgarChecks, SelectionAndStages) {
    // A sign at offset 0 stays selected; the caret cannot go before it.
    CheckRun run = RunEdgarChecks("\u00a9<title></title>");
    ASSERT_TRUE(run.selection.has_value());
    EXPECT_EQ(run.selection->start, 0);
    EXPECT_EQ(run.selection->length, 2);
    // Otherwise the caret stands one before the last match of the last scan
    // that found anything (scan order, not text order).
    run = RunEdgarChecks("<title></title>\u00b1 \u00a9");
    ASSERT_TRUE(run.selection.has_value());
    EXPECT_EQ(run.selection->start, 14);
    EXPECT_EQ(run.selection->length, 0);

    struct Watched : LongWork {
        std::vector<std::string> stages;
        int advances = 0;
        void Stage(std::string_view what) override { stages.emplace_back(what); }
        void Advance() override { ++advances; }
    } work;
    RunEdgarChecks("<title></title>", work);
    EXPECT_EQ(work.stages, (std::vector<std::string>{"Checking for Microsoft codes...",
                                                     "Checking for unacceptable characters..."}));
    // Once as the scans begin, then once per scan.
    EXPECT_EQ(work.advances, 1 + 33);
}

TEST(ProblemReport, RowsCountsAndTexts) {
    std::string report;
    AppendRecord(report, {"W", "<a>", "Warning", "fix", 3});
    AppendRecord(report, {"E", "x|y", "Error", "fix", -1});
    report += "Short|code\r\n";
    EXPECT_EQ(report.substr(0, 20), "W|<a>|Warning|fix|3\r");
    const std::vector<ReportRow> rows = ReportRows(report);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].tag, "3");
    // A "|" in the code shifts the later fields; the tag still gets the position.
    EXPECT_EQ(rows[1].severity, "y");
    EXPECT_EQ(rows[1].tag, "-1");
    EXPECT_EQ(rows[2].severity, "");
    EXPECT_EQ(rows[2].tag, "");
    const ProblemCounts counts = CountProblems(rows);
    EXPECT_EQ(counts.warnings, 1);
    EXPECT_EQ(counts.errors, 0);
    EXPECT_TRUE(ReportRows("").empty());
    // Read straight from the text, the counts are those of the rows.
    for (const std::string& text :
         {report, std::string("a|b|Error\r\na|b|Error|f|1\r\nx|y|Negligible|z|2\r\n"),
          std::string("a|b|Error"), std::string("a|b|error|f|1\r\n|||\r\n")}) {
        const ProblemCounts fromRows = CountProblems(ReportRows(text));
        const ProblemCounts fromText = CountProblems(std::string_view(text));
        EXPECT_EQ(fromText.errors, fromRows.errors) << text;
        EXPECT_EQ(fromText.warnings, fromRows.warnings) << text;
        EXPECT_EQ(fromText.negligible, fromRows.negligible) << text;
    }
    EXPECT_EQ(CountProblems(std::string_view("a|b|Error\r\nc|d|Negligible|f|1\r\n")).errors, 1);

    EXPECT_EQ(ErrorsText(0), "No errors");
    EXPECT_EQ(ErrorsText(1), "1 error");
    EXPECT_EQ(ErrorsText(1234), "1,234 errors");
    EXPECT_EQ(WarningsText(1), "1 warning");
    EXPECT_EQ(NegligibleText(0), "No negligible items");
    EXPECT_EQ(NegligibleText(2), "2 negligible items");
    EXPECT_EQ(TagPosition("17"), 17);
    EXPECT_EQ(TagPosition("0"), 0);
    EXPECT_FALSE(TagPosition("").has_value());
    EXPECT_FALSE(TagPosition("1x").has_value());
    EXPECT_FALSE(TagPosition("99999999999").has_value());
}

TEST(Checks, GoldenReports) {
    for (const char* name : {"word_page", "old_filing", "typographic_page"}) {
        const std::string dir = std::string(TEST_DATA_DIR) + "/checks/" + name;
        const std::string input = ReadFile(dir + "/input.html");
        ASSERT_FALSE(input.empty()) << dir;
        EXPECT_EQ(Structure(input), ReadFile(dir + "/structure.txt")) << name;
        EXPECT_EQ(Edgar(input), ReadFile(dir + "/edgar.txt")) << name;
    }
}

TEST(Checks, LargeFilingIsCheckedInLinearTime) {
    std::string page = "<html><head><title>t</title></head><body>";
    const std::string block =
        "<p><font size=2><font color=red>Revenue</font></font> <br><b>a</b><b>b</b>"
        "<td align=right>1</td><img src=x.gif><o:p></o:p> Mso \u2019s\u00a9</p>\r\n";
    while (page.size() < 4'000'000) page += block;
    const auto start = std::chrono::steady_clock::now();
    const CheckRun structure = RunStructureChecks(page);
    const CheckRun edgar = RunEdgarChecks(page);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    EXPECT_LT(ms, 3000) << "4 MB took " << ms << " ms";
    const std::size_t blocks = (page.size() - 41) / block.size();
    EXPECT_EQ(CountProblems(ReportRows(structure.reportText)).warnings, 3 * blocks);
    EXPECT_GT(CountProblems(ReportRows(edgar.reportText)).errors, 2 * blocks);
}

}  // namespace
}  // namespace tarlo
