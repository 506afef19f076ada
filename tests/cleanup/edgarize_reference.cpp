#include "edgarize_reference.h"

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

#include "text/text_transfer.h"

namespace tarlo::reference {
namespace {

constexpr std::string::size_type npos = std::string::npos;

std::string Lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

bool Starts(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

bool StartsWithAny(const std::string& s, std::initializer_list<const char*> prefixes) {
    for (const char* p : prefixes) {
        if (Starts(s, p)) return true;
    }
    return false;
}

std::string ReplaceAll(const std::string& text, const std::string& find, const std::string& by) {
    std::string out;
    std::string::size_type at = 0;
    for (auto hit = text.find(find); hit != npos; hit = text.find(find, at)) {
        out += text.substr(at, hit - at) + by;
        at = hit + find.size();
    }
    return out + text.substr(at);
}

bool EndsName(char c) {
    return c == '>' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsOrderedList(const std::string& front) {
    for (const std::string p : {"<ol", "</ol"}) {
        if (Starts(front, p) && front.size() > p.size() && EndsName(front[p.size()])) return true;
    }
    return false;
}

enum class Action { DropTag, PlainRow, DropComment, Strip, Closing, Text, Meta, Script };

bool Named(const std::string& front, const std::string& name) {
    return Starts(front, name) && front.size() > name.size() &&
           (EndsName(front[name.size()]) || front[name.size()] == '/');
}

Action Classify(const std::string& front) {
    for (const char* refused : {"<tbody", "<thead", "<tfoot", "</tbody", "</thead", "</tfoot",
                                "<link", "</script", "</style"}) {
        if (Named(front, refused)) return Action::DropTag;
    }
    if (Named(front, "<script") || Named(front, "<style")) return Action::Script;
    if (StartsWithAny(front, {"<tr height", "<tr style"})) return Action::PlainRow;
    if (StartsWithAny(front, {"<meta name=progid", "<meta name=generator", "<meta name=originator",
                              "<meta name=\"progid", "<meta name=\"generator",
                              "<meta name=\"originator", "<link rel="})) {
        return Action::DropTag;
    }
    if (Starts(front, "<!--")) return Action::DropComment;
    if (StartsWithAny(front, {"<![if", "<![endif]"})) return Action::DropTag;
    if (StartsWithAny(front, {"<html", "<a ", "<div", "<col s", "<img", "<table", "<tr", "<td",
                              "<p", "<b", "<li", "<ul"})) {
        return Action::Strip;
    }
    if (!IsOrderedList(front) &&
        StartsWithAny(front, {"<span", "</span", "<o", "</o", "<w", "</w"})) {
        return Action::DropTag;
    }
    if (StartsWithAny(front, {"<st1:", "</st1:", "<st2:", "</st2:", "<st3:", "</st3:"})) {
        return Action::DropTag;
    }
    if (Starts(front, "</")) return Action::Closing;
    if (Named(front, "<meta")) return Action::Meta;
    return Action::Text;
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

// Where the value that opens with a quote at v closes, if inside the tag
// ending at gt: just past the closing quote. npos otherwise.
std::string::size_type ClosedValueEnd(const std::string& rest, std::string::size_type v,
                                      std::string::size_type gt) {
    if (v >= gt || !IsQuote(rest[v])) return npos;
    const auto close = rest.find(rest[v], v + 1);
    return close < gt ? close + 1 : npos;
}

// A value may stand after blanks that follow its "=", and the "=" after
// blanks that follow the name.
std::string::size_type SkipBlanks(const std::string& rest, std::string::size_type v,
                                  std::string::size_type gt) {
    while (v < gt && std::string(" \t\r\n").find(rest[v]) != npos) ++v;
    return v;
}

// Past the second double quote at or after k when that lies inside the tag,
// else the tag's ">".
std::string::size_type SecondDoubleQuoteEnd(const std::string& rest, std::string::size_type k,
                                            std::string::size_type gt) {
    const auto first = rest.find('"', k);
    const auto second = first == npos ? npos : rest.find('"', first + 1);
    return second < gt ? second + 1 : gt;
}

// Rule 4's attributes, removed from the tag at the front of `rest`, which
// has a ">".
void StripAttributes(std::string& rest) {
    for (const std::string text : {"class", "name=", "x:num", "x:fmla", "x:str"}) {
        const auto gt = rest.find('>');
        const auto k = rest.find(text);
        if (k == npos || k > gt) continue;
        std::string::size_type v = k + text.size();
        if (text.back() != '=') {
            v = SkipBlanks(rest, v, gt);  // blanks may stand before the "=" too
            v = v < gt && rest[v] == '=' ? v + 1 : npos;
        }
        if (v != npos) v = SkipBlanks(rest, v, gt);
        auto end = v == npos ? npos : ClosedValueEnd(rest, v, gt);
        if (end != npos) {
            if (rest[end] == ' ') ++end;
        } else {
            const auto blank = rest.find(' ', v == npos ? k : v);
            end = blank < gt ? blank + 1 : gt;
        }
        rest.erase(k, end - k);
    }

    auto gt = rest.find('>');
    auto k = rest.find("style");
    if (k != npos && k < gt) {
        auto end = npos;
        const auto eq = SkipBlanks(rest, k + 5, gt);
        if (eq < gt && rest[eq] == '=') {
            const auto v = SkipBlanks(rest, eq + 1, gt);
            if (v < gt && IsQuote(rest[v])) {
                end = ClosedValueEnd(rest, v, gt);
            } else {
                end = std::min(rest.find(' ', v), gt);
            }
        }
        if (end == npos) {
            const auto apostrophe = rest.find('\'', k);
            if (apostrophe != npos) {
                const auto close = rest.find('\'', apostrophe + 1);
                end = close < gt ? close + 1 : gt;
            } else {
                end = SecondDoubleQuoteEnd(rest, k, gt);
            }
        }
        rest.erase(k, end - k);
    }

    gt = rest.find('>');
    k = rest.find(" id=");
    if (k != npos && k < gt) {
        const auto v = SkipBlanks(rest, k + 4, gt);
        auto end = npos;
        if (v < gt && IsQuote(rest[v])) {
            end = ClosedValueEnd(rest, v, gt);
            if (end == npos) end = SecondDoubleQuoteEnd(rest, k, gt);
        } else {
            end = std::min(rest.find(' ', v), gt);
        }
        rest.erase(k, end - k);
    }
}

// What follows a consumed tag: a run of blanks becomes one, except inside
// preformatted text.
void AfterTag(std::string& rest, bool inPre) {
    if (inPre) return;
    std::string::size_type blanks = 0;
    while (blanks < rest.size() && rest[blanks] == ' ') ++blanks;
    if (blanks > 1) rest.erase(0, blanks - 1);
}

// The first "<name" in any case that a blank, "/" or ">" ends.
std::string::size_type StartTag(const std::string& text, const std::string& opening) {
    const std::string lower = Lower(text);
    for (auto at = lower.find(opening); at != npos; at = lower.find(opening, at + 1)) {
        const auto after = at + opening.size();
        if (after < lower.size() && (EndsName(lower[after]) || lower[after] == '/')) return at;
    }
    return npos;
}

std::string CollapseBreaks(std::string s) {
    s = ReplaceAll(s, " >", ">");
    s = ReplaceAll(s, "\n", "\r\n");
    s = ReplaceAll(s, "\r\n", "\r");
    std::string out;
    for (char c : s) {
        if (!(c == '\r' && !out.empty() && out.back() == '\r')) out += c;
    }
    return out;
}

}  // namespace

std::string Edgarize(const std::string& html) {
    const auto first = html.find_first_not_of(' ');
    std::string input =
        first == npos ? "" : html.substr(first, html.find_last_not_of(' ') + 1 - first);
    // One root: the plain root line takes the place of what stands before
    // the head, or without a head of the document's own root tag, or else
    // goes in front.
    // Comments hold no tags: they are looked through as blanks of their
    // length, all but their "<", which still ends a tag name before it.
    std::string uncommented = input;
    for (auto open = uncommented.find("<!--"); open != npos;
         open = uncommented.find("<!--", open)) {
        const auto close = uncommented.find("-->", open + 4);
        const auto end = close == npos ? uncommented.size() : close + 3;
        uncommented.replace(open + 1, end - open - 1, end - open - 1, ' ');
    }
    const auto head = StartTag(uncommented, "<head");
    const auto root = StartTag(uncommented, "<html");
    std::string rest;
    if (head != npos) {
        rest = "<html>\n" + input.substr(head);
    } else if (root != npos && input.find('>', root) != npos) {
        rest = input.substr(0, root) + "<html>\n" + input.substr(input.find('>', root) + 1);
    } else {
        rest = "<html>\n" + input;
    }

    std::string out;
    bool inPre = false;
    std::string::size_type preStart = 0;
    std::vector<std::pair<std::string::size_type, std::string::size_type>> kept;
    while (!rest.empty()) {
        const std::string front = Lower(rest.substr(0, 32));
        Action action = Classify(front);
        if (action == Action::Meta) {
            const auto gt = rest.find('>');
            action = gt != npos && Lower(rest.substr(0, gt)).find("http-equiv") != npos
                         ? Action::DropTag
                         : Action::Text;
        }
        if (action == Action::Script) {
            const auto close = Lower(rest).find(Starts(front, "<script") ? "</script" : "</style");
            if (close != npos) {
                const auto gt = rest.find('>', close);
                if (gt == npos) {
                    out += rest;
                    break;
                }
                rest.erase(0, gt + 1);
                AfterTag(rest, inPre);
                continue;
            }
            action = Action::DropTag;
        }
        if (action == Action::Text) {
            const auto lt = rest.find('<', 1);
            out += rest.substr(0, lt);
            rest.erase(0, lt);
            continue;
        }
        if (action == Action::DropComment) {
            const auto end = rest.find("-->");
            if (end == npos) {
                rest.erase(0, 2);
                continue;
            }
            rest.erase(0, end + 3);
            AfterTag(rest, inPre);
            continue;
        }
        if (rest.find('>') == npos) {
            out += rest;
            break;
        }
        if (action == Action::PlainRow) {
            out += "<tr>";
        } else if (action == Action::Strip) {
            StripAttributes(rest);
            if (!inPre && Starts(front, "<pre") && front.size() > 4 &&
                (EndsName(front[4]) || front[4] == '/')) {
                inPre = true;
                preStart = out.size();
            }
            out += rest.substr(0, rest.find('>') + 1);
        } else if (action == Action::Closing) {
            out += rest.substr(0, rest.find('>') + 1);
            if (inPre && Starts(front, "</pre>")) {
                inPre = false;
                kept.emplace_back(preStart, out.size());
            }
        }
        rest.erase(0, rest.find('>') + 1);
        AfterTag(rest, inPre);
    }
    if (inPre) kept.emplace_back(preStart, out.size());

    std::string collapsed;
    std::string::size_type at = 0;
    for (const auto& [from, to] : kept) {
        collapsed += CollapseBreaks(out.substr(at, from - at)) + out.substr(from, to - from);
        at = to;
    }
    std::string result = collapsed + CollapseBreaks(out.substr(at));

    const std::pair<std::string, std::string> replacements[] = {
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
    };
    const bool titled = StartTag(result, "<title") != npos;
    for (const auto& [find, by] : replacements) {
        if (!(titled && find == "<html>")) result = ReplaceAll(result, find, by);
    }
    // Every line break as CR LF.
    result = ReplaceAll(result, "\r\n", "\n");
    result = ReplaceAll(result, "\r", "\n");
    result = ReplaceAll(result, "\n", "\r\n");
    return EncodeNonAsciiAsReferences(result);
}

}  // namespace tarlo::reference
