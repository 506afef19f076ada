// tarlo-cli clean held to the plain clean-up of tests/cleanup: on the rules'
// own edge cases and on thousands of generated tags.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "../cleanup/edgarize_reference.h"
#include "cli/cli_command.h"
#include "generated_html.h"

namespace tarlo::cli {
namespace {

std::string Cleaned(const std::string& html) {
    const std::string path = testing::TempDir() + "clean_reference.htm";
    std::ofstream(path, std::ios::binary) << html;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCli({"clean", path}, out, err), kExitOk) << err.str();
    return out.str();
}

TEST(CleanCli, MatchesThePlainCleanUp) {
    const char* const cases[] = {
        "<HTML><HEAD><TITLE>t</TITLE></HEAD><BODY><P class=x>a</P></BODY></HTML>",
        "<html><head></head><body><p class=MsoNormal >Text</p><TD class=xl24>1</TD>",
        "<head><p><o:p></o:p><span style='x'>kept</span> <st1:place>Here</st1:place></p>",
        "<head><!--[if gte mso 9]><xml>x</xml><![endif]--><![if !vml]>a<![endif]><!-- b",
        "<head><b>Net</b>   income\r\n\r\n\n<br>\n\nx \u2026 &amp; &nbsp;",
        "<head><a style=\"color:blue\" href=\"#toc\">Contents</a> it's",
        "<head><a style=\"font-family:'Arial',sans-serif\" href=\"#a\" name=\"a\">x</a>",
        "<head><td class=\"xl24 total\" x:str=\"Total \" rowspan=2 colspan=\"3\">T</td>",
        "<head><td style='a' align=\"right\" width=\"40\" id='c 1'>",
        "<head><td style=a:b id=x width=1><div id=\"a>b\">c",
        "<head><p style class=\"a>b\" x>",
        "<head><meta name=\"ProgId\" content=\"Word.Document\"><meta name=Generator>"
        "<link rel=\"File-List\"><meta name=\"viewport\"><tr style=\"x\"><tr height=\"17\">",
        "<head><ol type=\"1\"><li>a</li></ol><pre class=\"x\">  a  \n\n b </pre>  c",
        "<!DOCTYPE html><HTML lang=en><BODY><header>h</header><TR HEIGHT=3 align=x>a</TR>",
        "<!-- <head> in a note --><html><HEAD><title>t</title></HEAD><p>x",
        "<!-- <html> --><HTML lang=en><p>y<!-- unclosed <head>",
        "x<html<!-- b>P<!--r>",
        "<html><HEAD></HEAD><p style= \"width: 5px; border: 1px solid\" class= 'a b' id= x>",
        "<Html\n><title>t</title><td name=\r\n\"a b\" style= a:b c>",
    };
    for (const char* html : cases) EXPECT_EQ(Cleaned(html), reference::Edgarize(html)) << html;

    testing_html::Numbers numbers(2024);
    std::size_t tags = 0;
    for (int i = 0; i < 4000; ++i) {
        const std::string html = testing_html::GeneratedCleanupInput(numbers);
        for (char c : html) tags += c == '<';
        ASSERT_EQ(Cleaned(html), reference::Edgarize(html)) << "input: " << html;
    }
    EXPECT_GT(tags, 10000u);
}

// An Inline XBRL document is cleaned in the form that keeps its tagging.
TEST(CleanCli, KeepsInlineXbrlTagging) {
    const std::string html =
        "<?xml version='1.0'?>\n<html xmlns:ix=\"http://www.xbrl.org/2013/inlineXBRL\"><body>"
        "<div style=\"display:none\"><ix:header/></div><p class=\"a\">x<br/></p></body></html>";
    EXPECT_EQ(Cleaned(html),
              "<?xml version='1.0'?>\r\n<html xmlns:ix=\"http://www.xbrl.org/2013/inlineXBRL\">"
              "<body><div style=\"display:none\"><ix:header/></div><p>x<br/></p></body></html>");
}

// A filing in its EDGAR wrapper is cleaned inside it: the wrapper's head and
// tail both stay, in the result's line breaks.
TEST(CleanCli, KeepsTheEdgarWrapperWhole) {
    const std::string filing =
        "<DOCUMENT>\n<TYPE>EX-99.1\n<TEXT>\n<html><head><title>t</title></head><body>"
        "<p class=x>a</p></body></html>\n</TEXT>\n</DOCUMENT>\n";
    EXPECT_EQ(Cleaned(filing),
              "<DOCUMENT>\r\n<TYPE>EX-99.1\r\n<TEXT>\r\n<html>\r\n<head><title>t</title></head>"
              "<body><p>a</p></body></html>\r\n</TEXT>\r\n</DOCUMENT>\r\n");
}

// The layout is the page engine's to work out: the command line says so and
// writes nothing rather than clean without it.
TEST(CleanCli, KeepingTheLayoutIsLeftToTheEditor) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCli({"clean", "--keep-layout", "-"}, out, err), kExitUsage);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("Clean up, keeping the layout"), std::string::npos) << err.str();
}

}  // namespace
}  // namespace tarlo::cli
