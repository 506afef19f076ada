// The formatter on golden files and on the rules a filing exercises.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include "codeview/html_formatter.h"

namespace tarlo {
namespace {

std::string ReadData(const std::string& relative) {
    std::ifstream f(std::string(TEST_DATA_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

TEST(FormatHtml, GoldenFiles) {
    for (const char* name : {"worked_example", "filing_mends"}) {
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
    EXPECT_NE(streamed.find("\r\n" + std::string(4995, ' ') + "<a>"), std::string::npos);
}

}  // namespace
}  // namespace tarlo
