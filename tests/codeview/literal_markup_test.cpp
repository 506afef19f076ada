// The colorizer and the formatter read markup by their own literal rules,
// not as a browser does: a ">" in a quoted value ends a tag, a "<" inside a
// comment or a script starts one. These are the texts where a browser's
// reading (HtmlTokenizer's) would colour or lay out the code differently.
#include <gtest/gtest.h>

#include <string>

#include "codeview/html_colorizer.h"
#include "codeview/html_formatter.h"

namespace tarlo {
namespace {

// One letter per byte: p plain, t tag, n name, v value.
std::string Letters(const std::string& html) {
    std::string out;
    for (ColourRole r : ColourRolesPerByte(html)) out.push_back("ptnv"[static_cast<int>(r)]);
    return out;
}

TEST(LiteralMarkup, ColoursFollowTheFirstGreaterThanAndEveryLessThan) {
    // The tag colour stops at the ">" inside the quotes; the value's rest is
    // plain and the tag colour comes back after it.
    EXPECT_EQ(Letters("<p title=\"a>b\">x</p>"), "ttnnnnnnnvvvpptttttt");
    // A "<" before a blank in text is a tag when a ">" follows.
    EXPECT_EQ(Letters("if x < y > z"), "ppppptttttpp");
    // Script content is read for tags like any other text.
    EXPECT_EQ(Letters("<script>if (a<b) c();</script>"),
              std::string(8, 't') + std::string(5, 'p') + std::string(17, 't'));
}

TEST(LiteralMarkup, FormattedLinesStartAtEveryLessThan) {
    // Inside a script, a comparison starts a line of its own.
    EXPECT_EQ(FormatHtml("<script>if (a<b) c();</script><p>"),
              "\r\n<script>if (a\r\n     <b) c();\r\n     </script>\r\n     <p>");
    // So does a tag inside a comment, as in Word's conditional comments.
    EXPECT_EQ(FormatHtml("<!--[if gte mso 9]><xml>x</xml><![endif]-->"),
              "\r\n<!--[if gte mso 9]>\r\n     <xml>x\r\n     </xml>\r\n     <![endif]-->");
    // A preformatted element begun inside a comment keeps the line breaks
    // after it, where the comment alone would not.
    EXPECT_EQ(FormatHtml("<!-- <pre> -->a\r\nb"), "\r\n<!-- \r\n     <pre> -->a\r\nb");
    EXPECT_EQ(FormatHtml("<!-- <p> -->a\r\nb"), "\r\n<!-- \r\n<p> -->a b");
}

}  // namespace
}  // namespace tarlo
