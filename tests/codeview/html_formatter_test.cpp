// The formatter on golden files and on the rules a filing exercises.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "codeview/html_formatter.h"
#include "support/corpus.h"

namespace tarlo {
namespace {

std::string ReadData(const std::string& relative) {
    std::ifstream f(std::string(TEST_DATA_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

TEST(FormatHtml, GoldenFiles) {
    for (const char* name : {"worked_example", "filing_mends", "reformatted"}) {
        const std::string dir = std::string("format/") + name;
        const std::string input = ReadData(dir + "/input.html");
        ASSERT_FALSE(input.empty()) << name;
        EXPECT_EQ(FormatHtml(input), ReadData(dir + "/expected.html")) << name;
    }
}

TEST(FormatHtml, IndentationRules) {
    // More closing tags than opening ones: -5 becomes 10.
    EXPECT_EQ(IndentHtml("</a></b>x"), "\r\n          </a>\r\n     </b>x");
    // Text before the first tag is kept; text without a tag comes back as it was.
    EXPECT_EQ(IndentHtml("lead<p>"), "lead\r\n<p>");
    EXPECT_EQ(FormatHtml("plain  > text"), "plain > text");
    // A comment is one segment and does not raise the line before it.
    EXPECT_EQ(FormatHtml("<div><!-- a <b> --></div>"),
              "\r\n<div>\r\n<!-- a \r\n     <b> -->\r\n     </div>");
    // A tag that closes itself does not raise the indentation.
    EXPECT_EQ(FormatHtml("<tr><td/><td/><td></tr>"),
              "\r\n<tr>\r\n<td/>\r\n<td/>\r\n     <td>\r\n     </tr>");
    // Lone CR and lone LF stay; a line break between words becomes one blank.
    EXPECT_EQ(FormatHtml("a\rb\nc"), "a\rb\nc");
    EXPECT_EQ(FormatHtml("the\r\n\t\r\nCompany"), "the Company");
    EXPECT_EQ(FormatHtml("<b>x</b>\r\n<i>"), "\r\n<b>x\r\n</b>\r\n<i>");
    EXPECT_EQ(FormatHtml("x \r\ny"), "x y");
    // The blank rules: one blank removed per pass.
    EXPECT_EQ(TidyTagSpaces("<  b  >  <i>"), "< b >  <i>");
    EXPECT_EQ(TidyTagSpaces("a > <b"), "a><b");
}

TEST(FormatHtml, PreformattedElementsAreKept) {
    // Kept verbatim, on a segment of their own, with the text up to the next "<".
    EXPECT_EQ(FormatHtml("<div><PRE>\r\n a  >\tb </PRE>tail\r\n<p>"),
              "\r\n<div>\r\n     <PRE>\r\n a  >\tb </PRE>tail\r\n     <p>");
    // Only the exact closing text ends the element.
    EXPECT_EQ(FormatHtml("<pre>a</pre >\r\nb"), "\r\n<pre>a</pre >\r\nb");
    EXPECT_EQ(FormatHtml("<xmp>  <b> \r\n</xmp> z<p>"), "\r\n<xmp>  <b> \r\n</xmp> z\r\n<p>");
    // Without a closing tag the element runs to the end.
    EXPECT_EQ(FormatHtml("<p><textarea rows=2>a\r\n b"),
              "\r\n<p>\r\n     <textarea rows=2>a\r\n b");
    // A longer name that only begins like one is an ordinary tag.
    EXPECT_EQ(FormatHtml("<prefix>a\r\nb</prefix>"), "\r\n<prefix>a b\r\n</prefix>");
}

TEST(FormatHtml, TagsAndNames) {
    EXPECT_EQ(GetTag("ab<p class=x>c", 0).text, "<p class=x>");
    EXPECT_EQ(GetTag("ab<p class=x>c", 0).start, 2u);
    EXPECT_EQ(GetTag("<p", 0).text, "");
    EXPECT_EQ(GetTagName("<p class=x>"), "p");
    EXPECT_EQ(GetTagName("<BR>"), "BR");
    EXPECT_EQ(GetTagName("<!--x-->"), "!--");
    EXPECT_EQ(GetTagName("</td>"), "/td");
    EXPECT_EQ(GetTagName(""), "");
    EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
    struct Segments : LongWork {
        int ticks = 0;
        bool Tick() override {
            ++ticks;
            return false;
        }
    } work;
    FormatHtml("<a><b><c>", work);
    EXPECT_EQ(work.ticks, 3);
}

// The formatter tidies blanks line by line and streams its result; both must
// give exactly what the three whole-text passes over the indented text give.
TEST(FormatHtml, StreamedAndLineByLineTidyMatchTheWholeTextRules) {
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7fff;
    };
    const std::string alphabet = "<<>>/  ab!-";
    for (int n = 0; n < 20000; ++n) {
        std::string html;
        const std::size_t length = next() % 40;
        for (std::size_t i = 0; i < length; ++i) html += alphabet[next() % alphabet.size()];
        const std::string whole = TidyTagSpaces(IndentHtml(html));
        ASSERT_EQ(FormatHtml(html), whole) << '"' << html << '"';
        std::string streamed;
        FormatHtmlTo(html, [&](std::string_view piece) { streamed.append(piece); });
        ASSERT_EQ(streamed, whole) << '"' << html << '"';
    }
    // Indentation past one piece of blanks arrives whole.
    std::string deep;
    for (int i = 0; i < 1000; ++i) deep += "<a>";
    std::string streamed;
    FormatHtmlTo(deep, [&](std::string_view piece) { streamed.append(piece); });
    EXPECT_EQ(streamed, FormatHtml(deep));
    EXPECT_NE(streamed.find("\r\n" + std::string(100, ' ') + "<a>"), std::string::npos);
}

TEST(FormatHtml, TagsThatCloseThemselvesKeepTheDepth) {
    // A cell that closes itself between two ordinary cells: the row ends
    // where it began.
    EXPECT_EQ(FormatHtml("<tr><td>a</td><td/><td>b</td></tr>"),
              "\r\n<tr>\r\n     <td>a\r\n     </td>\r\n     <td/>\r\n     <td>b\r\n     "
              "</td>\r\n</tr>");
    std::string rows;
    for (int i = 0; i < 1000; ++i) rows += "<tr><td>a</td><td/><td>b</td></tr>";
    const std::string formatted = FormatHtml(rows);
    EXPECT_EQ(formatted.substr(formatted.size() - 7), "\r\n</tr>");
    // The raise a self-closing tag blocks passes to it, and on along a chain
    // of them, so the element still indents what it holds.
    EXPECT_EQ(FormatHtml("<div><br/><br/>x</div>"), "\r\n<div>\r\n<br/>\r\n<br/>x\r\n</div>");
    EXPECT_EQ(FormatHtml("<div><br><td/><b>"), "\r\n<div>\r\n<br>\r\n<td/>\r\n     <b>");
    EXPECT_EQ(FormatHtml("<a><img/></a>"), "\r\n<a>\r\n<img/>\r\n</a>");
    // A closing or preformatted segment passes nothing on.
    EXPECT_EQ(FormatHtml("<b></b><i/><u>"), "\r\n<b>\r\n</b>\r\n<i/>\r\n<u>");
    EXPECT_EQ(FormatHtml("<p><pre>x</pre><i/><u>"),
              "\r\n<p>\r\n     <pre>x</pre>\r\n     <i/>\r\n     <u>");
}

// The blanks in front of every line.
std::vector<std::size_t> Indents(const std::string& formatted) {
    std::vector<std::size_t> indents;
    for (std::size_t at = formatted.find("\r\n"); at != std::string::npos;
         at = formatted.find("\r\n", at + 1)) {
        const std::size_t text = formatted.find_first_not_of(' ', at + 2);
        indents.push_back((text == std::string::npos ? formatted.size() : text) - at - 2);
    }
    return indents;
}

TEST(FormatHtml, IndentationIsWrittenUpToAHundredBlanks) {
    std::string deep;
    for (int i = 0; i < 30; ++i) deep = "<div>" + deep + "</div>";
    const std::string formatted = FormatHtml(deep);
    const std::vector<std::size_t> indents = Indents(formatted);
    EXPECT_EQ(*std::max_element(indents.begin(), indents.end()), 100u);
    // Ten opening and ten closing tags lie 100 blanks deep or more.
    EXPECT_EQ(std::count(indents.begin(), indents.end(), 100u), 20);
    // The depth went on counting: the last element closes at the start.
    EXPECT_EQ(formatted.substr(formatted.size() - 8), "\r\n</div>");
}

TEST(FormatHtml, FormattedCodeFormatsUnchanged) {
    // A line break after a tag and before a word is a blank.
    EXPECT_EQ(FormatHtml("<b>Total</b>\r\nrevenue"), "\r\n<b>Total\r\n</b> revenue");
    // Blanks after a line break that lead up to a tag are indentation.
    EXPECT_EQ(FormatHtml("x\r\n     <b>y\r\n</b>"), "x\r\n<b>y\r\n</b>");
    EXPECT_EQ(FormatHtml("a\r\n  b"), "a  b");
    for (const char* name : {"worked_example", "filing_mends", "reformatted"}) {
        const std::string once =
            FormatHtml(ReadData(std::string("format/") + name + "/input.html"));
        EXPECT_EQ(FormatHtml(once), once) << name;
    }
}

std::vector<std::filesystem::path> CorpusFilings() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(TARLO_CORPUS_DIR)) {
        if (entry.path().extension() == ".htm") files.push_back(entry.path());
    }
    return files;
}

std::string ReadPath(const std::filesystem::path& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

TEST(FormatHtml, CorpusFilingsKeepTheirSizeAndFormatOnce) {
    TARLO_NEED_CORPUS();
    // A raw Inline XBRL filing: its many unclosed cells once indented it to
    // hundreds of megabytes.
    const std::string filing =
        ReadPath(std::filesystem::path(TARLO_CORPUS_DIR) / "edgar-10k-2024-ixbrl-b.htm");
    ASSERT_GT(filing.size(), 4'000'000u);
    const std::string formatted = FormatHtml(filing);
    EXPECT_GT(formatted.size(), 6'000'000u);
    EXPECT_LT(formatted.size(), 8'000'000u);
    const std::vector<std::size_t> indents = Indents(formatted);
    EXPECT_LE(*std::max_element(indents.begin(), indents.end()), 100u);

    std::size_t files = 0;
    for (const std::filesystem::path& file : CorpusFilings()) {
        const std::string once = FormatHtml(ReadPath(file));
        EXPECT_TRUE(FormatHtml(once) == once) << file.filename();
        ++files;
    }
    EXPECT_GE(files, 6u);
}

}  // namespace
}  // namespace tarlo
