// The clean-up reads tags by its own literal rules, not as a browser does:
// these are the texts where a browser's reading (HtmlTokenizer's) would drop
// more, and where the cleaned text must stay what it always was.
#include <gtest/gtest.h>

#include <string>

#include "cleanup/edgarize.h"

namespace tarlo {
namespace {

const std::string kHead = "<html>\r\n<title>\r\n</title>\r\n\r\n";

TEST(EdgarizeLiteralMarkup, TagsCommentsAndScriptsEndAtTheirFirstCloser) {
    // A dropped tag ends at the ">" inside its quotes; the rest is text.
    EXPECT_EQ(Edgarize("<span title=\"a>b\">x</span>"), kHead + "b\">x");
    // A stripped tag too: the class after that ">" is text and stays.
    EXPECT_EQ(Edgarize("<p title=\"a>b\" class=c>x"), kHead + "<p title=\"a>b\" class=c>x");
    // A comment ends at the first "-->" counted from its "<".
    EXPECT_EQ(Edgarize("<!---->x<!-->y-->"), kHead + "xy-->");
    // A script ends at the first "</script", even inside its own quotes.
    EXPECT_EQ(Edgarize("<script title=\"</script>\">s()</script>z"), kHead + "\">s()z");
}

}  // namespace
}  // namespace tarlo
