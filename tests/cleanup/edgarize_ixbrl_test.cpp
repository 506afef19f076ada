// The Inline XBRL form of the clean-up on small documents: which documents
// take it, what it removes, and that it never takes half of a pair.
#include <gtest/gtest.h>

#include <string>

#include "cleanup/edgarize_ixbrl.h"

namespace tarlo {
namespace {

TEST(EdgarizeInlineXbrl, TakesXhtmlDocumentsWithTaggingOutsideComments) {
    const std::string root = "<html xmlns=\"http://www.w3.org/1999/xhtml\"";
    EXPECT_TRUE(IsInlineXbrlDocument(root + "><body><ix:nonFraction name=\"a\"/></body></html>"));
    EXPECT_TRUE(IsInlineXbrlDocument(
        "<?xml version='1.0'?><html xmlns:ix = 'http://www.xbrl.org/2013/inlineXBRL'/>"));
    EXPECT_TRUE(IsInlineXbrlDocument("<?xml version='1.0'?><!-- x --><html><IX:HEADER/></html>"));
    // ix: only in a comment or in text, a look-alike prefix, or an HTML page.
    EXPECT_FALSE(IsInlineXbrlDocument(root + "><!-- <ix:header> --><p>ix:a</p></html>"));
    EXPECT_FALSE(IsInlineXbrlDocument(root + " xmlns:ixt=\"x\"><ixy/></html>"));
    EXPECT_FALSE(IsInlineXbrlDocument("<html><body><ix:nonFraction name=\"a\"/></body></html>"));
    EXPECT_FALSE(CleanUpInlineXbrl("<html><p class=x>a</p></html>").has_value());
}

TEST(EdgarizeInlineXbrl, RemovesWhatEdgarRefusesAndKeepsTheTagging) {
    const std::string in =
        "<?xml version='1.0' encoding='ASCII'?>\n<!--Made by hand-->\n"
        "<html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:ix=\"http://www.xbrl.org/2013/"
        "inlineXBRL\" xmlns:xbrli=\"http://www.xbrl.org/2003/instance\" xmlns:o=\"urn:o\">"
        "<head><title>t</title><style type=\"text/css\">p.a { x: 1 }</style>"
        "<link rel=\"stylesheet\" href=\"a.css\"/><script>/*<![CDATA[*/a<b/*]]>*/</script></head>"
        "<body class=\"b\"><div style=\"display:none\"><ix:header><!--kept--><ix:hidden>"
        "<ix:nonNumeric name=\"dei:X\" contextRef=\"c\" id=\"h1\" class=\"k\">No</ix:nonNumeric>"
        "</ix:hidden><ix:resources><xbrli:context id=\"c\"/></ix:resources></ix:header></div>"
        "<!-- gone --><p class=\"a\" id=\"p1\" style=\"-sec-ix-hidden:h1\">Caf\xC3\xA9<o:p></o:p>"
        "<o:p/></p><table><tbody><tr style=\"height:2pt\"><td class='c' colspan=\"2\">"
        "<ix:nonFraction name=\"us-gaap:R\" contextRef=\"c\" unitRef=\"u\" decimals=\"-3\">"
        "1,000</ix:nonFraction><br/></td></tr></tbody></table>"
        "<ix:nonNumeric name=\"a:B\" contextRef=\"c\" escape=\"true\"><p class=\"z\">q<!--c-->"
        "</p></ix:nonNumeric></body></html>\n";
    const std::string want =
        "<?xml version='1.0' encoding='ASCII'?>\r\n<!--Made by hand-->\r\n"
        "<html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:ix=\"http://www.xbrl.org/2013/"
        "inlineXBRL\" xmlns:xbrli=\"http://www.xbrl.org/2003/instance\" xmlns:o=\"urn:o\">"
        "<head><title>t</title></head>"
        "<body><div style=\"display:none\"><ix:header><!--kept--><ix:hidden>"
        "<ix:nonNumeric name=\"dei:X\" contextRef=\"c\" id=\"h1\" class=\"k\">No</ix:nonNumeric>"
        "</ix:hidden><ix:resources><xbrli:context id=\"c\"/></ix:resources></ix:header></div>"
        "<p id=\"p1\" style=\"-sec-ix-hidden:h1\">Caf&#233;"
        "</p><table><tr style=\"height:2pt\"><td colspan=\"2\">"
        "<ix:nonFraction name=\"us-gaap:R\" contextRef=\"c\" unitRef=\"u\" decimals=\"-3\">"
        "1,000</ix:nonFraction><br/></td></tr></table>"
        "<ix:nonNumeric name=\"a:B\" contextRef=\"c\" escape=\"true\"><p class=\"z\">q<!--c-->"
        "</p></ix:nonNumeric></body></html>\r\n";
    EXPECT_EQ(EdgarizeInlineXbrl(in), want);

    // Inside an EDGAR wrapper the document is cleaned and the wrapper kept.
    const std::string wrapped = "<DOCUMENT>\n<TYPE>10-K\n<TEXT>\n" + in + "</TEXT>\n</DOCUMENT>\n";
    const std::optional<std::string> whole = CleanUpInlineXbrl(wrapped);
    ASSERT_TRUE(whole.has_value());
    EXPECT_NE(whole->find(want), std::string::npos) << *whole;
    const std::string end = "</html>\r\n</TEXT>\r\n</DOCUMENT>\r\n";
    EXPECT_EQ(whole->substr(whole->size() - end.size()), end);
}

// A document whose tags do not pair loses no element: removing one half of
// a pair could break what the other half closes.
TEST(EdgarizeInlineXbrl, AnUnpairedDocumentKeepsEveryElement) {
    const std::string in =
        "<?xml version='1.0'?><html xmlns:ix=\"http://www.xbrl.org/2013/inlineXBRL\"><body>"
        "<p class=\"a\"><o:p></o:p><tbody><script>x</script><!--c--><ix:nonFraction name=\"n\">"
        "1</ix:nonFraction></body></html>";
    EXPECT_EQ(EdgarizeInlineXbrl(in),
              "<?xml version='1.0'?><html xmlns:ix=\"http://www.xbrl.org/2013/inlineXBRL\"><body>"
              "<p><o:p></o:p><tbody><script>x</script><ix:nonFraction name=\"n\">"
              "1</ix:nonFraction></body></html>");
}

}  // namespace
}  // namespace tarlo
