// The command line: a file to open, --help and --version, mistakes, and
// Qt's own options left alone.
#include <gtest/gtest.h>

#include <regex>

#include "startup/command_line.h"

namespace tarlo {
namespace {

using Action = CommandLine::Action;

TEST(CommandLineTest, AFileNameOrNothingStartsTheWindow) {
    CommandLine line = ParseCommandLine({});
    EXPECT_EQ(line.action, Action::Run);
    EXPECT_EQ(line.file, "");

    line = ParseCommandLine({"filing.htm"});
    EXPECT_EQ(line.action, Action::Run);
    EXPECT_EQ(line.file, "filing.htm");

    // After "--" a name may start with a dash, and --help is a file name.
    line = ParseCommandLine({"--", "-draft.html"});
    EXPECT_EQ(line.action, Action::Run);
    EXPECT_EQ(line.file, "-draft.html");
    EXPECT_EQ(ParseCommandLine({"--", "--help"}).file, "--help");
    // A lone dash is a name, not an option.
    EXPECT_EQ(ParseCommandLine({"-"}).file, "-");
}

TEST(CommandLineTest, HelpAndVersionEndBeforeTheWindowWhereverTheyStand) {
    EXPECT_EQ(ParseCommandLine({"--help"}).action, Action::Help);
    EXPECT_EQ(ParseCommandLine({"-h"}).action, Action::Help);
    EXPECT_EQ(ParseCommandLine({"a.htm", "--help"}).action, Action::Help);
    EXPECT_EQ(ParseCommandLine({"--version"}).action, Action::Version);
    EXPECT_EQ(ParseCommandLine({"-platform", "offscreen", "--version"}).action, Action::Version);
    // The project's version, as CMake knows it.
    EXPECT_TRUE(
        std::regex_match(VersionText(), std::regex("Tarlo [0-9]+(\\.[0-9]+)+\n"
                                                   "License: .*\\(GPL-3\\.0-or-later\\)\\.\n")))
        << VersionText();
    const std::string help = HelpText();
    EXPECT_NE(help.find("Usage: tarlo [FILE]"), std::string::npos);
    EXPECT_NE(help.find("--version"), std::string::npos);
    EXPECT_EQ(help.back(), '\n');
}

TEST(CommandLineTest, QtOptionsAndTheirValuesAreNotTakenForTheFile) {
    CommandLine line = ParseCommandLine({"-platform", "offscreen", "a.htm"});
    EXPECT_EQ(line.action, Action::Run);
    EXPECT_EQ(line.file, "a.htm");
    line = ParseCommandLine({"a.htm", "-style", "Fusion", "-reverse", "--platform=xcb"});
    EXPECT_EQ(line.action, Action::Run);
    EXPECT_EQ(line.file, "a.htm");
    EXPECT_EQ(ParseCommandLine({"--style", "Fusion"}).file, "");
}

TEST(CommandLineTest, MistakesAreReportedNotGuessed) {
    CommandLine line = ParseCommandLine({"--open", "a.htm"});
    EXPECT_EQ(line.action, Action::Error);
    EXPECT_EQ(line.message, "unknown option --open");

    line = ParseCommandLine({"a.htm", "b.htm"});
    EXPECT_EQ(line.action, Action::Error);
    EXPECT_EQ(line.message, "only one file can be opened at a time");

    line = ParseCommandLine({"a.htm", "-platform"});
    EXPECT_EQ(line.action, Action::Error);
    EXPECT_EQ(line.message, "option -platform needs a value");

    EXPECT_EQ(ParseCommandLine({""}).action, Action::Error);
}

}  // namespace
}  // namespace tarlo
