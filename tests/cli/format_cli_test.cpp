// tarlo-cli format and colorize: their output is a contract with scripts.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "cli/cli_command.h"
#include "codeview/mod_format.h"

namespace tarlo::cli {
namespace {

std::string WriteTemp(const std::string& name, const std::string& bytes) {
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

TEST(FormatCli, FormatAndColorizeFiles) {
    const std::string path = WriteTemp("fmt_in.htm", "<p>The\r\nCompany</p><br/><td/>");
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCli({"format", path}, out, err), kExitOk);
    EXPECT_EQ(out.str(), "\r\n<p>The Company\r\n</p>\r\n<br/>\r\n<td/>");
    EXPECT_EQ(err.str(), "");

    const std::string html = WriteTemp("col_in.htm", "<b class=\"x\">caf\xe9</b>");  // 1252
    out.str("");
    EXPECT_EQ(RunCli({"colorize", html}, out, err), kExitOk);
    // é arrives as two bytes of UTF-8: the plain run is 5 bytes long.
    EXPECT_EQ(out.str(), "0 2 tag\n2 7 name\n9 3 value\n12 1 tag\n13 5 plain\n18 4 tag\n");
    std::remove(path.c_str());
    std::remove(html.c_str());
}

TEST(FormatCli, LongOutputIsWrittenWholeAndWriteFailuresAreReported) {
    // Deep nesting and a text longer than the output buffer, written in pieces.
    std::string html;
    for (int i = 0; i < 300; ++i) html += "<div>";
    html += "<p>" + std::string(300000, 'a') + "</p>";
    for (int i = 0; i < 300; ++i) html += "</div><b>x";
    const std::string path = WriteTemp("fmt_long.htm", html);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCli({"format", path}, out, err), kExitOk);
    EXPECT_EQ(out.str(), FormatHtml(html));
    EXPECT_GT(out.str().size(), 1000000u);

    // A full disk is a failure, not a finished run.
    for (const char* command : {"format", "colorize"}) {
        std::ofstream full("/dev/full", std::ios::binary);
        ASSERT_TRUE(full.is_open());
        err.str("");
        EXPECT_EQ(RunCli({command, path}, full, err), kExitUsage) << command;
        EXPECT_EQ(err.str(), std::string("tarlo-cli ") + command + ": cannot write the output\n");
    }
    std::remove(path.c_str());
}

TEST(FormatCli, BadArgumentsAndHelp) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCli({"format", "/nonexistent/a.htm"}, out, err), kExitUsage);
    EXPECT_EQ(err.str(), "tarlo-cli format: cannot read /nonexistent/a.htm\n");
    err.str("");
    EXPECT_EQ(RunCli({"colorize", "a", "b"}, out, err), kExitUsage);
    EXPECT_EQ(err.str().find('\n'), err.str().size() - 1);  // one line
    err.str("");
    EXPECT_EQ(RunCli({"colorize", "--bogus"}, out, err), kExitUsage);
    EXPECT_NE(err.str().find("--bogus"), std::string::npos);
    out.str("");
    EXPECT_EQ(RunCli({"--help"}, out, err), kExitOk);
    EXPECT_NE(out.str().find("format [FILE]"), std::string::npos);
    EXPECT_NE(out.str().find("colorize [FILE]"), std::string::npos);
    out.str("");
    EXPECT_EQ(RunCli({"format", "--help"}, out, err), kExitOk);
    EXPECT_NE(out.str().find("Usage: tarlo-cli format [FILE]"), std::string::npos);
}

}  // namespace
}  // namespace tarlo::cli
