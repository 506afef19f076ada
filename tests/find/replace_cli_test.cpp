// tarlo-cli replace: the window's Replace All on a file or standard input.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "cli/cli_command.h"

namespace tarlo::cli {
namespace {

TEST(ReplaceCli, OptionsOutputCountAndRefusals) {
    const std::string path = testing::TempDir() + "replace_cli.htm";
    {
        std::ofstream f(path, std::ios::binary);
        f << "<P>Cat catalog CAT</P>";
    }
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCli({"replace", "cat", "dog", path}, out, err), kExitOk);
    EXPECT_EQ(out.str(), "<P>dog dogalog dog</P>");
    EXPECT_EQ(err.str(), "3 replacements\n");

    out.str("");
    err.str("");
    EXPECT_EQ(RunCli({"replace", "--whole-word", "--match-case", "CAT", "dog", path}, out, err),
              kExitOk);
    EXPECT_EQ(out.str(), "<P>Cat catalog dog</P>");
    EXPECT_EQ(err.str(), "1 replacement\n");

    // No occurrence is no failure: the text comes out as it went in.
    out.str("");
    err.str("");
    EXPECT_EQ(RunCli({"replace", "zebra", "x", path}, out, err), kExitOk);
    EXPECT_EQ(out.str(), "<P>Cat catalog CAT</P>");
    EXPECT_EQ(err.str(), "0 replacements\n");

    // A text to find that starts with "-" follows "--".
    out.str("");
    EXPECT_EQ(RunCli({"replace", "--", "-->", "->", path}, out, err), kExitOk);

    err.str("");
    EXPECT_EQ(RunCli({"replace", "", "x", path}, out, err), kExitUsage);
    EXPECT_EQ(err.str(), "tarlo-cli replace: the text to find is empty\n");
    err.str("");
    EXPECT_EQ(RunCli({"replace", "--regex", "a", "b", path}, out, err), kExitUsage);
    EXPECT_EQ(err.str(), "tarlo-cli replace: unknown option '--regex' (see tarlo-cli --help)\n");
    EXPECT_EQ(RunCli({"replace", "a"}, out, err), kExitUsage);
    EXPECT_EQ(RunCli({"replace", "a", "b", path, "extra"}, out, err), kExitUsage);
    EXPECT_EQ(RunCli({"replace", "a", "b", "/nonexistent/x.htm"}, out, err), kExitUsage);
    std::remove(path.c_str());
}

TEST(ReplaceCli, AWindows1252FilingComesBackInWindows1252) {
    const std::string path = testing::TempDir() + "replace_cli_1252.htm";
    {
        std::ofstream f(path, std::ios::binary);
        f << "caf\xe9 cat \x96 cat";
    }
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCli({"replace", "cat", "d\xc3\xa9", path}, out, err), kExitOk);
    EXPECT_EQ(out.str(), "caf\xe9 d\xe9 \x96 d\xe9");
    EXPECT_EQ(err.str(), "2 replacements\n");
    // A character Windows-1252 lacks: the whole text as UTF-8, and said so.
    out.str("");
    err.str("");
    EXPECT_EQ(RunCli({"replace", "cat", "\xe2\x82\xbd", path}, out, err), kExitOk);
    EXPECT_EQ(out.str(), "caf\xc3\xa9 \xe2\x82\xbd \xe2\x80\x93 \xe2\x82\xbd");
    EXPECT_NE(err.str().find("written as UTF-8"), std::string::npos);
    std::remove(path.c_str());
}

}  // namespace
}  // namespace tarlo::cli
