// The clean-up rewrite: golden pages (Word, Excel, rows with a height or
// style, roots in any case and without a head, values after blanks), and the
// rules one at a time on small texts.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <unordered_map>

#include "cleanup/edgarize.h"
#include "cleanup/keep_layout.h"
#include "text/text_scan.h"

namespace tarlo {
namespace {

// The fixed head every cleaned document starts with: the root tag, the empty
// title the replacements add, and the root tag's own line break, each line
// break written as CR LF.
const std::string kHead = "<html>\r\n<title>\r\n</title>\r\n\r\n";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// How often a start tag opening with `lowerOpening` ("<html") occurs, its
// name in any case and ended by a blank or ">".
std::size_t StartTags(const std::string& html, std::string_view lowerOpening) {
    std::size_t n = 0;
    for (std::size_t at = FindFolded(html, lowerOpening, 0); at != std::string::npos;
         at = FindFolded(html, lowerOpening, at + 1)) {
        const char after =
            at + lowerOpening.size() < html.size() ? html[at + lowerOpening.size()] : 0;
        n += after == '>' || after == ' ' || after == '\r' || after == '\n' || after == '\t';
    }
    return n;
}

TEST(Edgarize, GoldenPages) {
    for (const char* name : {"word2000", "excel", "mends", "rows", "root-upper-case",
                             "root-without-head", "values-after-blanks"}) {
        const std::string dir = std::string(TEST_DATA_DIR) + "/edgarize/" + name;
        const std::string input = ReadFile(dir + "/input.html");
        ASSERT_FALSE(input.empty()) << dir;
        const std::string cleaned = Edgarize(input);
        EXPECT_EQ(cleaned, ReadFile(dir + "/expected.html")) << name;
        // Nothing of the Office markup survives outside attribute values.
        for (const char* gone : {"<o:p>", "<span", "<st1:", "<!--", "class=", "x:num", "<w:"}) {
            EXPECT_EQ(cleaned.find(gone), std::string::npos) << name << ": " << gone;
        }
        // One root and one title, whatever the case of the page's own; every
        // row's closing tag has its start.
        EXPECT_EQ(StartTags(cleaned, "<html"), 1u) << name;
        EXPECT_EQ(StartTags(cleaned, "<title"), 1u) << name;
        EXPECT_EQ(StartTags(cleaned, "<tr"), StartTags(cleaned, "</tr")) << name;
    }
}

TEST(Edgarize, HeadTagsAndFixedReplacements) {
    // Everything before the head gives way to a plain root tag.
    EXPECT_EQ(Edgarize("  <html lang=en><head></head>  "), kHead + "<head></head>");
    // The head and the root are found in any case; "<header>" is no head.
    EXPECT_EQ(Edgarize("<HTML><HEAD></HEAD>"), kHead + "<HEAD></HEAD>");
    // Without a head, the page's own root tag gives way to the plain one in
    // place; what stands before it stays.
    EXPECT_EQ(Edgarize("<!doctype html><HTML lang=en><header>x"),
              "<!doctype html>" + kHead + "<header>x");
    EXPECT_EQ(Edgarize("<p>a<html>"), "<p>a" + kHead);
    EXPECT_EQ(Edgarize("<p>a<htmlx>"), kHead + "<p>a<htmlx>");
    // A head or root written inside a comment is not the document's.
    EXPECT_EQ(Edgarize("<!-- <head> --><html><HEAD></HEAD>"), kHead + "<HEAD></HEAD>");
    EXPECT_EQ(Edgarize("<!-- was <html> --><HTML lang=en><p>x"), kHead + "<p>x");
    // A title of the page's own, in any case, and no empty one comes.
    EXPECT_EQ(Edgarize("<HTML><TITLE>t</TITLE>"), "<html>\r\n<TITLE>t</TITLE>");
    // A bare upper-case cell becomes the padded top-aligned cell.
    EXPECT_EQ(Edgarize("<head><TD class=x>1</TD>"),
              kHead + "<head><td Valign=Top>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;1</TD>");
    // The ellipsis becomes three full stops; entities stay as they are.
    EXPECT_EQ(Edgarize("<head>a\u2026 &amp; &nbsp; &#169;"),
              kHead + "<head>a... &amp; &nbsp; &#169;");
    EXPECT_EQ(Edgarize("<head><P></P><EM>x</EM><LI>y<DIV><BR></DIV>"), kHead + "<head>xy");
    // Runs of line breaks become one, written as CR LF: no bare CR is left.
    EXPECT_EQ(Edgarize("<head>\r\n\r\n<p>a</p>\n\n\nb\rc"), kHead + "<head>\r\n<p>a</p>\r\nb\r\nc");
}

TEST(Edgarize, DroppedAndStrippedTags) {
    EXPECT_EQ(Edgarize("<head><p class=MsoNormal>Text</p>"), kHead + "<head><p>Text</p>");
    EXPECT_EQ(Edgarize("<head><p class=MsoNormal align=left>T</p>"),
              kHead + "<head><p align=left>T</p>");
    EXPECT_EQ(Edgarize("<head><p><o:p></o:p><span style='x'>kept</span></p>"),
              kHead + "<head><p>kept</p>");
    EXPECT_EQ(Edgarize("<head><!--[if gte mso 9]><xml>x</xml><![endif]-->a<![if !x]>b<![endif]>"),
              kHead + "<head>ab");
    // A comment that never ends loses only "<!".
    EXPECT_EQ(Edgarize("<head><!-- open"), kHead + "<head>-- open");
    // Style: with an apostrophe ahead, the value runs to the next apostrophe.
    // The blank after the value stays.
    EXPECT_EQ(Edgarize("<head><td style='a:b' width=1>"), kHead + "<head><td  width=1>");
    EXPECT_EQ(Edgarize("<head><td style=\"a:b\" width=1>"), kHead + "<head><td  width=1>");
    // Without "=" the style's own text rule holds: an apostrophe later in the
    // text makes the span run to the tag's end.
    EXPECT_EQ(Edgarize("<head><td style \"a\" width=1>it's"), kHead + "<head><td>it's");
    EXPECT_EQ(Edgarize("<head><a name=top id=\"t\" href=x>"), kHead + "<head><a href=x>");
    EXPECT_EQ(Edgarize("<head><img x:fmla=1 x:str=2 src=a>"), kHead + "<head><img src=a>");
    // Attributes after the tag's end are not the tag's.
    EXPECT_EQ(Edgarize("<head><p>class x</p>"), kHead + "<head><p>class x</p>");
    EXPECT_EQ(Edgarize("<head><meta name=Generator content=x><link rel=a>z"), kHead + "<head>z");
    // A tag with no ">" after it goes out unchanged and ends the clean-up.
    EXPECT_EQ(Edgarize("<head>a <span class=x"), kHead + "<head>a <span class=x");
    EXPECT_EQ(Edgarize("<head><p class=x"), kHead + "<head><p class=x");
}

TEST(Edgarize, MarkupEdgarRefusesGoesAndWhatItHeldStays) {
    // Table sections go, in any case and with attributes; their rows stay.
    EXPECT_EQ(Edgarize("<head><table><THEAD><tr><td>a</td></tr></THEAD><tbody class=x>"
                       "<tr><td>b</td></tr></tbody><tfoot/></table>"),
              kHead + "<head><table><tr><td>a</td></tr><tr><td>b</td></tr></table>");
    // Only the section names themselves: a header cell or a tbody-like word stays.
    EXPECT_EQ(Edgarize("<head><th>x</th><tbodyx>y"), kHead + "<head><th>x</th><tbodyx>y");
    // Every meta tag that claims an HTTP header, wherever the attribute stands.
    EXPECT_EQ(Edgarize("<head><meta http-equiv=Content-Type content=\"text/html\">"
                       "<META content=\"text/html\" HTTP-EQUIV=\"Content-Type\">"
                       "<meta name=keywords content=a>z"),
              kHead + "<head><meta name=keywords content=a>z");
    // Every linked file, not only style sheets named with rel first.
    EXPECT_EQ(Edgarize("<head><link href=a.css rel=stylesheet><LINK rel=File-List>z"),
              kHead + "<head>z");
    // Scripts go with their content, which may hold tags of its own.
    EXPECT_EQ(Edgarize("<head><script type=x>if (a<b) { w('<p>'); }</SCRIPT> <p>kept</p>"),
              kHead + "<head> <p>kept</p>");
    // A script that never closes loses only its tag; one whose closing tag
    // never ends goes out as it is, like any tag without its ">".
    EXPECT_EQ(Edgarize("<head><script>a"), kHead + "<head>a");
    EXPECT_EQ(Edgarize("<head><script>a</script"), kHead + "<head><script>a</script");
    // Style sheets too: EDGAR takes style only in attributes.
    EXPECT_EQ(Edgarize("<head><STYLE type=\"text/css\">p { margin: 0 }</style><title>t</title>"),
              "<html>\r\n<head><title>t</title>");
}

TEST(Edgarize, NonAsciiBecomesNumericReferences) {
    // Windows-1252 numbers where the code page has the character, code
    // points beyond it; the ellipsis still becomes three full stops first.
    EXPECT_EQ(Edgarize("<head>a\u00a0b\u00b7c \u2019d\u2014e \u20ac1 \u4e2d\u2026"),
              kHead + "<head>a&#160;b&#183;c &#146;d&#151;e &#128;1 &#20013;...");
    // Attribute values too: a picture's description is shown.
    EXPECT_EQ(Edgarize("<head><img alt=\"caf\u00e9\" src=a.jpg>"),
              kHead + "<head><img alt=\"caf&#233;\" src=a.jpg>");
}

TEST(Edgarize, AttributesGoWithTheirWholeValue) {
    // An apostrophe later in the document no longer decides where a style in
    // double quotes ends: the link after it stays.
    EXPECT_EQ(Edgarize("<head><a style=\"color:blue\" href=\"#toc\">Contents</a> it's"),
              kHead + "<head><a  href=\"#toc\">Contents</a> it's");
    // Apostrophes inside a double-quoted style leave no half value behind.
    EXPECT_EQ(Edgarize("<head><a style=\"font-family:'Arial',sans-serif;font-size:10pt\" "
                       "href=\"#a\">x</a>"),
              kHead + "<head><a  href=\"#a\">x</a>");
    // Cell spans and alignment survive beside the removed attributes.
    EXPECT_EQ(Edgarize("<head><td colspan=\"3\" style=\"width:50%\" rowspan=\"2\" "
                       "align=\"right\" width=\"40\">1</td>"),
              kHead + "<head><td colspan=\"3\"  rowspan=\"2\" align=\"right\" width=\"40\">1</td>");
    // A blank inside a quoted class or x:str value takes the whole value and
    // one blank after it.
    EXPECT_EQ(Edgarize("<head><td class=\"xl24 total\" width=9>1</td><td x:str=\"Total \">T</td>"),
              kHead + "<head><td width=9>1</td><td>T</td>");
    EXPECT_EQ(Edgarize("<head><p class='a b'  name=\"n 1\" x:num=\"1 2\" align=left>"),
              kHead + "<head><p  align=left>");
    // A bare style or id value ends at the next blank; the blank after a style stays.
    EXPECT_EQ(Edgarize("<head><div style=color:red id=top align=center>"),
              kHead + "<head><div  align=center>");
    EXPECT_EQ(Edgarize("<head><div id='a b' style=x>"), kHead + "<head><div>");
    // A quote that is not closed inside the tag: the text rules hold.
    EXPECT_EQ(Edgarize("<head><td class=\"a b>x\" width=2>"), kHead + "<head><td b>x\" width=2>");
    EXPECT_EQ(Edgarize("<head><div id=\"a>b\" c>"), kHead + "<head><div>b\" c>");
    // Without "=" the class text still goes up to its blank.
    EXPECT_EQ(Edgarize("<head><td classic width=2>"), kHead + "<head><td width=2>");
    // Only the first occurrence of each text, and only inside the tag.
    EXPECT_EQ(Edgarize("<head><p class=\"a\" class=\"b\">class=\"c\""),
              kHead + "<head><p class=\"b\">class=\"c\"");
}

TEST(Edgarize, GeneratorTagsInQuotesGo) {
    // The page engine writes every value in quotes.
    EXPECT_EQ(Edgarize("<head><meta name=\"Generator\" content=\"Word\">"
                       "<META NAME=\"ProgId\" content=x><meta name=\"Originator\">"
                       "<link rel=\"File-List\" href=\"a.xml\">z"),
              kHead + "<head>z");
    // Other meta tags are text to the clean-up and stay.
    EXPECT_EQ(Edgarize("<head><meta name=\"description\" content=\"x\">"),
              kHead + "<head><meta name=\"description\" content=\"x\">");
}

TEST(Edgarize, RecognisesInlineXbrl) {
    EXPECT_TRUE(IsInlineXbrl("<p><ix:nonFraction name=\"us-gaap:Revenue\">1</ix:nonFraction>"));
    EXPECT_TRUE(IsInlineXbrl("<IX:HEADER>"));
    EXPECT_TRUE(IsInlineXbrl("<html xmlns:ix=\"http://www.xbrl.org/2013/inlineXBRL\">"));
    EXPECT_FALSE(IsInlineXbrl("<html><p>ix: not a tag; see http://www.xbrl.org/</p>"));
    EXPECT_FALSE(IsInlineXbrl("</ix:x> <ixy> < ix:a>"));
    EXPECT_FALSE(IsInlineXbrl(""));
}

TEST(Edgarize, BlanksAfterTagsKeepWordsApart) {
    EXPECT_EQ(Edgarize("<head><b>Net</b> income"), kHead + "<head><b>Net</b> income");
    EXPECT_EQ(Edgarize("<head><b>Net</b>    <i>income</i>"),
              kHead + "<head><b>Net</b> <i>income</i>");
    EXPECT_EQ(Edgarize("<head><span>a</span>   b<!-- c -->  d"), kHead + "<head>a b d");
}

TEST(Edgarize, OrderedListsSurvive) {
    EXPECT_EQ(Edgarize("<head><ol><li>a</li></ol><OL\ttype=a><li>b</li></OL >"),
              kHead + "<head><ol><li>a</li></ol><OL\ttype=a><li>b</li></OL>");
    // Other tags beginning with "o" still go.
    EXPECT_EQ(Edgarize("<head><o:p>x</o:p><olx>y</olx>"), kHead + "<head>xy");
}

TEST(Edgarize, PreformattedTextKeepsItsBlanksAndLines) {
    // Its lines stay; like every line break of the result, theirs are CR LF.
    EXPECT_EQ(Edgarize("<head><pre>  a  <span>b</span>  \n\n c  </pre>   d"),
              kHead + "<head><pre>  a  b  \r\n\r\n c  </pre> d");
    // Attributes are stripped inside; " >" stays inside the kept text.
    EXPECT_EQ(Edgarize("<head><pre class=x>  <b class=y>1</b></pre>\n\n<b class=z>2</b>"),
              kHead + "<head><pre >  <b >1</b></pre>\r\n<b>2</b>");
    // Without "</pre>" the rest keeps its lines (their breaks CR LF).
    EXPECT_EQ(Edgarize("<head><PRE>\n x\n\n"), kHead + "<head><PRE>\r\n x\r\n\r\n");
    // "</pre >" does not end it; a "<pre" with no ">" opens nothing.
    EXPECT_EQ(Edgarize("<head><pre>a</pre > \n\n b</pre>  c"),
              kHead + "<head><pre>a</pre > \r\n\r\n b</pre> c");
    EXPECT_EQ(Edgarize("<head>x  <pre"), kHead + "<head>x  <pre");
    // "<prefix>" is not preformatted text.
    EXPECT_EQ(Edgarize("<head><prefix>a</prefix>\n\nb"), kHead + "<head><prefix>a</prefix>\r\nb");
}

TEST(Edgarize, ReportsProgressAndReplacements) {
    // Work whose every tick is due, as on a slow machine.
    struct Watched : LongWork {
        std::vector<std::string> figures;
        std::vector<std::string> stages;
        int advancedBeforeStage = 0;
        int advancedAfterStage = 0;
        bool Tick() override { return true; }
        void Figures(std::string_view line) override { figures.emplace_back(line); }
        void Stage(std::string_view what) override { stages.emplace_back(what); }
        void Advance() override { ++(stages.empty() ? advancedBeforeStage : advancedAfterStage); }
    } work;
    std::string big = "  <head>";
    for (int i = 0; i < 2000; ++i) big += "<p>x</p>";
    Edgarize(big, work);
    ASSERT_GE(work.figures.size(), 2u);
    EXPECT_EQ(work.figures.front(), "Code Size : Before " + std::to_string(big.size() - 2) +
                                        " -> Now 0 Bytes , 0 Minutes Passed");
    EXPECT_NE(work.figures.back().find(" -> Now "), std::string::npos);
    EXPECT_EQ(work.figures.back().find(" -> Now 0 "), std::string::npos);
    EXPECT_EQ(work.stages, (std::vector<std::string>{"Replacing codes..."}));
    EXPECT_EQ(work.advancedBeforeStage, 1);
    EXPECT_EQ(work.advancedAfterStage, 10);
    EXPECT_EQ(StatisticsLine({1200, 300, 2}),
              "Code Size : Before 1200 -> Now 300 Bytes , 2 Minutes Passed");
}

TEST(Edgarize, CollapseLineBreaksSkipsKeptRanges) {
    EXPECT_EQ(CollapseLineBreaks("a  >\r\n\r\nb\r \rc"), "a >\rb\r \rc");
    EXPECT_EQ(CollapseLineBreaks("a\n\n<pre >\n\n</pre>\n\nb", {{3, 17}}),
              "a\r<pre >\n\n</pre>\rb");
}

TEST(Edgarize, FixedReplacementsActOnWhatEarlierOnesLeave) {
    // Removing one text can join the pieces of a later one, which then goes too.
    EXPECT_EQ(ApplyFixedReplacements("<L<P></P>I>x<T<EM>D>y"),
              "x<td Valign=Top>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;y");
    // The ellipsis becomes three full stops, which can then start "...nbsp;".
    EXPECT_EQ(ApplyFixedReplacements("a\u2026nbsp;b\u2026"), "a b...");
    EXPECT_EQ(ApplyFixedReplacements("<html><html>"),
              "<html>\n<title>\n</title>\n<html>\n<title>\n</title>\n");
    EXPECT_EQ(ApplyFixedReplacements("<td><Td><TD x>"), "<td><Td><TD x>");
    int calls = 0;
    ApplyFixedReplacements("plain", [&] { ++calls; });
    EXPECT_EQ(calls, 10);
}

TEST(Edgarize, LargeFilingCleansInLinearTime) {
    std::string page = "<html><head><title>t</title></head><body>";
    const std::string block =
        "<p class=MsoNormal style='margin:0'><span style='font-size:10pt'>Revenue "
        "<o:p></o:p></span></p>\n<table><tr height=17><td class=xl24 x:num=\"12\">12</td>"
        "</tr></table>\n<!-- c --><pre> a </pre>\n";
    while (page.size() < 4'000'000) page += block;
    const auto start = std::chrono::steady_clock::now();
    const std::string cleaned = Edgarize(page);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    EXPECT_LT(ms, 2000) << "4 MB took " << ms << " ms";
    EXPECT_EQ(cleaned.find("MsoNormal"), std::string::npos);
}

}  // namespace
}  // namespace tarlo

// The clean-up that keeps the layout: the page's styles take the markers'
// places inside tags, and nothing else of the text changes.
TEST(KeepLayout, StylesTakeTheMarkersPlaces) {
    const std::unordered_map<std::size_t, std::string> styles{
        {0, "margin: 0"},
        {2, "font-family: \"Times New Roman\"; color: rgb(0, 0, 0)"},
        {3, "font-family: 'A&B'"},
        {4, ""}};
    EXPECT_EQ(
        tarlo::ApplyLooks("<body data-tarlo-look=\"0\"><p align=center data-tarlo-look=\"1\">a</p>"
                          "<td data-tarlo-look=\"2\" colspan=\"2\">b</td><font "
                          "data-tarlo-look=\"3\">c</font><br data-tarlo-look=\"4\">",
                          styles),
        "<body style=\"margin: 0\"><p align=center>a</p><td style=\"font-family: 'Times "
        "New Roman'; color: rgb(0, 0, 0)\" colspan=\"2\">b</td><font "
        "style=\"font-family: 'A&amp;B'\">c</font><br>");
    // The document's own words that read like a marker, and broken markers,
    // stay as written.
    for (const char* kept : {"<p>say data-tarlo-look=\"0\" here</p>", "<p data-tarlo-look=\"x\">",
                             "<p data-tarlo-look=\"0>", "a > b data-tarlo-look=\"0\""}) {
        EXPECT_EQ(tarlo::ApplyLooks(kept, styles), kept);
    }
}
