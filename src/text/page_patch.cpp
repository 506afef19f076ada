#include "text/page_patch.h"

#include <algorithm>

#include "text/html_tokens.h"
#include "text/page_source.h"
#include "text/source_map.h"
#include "text/text_scan.h"
#include "text/windows1252.h"

namespace tarlo {

namespace {

bool IsVoidHtml(std::string_view name) {
    static const char* const kVoid[] = {"area",  "base",  "basefont", "bgsound", "br",    "col",
                                        "embed", "frame", "hr",       "img",     "input", "keygen",
                                        "link",  "meta",  "param",    "source",  "track", "wbr"};
    return std::any_of(std::begin(kVoid), std::end(kVoid),
                       [&](const char* v) { return EqualsFolded(name, v); });
}

bool SameName(std::string_view a, std::string_view b, bool xhtml) {
    return xhtml ? a == b : EqualsFolded(a, b);
}

// Nothing inside the node was made or moved by the parser.
bool SubtreeIsAsWritten(const SourceMap& map, std::uint32_t node) {
    std::vector<std::uint32_t> open{map.Node(node).firstChild};
    while (!open.empty()) {
        const std::uint32_t at = open.back();
        open.pop_back();
        if (at == kNoSourceNode) continue;
        const SourceNode& n = map.Node(at);
        if (n.implied || n.uncertain) return false;
        open.push_back(n.nextSibling);
        open.push_back(n.firstChild);
    }
    return true;
}

// Every step of the place names the element the page names there.
bool PlaceMatches(const SourceMap& map, std::uint32_t node, const PageElementEdit& edit,
                  bool xhtml) {
    if (edit.names.size() != edit.path.size() || edit.path.empty()) return false;
    std::uint32_t at = node;
    for (std::size_t i = edit.path.size(); i-- > 0; at = map.Node(at).parent) {
        if (at == kNoSourceNode || map.Node(at).kind != SourceNodeKind::Element) return false;
        if (map.Node(at).uncertain || !SameName(map.Name(at), edit.names[i], xhtml)) return false;
    }
    return at == SourceMap::Root();
}

// One character of text or of an attribute value as the page sees it, and
// where the next starts: references decoded (the few names a serialiser
// writes, numbers), line breaks as line feeds. A reference not known here
// stays as written, so that it only ever makes two texts differ.
char32_t DecodeOne(std::string_view text, std::size_t& i, bool xhtml) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '&') {
        const CharacterReference r = ReadCharacterReference(
            text, i, text.size(), xhtml ? ReferenceNames::XmlNames : ReferenceNames::HtmlNames);
        char32_t cp = 0;
        if (r.form != CharacterReference::Form::Named) {
            cp = r.codePoint;
            if (!xhtml && cp >= 128 && cp <= 159) {
                cp = FromWindows1252(static_cast<unsigned char>(cp));
            }
        } else if (r.terminated) {
            static const std::pair<const char*, char32_t> kNames[] = {
                {"amp", U'&'},  {"lt", U'<'},    {"gt", U'>'},
                {"quot", U'"'}, {"apos", U'\''}, {"nbsp", 0xA0}};
            for (const auto& [name, point] : kNames) {
                if (r.name == name) cp = point;
            }
        }
        if (cp != 0 && r.end > i) {
            i = r.end;
            return cp;
        }
    }
    if (c == '\r') {
        i += i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
        return U'\n';
    }
    // One UTF-8 character; a broken sequence byte by byte.
    int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (i + static_cast<std::size_t>(more) >= text.size()) more = 0;
    char32_t cp = more == 0 ? c : c & (0x3F >> more);
    for (int k = 1; k <= more; ++k) cp = (cp << 6) | (text[i + k] & 0x3F);
    i += static_cast<std::size_t>(more) + 1;
    return cp;
}

std::u32string DecodedValue(std::string_view value, bool xhtml) {
    std::u32string out;
    for (std::size_t i = 0; i < value.size();) out += DecodeOne(value, i, xhtml);
    return out;
}

struct Attribute {
    std::string name;
    std::u32string value;
    bool operator<(const Attribute& o) const { return name < o.name; }
    bool operator==(const Attribute& o) const { return name == o.name && value == o.value; }
};

struct StartTag {
    std::string name;
    std::vector<Attribute> attributes;  // sorted by name
};

// The start tag at the front of `markup`; nothing when it is not a whole
// start tag, or names an attribute twice (the page keeps only the first).
std::optional<StartTag> ReadStartTag(std::string_view markup, bool xhtml, std::size_t& end) {
    HtmlTokenizer tokens(markup, xhtml ? HtmlSyntax::Xhtml : HtmlSyntax::Html);
    HtmlToken token;
    if (!tokens.Next(token) || token.kind != HtmlTokenKind::StartTag || token.unterminated) {
        return std::nullopt;
    }
    end = token.end;
    StartTag tag;
    tag.name = xhtml ? std::string(token.name) : AsciiLowerCopy(token.name);
    for (const HtmlAttribute& a : token.attributes) {
        tag.attributes.push_back(Attribute{xhtml ? std::string(a.name) : AsciiLowerCopy(a.name),
                                           DecodedValue(a.value, xhtml)});
    }
    std::sort(tag.attributes.begin(), tag.attributes.end());
    for (std::size_t i = 1; i < tag.attributes.size(); ++i) {
        if (tag.attributes[i].name == tag.attributes[i - 1].name) return std::nullopt;
    }
    return tag;
}

bool SameStartTag(std::string_view codeTag, std::string_view pageTag, bool xhtml) {
    std::size_t ignored = 0;
    const std::optional<StartTag> a = ReadStartTag(codeTag, xhtml, ignored);
    const std::optional<StartTag> b = ReadStartTag(pageTag, xhtml, ignored);
    return a && b && a->name == b->name && a->attributes == b->attributes;
}

// A piece of markup as the page reads it, with its bytes: a character of
// text, a tag (its name and attributes), or any other token as written.
struct Unit {
    std::u32string meaning;
    std::size_t start = 0;
    std::size_t end = 0;
};

std::vector<Unit> UnitsOf(std::string_view markup, bool xhtml) {
    std::vector<Unit> units;
    HtmlTokenizer tokens(markup, xhtml ? HtmlSyntax::Xhtml : HtmlSyntax::Html);
    HtmlToken t;
    while (tokens.Next(t)) {
        if (t.kind == HtmlTokenKind::Text) {
            for (std::size_t i = t.start; i < t.end;) {
                const std::size_t from = i;
                const std::string_view text = markup.substr(0, t.end);
                units.push_back(Unit{std::u32string(1, DecodeOne(text, i, xhtml)), from, i});
            }
            continue;
        }
        const std::string_view bytes = markup.substr(t.start, t.end - t.start);
        Unit unit{U"", t.start, t.end};
        std::size_t ignored = 0;
        const std::optional<StartTag> tag =
            t.kind == HtmlTokenKind::StartTag ? ReadStartTag(bytes, xhtml, ignored) : std::nullopt;
        if (tag) {
            unit.meaning = U"<";
            for (const char c : tag->name) unit.meaning += static_cast<char32_t>(c);
            for (const Attribute& a : tag->attributes) {
                unit.meaning += U'\0';
                for (const char c : a.name) unit.meaning += static_cast<char32_t>(c);
                unit.meaning += U'=';
                unit.meaning += a.value;
            }
            // "<td/>" is a whole element in XHTML, "<td>" only its start.
            if (t.selfClosing) unit.meaning += U"\1/";
        } else if (t.kind == HtmlTokenKind::EndTag) {
            unit.meaning = U"</";
            for (const char c : t.name) {
                unit.meaning += static_cast<char32_t>(xhtml ? c : AsciiLower(c));
            }
        } else {
            unit.meaning = U"\1";  // as written
            for (const char c : bytes) unit.meaning += static_cast<char32_t>(c);
        }
        units.push_back(std::move(unit));
    }
    return units;
}

// The replacement less what the code already says the same way at either
// end, a character or a tag at a time: a word made bold rewrites that word.
CodeReplacement Narrowed(std::string_view code, CodeReplacement r, bool xhtml) {
    const std::string_view old = code.substr(static_cast<std::size_t>(r.range.start),
                                             static_cast<std::size_t>(r.range.length));
    const std::vector<Unit> was = UnitsOf(old, xhtml);
    const std::vector<Unit> now = UnitsOf(r.text, xhtml);
    std::size_t head = 0;
    while (head < was.size() && head < now.size() && was[head].meaning == now[head].meaning) {
        ++head;
    }
    std::size_t tail = 0;
    while (tail < was.size() - head && tail < now.size() - head &&
           was[was.size() - 1 - tail].meaning == now[now.size() - 1 - tail].meaning) {
        ++tail;
    }
    const std::size_t oldFrom = head < was.size() ? was[head].start : old.size();
    const std::size_t oldTo = tail > 0 ? was[was.size() - tail].start : old.size();
    const std::size_t newFrom = head < now.size() ? now[head].start : r.text.size();
    const std::size_t newTo = tail > 0 ? now[now.size() - tail].start : r.text.size();
    return CodeReplacement{
        ByteRange{r.range.start + static_cast<int>(oldFrom), static_cast<int>(oldTo - oldFrom)},
        r.text.substr(newFrom, newTo - newFrom)};
}

struct Context {
    std::string_view code;
    std::size_t offset = 0;  // where the map's text starts in the code
    const SourceMap& map;
    const PageSource& source;
    bool xhtml = false;
    LineBreak lineBreak = LineBreak::CrLf;
};

ByteRange Shifted(ByteRange r, std::size_t offset) {
    return ByteRange{r.start + static_cast<int>(offset), r.length};
}

std::optional<CodeReplacement> PatchOne(const Context& c, const PageElementEdit& edit) {
    const std::uint32_t node = c.map.NodeAtPath(edit.path);
    if (node == kNoSourceNode) return std::nullopt;
    const SourceNode& n = c.map.Node(node);
    if (n.kind != SourceNodeKind::Element || n.implied) return std::nullopt;
    if (!PlaceMatches(c.map, node, edit, c.xhtml) || !SubtreeIsAsWritten(c.map, node)) {
        return std::nullopt;
    }
    const std::string& name = c.map.Name(node);
    const bool closedByItself = n.startTag.end() == n.whole.end();
    if (!n.HasEndTag() && !(c.xhtml ? closedByItself : IsVoidHtml(name))) return std::nullopt;

    const std::string markup = WithLineBreaks(PageElementToCode(edit.html, c.source), c.lineBreak);
    std::size_t pageStartEnd = 0;
    const std::optional<StartTag> pageTag = ReadStartTag(markup, c.xhtml, pageStartEnd);
    if (!pageTag || !SameName(pageTag->name, name, c.xhtml)) return std::nullopt;
    if (!n.HasEndTag()) return Narrowed(c.code, {Shifted(n.whole, c.offset), markup}, c.xhtml);

    // The page's end tag: the last "</" of the markup, naming the element.
    const std::size_t endAt = markup.rfind("</");
    if (endAt == std::string::npos || endAt < pageStartEnd || markup.back() != '>') {
        return std::nullopt;
    }
    std::string_view endName(markup);
    endName = endName.substr(endAt + 2, markup.size() - 1 - (endAt + 2));
    while (!endName.empty() && IsMarkupSpace(endName.back())) endName.remove_suffix(1);
    if (!SameName(endName, name, c.xhtml)) return std::nullopt;

    // The code's end tag stays; so does its start tag when the page sees it
    // as written.
    const std::string_view codeStartTag =
        c.code.substr(c.offset + static_cast<std::size_t>(n.startTag.start),
                      static_cast<std::size_t>(n.startTag.length));
    const bool keepStart =
        SameStartTag(codeStartTag, std::string_view(markup).substr(0, pageStartEnd), c.xhtml);
    const int from = keepStart ? n.startTag.end() : n.whole.start;
    const std::size_t pageFrom = keepStart ? pageStartEnd : 0;
    return Narrowed(c.code,
                    {Shifted(ByteRange{from, n.endTag.start - from}, c.offset),
                     markup.substr(pageFrom, endAt - pageFrom)},
                    c.xhtml);
}

// A stretch of an element's children: the bytes from the end of the child
// before it (or of the start tag) to the start of the child after it (or of
// the end tag), so that what lies between the children goes with them.
std::optional<CodeReplacement> PatchChildren(const Context& c, const PageElementEdit& edit) {
    const std::uint32_t node = c.map.NodeAtPath(edit.path);
    if (node == kNoSourceNode) return std::nullopt;
    const SourceNode& n = c.map.Node(node);
    if (n.kind != SourceNodeKind::Element || !PlaceMatches(c.map, node, edit, c.xhtml)) {
        return std::nullopt;
    }
    std::vector<std::uint32_t> children;
    for (std::uint32_t at = n.firstChild; at != kNoSourceNode; at = c.map.Node(at).nextSibling) {
        children.push_back(at);
    }
    const PageElementEdit::Children& s = *edit.children;
    // The page's list and the map's must be the same list.
    if (static_cast<int>(children.size()) != s.count || s.from < 0 || s.from > s.to ||
        s.to > s.count) {
        return std::nullopt;
    }
    for (int i = std::max(0, s.from - 1); i < std::min(s.count, s.to + 1); ++i) {
        const std::uint32_t child = children[static_cast<std::size_t>(i)];
        if (c.map.Node(child).implied || c.map.Node(child).uncertain) return std::nullopt;
        if (i >= s.from && i < s.to && !SubtreeIsAsWritten(c.map, child)) return std::nullopt;
    }
    int from = 0;
    if (s.from > 0) {
        from = c.map.Node(children[static_cast<std::size_t>(s.from - 1)]).whole.end();
    } else if (!n.implied) {
        from = n.startTag.end();
    } else {
        return std::nullopt;  // no start tag to put the first child after
    }
    int to = 0;
    if (s.to < s.count) {
        to = c.map.Node(children[static_cast<std::size_t>(s.to)]).whole.start;
    } else if (n.HasEndTag()) {
        to = n.endTag.start;
    } else if (!c.xhtml && !n.implied && n.whole.end() > n.startTag.end()) {
        // An HTML element closed by what follows it: its content ends with
        // its last child.
        to = s.count > 0 ? c.map.Node(children.back()).whole.end() : n.startTag.end();
    } else {
        return std::nullopt;  // "<p/>", or an element the parser made
    }
    if (to < from) return std::nullopt;
    const std::string markup = WithLineBreaks(PageElementToCode(edit.html, c.source), c.lineBreak);
    return Narrowed(c.code, {Shifted(ByteRange{from, to - from}, c.offset), markup}, c.xhtml);
}

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::optional<std::vector<CodeReplacement>> PatchCodeFromPage(
    std::string_view code, bool xhtml, LineBreak lineBreak,
    const std::vector<PageElementEdit>& edits) {
    if (edits.empty()) return std::vector<CodeReplacement>{};  // changed, and changed back
    const std::string_view shown = PageContent(code);
    const SourceMap map = SourceMap::Build(shown, xhtml ? HtmlSyntax::Xhtml : HtmlSyntax::Html);
    if (map.Problem()) return std::nullopt;
    PageSource source = DescribePageSource(code);
    source.xhtml = xhtml;
    const Context context{
        code, static_cast<std::size_t>(shown.data() - code.data()), map, source, xhtml, lineBreak};
    std::vector<CodeReplacement> out;
    for (const PageElementEdit& edit : edits) {
        std::optional<CodeReplacement> one =
            edit.children ? PatchChildren(context, edit) : PatchOne(context, edit);
        if (!one) return std::nullopt;
        out.push_back(std::move(*one));
    }
    std::sort(out.begin(), out.end(), [](const CodeReplacement& a, const CodeReplacement& b) {
        return a.range.start < b.range.start;
    });
    for (std::size_t i = 1; i < out.size(); ++i) {
        if (out[i].range.start < out[i - 1].range.end()) return std::nullopt;
    }
    return out;
}

namespace {

void AddShape(const SourceMap& map, std::uint32_t node, bool xhtml, std::string& out) {
    const SourceNode& n = map.Node(node);
    switch (n.kind) {
        case SourceNodeKind::Element:
            out += '<';
            out += xhtml ? map.Name(node) : AsciiUpperCopy(map.Name(node));
            for (std::uint32_t c = n.firstChild; c != kNoSourceNode; c = map.Node(c).nextSibling) {
                AddShape(map, c, xhtml, out);
            }
            out += '>';
            break;
        case SourceNodeKind::Text:
            out += '#';
            break;
        case SourceNodeKind::Comment:
            out += '!';
            break;
        default:
            out += '?';
    }
}

}  // namespace

bool CodeReadsAsPage(const SourceMap& map, bool xhtml, const std::vector<PageElementEdit>& edits) {
    if (map.Problem()) return false;
    for (const PageElementEdit& edit : edits) {
        const std::uint32_t node = map.NodeAtPath(edit.nowPath);
        if (node == kNoSourceNode) return false;
        std::string shape;
        if (!edit.children) {
            AddShape(map, node, xhtml, shape);
        } else {
            std::vector<std::uint32_t> children;
            for (std::uint32_t c = map.Node(node).firstChild; c != kNoSourceNode;
                 c = map.Node(c).nextSibling) {
                children.push_back(c);
            }
            const PageElementEdit::Children& s = *edit.children;
            const int nowTo = s.nowCount - (s.count - s.to);
            if (static_cast<int>(children.size()) != s.nowCount || nowTo < s.from) return false;
            for (int i = s.from; i < nowTo; ++i) {
                AddShape(map, children[static_cast<std::size_t>(i)], xhtml, shape);
            }
        }
        if (shape != edit.shape) return false;
    }
    return true;
}

CodeReplacement AsOneReplacement(std::string_view code,
                                 const std::vector<CodeReplacement>& replacements) {
    if (replacements.empty()) return {};
    const int first = replacements.front().range.start;
    const int last = replacements.back().range.end();
    std::string text;
    int at = first;
    for (const CodeReplacement& r : replacements) {
        text.append(code.substr(static_cast<std::size_t>(at),
                                static_cast<std::size_t>(r.range.start - at)));
        text += r.text;
        at = r.range.end();
    }
    const std::string_view old =
        code.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(last - first));
    // The bytes that stay the same at either end are left out, back to the
    // start of a character.
    std::size_t head = 0;
    while (head < old.size() && head < text.size() && old[head] == text[head]) ++head;
    while (head > 0 && head < old.size() && IsContinuationByte(old[head])) --head;
    std::size_t tail = 0;
    while (tail < old.size() - head && tail < text.size() - head &&
           old[old.size() - 1 - tail] == text[text.size() - 1 - tail]) {
        ++tail;
    }
    while (tail > 0 && IsContinuationByte(old[old.size() - tail])) --tail;
    return CodeReplacement{
        ByteRange{first + static_cast<int>(head), static_cast<int>(old.size() - head - tail)},
        text.substr(head, text.size() - head - tail)};
}

}  // namespace tarlo
