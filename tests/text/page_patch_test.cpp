// The element-wise refresh's patch: what the code becomes when the page
// hands back its changed elements, and where it refuses and the page must
// be taken whole.
#include "text/page_patch.h"

#include <gtest/gtest.h>

namespace tarlo {
namespace {

// The code after the patch, or "(refused)".
std::string Patched(const std::string& code, bool xhtml, const std::vector<PageElementEdit>& edits,
                    LineBreak lineBreak = LineBreak::CrLf) {
    const auto patch = PatchCodeFromPage(code, xhtml, lineBreak, edits);
    if (!patch) return "(refused)";
    const CodeReplacement one = AsOneReplacement(code, *patch);
    std::string out = code;
    out.replace(static_cast<std::size_t>(one.range.start),
                static_cast<std::size_t>(one.range.length), one.text);
    return out;
}

const std::string kTable =
    "<HTML><BODY><TABLE><TBODY><TR><TD ALIGN=right CLASS='a&amp;b'>1</TD>"
    "<TD>x</TD></TR></TBODY></TABLE></BODY></HTML>";
const std::vector<std::string> kCellNames{"HTML", "BODY", "TABLE", "TBODY", "TR", "TD"};

TEST(PagePatchTest, HtmlKeepsTheCodesTagsWhereThePageSeesThemAsWritten) {
    // Content only: the start tag's attributes are the page's, in any order
    // and quoting, so the code's start and end tags stay.
    EXPECT_EQ(Patched(kTable, false,
                      {{{0, 1, 0, 0, 0, 0},
                        kCellNames,
                        "<td class=\"a&amp;b\" align=\"right\">1\xC3\xA9</td>"}}),
              "<HTML><BODY><TABLE><TBODY><TR><TD ALIGN=right CLASS='a&amp;b'>1&#233;</TD>"
              "<TD>x</TD></TR></TBODY></TABLE></BODY></HTML>");
    // An attribute changed: the start tag is the page's, the end tag the code's.
    EXPECT_EQ(
        Patched(kTable, false,
                {{{0, 1, 0, 0, 0, 0}, kCellNames, "<td align=\"left\" class=\"a&amp;b\">1</td>"}}),
        "<HTML><BODY><TABLE><TBODY><TR><td align=\"left\" class=\"a&amp;b\">1</TD>"
        "<TD>x</TD></TR></TBODY></TABLE></BODY></HTML>");
    // Two cells at once; line feeds in the document's own kind.
    EXPECT_EQ(
        Patched(kTable, false,
                {{{0, 1, 0, 0, 0, 1}, kCellNames, "<td>y\nz</td>"},
                 {{0, 1, 0, 0, 0, 0}, kCellNames, "<td align=\"right\" class=\"a&amp;b\">2</td>"}},
                LineBreak::Lf),
        "<HTML><BODY><TABLE><TBODY><TR><TD ALIGN=right CLASS='a&amp;b'>2</TD>"
        "<TD>y\nz</TD></TR></TBODY></TABLE></BODY></HTML>");
}

TEST(PagePatchTest, RefusesWhereTheCodesBytesCannotBeMatchedToThePage) {
    const auto refused = [](const std::string& code, bool xhtml, const PageElementEdit& edit) {
        return Patched(code, xhtml, {edit}) == "(refused)";
    };
    // No element there, another element there, another on the way there.
    EXPECT_TRUE(refused(kTable, false, {{0, 1, 0, 0, 0, 2}, kCellNames, "<td>q</td>"}));
    EXPECT_TRUE(refused(kTable, false,
                        {{0, 1, 0, 0, 0}, {"HTML", "BODY", "TABLE", "TBODY", "TD"}, "<td>q</td>"}));
    EXPECT_TRUE(refused(kTable, false,
                        {{0, 1, 0, 0, 0, 0},
                         {"HTML", "BODY", "DIV", "TBODY", "TR", "TD"},
                         "<td align=\"right\" class=\"a&amp;b\">q</td>"}));
    // The parser's tbody inside the table; a paragraph closed by the next.
    EXPECT_TRUE(refused("<table><tr><td>a</td></tr></table>", false,
                        {{0, 1, 0},
                         {"HTML", "BODY", "TABLE"},
                         "<table><tbody><tr><td>b</td></tr></tbody></table>"}));
    EXPECT_TRUE(
        refused("<body><p>a<p>b</body>", false, {{0, 1, 0}, {"HTML", "BODY", "P"}, "<p>c</p>"}));
    // The parser's own element (the body it made) is never the code's.
    EXPECT_TRUE(refused("<p>a</p>", false, {{0, 1}, {"HTML", "BODY"}, "<body><p>b</p></body>"}));
    // XHTML names keep their case; XHTML that is not well-formed is not mapped.
    const std::string x =
        "<html xmlns=\"http://www.w3.org/1999/xhtml\"><body><p>a</p></body></html>";
    EXPECT_TRUE(refused(x, true, {{0, 0, 0}, {"html", "body", "P"}, "<P>b</P>"}));
    EXPECT_FALSE(refused(x, true, {{0, 0, 0}, {"html", "body", "p"}, "<p>b</p>"}));
    EXPECT_TRUE(refused(x + "<p>", true, {{0, 0, 0}, {"html", "body", "p"}, "<p>b</p>"}));
}

TEST(PagePatchTest, XhtmlAndWrappedFilingsGiveTheElementsOwnBytes) {
    // "<td/>" that gains content is written whole; its neighbours stay.
    const std::string x =
        "<?xml version='1.0'?>\r\n<html xmlns=\"http://www.w3.org/1999/xhtml\"><body><table>"
        "<tr><td style=\"a\"/><td/></tr></table></body></html>";
    EXPECT_EQ(Patched(x, true,
                      {{{0, 0, 0, 0, 0},
                        {"html", "body", "table", "tr", "td"},
                        "<td style=\"a\">\xE2\x80\x99</td>"}}),
              "<?xml version='1.0'?>\r\n<html xmlns=\"http://www.w3.org/1999/xhtml\"><body><table>"
              "<tr><td style=\"a\">&#8217;</td><td/></tr></table></body></html>");
    // Inside an EDGAR wrapper the page shows the <html> element only.
    const std::string wrapped =
        "<DOCUMENT>\r\n<TYPE>10-Q\r\n<TEXT>\r\n<HTML><BODY><P>a</P></BODY></HTML>\r\n</TEXT>\r\n"
        "</DOCUMENT>\r\n";
    EXPECT_EQ(Patched(wrapped, false, {{{0, 1, 0}, {"HTML", "BODY", "P"}, "<p>b^</p>"}}),
              "<DOCUMENT>\r\n<TYPE>10-Q\r\n<TEXT>\r\n<HTML><BODY><P>b^</P></BODY></HTML>\r\n"
              "</TEXT>\r\n</DOCUMENT>\r\n");
}

// A stretch of an element's children: [from, to) of `count`.
PageElementEdit Children(std::vector<int> path, std::vector<std::string> names, int from, int to,
                         int count, std::string html) {
    PageElementEdit e{std::move(path), std::move(names), std::move(html)};
    e.children = PageElementEdit::Children{from, to, count};
    return e;
}

TEST(PagePatchTest, AStretchOfChildrenReplacesJustThoseBytesAndKeepsTheirNeighbours) {
    // Body children: P, "\r\n", P, "\r\n", DIV. Two paragraphs joined: the
    // second paragraph and the line break before it go; the first changes
    // on its own.
    const std::string code =
        "<HTML><BODY><P ALIGN=center>one</P>\r\n<P>two</P>\r\n<DIV>three<BR></DIV></BODY></HTML>";
    const std::vector<std::string> body{"HTML", "BODY"};
    EXPECT_EQ(Patched(code, false,
                      {Children({0, 1}, body, 1, 3, 5, ""),
                       Children({0, 1, 0}, {"HTML", "BODY", "P"}, 0, 1, 1, "onetwo")}),
              "<HTML><BODY><P ALIGN=center>onetwo</P>\r\n<DIV>three<BR></DIV></BODY></HTML>");
    // A table put in after the last child, and before the first.
    EXPECT_EQ(Patched(code, false,
                      {Children({0, 1}, body, 5, 5, 5, "<table><tr><td>x</td></tr></table>")}),
              "<HTML><BODY><P ALIGN=center>one</P>\r\n<P>two</P>\r\n<DIV>three<BR></DIV>"
              "<table><tr><td>x</td></tr></table></BODY></HTML>");
    EXPECT_EQ(Patched(code, false, {Children({0, 1}, body, 0, 0, 5, "<hr>")}),
              "<HTML><BODY><hr><P ALIGN=center>one</P>\r\n<P>two</P>\r\n<DIV>three<BR></DIV>"
              "</BODY></HTML>");
    // A paragraph closed by what follows it takes children at its end.
    EXPECT_EQ(Patched("<body><p>a<p>b</body>", false,
                      {Children({0, 1, 0}, {"HTML", "BODY", "P"}, 1, 1, 1, "<img src=\"x\">")}),
              "<body><p>a<img src=\"x\"><p>b</body>");
    // A list that does not match the code's, and the parser's own body.
    EXPECT_EQ(Patched(code, false, {Children({0, 1}, body, 1, 3, 4, "")}), "(refused)");
    EXPECT_EQ(Patched("<p>a</p>", false, {Children({0, 1}, body, 0, 0, 1, "<hr>")}), "(refused)");
    // XHTML: "<p/>" has no place for children; a stretch in a well-formed
    // element keeps the bytes around it.
    const std::string x =
        "<html xmlns=\"http://www.w3.org/1999/xhtml\"><body><p/><div>a<br/>b</div></body></html>";
    EXPECT_EQ(Patched(x, true, {Children({0, 0, 0}, {"html", "body", "p"}, 0, 0, 0, "c")}),
              "(refused)");
    EXPECT_EQ(Patched(x, true, {Children({0, 0, 1}, {"html", "body", "div"}, 2, 3, 3, "c")}),
              "<html xmlns=\"http://www.w3.org/1999/xhtml\"><body><p/><div>a<br/>c</div></body>"
              "</html>");
}

TEST(PagePatchTest, CodeReadsAsThePageOnlyWhereItsMarkupBuildsThePagesTree) {
    const auto reads = [](const std::string& code, PageElementEdit edit) {
        const SourceMap map = SourceMap::Build(code, HtmlSyntax::Html);
        return CodeReadsAsPage(map, false, {edit});
    };
    PageElementEdit cell{{0, 1, 0}, {"HTML", "BODY", "P"}, "", {}, {0, 1, 0}, "<P#<B#>>"};
    EXPECT_TRUE(reads("<p>a<b>c</b></p>", cell));
    // A list the page holds inside a paragraph: the parser closes the
    // paragraph first, so the code does not read back into that tree.
    cell.shape = "<P#<UL<LI#>>>";
    EXPECT_FALSE(reads("<p>a<ul><li>b</li></ul></p>", cell));
    // Children: two paragraphs where the page holds one list; the count of
    // children now must match too.
    PageElementEdit body{{0, 1}, {"HTML", "BODY"}, "", PageElementEdit::Children{0, 1, 1, 1},
                         {0, 1}, "<UL<LI#>>"};
    EXPECT_TRUE(reads("<body><ul><li>a</li></ul></body>", body));
    EXPECT_FALSE(reads("<body><ul><li>a</li></ul>x</body>", body));
    EXPECT_FALSE(reads("<body><ul><li>a<p>b</li></ul></body>", body));
}

TEST(PagePatchTest, OneReplacementHoldsOnlyWhatChangedAndSplitsNoCharacter) {
    const std::string code =
        "ab\xC3\xA9"
        "cd-xyz";
    const CodeReplacement one = AsOneReplacement(code, {{{1, 4},
                                                         "b\xC3\xA8"
                                                         "c"},
                                                        {{7, 2}, "yq"}});
    // "é" and "è" share their first byte: the change starts at the character.
    EXPECT_EQ(one.range.start, 2);
    EXPECT_EQ(one.range.length, 7);
    EXPECT_EQ(one.text,
              "\xC3\xA8"
              "cd-yq");
}

}  // namespace
}  // namespace tarlo
