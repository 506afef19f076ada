// The one-pass colouring against the colorizer's route taken literally, on
// the cases a filing shows and on thousands of generated fragments.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "codeview/html_colorizer.h"
#include "colour_reference.h"
#include "replace_text.h"

namespace tarlo {
namespace {

// One letter per byte: p plain, t tag, n name, v value.
std::string Letters(const std::vector<ColourRole>& roles) {
    std::string out;
    for (ColourRole r : roles) out.push_back("ptnv"[static_cast<int>(r)]);
    return out;
}

std::string Fast(const std::string& s) {
    return Letters(ColourRolesPerByte(s));
}

TEST(ColourRoles, TagsAttributesCommentsAndText) {
    EXPECT_EQ(Fast(""), "");
    // A quoted value: "<p" tag, " align=" name, the value with its quotes, ">" tag.
    EXPECT_EQ(Fast("<p align=\"center\">x"), "ttnnnnnnnvvvvvvvvtp");
    // Digits are a value; an unquoted word is not and stays in the tag colour.
    EXPECT_EQ(Fast("<td width=100>"), "tttnnnnnnnvvvt");
    EXPECT_EQ(Fast("<p align=center>"), "tttttttttttttttt");
    // Text between tags holding "=" goes back to plain.
    EXPECT_EQ(Fast("<td>a = 5</td>"), "ttttpppppttttt");
    // ... also right after the tag, where the route would have added a blank.
    EXPECT_EQ(Fast("<b>x=5</b>"), "tttppptttt");
    // A comment over several lines, holding tags, is plain throughout.
    const std::string comment = "<!-- a <b c=\"d\">\r\n e -->";
    EXPECT_EQ(Fast(comment), std::string(comment.size(), 'p'));
    // Braces, backslashes and line breaks keep their place and take the colour around them.
    EXPECT_EQ(Fast("{\\}<i>\r\n</i>"), "ppptttpptttt");
    EXPECT_EQ(Fast("a\rbc <b>"), "pppppttt");
    // A value that runs over a tag's end: the tag colouring shows through.
    EXPECT_EQ(Fast("<a t=\"x>y\" b=5>Hi"), "ttnnnvvvppnnnvttt");
}

TEST(ColourRoles, RunsCoverTheTextAndMapToThePalette) {
    const std::string html = "<p align=\"left\">Hello</p>";
    const std::vector<RoleRun> runs = ColourRoles(html);
    ASSERT_EQ(runs.size(), 6u);
    EXPECT_EQ(runs[0], (RoleRun{0, 2, ColourRole::Tag}));
    EXPECT_EQ(runs[1], (RoleRun{2, 7, ColourRole::Name}));
    EXPECT_EQ(runs[2], (RoleRun{9, 6, ColourRole::Value}));
    EXPECT_EQ(runs[3], (RoleRun{15, 1, ColourRole::Tag}));
    EXPECT_EQ(runs[4], (RoleRun{16, 5, ColourRole::Plain}));
    EXPECT_EQ(runs[5], (RoleRun{21, 4, ColourRole::Tag}));
    ColourSettings dark;
    ColourSettings light;
    light.plain = kBlack;
    EXPECT_EQ(RoleColour(ColourRole::Plain, dark), kWhite);
    EXPECT_EQ(RoleColour(ColourRole::Plain, light), kBlack);
    EXPECT_EQ(RoleColour(ColourRole::Value, light), RgbColor(0, 128, 0));
    EXPECT_EQ(RoleColour(ColourRole::Tag, dark), RoleColour(ColourRole::Tag, light));
}

TEST(ColourRoles, HelpersOfTheRtfRoute) {
    EXPECT_EQ(RtfColorEntry(RgbColor(0, 128, 0)), "\\red0\\green128\\blue0;");
    EXPECT_EQ(RtfColorEntry(kWhite), "\\red255\\green255\\blue255;");
    EXPECT_EQ(ReplaceText("(<[^>]+>)", "[$1]", "a<B>c<i>"), "a[<B>]c[<i>]");
    EXPECT_EQ(ReplaceText("(a)(b)", "$2$1\\$3", "xABab"), "xBA\\$3ba\\$3");
    EXPECT_EQ(ReplaceText("([{}\\\\])", "\\$1", "{x}\\"), "\\{x\\}\\\\");
}

TEST(ColourRoles, MatchesTheLiteralRouteOnTheEdgeCases) {
    const char* cases[] = {
        "<p align=\"center\">text</p>",
        "<td width=100 align=center>a = 5</td>",
        "<b>x=5</b>",
        "<b>x = '5' and y=\"6\"</b>",
        "<!-- one\r\n<p a=\"1\">\r\ntwo -->after=1<i>",
        "{\\rtf}\\par <a b=\"{}\">",
        "a\rbc d=5 <x>",
        "a\r 12<x y=\"\r\n\">",
        "<a title=\"a > b\" c=5>Hi<p>",
        "<<a b=1>>",
        "<>x=1<>",
        "<a b:c-d.e = \"f\" g h=2>",
        "<a\nb=\"1\">",
        "<a\r\nb=\"1\">",
        "<a  b=\"\">",
        "<!---->x=1<p>",
        "caf\xc3\xa9 <p a=\"\xc3\xa9\">",
        "<b>=1</b>",
        "> x=1 > y=2 <",
    };
    for (const char* c : cases) {
        EXPECT_EQ(Fast(c), Letters(test::ReferenceRoles(c))) << c;
    }
}

TEST(ColourRoles, MatchesTheLiteralRouteOnGeneratedInput) {
    const std::vector<std::string> pieces = {"<",          ">",
                                             "=",          " ",
                                             "  ",         "\"",
                                             "'",          "5",
                                             "42",         "a",
                                             "word",       "_x",
                                             "\r\n",       "\r",
                                             "\n",         "\t",
                                             "{",          "}",
                                             "\\",         "<!--",
                                             "-->",        "-",
                                             ":",          ".",
                                             "<p>",        "</p>",
                                             "<td ",       "=\"",
                                             "\xc3\xa9",   "<a href=\"x.htm\">",
                                             " width=100", " align=center",
                                             "<br/>",      "\\r",
                                             "par",        "=' q '",
                                             "</",         "!",
                                             "x=5",        "\f",
                                             "\v"};
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 40);
    int compared = 0;
    for (int n = 0; n < 5000; ++n) {
        std::string s;
        for (int k = length(rng); k > 0; --k) s += pieces[pick(rng)];
        const std::string expected = Letters(test::ReferenceRoles(s));
        ASSERT_EQ(Fast(s), expected) << "input: " << s;
        ++compared;
    }
    EXPECT_EQ(compared, 5000);
}

// A long text built from the pieces a filing shows, `count` of them.
std::string LongText(std::size_t count, unsigned seed) {
    const std::vector<std::string> pieces = {"<td width=100>",
                                             "</td>",
                                             "<p align=\"center\">",
                                             "text ",
                                             "a = 5 ",
                                             "<!-- note -->",
                                             "<a href=\"x>y\" b=5>",
                                             "\r\n",
                                             "<b>x=5</b>",
                                             " c='q' ",
                                             "<<",
                                             ">>",
                                             "<>",
                                             "=",
                                             "<img src=\"a.gif\" alt=\"\">",
                                             "caf\xc3\xa9 ",
                                             "<br/>",
                                             " d=7 <i>",
                                             "<!--",
                                             "-->"};
    std::mt19937 rng(seed);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::string s;
    for (std::size_t k = 0; k < count; ++k) s += pieces[pick(rng)];
    return s;
}

TEST(ColourRoles, StreamHandsOverMergedRunsInBatches) {
    int calls = 0;
    ColourRolesStream("", [&calls](const RoleRun*, std::size_t) { ++calls; });
    EXPECT_EQ(calls, 0);

    const std::string html = LongText(6000, 7);
    std::vector<RoleRun> streamed;
    std::size_t batches = 0;
    ColourRolesStream(html, [&](const RoleRun* runs, std::size_t count) {
        ASSERT_GT(count, 0u);
        ++batches;
        streamed.insert(streamed.end(), runs, runs + count);
    });
    ASSERT_GT(streamed.size(), 3000u);
    EXPECT_GT(batches, 1u);  // the runs did not come in one piece
    EXPECT_EQ(streamed, ColourRoles(html));
    std::size_t at = 0;
    for (std::size_t k = 0; k < streamed.size(); ++k) {
        ASSERT_EQ(streamed[k].start, at);
        ASSERT_GT(streamed[k].length, 0u);
        if (k > 0) {
            ASSERT_NE(streamed[k].role, streamed[k - 1].role) << "at " << at;
        }
        at += streamed[k].length;
    }
    EXPECT_EQ(at, html.size());
}

TEST(ColourRoles, MatchesTheLiteralRouteOnLongInput) {
    // Long stretches reach over many tags and attributes at once: comments
    // holding tags, values running over a tag's end, text with "=" between tags.
    for (unsigned seed = 1; seed <= 3; ++seed) {
        const std::string html = LongText(3000, seed);
        ASSERT_EQ(Fast(html), Letters(test::ReferenceRoles(html))) << "seed " << seed;
    }
}

}  // namespace
}  // namespace tarlo
