// The clean-up on real filings: the attributes it must leave alone come
// through with their values, no tag it writes is cut, and the EDGAR rules
// find no error in the cleaned filing that the filing did not have.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include "checker/edgar_rules.h"
#include "checker/ixbrl_facts.h"
#include "cleanup/edgarize.h"
#include "cleanup/edgarize_ixbrl.h"
#include "support/corpus.h"
#include "text/line_breaks.h"
#include "text/page_source.h"
#include "text/text_encoding.h"
#include "text/text_scan.h"
#include "text/windows1252.h"

namespace tarlo {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> CorpusFilings() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(TARLO_CORPUS_DIR)) {
        if (entry.path().extension() == ".htm") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

using Attribute = std::pair<std::string, std::string>;  // lower-case name, value

// The attributes of a tag from "<" up to, not including, its ">", read as a
// browser reads them; nothing when the tag does not read: no name, a quote
// where a name should be, or a quote that does not close inside the tag.
std::optional<std::vector<Attribute>> ReadTag(std::string_view tag) {
    std::size_t i = tag[1] == '/' ? 2 : 1;
    const std::size_t nameStart = i;
    while (i < tag.size() && !IsSpace(tag[i]) && tag[i] != '/') ++i;
    if (i == nameStart) return std::nullopt;
    std::vector<Attribute> attributes;
    while (true) {
        while (i < tag.size() && (IsSpace(tag[i]) || tag[i] == '/')) ++i;
        if (i == tag.size()) return attributes;
        const std::size_t start = i;
        while (i < tag.size() && !IsSpace(tag[i]) && tag[i] != '=' && tag[i] != '/') {
            if (tag[i] == '"' || tag[i] == '\'') return std::nullopt;
            ++i;
        }
        if (i == start) return std::nullopt;  // "=" with no name
        Attribute a{AsciiLowerCopy(tag.substr(start, i - start)), ""};
        std::size_t j = i;
        while (j < tag.size() && IsSpace(tag[j])) ++j;
        if (j < tag.size() && tag[j] == '=') {
            i = j + 1;
            while (i < tag.size() && IsSpace(tag[i])) ++i;
            if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
                const std::size_t close = tag.find(tag[i], i + 1);
                if (close == std::string_view::npos) return std::nullopt;
                a.second = std::string(tag.substr(i + 1, close - i - 1));
                i = close + 1;
            } else {
                const std::size_t start = i;
                while (i < tag.size() && !IsSpace(tag[i])) {
                    if (tag[i] == '"' || tag[i] == '\'') return std::nullopt;
                    ++i;
                }
                a.second = std::string(tag.substr(start, i - start));
            }
        }
        attributes.push_back(std::move(a));
    }
}

bool OrderedList(const std::string& front) {
    for (const std::string p : {"<ol", "</ol"}) {
        if (front.rfind(p, 0) == 0 && front.size() > p.size() &&
            (IsSpace(front[p.size()]) || front[p.size()] == '>')) {
            return true;
        }
    }
    return false;
}

// Tags the clean-up drops whole, by the lower-case start of the tag:
// generator and row-height tags, conditional comments, spans, Office and
// smart tags (ordered lists excepted).
bool Dropped(const std::string& front) {
    for (const char* p : {"<tr height",
                          "<tr style",
                          "<meta name=progid",
                          "<meta name=generator",
                          "<meta name=originator",
                          "<meta name=\"progid",
                          "<meta name=\"generator",
                          "<meta name=\"originator",
                          "<link rel=",
                          "<![if",
                          "<![endif]",
                          "<span",
                          "</span",
                          "<w",
                          "</w",
                          "<st1:",
                          "</st1:",
                          "<st2:",
                          "</st2:",
                          "<st3:",
                          "</st3:"}) {
        if (front.rfind(p, 0) == 0) return true;
    }
    const bool officeTag = front.rfind("<o", 0) == 0 || front.rfind("</o", 0) == 0;
    return officeTag && !OrderedList(front);
}

struct Survey {
    std::map<Attribute, int> kept;  // the attributes that must come through
    std::size_t tags = 0;
    std::size_t unread = 0;  // tags that do not read
};

const char* const kKeptNames[] = {"href", "rowspan", "colspan", "align", "width"};

// Every tag of `html` (from its head on, outside comments), and the kept
// attributes of those that `dropping` leaves.
Survey Look(std::string_view html, bool dropping) {
    Survey s;
    const std::size_t head = html.find("<head");
    std::size_t at = html.find('<', head == std::string_view::npos ? 0 : head);
    while (at != std::string_view::npos && at + 1 < html.size()) {
        if (html.substr(at, 4) == "<!--") {
            const std::size_t end = html.find("-->", at);
            if (end == std::string_view::npos) break;
            at = html.find('<', end);
            continue;
        }
        const std::size_t gt = html.find('>', at);
        if (gt == std::string_view::npos) break;
        const bool isTag =
            IsLetter(html[at + 1]) || (html[at + 1] == '/' && IsLetter(html[at + 2]));
        const std::string front = AsciiLowerCopy(html.substr(at, 24));
        if (isTag && !(dropping && Dropped(front))) {
            ++s.tags;
            const auto attributes = ReadTag(html.substr(at, gt - at));
            if (!attributes) ++s.unread;
            for (const Attribute& a : attributes.value_or(std::vector<Attribute>{})) {
                for (const char* name : kKeptNames) {
                    if (a.first == name) ++s.kept[a];
                }
            }
        }
        at = html.find('<', at + 1);
    }
    return s;
}

// The attributes of `want` that `got` lacks or has more of, the first few.
std::string Missing(const std::map<Attribute, int>& want, const std::map<Attribute, int>& got) {
    std::string out;
    int shown = 0;
    auto note = [&](const Attribute& a, int w, int g) {
        if (w != g && shown++ < 5) {
            out += a.first + "=\"" + a.second + "\" " + std::to_string(w) + " in, " +
                   std::to_string(g) + " out; ";
        }
    };
    for (const auto& [a, count] : want) {
        const auto it = got.find(a);
        note(a, count, it == got.end() ? 0 : it->second);
    }
    for (const auto& [a, count] : got) {
        if (want.count(a) == 0) note(a, 0, count);
    }
    return out;
}

TEST(EdgarizeCorpus, LinksSpansAndAlignmentSurviveAndNoTagIsCut) {
    TARLO_NEED_CORPUS();
    std::size_t files = 0;
    std::size_t attributes = 0;
    std::size_t tags = 0;
    for (const fs::path& file : CorpusFilings()) {
        const std::string html = DecodeDocumentBytes(ReadFile(file));
        const Survey before = Look(html, true);
        const Survey after = Look(Edgarize(html), false);
        EXPECT_EQ(Missing(before.kept, after.kept), "") << file.filename();
        EXPECT_EQ(after.unread, 0u) << file.filename();
        ++files;
        for (const auto& [attribute, count] : before.kept) attributes += count;
        tags += after.tags;
    }
    EXPECT_GE(files, 6u);
    EXPECT_GT(attributes, 10000u);
    std::cout << "Checked " << attributes << " href, rowspan, colspan, align and width "
              << "attributes and " << tags << " cleaned tags in " << files << " filings\n";
}

// What a reader sees of a page from its head on, blanks aside: the text
// outside tags, comments, scripts and style sheets, with character
// references read (Windows-1252 numbers for 128-159), no-break spaces taken
// as blanks and the ellipsis as three full stops.
std::u32string VisibleCharacters(const std::string& html) {
    std::u32string seen;
    std::size_t i = std::min(html.size(), html.find("<head"));
    auto skipPast = [&](std::string_view end) {
        const std::size_t at = FindFolded(html, end, i);
        i = at == std::string::npos ? html.size() : at + end.size();
    };
    auto add = [&](char32_t c) {
        if (c == U'\u2026') {
            seen += U"...";
        } else if (c != U'\u00a0' && c != U' ' && c != U'\t' && c != U'\r' && c != U'\n') {
            seen += c;
        }
    };
    while (i < html.size()) {
        const char c = html[i];
        if (c == '<') {
            const std::string front = html.substr(i, 8);
            std::string lower = front;
            for (char& ch : lower)
                ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            if (lower.rfind("<!--", 0) == 0) {
                skipPast("-->");
            } else if (lower.rfind("<script", 0) == 0) {
                skipPast("</script>");
            } else if (lower.rfind("<style", 0) == 0) {
                skipPast("</style>");
            } else if (front.size() > 1 &&
                       (IsLetter(front[1]) || front[1] == '/' || front[1] == '!')) {
                skipPast(">");
            } else {
                add(U'<');
                ++i;
            }
            continue;
        }
        if (c == '&' && i + 2 < html.size() && html[i + 1] == '#') {
            const std::size_t semi = html.find(';', i);
            const bool hex = html[i + 2] == 'x' || html[i + 2] == 'X';
            const std::string digits = html.substr(i + (hex ? 3 : 2), semi - i - (hex ? 3 : 2));
            char32_t code = static_cast<char32_t>(std::stoul(digits, nullptr, hex ? 16 : 10));
            if (code >= 128 && code < 160) code = FromWindows1252(static_cast<unsigned char>(code));
            add(code);
            i = semi + 1;
            continue;
        }
        if (html.compare(i, 6, "&nbsp;") == 0) {
            i += 6;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        const int extra = byte < 0x80 ? 0 : byte < 0xE0 ? 1 : byte < 0xF0 ? 2 : 3;
        char32_t code = extra == 0 ? byte : byte & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < html.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(html[i + k]) & 0x3F);
        }
        add(code);
        i += 1 + extra;
    }
    return seen;
}

// After the clean-up a filing holds nothing of what EDGAR refuses that the
// clean-up can take away without loss, and every character a reader saw is
// still there, in its order.
TEST(EdgarizeCorpus, RefusedMarkupAndRawCharactersGoNothingVisibleIsLost) {
    TARLO_NEED_CORPUS();
    std::size_t sectionsBefore = 0;
    for (const fs::path& file : CorpusFilings()) {
        const std::string html = DecodeDocumentBytes(ReadFile(file));
        if (IsInlineXbrl(html)) continue;  // the clean-up warns before it strips their tagging
        const std::string cleaned = Edgarize(html);
        for (const char* tag : {"<tbody", "</tbody", "<thead", "<tfoot", "<link", "<script",
                                "<style", "http-equiv"}) {
            sectionsBefore += FindFolded(html, tag, 0) != std::string::npos;
            EXPECT_EQ(FindFolded(cleaned, tag, 0), std::string::npos)
                << file.filename() << ": " << tag;
        }
        const auto raw = std::find_if(cleaned.begin(), cleaned.end(),
                                      [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
        EXPECT_EQ(raw, cleaned.end()) << file.filename() << " at " << (raw - cleaned.begin());
        EXPECT_TRUE(VisibleCharacters(html) == VisibleCharacters(cleaned)) << file.filename();
    }
    // The corpus does hold what is checked for. (Its filings write their
    // other characters as references; the page engine's HTML, which the
    // clean-up gets in the program, has them raw: the window test sees that.)
    EXPECT_GT(sectionsBefore, 0u);
}

// The Errors the EDGAR rules check finds, counted by rule and by what they
// name ("<html>", "</tr>", a link), the name folded: where in the text they
// stand does not matter.
std::map<std::pair<std::string, std::string>, int> EdgarErrors(std::string_view html) {
    std::map<std::pair<std::string, std::string>, int> errors;
    for (const EdgarFinding& f : CheckEdgarRules(html).findings) {
        if (f.severity == kSeverityError) ++errors[{f.rule, AsciiLowerCopy(f.subject)}];
    }
    return errors;
}

TEST(EdgarizeCorpus, CleanedFilingsHaveNoNewEdgarError) {
    TARLO_NEED_CORPUS();
    std::size_t files = 0;
    int errorsBefore = 0;
    for (const fs::path& file : CorpusFilings()) {
        const std::string bytes = ReadFile(file);
        const auto before = EdgarErrors(bytes);
        // The clean-up as the commands run it: an Inline XBRL filing in the
        // form that keeps its tagging.
        const std::string text = DecodeDocumentBytes(bytes);
        const std::optional<std::string> inlineXbrl = CleanUpInlineXbrl(text);
        const auto after = EdgarErrors(
            inlineXbrl ? *inlineXbrl : PutBackWrapper(text, Edgarize(PageContent(text))));
        std::string added;
        for (const auto& [kind, count] : after) {
            const auto was = before.find(kind);
            const int had = was == before.end() ? 0 : was->second;
            if (count > had) {
                added += kind.first + " " + kind.second + ": " + std::to_string(had) + " -> " +
                         std::to_string(count) + "; ";
            }
        }
        EXPECT_EQ(added, "") << file.filename();
        for (const auto& [kind, count] : before) errorsBefore += count;
        ++files;
    }
    EXPECT_GE(files, 6u);
    // The corpus holds a page the clean-up has Errors to take away.
    EXPECT_GT(errorsBefore, 0);
}

// What of an Inline XBRL document its tagging relies on, as an XML reader
// sees it: every namespace declaration; each ix:, xbrli:, xbrldi:, link: and
// xlink: element with its attributes, and everything inside it (text, and
// the markup of a text block); the style of every element around the
// ix:header; and every style that hides a fact. Empty when it is not
// well-formed XML.
std::vector<QString> TaggingAsRead(const std::string& xml) {
    std::vector<QString> seen;
    QXmlStreamReader r(QByteArray::fromStdString(xml));
    QStringList styles;  // of the open elements
    int inside = 0;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            const QString name = r.qualifiedName().toString();
            const QString style = r.attributes().value(QStringLiteral("style")).toString();
            for (const QXmlStreamNamespaceDeclaration& d : r.namespaceDeclarations()) {
                seen.push_back("xmlns:" + d.prefix().toString() + "=" +
                               d.namespaceUri().toString());
            }
            const QString prefix = name.section(':', 0, 0);
            const bool tagging =
                name.contains(':') && (prefix == "ix" || prefix == "xbrli" || prefix == "xbrldi" ||
                                       prefix == "link" || prefix == "xlink");
            if (name == "ix:header") seen.push_back("header in " + styles.join('|'));
            if (style.contains("-sec-ix-hidden")) seen.push_back("hides " + style);
            if (inside > 0 || tagging) {
                QString tag = "<" + name;
                for (const QXmlStreamAttribute& a : r.attributes()) {
                    tag += " " + a.qualifiedName().toString() + "=" + a.value().toString();
                }
                seen.push_back(tag + ">");
                ++inside;
            }
            styles.push_back(style);
        } else if (r.isEndElement()) {
            styles.pop_back();
            if (inside > 0) {
                --inside;
                seen.push_back("</" + r.qualifiedName().toString() + ">");
            }
        } else if (r.isCharacters() && inside > 0) {
            seen.push_back(r.text().toString());
        }
    }
    if (r.hasError()) return {QStringLiteral("not well-formed: ") + r.errorString()};
    return seen;
}

// On every Inline XBRL filing, the clean-up takes its Inline XBRL form: the
// result is well-formed XML whose tagging, facts, contexts and hidden
// header read as before, and the XML declaration and the text before the
// root stay (CleanedFilingsHaveNoNewEdgarError holds it to the EDGAR rules).
TEST(EdgarizeCorpus, InlineXbrlFilingsKeepTheirTagging) {
    TARLO_NEED_CORPUS();
    std::size_t filings = 0;
    for (const fs::path& file : CorpusFilings()) {
        const std::string html = DecodeDocumentBytes(ReadFile(file));
        if (!IsInlineXbrl(html)) continue;
        ++filings;
        ASSERT_TRUE(IsInlineXbrlDocument(html)) << file.filename();
        const std::optional<std::string> cleaned = CleanUpInlineXbrl(html);
        ASSERT_TRUE(cleaned.has_value()) << file.filename();
        // A cleaned filing has nothing left to clean.
        EXPECT_TRUE(CleanUpInlineXbrl(*cleaned) == cleaned) << file.filename();

        const std::vector<QString> before = TaggingAsRead(html);
        const std::vector<QString> after = TaggingAsRead(*cleaned);
        EXPECT_GT(before.size(), 1000u) << file.filename();
        EXPECT_TRUE(before == after) << file.filename() << ": " << after.front().toStdString();

        const std::size_t root = html.find("<html");
        EXPECT_EQ(cleaned->substr(0, cleaned->find("<html")),
                  WithLineBreaks(html.substr(0, root), LineBreak::CrLf));

        const IxFacts factsBefore = ReadIxFacts(html);
        const IxFacts factsAfter = ReadIxFacts(*cleaned);
        ASSERT_EQ(factsAfter.facts.size(), factsBefore.facts.size()) << file.filename();
        EXPECT_GT(factsBefore.facts.size(), 500u);
        EXPECT_EQ(factsAfter.contexts, factsBefore.contexts);
        EXPECT_EQ(factsAfter.units, factsBefore.units);
        for (std::size_t i = 0; i < factsBefore.facts.size(); ++i) {
            const IxFact& a = factsBefore.facts[i];
            const IxFact& b = factsAfter.facts[i];
            EXPECT_TRUE(a.concept == b.concept && a.value == b.value && a.context == b.context &&
                        a.period == b.period && a.unit == b.unit && a.hidden == b.hidden)
                << file.filename() << " fact " << i << " " << a.concept;
        }
    }
    EXPECT_EQ(filings, 2u);
}

}  // namespace
}  // namespace tarlo
