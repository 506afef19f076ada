#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "text/find_replace.h"

namespace tarlo {
namespace {

TEST(FindReplace, InPlaceMatchesTheCopyingForm) {
    const std::pair<const char*, const char*> pairs[] = {
        {"aa", "b"}, {"a", ""}, {" >", ">"}, {"> <", "><"}, {"x", "xx"}, {"ab", "ab"}, {"", "z"}};
    for (const char* text : {"", "aaaa", "aaa", "a > <b> < >", "xax", "abab", "b"}) {
        for (const auto& [find, replacement] : pairs) {
            std::string inPlace = text;
            FindReplaceInPlace(inPlace, find, replacement);
            EXPECT_EQ(inPlace, FindReplace(text, find, replacement))
                << '"' << text << "\" / " << find << " / " << replacement;
        }
    }
}

TEST(FindReplace, ExactLeftToRightNonOverlapping) {
    EXPECT_EQ(FindReplace("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(FindReplace("aaa", "aa", "b"), "ba");
    EXPECT_EQ(FindReplace("<P><p>", "<p>", "<br>"), "<P><br>");  // case matters
    EXPECT_EQ(FindReplace("xx", "x", "xx"), "xxxx");  // replacements are not searched again
    EXPECT_EQ(FindReplace("abc", "", "z"), "abc");
    EXPECT_EQ(FindReplace("", "a", "z"), "");
    EXPECT_EQ(FindReplace("a\r\n\r\nb", "\r\n\r\n", "\r\n"), "a\r\nb");
    EXPECT_EQ(Occurs("aaaa", "aa"), 2);
    EXPECT_EQ(Occurs("aaa", "aa"), 1);
    EXPECT_EQ(Occurs("Mso mso MSO", "mso"), 1);
    EXPECT_EQ(Occurs("abc", ""), 0);
    EXPECT_EQ(Occurs("abc", "x"), 0);
    EXPECT_EQ(Occurs("", "x"), -1);  // nothing to search: below 1 as "none"
    EXPECT_EQ(Occurs("", ""), -1);
}

}  // namespace
}  // namespace tarlo
