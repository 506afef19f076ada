// tarlo-cli facts: its three forms and its exit codes.
#include <gtest/gtest.h>

#include "cli/cli_command.h"
#include "cli_test_support.h"

namespace tarlo::cli {
namespace {

using test::Cli;
using test::Result;
using test::WriteTemp;

std::string Filing(const std::string& contextRef) {
    return "<html xmlns:ix=\"http://www.xbrl.org/2013/inlineXBRL\" "
           "xmlns:xbrli=\"http://www.xbrl.org/2003/instance\" "
           "xmlns:link=\"http://www.xbrl.org/2003/linkbase\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" xmlns:a=\"http://a\"><body>"
           "<div style=\"display:none\"><ix:header><ix:references><link:schemaRef "
           "xlink:href=\"a.xsd\"/></ix:references><ix:resources><xbrli:context id=\"c\">"
           "<xbrli:entity><xbrli:identifier scheme=\"s\">1</xbrli:identifier></xbrli:entity>"
           "<xbrli:period><xbrli:instant>2024-12-31</xbrli:instant></xbrli:period>"
           "</xbrli:context></ix:resources></ix:header></div>"
           "<ix:nonNumeric name=\"a:Name\" contextRef=\"" +
           contextRef + "\" id=\"n\">Smith, \"Jr\"</ix:nonNumeric></body></html>";
}

TEST(FactsCli, FormsAndExitCodes) {
    const std::string good = WriteTemp("facts_good.htm", Filing("c"));
    const Result lines = Cli({"facts", good});
    EXPECT_EQ(lines.code, kExitOk);
    EXPECT_EQ(lines.out, "a:Name\tSmith, \"Jr\"\t\t2024-12-31\t1\t\tshown\tSmith, \"Jr\"\n");
    EXPECT_EQ(lines.err, "tarlo-cli facts: 1 facts, 1 contexts, 0 units\n");
    const Result csv = Cli({"facts", "--csv", good});
    EXPECT_EQ(csv.out,
              "concept,value,shown,unit,period,entity,decimals,visibility,context,id\n"
              "a:Name,\"Smith, \"\"Jr\"\"\",\"Smith, \"\"Jr\"\"\",,2024-12-31,1,,shown,c,n\n");
    const Result json = Cli({"facts", "--json", good});
    EXPECT_EQ(json.out.rfind("{\"contexts\":1,\"units\":0,\"facts\":[\n{\"line\":1,", 0), 0u)
        << json.out;
    EXPECT_NE(json.out.find("\"value\":\"Smith, \\\"Jr\\\"\""), std::string::npos);
    // A fact naming no context (which leaves the one context unused): the
    // list still comes, and the exit says so.
    const Result broken = Cli({"facts", WriteTemp("facts_bad.htm", Filing("gone"))});
    EXPECT_EQ(broken.code, kExitFindings);
    EXPECT_NE(broken.out.find("a:Name"), std::string::npos);
    EXPECT_NE(broken.err.find("2 Inline XBRL structure errors "), std::string::npos) << broken.err;
    EXPECT_EQ(Cli({"facts", testing::TempDir() + "no-such.htm"}).code, kExitUsage);
    EXPECT_EQ(Cli({"facts", "--xml", good}).code, kExitUsage);
}

}  // namespace
}  // namespace tarlo::cli
