// The markup tokenizer: each token's kind and byte range, tag names as
// written, attributes with their ranges, character references, and broken
// markup that still gives tokens covering the text.
#include "text/html_tokens.h"

#include <gtest/gtest.h>

#include <string>

namespace tarlo {
namespace {

const char* KindName(HtmlTokenKind kind) {
    switch (kind) {
        case HtmlTokenKind::Text:
            return "text";
        case HtmlTokenKind::RawText:
            return "raw";
        case HtmlTokenKind::StartTag:
            return "start";
        case HtmlTokenKind::EndTag:
            return "end";
        case HtmlTokenKind::Comment:
            return "comment";
        case HtmlTokenKind::CData:
            return "cdata";
        case HtmlTokenKind::Declaration:
            return "declaration";
        case HtmlTokenKind::ProcessingInstruction:
            return "pi";
        case HtmlTokenKind::Stray:
            return "stray";
    }
    return "?";
}

// "kind start-end name" per token ("!" after an unterminated one, "/" after
// a self-closing tag); every token must start where the one before ended.
std::string Tokens(std::string_view text, HtmlSyntax syntax = HtmlSyntax::Html) {
    HtmlTokenizer tokenizer(text, syntax);
    HtmlToken token;
    std::string out;
    std::size_t at = 0;
    while (tokenizer.Next(token)) {
        EXPECT_EQ(token.start, at) << out;
        EXPECT_GT(token.end, token.start) << out;
        at = token.end;
        out += std::string(KindName(token.kind)) + " " + std::to_string(token.start) + "-" +
               std::to_string(token.end);
        if (!token.name.empty()) {
            EXPECT_EQ(text.substr(token.nameAt, token.name.size()), token.name);
            out += " " + std::string(token.name);
        }
        if (token.unterminated) out += "!";
        if (token.selfClosing) out += "/";
        out += "\n";
    }
    EXPECT_EQ(at, text.size());
    return out;
}

TEST(HtmlTokens, KindsAndRangesWithNamesAsWritten) {
    EXPECT_EQ(Tokens("<!DOCTYPE x [<!ENTITY a '>'>]><P Class=a>1 < 2</P ><!-- c --><br/>"),
              "declaration 0-30\n"
              "start 30-41 P\n"
              "text 41-43\n"
              "stray 43-44\n"
              "text 44-46\n"
              "end 46-51 P\n"
              "comment 51-61\n"
              "start 61-66 br/\n");
    // Script text is not markup up to its end tag in any case; an unclosed
    // comment runs to the end.
    EXPECT_EQ(Tokens("<SCRIPT>a<b>&</script><!-- open"),
              "start 0-8 SCRIPT\nraw 8-13\nend 13-22 script\ncomment 22-31!\n");
    EXPECT_EQ(Tokens("</ x<![CDATA[<a>]]><?php ?>"), "stray 0-2\ntext 2-4\ncdata 4-19\npi 19-27\n");
}

TEST(HtmlTokens, XhtmlBreaksTagsAtLessThanAndReadsItsOwnNames) {
    EXPECT_EQ(Tokens("<?xml v='>'?><a<b>", HtmlSyntax::Xhtml),
              "pi 0-13\nstart 13-15 a!\nstart 15-18 b\n");
    EXPECT_EQ(Tokens("<?xml v='>'?><a<b>"), "pi 0-10\ntext 10-13\nstart 13-18 a<b\n");
    // <plaintext> takes the rest of an HTML text only.
    EXPECT_EQ(Tokens("<plaintext></p>"), "start 0-11 plaintext\nraw 11-15\n");
    EXPECT_EQ(Tokens("<_x:y/>", HtmlSyntax::Xhtml), "start 0-7 _x:y/\n");
    EXPECT_EQ(Tokens("<_x:y/>"), "stray 0-1\ntext 1-7\n");
}

TEST(HtmlTokens, AttributesWithTheirRanges) {
    const std::string text = "<td A=\"1 2\" b='x\"y' C nowrap d = e />";
    HtmlTokenizer tokenizer(text, HtmlSyntax::Html);
    HtmlToken tag;
    ASSERT_TRUE(tokenizer.Next(tag));
    EXPECT_TRUE(tag.selfClosing);
    ASSERT_EQ(tag.attributes.size(), 5u);
    std::string seen;
    for (const HtmlAttribute& a : tag.attributes) {
        EXPECT_EQ(text.substr(a.nameAt, a.name.size()), a.name);
        if (a.hasValue) {
            EXPECT_EQ(text.substr(a.valueAt, a.value.size()), a.value);
        }
        seen += std::string(a.name) + "=[" + std::string(a.value) + "] " +
                std::to_string(a.nameAt) + "-" + std::to_string(a.end) +
                (a.hasValue ? "" : " bare") + (a.quoted ? " quoted" : "") + "\n";
    }
    EXPECT_EQ(seen,
              "A=[1 2] 4-11 quoted\n"
              "b=[x\"y] 12-19 quoted\n"
              "C=[] 20-21 bare\n"
              "nowrap=[] 22-28 bare\n"
              "d=[e] 29-34\n");
    // A quote never closed runs to the end of the text.
    HtmlTokenizer open("<a href='x>y", HtmlSyntax::Html);
    ASSERT_TRUE(open.Next(tag));
    EXPECT_TRUE(tag.unterminated);
    EXPECT_EQ(tag.end, 12u);
    ASSERT_EQ(tag.attributes.size(), 1u);
    EXPECT_TRUE(tag.attributes[0].unterminated);
    EXPECT_EQ(tag.attributes[0].value, "x>y");
}

TEST(HtmlTokens, CharacterReferences) {
    const std::string text = "&amp;&#65;&#X1f;&#1114112;&a.b;&nbsp x&;&#;";
    auto read = [&](std::size_t at, ReferenceNames names = ReferenceNames::HtmlNames) {
        const CharacterReference r = ReadCharacterReference(text, at, text.size(), names);
        return std::to_string(static_cast<int>(r.form)) + " " + std::to_string(r.start) + "-" +
               std::to_string(r.end) + " [" + std::string(r.name) + "] " +
               std::to_string(r.codePoint) + (r.terminated ? ";" : "");
    };
    EXPECT_EQ(read(0), "0 0-5 [amp] 0;");
    EXPECT_EQ(read(5), "1 5-10 [65] 65;");
    EXPECT_EQ(read(10), "2 10-16 [1f] 31;");
    EXPECT_GT(ReadCharacterReference(text, 16, text.size(), ReferenceNames::HtmlNames).codePoint,
              0x10FFFFu);
    EXPECT_EQ(read(26), "0 26-28 [a] 0");
    EXPECT_EQ(read(26, ReferenceNames::XmlNames), "0 26-31 [a.b] 0;");
    EXPECT_EQ(read(31), "0 31-36 [nbsp] 0");
    EXPECT_EQ(read(38), "0 38-40 [] 0;");
    EXPECT_EQ(read(40), "1 40-43 [] 0;");
    // Nothing past the limit is read.
    EXPECT_EQ(ReadCharacterReference(text, 0, 4, ReferenceNames::HtmlNames).end, 4u);
}

}  // namespace
}  // namespace tarlo
