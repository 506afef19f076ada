#include "codeview/mod_format.h"

#include <array>
#include <cstdint>
#include <vector>

#include "cleanup/find_replace.h"

namespace tarlo {

namespace {

using Range = std::pair<std::size_t, std::size_t>;  // [first, second)

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view word) {
    if (at + word.size() > text.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (Lower(text[at + i]) != word[i]) return false;
    }
    return true;
}

// Elements whose content is laid out as written: reflowing them would change
// what the reader of the filing sees.
constexpr std::array<std::string_view, 5> kVerbatim = {"pre", "xmp", "listing", "plaintext",
                                                       "textarea"};

// The verbatim elements of the text, in order. An element runs from its
// opening "<name" to the ">" of the first "</name>" after it, or to the end.
std::vector<Range> VerbatimElements(std::string_view text) {
    std::vector<Range> out;
    std::size_t at = text.find('<');
    while (at != std::string_view::npos) {
        std::size_t end = std::string_view::npos;
        for (std::string_view name : kVerbatim) {
            const std::size_t after = at + 1 + name.size();
            if (!StartsWithNoCase(text, at + 1, name) || after >= text.size()) continue;
            const char d = text[after];
            if (d != '>' && d != ' ' && d != '\t' && d != '\r' && d != '\n' && d != '/') continue;
            const std::string closer = "</" + std::string(name) + ">";
            end = text.size();
            for (std::size_t c = text.find('<', after); c != std::string_view::npos;
                 c = text.find('<', c + 1)) {
                if (StartsWithNoCase(text, c, closer)) {
                    end = c + closer.size();
                    break;
                }
            }
            break;
        }
        if (end == std::string_view::npos) {
            at = text.find('<', at + 1);
        } else {
            out.emplace_back(at, end);
            at = end >= text.size() ? std::string_view::npos : text.find('<', end);
        }
    }
    return out;
}

bool Joins(char c) {
    return c != '<' && c != '>' && c != ' ' && c != '\r' && c != '\n';
}

// Removes runs of CR LF pairs and tabs. A run between two characters of
// running text becomes one blank, so words that Word wrapped across lines
// stay apart. Verbatim elements are copied as they are; their places in the
// result are returned in `kept`.
std::string RemoveLineBreaks(std::string_view text, const std::vector<Range>& verbatim,
                             std::vector<Range>& kept) {
    std::string out;
    out.reserve(text.size());
    std::size_t next = 0;  // next verbatim element
    std::size_t i = 0;
    while (i < text.size()) {
        if (next < verbatim.size() && i == verbatim[next].first) {
            const std::size_t from = out.size();
            out.append(text.substr(i, verbatim[next].second - i));
            kept.emplace_back(from, out.size());
            i = verbatim[next].second;
            ++next;
            continue;
        }
        const bool pair = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if (!pair && text[i] != '\t') {
            out.push_back(text[i++]);
            continue;
        }
        const std::size_t runStart = i;
        while (i < text.size()) {
            if (text[i] == '\t') {
                ++i;
            } else if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                i += 2;
            } else {
                break;
            }
        }
        if (runStart > 0 && i < text.size() && Joins(text[runStart - 1]) && Joins(text[i])) {
            out.push_back(' ');
        }
    }
    return out;
}

bool KeepsIndent(const std::string& name) {
    static constexpr std::array<std::string_view, 10> kFlat = {
        "br", "hr", "img", "meta", "applet", "p", "!--", "input", "!doctype", "area"};
    for (std::string_view n : kFlat) {
        if (name == n) return true;
    }
    return false;
}

void AppendLine(std::string& out, std::int64_t indent, std::string_view segment) {
    out.append("\r\n");
    out.append(static_cast<std::size_t>(indent), ' ');
    out.append(segment);
}

// The indenter over text whose verbatim elements are given; the places of
// those elements in the result are returned in `kept`.
std::string Indent(std::string_view text, const std::vector<Range>& verbatim,
                   std::vector<Range>* kept, const SegmentHook& onSegment) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    std::int64_t indent = 0;
    std::size_t lt = text.find('<');
    out.append(text.substr(0, lt == std::string_view::npos ? text.size() : lt));
    std::size_t next = 0;
    while (lt != std::string_view::npos) {
        if (onSegment) onSegment();
        while (next < verbatim.size() && verbatim[next].first < lt) ++next;
        if (next < verbatim.size() && verbatim[next].first == lt) {
            // A verbatim element is a segment of its own and leaves the depth alone.
            const std::size_t end = verbatim[next].second;
            const std::size_t e = end >= text.size() ? text.size() : text.find('<', end);
            const std::size_t stop = e == std::string_view::npos ? text.size() : e;
            out.append("\r\n");
            out.append(static_cast<std::size_t>(indent), ' ');
            if (kept != nullptr) kept->emplace_back(out.size(), out.size() + (end - lt));
            out.append(text.substr(lt, stop - lt));
            lt = e == std::string_view::npos || e >= text.size() ? std::string_view::npos : e;
            continue;
        }
        const std::size_t e = text.find('<', lt + 1);
        const std::size_t stop = e == std::string_view::npos ? text.size() : e;
        if (lt + 1 < text.size() && text[lt + 1] == '/') {
            indent -= 5;
            if (indent < 0) indent *= -2;
            AppendLine(out, indent, text.substr(lt, stop - lt));
        } else {
            AppendLine(out, indent, text.substr(lt, stop - lt));
            const TagRecord following = GetTag(text, lt + 1);
            std::string name = GetTagName(following.text);
            for (char& c : name) c = Lower(c);
            const bool closesItself =
                following.text.size() >= 2 &&
                std::string_view(following.text).substr(following.text.size() - 2) == "/>";
            if (!KeepsIndent(name) && !closesItself) indent += 5;
        }
        lt = e;
    }
    return out;
}

}  // namespace

std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement) {
    return FindReplace(text, find, replacement);
}

TagRecord GetTag(std::string_view text, std::size_t from) {
    TagRecord tag;
    const std::size_t a = text.find('<', from);
    if (a == std::string_view::npos) return tag;
    const std::size_t b = text.find('>', a + 1);
    if (b == std::string_view::npos) return tag;
    tag.text = std::string(text.substr(a, b - a + 1));
    tag.start = a;
    tag.length = b - a;
    return tag;
}

std::string GetTagName(std::string_view tag) {
    if (tag.size() < 2 || tag[0] != '<') return {};
    if (tag.substr(1, 3) == "!--") return "!--";
    std::size_t end = tag.find(' ');
    if (end == std::string_view::npos) end = tag.find('>');
    if (end == std::string_view::npos || end < 1) return {};
    return std::string(tag.substr(1, end - 1));
}

std::string TidyTagSpaces(std::string_view text) {
    std::string out = ReplaceAll(text, " >", ">");
    out = ReplaceAll(out, "< ", "<");
    return ReplaceAll(out, "> <", "><");
}

std::string IndentHtml(std::string_view text, const SegmentHook& onSegment) {
    return Indent(text, VerbatimElements(text), nullptr, onSegment);
}

std::string FormatHtml(std::string_view html, const SegmentHook& onSegment) {
    std::vector<Range> joined;
    const std::string flat = RemoveLineBreaks(html, VerbatimElements(html), joined);
    std::vector<Range> indented;
    const std::string laidOut = Indent(flat, joined, &indented, onSegment);
    // The blank rules apply between verbatim elements only.
    std::string out;
    out.reserve(laidOut.size());
    std::size_t from = 0;
    for (const Range& r : indented) {
        out.append(TidyTagSpaces(std::string_view(laidOut).substr(from, r.first - from)));
        out.append(laidOut, r.first, r.second - r.first);
        from = r.second;
    }
    out.append(TidyTagSpaces(std::string_view(laidOut).substr(from)));
    return out;
}

}  // namespace tarlo
