#include "format_reference.h"

#include <algorithm>
#include <vector>

namespace tarlo::reference {
namespace {

using Size = std::string::size_type;
constexpr Size npos = std::string::npos;

std::string Lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

bool OneOf(char c, const std::string& set) {
    return set.find(c) != npos;
}

std::string ReplaceAll(const std::string& text, const std::string& find, const std::string& by) {
    std::string out;
    Size at = 0;
    for (Size hit = text.find(find); hit != npos; hit = text.find(find, at)) {
        out += text.substr(at, hit - at) + by;
        at = hit + find.size();
    }
    return out + text.substr(at);
}

struct Span {
    Size from;
    Size to;
};

// "<pre", "<xmp", "<listing", "<plaintext" or "<textarea" (any case) followed
// by ">", a blank, a TAB, CR, LF or "/", through the first matching closing
// tag after it, or to the end.
std::vector<Span> VerbatimElements(const std::string& text) {
    const std::string lower = Lower(text);
    std::vector<Span> out;
    Size at = lower.find('<');
    while (at != npos) {
        Size next = lower.find('<', at + 1);
        for (const std::string name : {"pre", "xmp", "listing", "plaintext", "textarea"}) {
            const Size after = at + 1 + name.size();
            if (lower.compare(at + 1, name.size(), name) != 0 || after >= text.size() ||
                !OneOf(text[after], ">\t\r\n /")) {
                continue;
            }
            const Size close = lower.find("</" + name + ">", after);
            const Size end = close == npos ? text.size() : close + name.size() + 3;
            out.push_back({at, end});
            next = lower.find('<', end);
            break;
        }
        at = next;
    }
    return out;
}

bool RunAt(const std::string& text, Size k) {
    return k < text.size() &&
           (text[k] == '\t' || (text[k] == '\r' && k + 1 < text.size() && text[k + 1] == '\n'));
}

// Runs of CR LF pairs and TABs out (with the blanks after a run when a "<"
// follows them); a run between a character that is not a blank or line
// break and one that is not that nor "<" or ">" becomes one blank. Where the
// verbatim elements landed is put in `kept`.
std::string Flatten(const std::string& text, const std::vector<Span>& verbatim,
                    std::vector<Span>& kept) {
    std::string out;
    std::size_t v = 0;
    Size i = 0;
    while (i < text.size()) {
        if (v < verbatim.size() && verbatim[v].from == i) {
            kept.push_back({out.size(), out.size() + verbatim[v].to - i});
            out += text.substr(i, verbatim[v].to - i);
            i = verbatim[v].to;
            ++v;
            continue;
        }
        if (!RunAt(text, i)) {
            out += text[i++];
            continue;
        }
        Size j = i;
        while (RunAt(text, j)) j += text[j] == '\t' ? 1 : 2;
        Size blanks = j;
        while (blanks < text.size() && text[blanks] == ' ') ++blanks;
        if (blanks < text.size() && text[blanks] == '<') j = blanks;
        if (i > 0 && j < text.size() && !OneOf(text[i - 1], " \r\n") &&
            !OneOf(text[j], "<> \r\n")) {
            out += ' ';
        }
        i = j;
    }
    return out;
}

// From the "<" at `at` to the first ">" after it; empty without one.
std::string TagFrom(const std::string& text, Size at) {
    if (at >= text.size()) return "";
    const Size gt = text.find('>', at + 1);
    return gt == npos ? "" : text.substr(at, gt - at + 1);
}

std::string NameOf(const std::string& tag) {
    if (tag.size() < 2) return "";
    if (tag.compare(1, 3, "!--") == 0) return "!--";
    Size end = tag.find(' ');
    if (end == npos) end = tag.find('>');
    return tag.substr(1, end - 1);
}

bool InTheTen(const std::string& name) {
    const std::string n = Lower(name);
    for (const char* flat :
         {"br", "hr", "img", "meta", "applet", "p", "!--", "input", "!doctype", "area"}) {
        if (n == flat) return true;
    }
    return false;
}

bool EndsItself(const std::string& tag) {
    return tag.size() >= 2 && tag.compare(tag.size() - 2, 2, "/>") == 0;
}

struct Part {
    std::string text;
    bool verbatim;
};

std::vector<Part> Indent(const std::string& flat, const std::vector<Span>& kept) {
    std::vector<Part> parts;
    auto plain = [&parts](const std::string& text) {
        if (parts.empty() || parts.back().verbatim) parts.push_back({"", false});
        parts.back().text += text;
    };
    long long indent = 0;
    bool passed = false;
    std::size_t k = 0;
    Size lt = flat.find('<');
    plain(flat.substr(0, lt));
    while (lt != npos) {
        while (k < kept.size() && kept[k].from < lt) ++k;
        if (k < kept.size() && kept[k].from == lt) {
            const Size end = kept[k].to;
            const Size e = flat.find('<', end);
            plain("\r\n" + std::string(std::min(indent, 100LL), ' '));
            parts.push_back({flat.substr(lt, end - lt), true});
            plain(flat.substr(end, e == npos ? npos : e - end));
            passed = false;
            lt = e;
            continue;
        }
        const Size e = flat.find('<', lt + 1);
        const bool closing = lt + 1 < flat.size() && flat[lt + 1] == '/';
        if (closing) {
            indent -= 5;
            if (indent < 0) indent *= -2;
        }
        plain("\r\n" + std::string(std::min(indent, 100LL), ' ') +
              flat.substr(lt, e == npos ? npos : e - lt));
        if (closing) {
            passed = false;
        } else {
            const bool owes = passed || !EndsItself(TagFrom(flat, lt));
            const std::string following = e == npos ? "" : TagFrom(flat, e);
            const bool raises = owes && !InTheTen(NameOf(following)) && !EndsItself(following);
            if (raises) indent += 5;
            passed = owes && !raises;
        }
        lt = e;
    }
    return parts;
}

}  // namespace

std::string FormatHtml(const std::string& html) {
    std::vector<Span> kept;
    const std::string flat = Flatten(html, VerbatimElements(html), kept);
    std::string out;
    for (const Part& part : Indent(flat, kept)) {
        if (part.verbatim) {
            out += part.text;
        } else {
            out += ReplaceAll(ReplaceAll(ReplaceAll(part.text, " >", ">"), "< ", "<"), "> <", "><");
        }
    }
    return out;
}

}  // namespace tarlo::reference
