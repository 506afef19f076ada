// What the refresh keeps of the code that built the page, and how the page's
// serialisation comes back as code.
#include <gtest/gtest.h>

#include "text/page_source.h"

namespace tarlo {
namespace {

TEST(PageSource, TellsXhtmlFromHtml) {
    EXPECT_TRUE(ClaimsXhtml("<?xml version='1.0' encoding='ASCII'?>\n<html>"));
    EXPECT_TRUE(ClaimsXhtml("  <!-- made by hand -->\r\n<?xml version=\"1.0\"?><html>"));
    EXPECT_TRUE(
        ClaimsXhtml("<!DOCTYPE html><!-- x --><html xmlns=\"http://www.w3.org/1999/xhtml\">"));
    EXPECT_TRUE(ClaimsXhtml("\xEF\xBB\xBF<?xml version='1.0'?><html/>"));
    EXPECT_FALSE(ClaimsXhtml("<!DOCTYPE html><html><body>xmlns=\"http://www.w3.org/1999/xhtml\""));
    EXPECT_FALSE(ClaimsXhtml("<p><?xml version='1.0'?>"));
    EXPECT_FALSE(ClaimsXhtml("<html lang=en>"));
    EXPECT_FALSE(ClaimsXhtml(""));
    EXPECT_FALSE(ClaimsXhtml("<!-- never closed <?xml"));
}

TEST(PageSource, KeepsTheTextAroundTheRootElement) {
    const std::string xhtml =
        "<?xml version='1.0' encoding='ASCII'?>\n<!--Created-->\n"
        "<html xmlns=\"http://www.w3.org/1999/xhtml\"><body/></html>\n<!-- end -->\n";
    const PageSource x = DescribePageSource(xhtml);
    EXPECT_TRUE(x.xhtml);
    EXPECT_EQ(x.prolog, "<?xml version='1.0' encoding='ASCII'?>\n<!--Created-->\n");
    EXPECT_EQ(x.epilog, "\n<!-- end -->\n");
    EXPECT_EQ(PageContent(xhtml), xhtml);
    EXPECT_EQ(
        PageToCode("<html xmlns=\"http://www.w3.org/1999/xhtml\"><body>\xe2\x80\x99</body></html>",
                   x),
        "<?xml version='1.0' encoding='ASCII'?>\r\n<!--Created-->\r\n"
        "<html xmlns=\"http://www.w3.org/1999/xhtml\"><body>&#8217;</body></html>\r\n"
        "<!-- end -->\r\n");

    // HTML: the DOCTYPE and comments before <html> come back; nothing after it
    // is added (the page keeps trailing text inside its body).
    const PageSource h =
        DescribePageSource("<!DOCTYPE html>\r\n<!-- c -->\r\n<HTML><P>x</HTML>\r\n");
    EXPECT_FALSE(h.xhtml);
    EXPECT_EQ(h.prolog, "<!DOCTYPE html>\r\n<!-- c -->\r\n");
    EXPECT_EQ(h.epilog, "");
    // Text before the root is no prolog.
    EXPECT_EQ(DescribePageSource("x<html></html>").prolog, "");
}

TEST(PageSource, AFilingInItsEdgarWrapperShowsTheDocumentInside) {
    const std::string code =
        "<DOCUMENT>\n<TYPE>10-Q\n<TEXT>\n<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n"
        "<html><body>a</body></html>\n</TEXT>\n</DOCUMENT>\n";
    EXPECT_EQ(PageContent(code), "<html><body>a</body></html>");
    const PageSource s = DescribePageSource(code);
    EXPECT_EQ(
        s.prolog,
        "<DOCUMENT>\n<TYPE>10-Q\n<TEXT>\n<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n");
    EXPECT_EQ(s.epilog, "\n</TEXT>\n</DOCUMENT>\n");
    EXPECT_EQ(
        PageToCode("<html><head></head><body>b</body></html>", s),
        "<DOCUMENT>\r\n<TYPE>10-Q\r\n<TEXT>\r\n<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML "
        "4.01//EN\">\r\n<html><head></head><body>b</body></html>\r\n</TEXT>\r\n</DOCUMENT>\r\n");
    // "<htmlx" is no html element; without an end tag nothing is wrapped.
    EXPECT_EQ(PageContent("<X><htmlx>"), "<X><htmlx>");
    EXPECT_EQ(PageContent("<X><html><body>"), "<X><html><body>");
}

TEST(PageSource, LeavesOutWhatThePageAddedAndSpellsCaretsAsTheCodeDid) {
    const std::string page =
        "<html><head></head><body><table><tbody><tr><td>2^3</td></tr></tbody></table>"
        "<!-- a^b --><p title=\"x^y\">\xc2\xa0\xe2\x80\x93</p></body></html>";
    PageSource plain = DescribePageSource("<table><tr><td>2&#94;3</td></tr></table>");
    EXPECT_FALSE(plain.hadTbody);
    EXPECT_TRUE(plain.hadCaretReference);
    EXPECT_EQ(PageToCode(page, plain),
              "<html><head></head><body><table><tr><td>2&#94;3</td></tr></table>"
              "<!-- a^b --><p title=\"x^y\">&#160;&#150;</p></body></html>");
    // Sections the code wrote stay; a raw "^" stays raw.
    PageSource own = DescribePageSource("<TABLE><TBODY><tr><td>2^3</td></tr></TBODY></TABLE>");
    EXPECT_TRUE(own.hadTbody);
    EXPECT_FALSE(own.hadCaretReference);
    EXPECT_NE(PageToCode(page, own).find("<tbody><tr><td>2^3</td></tr></tbody>"),
              std::string::npos);
    EXPECT_TRUE(DescribePageSource("&Hat;").hadCaretReference);
    EXPECT_TRUE(DescribePageSource("&#X5E;").hadCaretReference);
    // XHTML keeps every element the code had; characters by their code points.
    PageSource x = DescribePageSource("<?xml version='1.0'?><html><table><tr/></table></html>");
    EXPECT_EQ(PageToCode("<table><tbody><tr/></tbody></table>\xe2\x80\x93", x),
              "<?xml version='1.0'?><table><tbody><tr/></tbody></table>&#8211;");
}

}  // namespace
}  // namespace tarlo
