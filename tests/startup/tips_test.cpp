// Reading the tips file and picking a tip.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "startup/tips.h"

namespace tarlo {
namespace {

using Tips = std::vector<std::string>;

TEST(TipsTest, EachLineIsATipInFileOrder) {
    EXPECT_EQ(ReadTips("one\ntwo\nthree\n"), (Tips{"one", "two", "three"}));
    // The last line counts without a line break after it.
    EXPECT_EQ(ReadTips("one\ntwo\nthree"), (Tips{"one", "two", "three"}));
    EXPECT_EQ(ReadTips("only"), (Tips{"only"}));
    // Files saved on Windows.
    EXPECT_EQ(ReadTips("one\r\ntwo\r\n"), (Tips{"one", "two"}));
    // Blank lines would show an empty tip; they are passed over.
    EXPECT_EQ(ReadTips("\none\n\n  \ntwo\n\n"), (Tips{"one", "two"}));
    // A tip keeps its own blanks and markup as written.
    EXPECT_EQ(ReadTips("  Write &#169; <b>here</b> \n"), (Tips{"  Write &#169; <b>here</b> "}));
}

TEST(TipsTest, AnEmptyFileHasNoTips) {
    EXPECT_TRUE(ReadTips("").empty());
    EXPECT_TRUE(ReadTips("\n\r\n\n").empty());
}

TEST(TipsTest, AtMostAThousandTipsAreRead) {
    std::string file;
    for (int i = 1; i <= 1005; ++i) file += "tip " + std::to_string(i) + "\n";
    const Tips tips = ReadTips(file);
    ASSERT_EQ(tips.size(), kMaxTips);
    EXPECT_EQ(tips.front(), "tip 1");
    EXPECT_EQ(tips.back(), "tip 1000");
}

TEST(TipsTest, APickIsOneOfTheTipsAndEveryTipComesUp) {
    std::mt19937 random(12345);
    std::set<std::size_t> seen;
    for (int i = 0; i < 300; ++i) {
        const std::size_t pick = PickTip(3, random);
        ASSERT_LT(pick, 3u);
        seen.insert(pick);
    }
    EXPECT_EQ(seen.size(), 3u);

    // The first and the last of a full list are reachable.
    std::set<std::size_t> ends;
    for (int i = 0; i < 200000 && ends.size() < 2; ++i) {
        const std::size_t pick = PickTip(kMaxTips, random);
        ASSERT_LT(pick, kMaxTips);
        if (pick == 0 || pick == kMaxTips - 1) ends.insert(pick);
    }
    EXPECT_EQ(ends.size(), 2u);

    EXPECT_EQ(PickTip(1, random), 0u);
    EXPECT_EQ(PickTip(0, random), 0u);
}

}  // namespace
}  // namespace tarlo
