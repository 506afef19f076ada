#include "cleanup/edgarize_rules.h"

#include <initializer_list>
#include <string>

#include "text/byte_block.h"
#include "text/text_scan.h"

namespace tarlo::edgarize_rules {

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool IsTagEnd(char c) {
    return c == '>' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Ordered lists share their first letter with the Office o: tags; they are
// kept so that their numbering survives.
bool IsOrderedListTag(std::string_view front) {
    if (StartsWith(front, "<ol")) return front.size() > 3 && IsTagEnd(front[3]);
    if (StartsWith(front, "</ol")) return front.size() > 4 && IsTagEnd(front[4]);
    return false;
}

bool IsNamedTag(std::string_view front, std::string_view opening) {
    return StartsWith(front, opening) && front.size() > opening.size() &&
           (IsTagEnd(front[opening.size()]) || front[opening.size()] == '/');
}

// "<tbody", "<thead" or "<tfoot", opening or (with `closing`) closing.
bool IsTableSectionTag(std::string_view front, bool closing) {
    for (std::string_view name : {"tbody", "thead", "tfoot"}) {
        std::string tag = closing ? "</" : "<";
        tag += name;
        if (IsNamedTag(front, tag)) return true;
    }
    return false;
}

}  // namespace

bool OpensPreformatted(std::string_view front) {
    return StartsWith(front, "<pre") && front.size() > 4 && (IsTagEnd(front[4]) || front[4] == '/');
}

std::size_t FindStartTag(std::string_view text, std::string_view lowerOpening, std::size_t from) {
    for (std::size_t at = FindFolded(text, lowerOpening, from); at != npos;
         at = FindFolded(text, lowerOpening, at + 1)) {
        const std::size_t after = at + lowerOpening.size();
        if (after < text.size() && (IsTagEnd(text[after]) || text[after] == '/')) return at;
    }
    return npos;
}

std::size_t FindStartTagOutsideComments(std::string_view text, std::string_view lowerOpening) {
    std::size_t from = 0;
    while (true) {
        const std::size_t tag = FindStartTag(text, lowerOpening, from);
        const std::size_t comment = text.find("<!--", from);
        if (tag == npos || comment == npos || tag < comment) return tag;
        const std::size_t end = text.find("-->", comment + 4);
        if (end == npos) return npos;
        from = end + 3;
    }
}

// The rules in their order, each tried only where the characters after "<"
// leave it possible. `front` is in lower case.
Rule Classify(std::string_view front) {
    if (front.size() < 2) return Rule::Text;
    switch (front[1]) {
        case 't':
            if (IsTableSectionTag(front, false)) return Rule::DropTag;
            if (StartsWith(front, "<tr height") || StartsWith(front, "<tr style")) {
                return Rule::PlainRow;
            }
            return StartsWith(front, "<table") || StartsWith(front, "<tr") ||
                           StartsWith(front, "<td")
                       ? Rule::StripTag
                       : Rule::Text;
        case 'm':
            if (IsNamedTag(front, "<meta")) {
                if (StartsWith(front, "<meta http-equiv")) return Rule::DropTag;
            }
            // The page engine writes every attribute value in quotes, so the
            // generator tags it hands over begin with the quoted forms.
            return StartsWith(front, "<meta name=progid") ||
                           StartsWith(front, "<meta name=generator") ||
                           StartsWith(front, "<meta name=originator") ||
                           StartsWith(front, "<meta name=\"progid") ||
                           StartsWith(front, "<meta name=\"generator") ||
                           StartsWith(front, "<meta name=\"originator")
                       ? Rule::DropTag
                   : IsNamedTag(front, "<meta") ? Rule::MetaTag
                                                : Rule::Text;
        case 'l':
            if (StartsWith(front, "<link rel=") || IsNamedTag(front, "<link")) {
                return Rule::DropTag;
            }
            return StartsWith(front, "<li") ? Rule::StripTag : Rule::Text;
        case '!':
            if (StartsWith(front, "<!--")) return Rule::DropComment;
            if (StartsWith(front, "<![if") || StartsWith(front, "<![endif]")) return Rule::DropTag;
            return Rule::Text;
        case 'h':
            return StartsWith(front, "<html") ? Rule::StripTag : Rule::Text;
        case 'a':
            return StartsWith(front, "<a ") ? Rule::StripTag : Rule::Text;
        case 'd':
            return StartsWith(front, "<div") ? Rule::StripTag : Rule::Text;
        case 'c':
            return StartsWith(front, "<col s") ? Rule::StripTag : Rule::Text;
        case 'i':
            return StartsWith(front, "<img") ? Rule::StripTag : Rule::Text;
        case 'u':
            return StartsWith(front, "<ul") ? Rule::StripTag : Rule::Text;
        case 'p':
        case 'b':
            return Rule::StripTag;
        case 's':
            if (IsNamedTag(front, "<script")) return Rule::DropScript;
            if (IsNamedTag(front, "<style")) return Rule::DropStyle;
            return StartsWith(front, "<span") || StartsWith(front, "<st1:") ||
                           StartsWith(front, "<st2:") || StartsWith(front, "<st3:")
                       ? Rule::DropTag
                       : Rule::Text;
        case 'o':
            return IsOrderedListTag(front) ? Rule::Text : Rule::DropTag;
        case 'w':
            return Rule::DropTag;
        case '/':
            if (IsTableSectionTag(front, true)) return Rule::DropTag;
            if (front.size() > 2) {
                switch (front[2]) {
                    case 'o':
                        return IsOrderedListTag(front) ? Rule::ClosingTag : Rule::DropTag;
                    case 'w':
                        return Rule::DropTag;
                    case 's':
                        if (IsNamedTag(front, "</script") || IsNamedTag(front, "</style")) {
                            return Rule::DropTag;
                        }
                        if (StartsWith(front, "</span") || StartsWith(front, "</st1:") ||
                            StartsWith(front, "</st2:") || StartsWith(front, "</st3:")) {
                            return Rule::DropTag;
                        }
                        break;
                    default:
                        break;
                }
            }
            return Rule::ClosingTag;
        default:
            return Rule::Text;
    }
}

// Where each attribute text first occurs in `tag`, or npos, in one reading:
// the first two bytes of every text ("cl", "na", "x:", "st", " i") are
// looked for at once, and only those places are compared in full.
std::array<std::size_t, kAttributeTexts.size()> FirstAttributeTexts(std::string_view tag) {
    std::array<std::size_t, kAttributeTexts.size()> first;
    first.fill(npos);
    std::size_t missing = first.size();
    const char* const t = tag.data();
    const std::size_t size = tag.size();
    auto test = [&](std::size_t at, std::size_t which) {
        if (first[which] == npos && StartsWith(tag.substr(at), kAttributeTexts[which])) {
            first[which] = at;
            --missing;
        }
    };
    auto candidate = [&](std::size_t at) {
        switch (t[at]) {
            case 'c':
                test(at, 0);
                break;
            case 'n':
                test(at, 1);
                break;
            case 'x':
                test(at, 2);
                test(at, 3);
                test(at, 4);
                break;
            case 's':
                test(at, 5);
                break;
            case ' ':
                test(at, 6);
                break;
            default:
                break;
        }
    };
    std::size_t i = 0;
    for (; i + ByteBlock::kSize + 1 <= size && missing > 0; i += ByteBlock::kSize) {
        const ByteBlock a(t + i);
        const ByteBlock b(t + i + 1);
        auto pair = [&](char x, char y) { return a.Is(x) & b.Is(y); };
        const ByteMask hits =
            pair('c', 'l') | pair('n', 'a') | pair('x', ':') | pair('s', 't') | pair(' ', 'i');
        ForEachBit(hits.Bits(), [&](std::size_t bit) { candidate(i + bit); });
    }
    for (; i < size && missing > 0; ++i) candidate(i);
    return first;
}

// Which of the replacements' texts occur in `text`, found in three readings
// of it instead of one per replacement: the eight tags are looked for at
// every "<" in one go, each only where the character after "<" fits.
std::array<bool, kReplacements.size()> Occurring(std::string_view text) {
    std::array<bool, kReplacements.size()> found{};
    const char* const t = text.data();
    const std::size_t size = text.size();
    auto atLessThan = [&](std::size_t lt) {
        if (size - lt < 2) return;
        std::size_t r = 0;
        switch (t[lt + 1]) {
            case 'h':
                r = 0;
                break;
            case 'd':
                r = 1;
                break;
            case 'P':
                r = 2;
                break;
            case 'L':
                r = 3;
                break;
            case 'E':
                r = 4;
                break;
            case '/':
                r = 5;
                break;
            case 'D':
                r = 6;
                break;
            case 'T':
                r = 9;
                break;
            default:
                return;
        }
        if (!found[r] && StartsWith(text.substr(lt, 16), kReplacements[r].first)) found[r] = true;
    };
    std::size_t i = 0;
    // Only a "<" followed by one of the tags' second characters ("</" by
    // "E") is looked at: closing tags are half of all tags.
    for (; i + ByteBlock::kSize + 2 <= size; i += ByteBlock::kSize) {
        const ByteBlock a(t + i);
        const ByteBlock b(t + i + 1);
        const ByteBlock c(t + i + 2);
        const ByteMask second = b.Is('h') | b.Is('d') | b.Is('P') | b.Is('L') | b.Is('E') |
                                b.Is('D') | b.Is('T') | (b.Is('/') & c.Is('E'));
        ForEachBit((a.Is('<') & second).Bits(), [&](std::size_t bit) { atLessThan(i + bit); });
    }
    for (; i < size; ++i) {
        if (t[i] == '<') atLessThan(i);
    }
    found[7] = FindExact(text, kReplacements[7].first) != npos;
    found[8] = FindExact(text, kReplacements[8].first) != npos;
    return found;
}

}  // namespace tarlo::edgarize_rules
