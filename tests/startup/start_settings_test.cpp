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

}  // namespace
}  // namespace tarlo
