// The settings file: what counts as "show the tip at start-up", what is
// written, and where the file lives.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "startup/start_settings.h"

namespace tarlo {
namespace {

TEST(StartSettingsTest, OnlyAOneOnTheFirstLineShowsTheTip) {
    EXPECT_TRUE(ParseShowTipsFlag("1\n"));
    EXPECT_TRUE(ParseShowTipsFlag("1"));
    EXPECT_TRUE(ParseShowTipsFlag("  1 \t\r\n"));
    EXPECT_TRUE(
        ParseShowTipsFlag("\xEF\xBB\xBF"
                          "1\r\n"));
    EXPECT_TRUE(ParseShowTipsFlag("1\n0\n"));  // only the first line counts

    EXPECT_FALSE(ParseShowTipsFlag("0\n"));
    EXPECT_FALSE(ParseShowTipsFlag(""));
    EXPECT_FALSE(ParseShowTipsFlag("\n1\n"));
    EXPECT_FALSE(ParseShowTipsFlag("yes\n"));
    EXPECT_FALSE(ParseShowTipsFlag("11\n"));
    EXPECT_FALSE(ParseShowTipsFlag("1 1\n"));
    EXPECT_FALSE(ParseShowTipsFlag("-1\n"));
    EXPECT_FALSE(ParseShowTipsFlag(std::string("1\0", 2)));
    EXPECT_FALSE(ParseShowTipsFlag("\x89PNG\r\n\x1a\n"));
}

TEST(StartSettingsTest, TheFlagIsWrittenAsADigitAndALineBreakThatReadsBack) {
    EXPECT_EQ(ShowTipsFlagText(true), "1\n");
    EXPECT_EQ(ShowTipsFlagText(false), "0\n");
    EXPECT_TRUE(ParseShowTipsFlag(ShowTipsFlagText(true)));
    EXPECT_FALSE(ParseShowTipsFlag(ShowTipsFlagText(false)));
}

TEST(StartSettingsTest, TheFileLivesInTheXdgConfigurationFolder) {
    EXPECT_EQ(SettingsFilePath("/x/conf", "/home/ann"), "/x/conf/Tarlo/Tarlo.ini");
    EXPECT_EQ(SettingsFolder("/x/conf", "/home/ann"), "/x/conf/Tarlo");
    // Unset, empty or relative XDG_CONFIG_HOME falls back to ~/.config.
    EXPECT_EQ(SettingsFilePath(nullptr, "/home/ann"), "/home/ann/.config/Tarlo/Tarlo.ini");
    EXPECT_EQ(SettingsFilePath("", "/home/ann"), "/home/ann/.config/Tarlo/Tarlo.ini");
    EXPECT_EQ(SettingsFilePath("conf", "/home/ann"), "/home/ann/.config/Tarlo/Tarlo.ini");
    // No folder at all rather than one relative to wherever Tarlo started.
    EXPECT_EQ(SettingsFilePath(nullptr, nullptr), "");
    EXPECT_EQ(SettingsFilePath("conf", "home"), "");
}

TEST(StartSettingsTest, ReadingTheFileMissingEmptyOrGarbageMeansNoTip) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("tarlo-settings-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "Tarlo.ini").string();
    auto write = [&](const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    };

    EXPECT_FALSE(ReadShowTipsFlag(path));  // missing
    EXPECT_FALSE(ReadShowTipsFlag(""));
    write("1\n");
    EXPECT_TRUE(ReadShowTipsFlag(path));
    write(" 1 ");
    EXPECT_TRUE(ReadShowTipsFlag(path));
    write("0\n");
    EXPECT_FALSE(ReadShowTipsFlag(path));
    write("");
    EXPECT_FALSE(ReadShowTipsFlag(path));
    write(std::string(100000, 'x'));
    EXPECT_FALSE(ReadShowTipsFlag(path));
    // A folder where the file should be.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_FALSE(ReadShowTipsFlag(path));
    std::filesystem::remove_all(dir);
}

TEST(StartSettingsTest, TheMainWindowsLinesRoundTripBesideTheFlag) {
    RememberedWindow window;
    window.place = PixelRect{-1200, 35, 1000, 720};
    window.split = 62;
    window.sideBySide = false;
    window.maximized = true;
    const std::string text = SettingsText(true, window);
    // The flag's line stays first and as it always was, so older readers
    // still find it.
    EXPECT_EQ(text.substr(0, 2), "1\n");
    EXPECT_TRUE(ParseShowTipsFlag(text));
    const RememberedWindow back = ParseRememberedWindow(text);
    EXPECT_EQ(back.place, window.place);
    EXPECT_EQ(back.split, 62);
    EXPECT_EQ(back.sideBySide, false);
    EXPECT_EQ(back.maximized, true);
    EXPECT_EQ(ParseRememberedWindow(SettingsText(false, {{}, {}, true, {}})).sideBySide, true);
    // Only the flag: what older versions wrote.
    EXPECT_EQ(SettingsText(false, {}), "0\n");
    const RememberedWindow none = ParseRememberedWindow("1\n");
    EXPECT_FALSE(none.place || none.split || none.sideBySide);
}

TEST(StartSettingsTest, AMissingOrMalformedLineLeavesOnlyItsPartToTheDefault) {
    // Blanks, Windows line breaks and unknown keys are borne.
    const RememberedWindow ok = ParseRememberedWindow(
        "0\r\n left = 10 \r\ntop=20\r\ncolour=red\r\nwidth=300\r\nheight=400\r\nsplit=6\r\n"
        "orientation=side-by-side");
    EXPECT_EQ(ok.place, (PixelRect{10, 20, 300, 400}));
    EXPECT_EQ(ok.split, 6);
    EXPECT_EQ(ok.sideBySide, true);

    // The place needs all four numbers, each whole and sensible.
    for (const char* bad :
         {"top=20\nwidth=300\nheight=400\n", "left=1x\ntop=20\nwidth=300\nheight=400\n",
          "left=10\ntop=20\nwidth=0\nheight=400\n",
          "left=10\ntop=20\nwidth=300\nheight=99999999999\n",
          "left=\ntop=20\nwidth=300\nheight=400\n"}) {
        const RememberedWindow r = ParseRememberedWindow(std::string("1\n") + bad + "split=50\n");
        EXPECT_FALSE(r.place) << bad;
        EXPECT_EQ(r.split, 50) << bad;
    }
    for (const char* bad : {"split=5", "split=98", "split=fifty", "split=-40"}) {
        EXPECT_FALSE(ParseRememberedWindow(std::string("1\n") + bad).split) << bad;
    }
    EXPECT_FALSE(ParseRememberedWindow("1\norientation=sideways").sideBySide);
    EXPECT_FALSE(ParseRememberedWindow("1\nmaximized=yes").maximized);
    EXPECT_EQ(ParseRememberedWindow("1\nmaximized=0").maximized, false);
    // The first line is the flag's, whatever it looks like.
    EXPECT_FALSE(ParseRememberedWindow("split=40\n").split);
}

}  // namespace
}  // namespace tarlo
