// tarlo-cli clean and check: what they print, their exit codes and their
// handling of arguments and input.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/cli_command.h"
#include "cli_test_support.h"

namespace tarlo::cli {
namespace {

using test::Cli;
using test::Result;
using test::WriteTemp;

TEST(CheckCli, CleanPrintsTheCleanedText) {
    const std::string path =
        WriteTemp("clean.htm", "<html><head></head><p class=MsoNormal>a\x85 <b>b</b>  c</p>");
    const Result r = Cli({"clean", path});
    EXPECT_EQ(r.code, kExitOk);
    // Windows-1252 in (0x85 is the ellipsis), UTF-8 out, every line break CR LF.
    EXPECT_EQ(r.out, "<html>\r\n<title>\r\n</title>\r\n\r\n<head></head><p>a... <b>b</b> c</p>");
    EXPECT_EQ(Cli({"clean", WriteTemp("empty.htm", "")}).out, "");
    std::remove(path.c_str());
}

TEST(CheckCli, CheckPrintsTheReportAndExitsByItsErrors) {
    const std::string clean = WriteTemp("ok.htm", "<title>t</title><p>x</p>");
    Result r = Cli({"check", clean});
    EXPECT_EQ(r.code, kExitOk);
    EXPECT_EQ(r.out, "");

    // Warnings alone do not fail the check.
    const std::string warned = WriteTemp("warn.htm", "<title>t</title><o:p></o:p>");
    r = Cli({"check", warned});
    EXPECT_EQ(r.code, kExitOk);
    EXPECT_EQ(r.out.substr(0, 27), "Unnecessary Microsoft code|");

    const std::string broken = WriteTemp("bad.htm", "<p>\xA9 2024</p>");
    r = Cli({"check", broken});
    EXPECT_EQ(r.code, kExitFindings);
    EXPECT_EQ(r.out, "Improper or missing code|<TITLE>|Error|Add missing code(s)|0\r\n");
    r = Cli({"check", "--edgar", broken});
    EXPECT_EQ(r.code, kExitFindings);
    // The sign, read as Windows-1252, is at byte 3 of the UTF-8 text.
    EXPECT_EQ(r.out,
              "Improper or missing code|<TITLE>|Error|Edgarize or add missing code(s)|0\r\n"
              "Unacceptable character|\u00a9|Error|Delete or replace with (C) or code &#169; - "
              "check Special Symbol window|3\r\n");
    // The option may come after the file.
    EXPECT_EQ(Cli({"check", broken, "--edgar"}).out, r.out);
    for (const std::string& p : {clean, warned, broken}) std::remove(p.c_str());
}

TEST(CheckCli, EdgarReportOfATypographicPageMatchesItsGoldenFile) {
    // Over a thousand records, written as they are found: the output must be
    // the report the check builds, byte for byte.
    const std::string dir = std::string(CHECKER_DATA_DIR) + "/checks/typographic_page";
    const Result r = Cli({"check", "--edgar", dir + "/input.html"});
    EXPECT_EQ(r.code, kExitFindings);
    std::ifstream golden(dir + "/edgar.txt", std::ios::binary);
    const std::string expected{std::istreambuf_iterator<char>(golden), {}};
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(r.out == expected) << "the report differs from " << dir << "/edgar.txt";
}

TEST(CheckCli, BadArgumentsAndUnreadableFiles) {
    Result r = Cli({"check", "--strict"});
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_EQ(r.err, "tarlo-cli check: unknown option '--strict'\n");
    r = Cli({"clean", "--edgar"});
    EXPECT_EQ(r.code, kExitUsage);
    r = Cli({"check", "a.htm", "b.htm"});
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_EQ(r.err, "tarlo-cli check: more than one FILE given\n");
    r = Cli({"clean", "/nonexistent/x.htm"});
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_EQ(r.err,
              "tarlo-cli clean: cannot read /nonexistent/x.htm: No such file or directory\n");
    EXPECT_EQ(Cli({"check", "--edgar", "/nonexistent/x.htm"}).code, kExitUsage);
    r = Cli({"check", "--help"});
    EXPECT_EQ(r.code, kExitOk);
    EXPECT_NE(r.out.find("check [--edgar] [FILE]"), std::string::npos);
}

}  // namespace
}  // namespace tarlo::cli
