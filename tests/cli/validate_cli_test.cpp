// tarlo-cli validate: its lines, its JSON, its exit codes and its input,
// through the front end and through the program itself.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "cli/cli_command.h"
#include "cli_test_support.h"

namespace tarlo::cli {
namespace {

using test::Cli;
using test::Result;
using test::Shell;
using test::WriteTemp;

const std::string kClean = "<html><head><title>t</title></head><body><p>a</p></body></html>\n";

TEST(ValidateCli, ExitCodesFollowTheWorstFinding) {
    EXPECT_EQ(Cli({"validate", WriteTemp("v_ok.htm", kClean)}).code, kExitOk);
    // Warnings only: still 0, and printed.
    const Result warning =
        Cli({"validate", WriteTemp("v_warn.htm", "<html><body><a href=\"a/b.htm\">x</a>")});
    EXPECT_EQ(warning.code, kExitOk);
    EXPECT_EQ(warning.out.rfind("1:22: Warning 5.2.2.10 ", 0), 0u) << warning.out;
    const Result error = Cli({"validate", WriteTemp("v_err.htm", "<html>\n<body><script>")});
    EXPECT_EQ(error.code, kExitFindings);
    EXPECT_EQ(error.out.rfind("2:7: Error 5.2.2.4 EDGAR refuses scripts.", 0), 0u) << error.out;
    // Unreadable input or wrong arguments: 2, with the reason on stderr.
    const Result missing = Cli({"validate", testing::TempDir() + "no-such-file.htm"});
    EXPECT_EQ(missing.code, kExitUsage);
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_EQ(Cli({"validate", testing::TempDir()}).code, kExitUsage);  // a folder
    EXPECT_EQ(Cli({"validate", "--xml", "a.htm"}).code, kExitUsage);
    EXPECT_EQ(Cli({"validate", "a.htm", "b.htm"}).code, kExitUsage);
    const Result help = Cli({"validate", "--help"});
    EXPECT_EQ(help.code, kExitOk);
    EXPECT_NE(help.out.find("--json"), std::string::npos);
    EXPECT_NE(help.out.find("\"offset\""), std::string::npos);
}

TEST(ValidateCli, ColumnsCountCharactersNotBytes) {
    // Two-, three- and four-byte characters before the refused element.
    const std::string path =
        WriteTemp("v_utf8.htm",
                  "<p>\n\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80<blink>x</blink>\r\n"
                  "\xE2\x80\x94</p>");
    const Result r = Cli({"validate", path});
    EXPECT_EQ(r.out,
              "2:1: Error 5.2.1.1 3 characters from U+00E9 (\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80) "
              "are outside EDGAR's ASCII character set. Write each as a numeric character "
              "reference such as &#233;. Cleanup fixes them.\n"
              "2:4: Error 5.2.2.4 EDGAR refuses the element <blink>. Remove it (keep any text it "
              "holds that belongs to the document).\n"
              "3:1: Error 5.2.1.1 The character U+2014 (\xE2\x80\x94) is outside EDGAR's ASCII "
              "character set. Write each as a numeric character reference such as &#8212;. "
              "Cleanup fixes them.\n");
    EXPECT_EQ(r.code, kExitFindings);
}

TEST(ValidateCli, JsonParsesAndCarriesEveryField) {
    const std::string path =
        WriteTemp("v_json.htm",
                  "<p title=\"a\\\"b\">\n<a href=\"http://x.example/\x01\">q</a>\t\xE2\x80\x99");
    const Result r = Cli({"validate", "--json", path});
    EXPECT_EQ(r.code, kExitFindings);
    const std::string json = WriteTemp("v_out.json", r.out);
    const Result parsed = Shell(
        "python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); "
        "print(d[\"markup\"], d[\"truncated\"], len(d[\"findings\"])); "
        "[print(f[\"line\"], f[\"column\"], f[\"offset\"], f[\"length\"], f[\"severity\"], "
        "f[\"rule\"], f[\"message\"][:12]) for f in d[\"findings\"]]' " +
        json);
    EXPECT_EQ(parsed.code, 0) << r.out;
    EXPECT_EQ(parsed.out,
              "html False 3\n"
              "2 10 26 18 Error 5.2.2.10 The link \"ht\n"
              "2 27 43 1 Error 5.2.1.1 The control \n"
              "2 36 52 3 Error 5.2.1.1 The characte\n");
    // Nothing found: an empty list, still a document.
    const Result empty = Cli({"validate", "--json", WriteTemp("v_ok2.htm", kClean)});
    EXPECT_EQ(empty.out, "{\"markup\":\"html\",\"truncated\":false,\"findings\":[\n]}\n");
}

TEST(ValidateCli, ReadsStandardInputThroughTheProgram) {
    const std::string input = WriteTemp("v_stdin.htm", "<html><body>\n  <embed src=x>");
    const std::string cli = TARLO_CLI;
    for (const std::string& dash : {std::string(" -"), std::string()}) {
        const Result r = Shell(cli + " validate" + dash + " < " + input);
        EXPECT_EQ(r.code, 1) << dash;
        EXPECT_EQ(r.out.rfind("2:3: Error 5.2.2.4 EDGAR refuses the element <embed>.", 0), 0u)
            << r.out;
    }
    EXPECT_EQ(Shell(cli + " validate - < " + WriteTemp("v_stdin_ok.htm", kClean)).code, 0);
    EXPECT_EQ(Shell(cli + " validate " + testing::TempDir() + "absent.htm").code, 2);
}

}  // namespace
}  // namespace tarlo::cli
