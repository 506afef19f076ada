// tarlo-cli format and colorize: their output is a contract with scripts.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "../codeview/format_reference.h"
#include "cli/cli_command.h"
#include "cli_test_support.h"
#include "codeview/html_formatter.h"
#include "generated_html.h"

namespace tarlo::cli {
namespace {

using test::WriteTemp;

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
    html += "<p>" + std::string(1200000, 'a') + "</p>";
    for (int i = 0; i < 300; ++i) html += "</div><b>x";
    const std::string path = WriteTemp("fmt_long.htm", html);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCli({"format", path}, out, err), kExitOk);
    EXPECT_EQ(out.str(), FormatHtml(html));
    EXPECT_GT(out.str().size(), 1000000u);

    // Standard output takes the gathered writes directly; a file and a full
    // disk stand in for it.
    const std::string target = testing::TempDir() + "fmt_stdout.htm";
    for (const std::string& file : {target, std::string("/dev/full")}) {
        std::cout.flush();
        const int saved = dup(STDOUT_FILENO);
        const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0) << file;
        dup2(fd, STDOUT_FILENO);
        close(fd);
        err.str("");
        const int code = RunCli({"format", path}, std::cout, err);
        std::cout.flush();
        std::cout.clear();
        dup2(saved, STDOUT_FILENO);
        close(saved);
        if (file == target) {
            EXPECT_EQ(code, kExitOk);
            std::ifstream in(target, std::ios::binary);
            std::ostringstream written;
            written << in.rdbuf();
            EXPECT_EQ(written.str(), FormatHtml(html));
        } else {
            EXPECT_EQ(code, kExitUsage);
            EXPECT_EQ(err.str(), "tarlo-cli format: cannot write the output\n");
        }
    }
    std::remove(target.c_str());

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

std::string Formatted(const std::string& html) {
    const std::string path = WriteTemp("fmt_reference.htm", html);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCli({"format", path}, out, err), kExitOk) << err.str();
    return out.str();
}

TEST(FormatCli, MatchesThePlainFormatterAndFormatsItsOwnOutputUnchanged) {
    const char* const cases[] = {
        "<HTML><HEAD><TITLE>T</TITLE></HEAD><BODY><P>x<BR><TABLE><TR><TD>a</TD></TR></TABLE>"
        "</BODY></HTML>",
        "</a></b>x<p>",
        "plain  > text",
        "<div><!-- a <b> --></div>",
        "<tr><td>a</td><td/><td>b</td></tr>",
        "<div><br/><br/>x</div>",
        "<a><img/></a>",
        "<b>Total</b>\r\nrevenue",
        "the\r\n\t\r\nCompany",
        "x\r\n    <b>y</b>\r\n  z",
        "<div><PRE>\r\n a  >\tb </PRE>tail\r\n<p>",
        "<p><textarea rows=2>a\r\n b",
        "a\rb\nc\r\n",
        "<\r\nbr>",
        "<td/ >",
        "<p>\r\n\r\n   </p>  \r\n  <i>",
    };
    for (const char* html : cases) EXPECT_EQ(Formatted(html), reference::FormatHtml(html)) << html;

    testing_html::Numbers numbers(7);
    int reformatted = 0;
    for (int i = 0; i < 5000; ++i) {
        const std::string html = testing_html::GeneratedFormatInput(numbers);
        const std::string once = Formatted(html);
        ASSERT_EQ(once, reference::FormatHtml(html)) << "input: " << html;
        if (!reference::KnownToReformatDifferently(html)) {
            ASSERT_EQ(Formatted(once), once) << "input: " << html;
            ++reformatted;
        }
    }
    EXPECT_GT(reformatted, 1000);
}

TEST(FormatCli, BadArgumentsAndHelp) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCli({"format", "/nonexistent/a.htm"}, out, err), kExitUsage);
    EXPECT_EQ(err.str(),
              "tarlo-cli format: cannot read /nonexistent/a.htm: No such file or directory\n");
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
