// The search and Replace All of the find window, on texts.
#include <gtest/gtest.h>

#include <string>

#include "find/find_text.h"

namespace tarlo {
namespace {

constexpr SearchOptions kAnyCase{};
constexpr SearchOptions kWord{true, false};
constexpr SearchOptions kCase{false, true};

std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view by,
                       SearchOptions options, std::size_t* count = nullptr) {
    const ReplaceAllResult r = ReplaceAllText(text, find, by, options);
    if (count != nullptr) *count = r.count;
    return ApplyReplaceAll(text, r);
}

TEST(FindText, CaseStartAndNoWrapAround) {
    const std::string text = "<TABLE><table>";
    EXPECT_EQ(FindText(text, "table", 0, kAnyCase), 1);
    EXPECT_EQ(FindText(text, "table", 0, kCase), 8);
    EXPECT_EQ(FindText(text, "table", 2, kAnyCase), 8);
    // At the start position itself, and nothing before it once past.
    EXPECT_EQ(FindText(text, "table", 8, kAnyCase), 8);
    EXPECT_EQ(FindText(text, "table", 9, kAnyCase), -1);
    EXPECT_EQ(FindText(text, "table", text.size(), kAnyCase), -1);
    EXPECT_EQ(FindText(text, "table", text.size() + 5, kAnyCase), -1);
    // An empty text to find finds nothing.
    EXPECT_EQ(FindText(text, "", 0, kAnyCase), -1);
    // ASCII letters fold, as in the code view's search; others compare as
    // they are.
    std::size_t length = 0;
    EXPECT_EQ(FindText("x \u00e9T\u00e9 y", "\u00e9t\u00e9", 0, kAnyCase, &length), 2);
    EXPECT_EQ(length, 5u);
    EXPECT_EQ(FindText("x \u00c9T\u00c9 y", "\u00e9t\u00e9", 0, kAnyCase), -1);
    EXPECT_EQ(FindText("x \u00e9T\u00e9 y", "\u00e9t\u00e9", 0, kCase), -1);
    EXPECT_EQ(SearchOptionsFromBits(2 | 8).wholeWord, true);
    EXPECT_EQ(SearchOptionsFromBits(2 | 8).matchCase, false);
    EXPECT_EQ(SearchOptionsFromBits(4).matchCase, true);
}

TEST(FindText, WholeWordIsBoundedByLettersDigitsAndUnderscore) {
    EXPECT_EQ(FindText("tables table", "table", 0, kWord), 7);
    EXPECT_EQ(FindText("_table table2 <table>", "table", 0, kWord), 15);
    EXPECT_EQ(FindText("\u00e9table table", "table", 0, kWord), 8);
    // Punctuation and symbols beyond ASCII do not join a word.
    EXPECT_EQ(FindText("\u2014table\u00a0", "table", 0, kWord), 3);
    EXPECT_TRUE(IsWordCharacter(U'\u00e9'));
    EXPECT_TRUE(IsWordCharacter(U'_'));
    EXPECT_FALSE(IsWordCharacter(U'\u2014'));
    EXPECT_FALSE(IsWordCharacter(U'-'));
}

TEST(ReplaceAll, ReplacementIsNeverSearchedAgain) {
    std::size_t count = 0;
    EXPECT_EQ(ReplaceAll("aaa", "a", "aa", kAnyCase, &count), "aaaaaa");
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(ReplaceAll("abcabc", "abc", "x", kAnyCase, &count), "xx");
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(ReplaceAll("aaaa", "aa", "a", kAnyCase, &count), "aa");
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(ReplaceAll("<P>p</p>", "p", "div", kAnyCase, &count), "<div>div</div>");
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(ReplaceAll("<P>p</p>", "p", "div", kCase, &count), "<P>div</div>");
    EXPECT_EQ(ReplaceAll("cat catalog cat", "cat", "dog", kWord, &count), "dog catalog dog");
    EXPECT_EQ(count, 2u);
    // An occurrence right after a replaced one touches the replacement, as
    // when they are replaced one by one.
    EXPECT_EQ(ReplaceAll("--", "-", "x", kWord, &count), "x-");
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(ReplaceAll("--", "-", "+", kWord, &count), "++");
    EXPECT_EQ(ReplaceAll("a--", "-", "", kWord, &count), "a-");
    EXPECT_EQ(ReplaceAll(" --", "-", "", kWord, &count), " ");
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(ReplaceAll("none here", "zz", "y", kAnyCase, &count), "none here");
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(ReplaceAll("abc", "", "y", kAnyCase, &count), "abc");
    EXPECT_EQ(count, 0u);
    // Only the stretch from the first occurrence to the end of the last is
    // handed back, for the window's single edit.
    const ReplaceAllResult r = ReplaceAllText("12a45a78", "a", "BB", kAnyCase);
    EXPECT_EQ(r.from, 2u);
    EXPECT_EQ(r.to, 6u);
    EXPECT_EQ(r.replaced, "BB45BB");
    EXPECT_EQ(r.resultBytes, 10u);
}

TEST(ReplaceAll, CountsPastSixteenBitsAndStopsBuildingPastTheLimit) {
    // 40,000 occurrences: every one replaced and counted.
    const std::string text(40000, 'x');
    std::size_t count = 0;
    EXPECT_EQ(ReplaceAll(text, "x", "y", kCase, &count), std::string(40000, 'y'));
    EXPECT_EQ(count, 40000u);
    // A result past the limit builds nothing but still says how large it
    // would have been.
    const ReplaceAllResult big = ReplaceAllText(text, "x", "0123456789", kCase, 100000);
    EXPECT_TRUE(big.tooLarge);
    EXPECT_TRUE(big.replaced.empty());
    EXPECT_EQ(big.resultBytes, 400000u);
    EXPECT_EQ(ApplyReplaceAll(text, big), text);
    const ReplaceAllResult fits = ReplaceAllText(text, "x", "ab", kCase, 80000);
    EXPECT_FALSE(fits.tooLarge);
}

}  // namespace
}  // namespace tarlo
