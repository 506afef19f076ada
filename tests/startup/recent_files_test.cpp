// The recent files list: order, repeats, its length, and its file.
#include <gtest/gtest.h>

#include <algorithm>

#include "startup/recent_files.h"

namespace tarlo {
namespace {

using Files = std::vector<std::string>;

TEST(RecentFilesTest, TheNewestComesFirstOnceAndTheListHoldsEight) {
    Files files;
    AddRecentFile(files, "/f/a.htm");
    AddRecentFile(files, "/f/b.htm");
    EXPECT_EQ(files, (Files{"/f/b.htm", "/f/a.htm"}));
    // Opening a listed file again moves it to the top, never listing it twice.
    AddRecentFile(files, "/f/a.htm");
    EXPECT_EQ(files, (Files{"/f/a.htm", "/f/b.htm"}));

    for (int i = 1; i <= 10; ++i) AddRecentFile(files, "/f/" + std::to_string(i) + ".htm");
    ASSERT_EQ(files.size(), kMaxRecentFiles);
    EXPECT_EQ(files.front(), "/f/10.htm");
    EXPECT_EQ(files.back(), "/f/3.htm");

    RemoveRecentFile(files, "/f/5.htm");
    EXPECT_EQ(files.size(), kMaxRecentFiles - 1);
    EXPECT_EQ(std::count(files.begin(), files.end(), "/f/5.htm"), 0);
    RemoveRecentFile(files, "/f/not-listed.htm");
    EXPECT_EQ(files.size(), kMaxRecentFiles - 1);
}

TEST(RecentFilesTest, PathsTheFileCannotHoldAreNotListed) {
    Files files{"/f/a.htm"};
    AddRecentFile(files, "/f/two\nlines.htm");
    AddRecentFile(files, "relative.htm");
    AddRecentFile(files, "");
    EXPECT_EQ(files, (Files{"/f/a.htm"}));
    // Names with blanks and "&" are fine.
    AddRecentFile(files, "/f/Q&A 2026.htm");
    EXPECT_EQ(files.front(), "/f/Q&A 2026.htm");
}

TEST(RecentFilesTest, TheFileReadsBackAsWrittenAndToleratesDamage) {
    const Files files{"/f/b.htm", "/f/Q&A 2026.htm", "/f/a.htm"};
    EXPECT_EQ(RecentFilesText(files), "/f/b.htm\n/f/Q&A 2026.htm\n/f/a.htm\n");
    EXPECT_EQ(ParseRecentFiles(RecentFilesText(files)), files);
    EXPECT_EQ(ParseRecentFiles(""), Files{});
    // Blank lines, repeats, relative names, CR LF and no final line break.
    EXPECT_EQ(ParseRecentFiles("\n/f/a.htm\r\njunk\n/f/a.htm\n\n/f/b.htm"),
              (Files{"/f/a.htm", "/f/b.htm"}));
    std::string many;
    for (int i = 0; i < 20; ++i) many += "/f/" + std::to_string(i) + "\n";
    EXPECT_EQ(ParseRecentFiles(many).size(), kMaxRecentFiles);
}

TEST(RecentFilesTest, MenuCaptionsAreNumberedAndShowAnAmpersandAsWritten) {
    EXPECT_EQ(RecentFileCaption(0, "/f/a.htm"), "&1 /f/a.htm");
    EXPECT_EQ(RecentFileCaption(7, "/f/a.htm"), "&8 /f/a.htm");
    EXPECT_EQ(RecentFileCaption(2, "/f/Q&A.htm"), "&3 /f/Q&&A.htm");
}

}  // namespace
}  // namespace tarlo
