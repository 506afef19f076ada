#pragma once
// The clean-up's rule table: what the rewrite does with each tag it meets
// (drop it, strip its presentation attributes, copy it, or read it as text),
// the attribute texts the strip removes, and the fixed replacements that
// follow the loop. The rewrite itself (cleanup/edgarize.cpp) applies them.
#include <array>
#include <cstddef>
#include <string_view>
#include <utility>

namespace tarlo::edgarize_rules {

// The longest prefix the classification compares ("<meta name=originator").
constexpr std::size_t kFrontLength = 24;

// Prefixes are a few bytes: a plain loop beats a library call per test.
inline bool StartsWith(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (s[i] != prefix[i]) return false;
    }
    return true;
}

// What the loop does with a tag, by the first rule that names it. The rules,
// in their order:
// 1. generator tags go: "<meta name=progid", "<meta name=generator", "<meta
//    name=originator", "<link rel=" (the meta names also in quotes); a row
//    with a set height or style ("<tr height", "<tr style") keeps only a
//    plain "<tr>", so that its "</tr>" still closes a row;
// 2. comments go, and 3. conditional comments ("<![if", "<![endif]");
// 4. the common tags lose their presentation attributes: "<html", "<a ",
//    "<div", "<col s", "<img", "<table", "<tr", "<td", "<p", "<b", "<li",
//    "<ul". The prefixes also take longer names: "<b" the body, line-break
//    and big tags, "<p" the pre tag, "<tr" every row tag not dropped before;
// 5. spans, Office tags (o:, w:) and smart tags (st1: to st3:) go, opening
//    or closing, except ordered lists;
// 6. other closing tags are copied; 7. anything else is text.
// Before all of them come the tags EDGAR refuses outright and that can go
// without losing anything the reader sees: table sections (their rows stay),
// style sheet links, "<meta http-equiv>" (the cleaned text is plain ASCII,
// so its character set claim says nothing), and scripts and style sheets
// with their content (EDGAR takes style only in attributes).
enum class Rule {
    Text,
    DropTag,
    PlainRow,
    DropComment,
    StripTag,
    ClosingTag,
    MetaTag,
    DropScript,
    DropStyle
};

// The rule for the tag whose first kFrontLength bytes (fewer at the text's
// end), in lower case, are `front`; the rules are tried only where the
// characters after "<" leave them possible.
Rule Classify(std::string_view front);

// The front of a <pre> tag: preformatted text keeps its blanks and lines.
bool OpensPreformatted(std::string_view front);

// Where the first start tag opening with `lowerOpening` ("<head") begins in
// `text`, its name in any case and ended by a blank, "/" or ">" (a header
// element is not a head), at or after `from`; npos when there is none.
std::size_t FindStartTag(std::string_view text, std::string_view lowerOpening,
                         std::size_t from = 0);

// The same, passing over comments: a "<head" written inside a comment (a
// commented-out head, a generator's note) is no tag. Nothing past a comment
// that is never closed.
std::size_t FindStartTagOutsideComments(std::string_view text, std::string_view lowerOpening);

// The attribute texts the strip removes, in its order: the first five with
// the blank after them, then the style, then the id with the blank before it.
constexpr std::array<std::string_view, 7> kAttributeTexts{"class", "name=", "x:num", "x:fmla",
                                                          "x:str", "style", " id="};
constexpr std::size_t kClass = 0;
constexpr std::size_t kXStr = 4;
constexpr std::size_t kStyleText = 5;
constexpr std::size_t kIdText = 6;

// Where each attribute text first occurs in `tag`, or npos, in one reading.
std::array<std::size_t, kAttributeTexts.size()> FirstAttributeTexts(std::string_view tag);

// The fixed replacements after the loop, in their order: what is looked
// for, exactly, and what takes its place.
using Replacement = std::pair<std::string_view, std::string_view>;

constexpr std::array<Replacement, 10> kReplacements{{
    {"<html>", "<html>\n<title>\n</title>\n"},
    {"<div><br></div>", ""},
    {"<P></P>", ""},
    {"<LI>", ""},
    {"<EM>", ""},
    {"</EM>", ""},
    {"<DIV><BR></DIV>", ""},
    {"\u2026", "..."},
    {"...nbsp;", " "},
    {"<TD>", "<td Valign=Top>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"},
}};

// Which of the replacements' texts occur in `text`.
std::array<bool, kReplacements.size()> Occurring(std::string_view text);

}  // namespace tarlo::edgarize_rules
