// The insertion tools' fixed tables and snippets: the tag reference, the
// symbol palette's Windows-1252 codes, and the four snippets on golden files.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

#include "insert/snippets.h"
#include "insert/special_symbols.h"
#include "insert/tag_reference.h"
#include "text/windows1252.h"

namespace tarlo {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Golden(const std::string& name, const std::string& file) {
    return ReadFile(std::string(TEST_DATA_DIR) + "/snippets/" + name + "/" + file);
}

TEST(TagReference, KeepsItsOrderAndExactEntries) {
    const auto& entries = TagReferenceEntries();
    ASSERT_EQ(entries.size(), 85u);
    EXPECT_EQ(entries[0].text, "<HTML>");
    EXPECT_EQ(entries[2].text, "<!-->");
    EXPECT_EQ(entries[55].text, "<U>");
    EXPECT_EQ(entries[76].text, "<TABLE>");
    EXPECT_EQ(entries[82].text, "<PAGE>");
    EXPECT_EQ(entries[84].text, "</R>");

    std::set<std::string_view> seen;
    for (const TagEntry& e : entries) {
        EXPECT_TRUE(seen.insert(e.text).second) << "twice: " << e.text;
        // Each entry is the bare tag, upper case, as inserted.
        ASSERT_GE(e.text.size(), 3u);
        EXPECT_EQ(e.text.front(), '<');
        EXPECT_EQ(e.text.back(), '>');
        EXPECT_EQ(e.text.find(' '), std::string_view::npos) << e.text;
        for (const char c : e.text) EXPECT_FALSE(c >= 'a' && c <= 'z') << e.text;
        ASSERT_FALSE(e.description.empty()) << e.text;
        EXPECT_EQ(e.description.back(), '.') << e.text;
    }
}

TEST(TagReference, DescribesByExactEntry) {
    EXPECT_EQ(DescribeTag("<B>"), std::optional<std::string_view>("Bold."));
    EXPECT_EQ(DescribeTag("<U>"), std::optional<std::string_view>("Underline."));
    EXPECT_EQ(DescribeTag("<TABLE>"),
              std::optional<std::string_view>(
                  "Table Note: No HTML documents with nested <TABLE> tags are to be accepted or "
                  "disseminated by EDGAR."));
    EXPECT_EQ(DescribeTag("<PAGE>"),
              std::optional<std::string_view>(
                  "SGML tag for page markers (browsers will ignore this tag if present). This is "
                  "a legacy SGML tag to be accepted within HTML documents."));
    EXPECT_EQ(DescribeTag("<R>"),
              std::optional<std::string_view>(
                  "Note: The <R> tag will not be publicly disseminated; it is for private SEC use "
                  "only. This is a legacy SGML tag to be accepted within HTML documents."));
    EXPECT_EQ(DescribeTag("</R>"), DescribeTag("<R>"));
    // Case matters, and only whole entries count.
    EXPECT_FALSE(DescribeTag("<b>").has_value());
    EXPECT_FALSE(DescribeTag("<TABLE").has_value());
    EXPECT_FALSE(DescribeTag("").has_value());
}

TEST(SpecialSymbols, FillTheGridOnceWithWindows1252Codes) {
    const auto& cells = SymbolCells();
    ASSERT_EQ(cells.size(), 33u);
    std::set<std::pair<int, int>> places;
    std::set<std::string_view> controls;
    int boxes = 0;
    for (const SymbolCell& c : cells) {
        EXPECT_TRUE(places.insert({c.row, c.column}).second) << c.control;
        EXPECT_TRUE(controls.insert(c.control).second) << c.control;
        EXPECT_GE(c.row, 1);
        EXPECT_LE(c.row, kSymbolRows);
        EXPECT_GE(c.column, 1);
        EXPECT_LE(c.column, kSymbolColumns);
        EXPECT_FALSE(c.name.empty());
        if (c.wingdings != 0) {
            ++boxes;
            continue;
        }
        // The code is the character's byte in Windows-1252, never its
        // Unicode code point, and never a plain ASCII character.
        const auto byte = ToWindows1252(c.glyph);
        ASSERT_TRUE(byte.has_value()) << c.control;
        EXPECT_GE(*byte, 0x80) << c.control;
        EXPECT_EQ(c.inserted, "&#" + std::to_string(*byte) + ";") << c.control;
    }
    EXPECT_EQ(boxes, 2);
    // Row by row, left to right.
    for (std::size_t i = 0; i < cells.size(); ++i) {
        EXPECT_EQ(cells[i].row, static_cast<int>(i / 11) + 1);
        EXPECT_EQ(cells[i].column, static_cast<int>(i % 11) + 1);
    }
}

TEST(SpecialSymbols, KnownCodesAndTheWingdingsBoxes) {
    const auto code = [](std::string_view control) {
        for (const SymbolCell& c : SymbolCells()) {
            if (c.control == control) return c.inserted;
        }
        return std::string_view("missing");
    };
    EXPECT_EQ(code("LabelEuro"), "&#128;");
    EXPECT_EQ(code("LabelTM"), "&#153;");
    EXPECT_EQ(code("LabelM"), "&#151;");
    EXPECT_EQ(code("LabelN"), "&#150;");
    EXPECT_EQ(code("LabeMult"), "&#215;");
    EXPECT_EQ(code("LabelCheck"), "<strong><FONT face=Wingdings>x</font></strong>");
    EXPECT_EQ(code("LabelCheck").size(), 46u);
    EXPECT_EQ(code("LabelUncheck"), "<strong><FONT face=Wingdings>o</font></strong>");
}

TEST(Snippets, MatchTheGoldenFiles) {
    for (const char* name :
         {"keywords_plain", "keywords_empty", "keywords_quote", "keywords_blanks"}) {
        EXPECT_EQ(KeywordsMeta(Golden(name, "input.txt")), Golden(name, "expected.html")) << name;
    }
    for (const char* name : {"marquee_plain", "marquee_empty", "marquee_markup"}) {
        EXPECT_EQ(MarqueeSnippet(Golden(name, "input.txt")), Golden(name, "expected.html")) << name;
    }
    EXPECT_EQ(LayerSnippet(), Golden("layer", "expected.html"));
    EXPECT_EQ(SearchFormSnippet(), Golden("search_form", "expected.html"));
}

TEST(Snippets, SearchFormSendsToTheQueryPage) {
    const std::string form(SearchFormSnippet());
    EXPECT_NE(form.find("action='" + std::string(kSearchAddress) + "'"), std::string::npos);
    EXPECT_EQ(kSearchAddress.substr(kSearchAddress.size() - 7), "/search");
    EXPECT_NE(form.find("type='text'   name='q'"), std::string::npos);
    EXPECT_EQ(form.find('\n'), std::string::npos);
}

TEST(Snippets, KeywordsNeverEndTheAttributeEarly) {
    // Whatever is typed, the content attribute holds exactly one pair of
    // quotes: the tag stays one well-formed tag.
    const std::string meta = KeywordsMeta("\"\"a\"");
    EXPECT_EQ(meta, "<META content=\"&quot;&quot;a&quot;\" name=keywords>");
    EXPECT_EQ(std::count(meta.begin(), meta.end(), '"'), 2);
}

}  // namespace
}  // namespace tarlo
