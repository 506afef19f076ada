#include "text/code_patch.h"

#include <algorithm>

namespace tarlo {

namespace {

// The parser makes the document's frame (html, head, body) and a table's
// body wherever the code leaves them out, the same way around any content:
// an element inside one is still where the code put it. An implied element
// of any other kind (a row, a formatting element carried on) depends on what
// comes before it, which an edit may change.
bool FrameElement(const SourceMap& map, std::uint32_t node, bool xhtml) {
    if (xhtml) return false;
    const std::string& name = map.Name(node);
    return name == "html" || name == "head" || name == "body" || name == "tbody";
}

// Every element from the node's parent up to the root is where the code
// puts it, so the page holds it at the same place.
bool WayIsAsWritten(const SourceMap& map, std::uint32_t node, bool xhtml) {
    for (std::uint32_t at = map.Node(node).parent; at != kNoSourceNode && at != SourceMap::Root();
         at = map.Node(at).parent) {
        const SourceNode& n = map.Node(at);
        if (n.uncertain || (n.implied && !FrameElement(map, at, xhtml))) return false;
    }
    return true;
}

bool IsVoidHtml(std::string_view name) {
    static const char* const kVoid[] = {"area",  "base",  "basefont", "bgsound", "br",    "col",
                                        "embed", "frame", "hr",       "img",     "input", "keygen",
                                        "link",  "meta",  "param",    "source",  "track", "wbr"};
    return std::any_of(std::begin(kVoid), std::end(kVoid),
                       [&](const char* v) { return name == v; });
}

// The element ends where the code ends it: its end tag, or it is void, or
// in XHTML closed by "/>". An element left open (a paragraph closed by the
// next, a bold word by the paragraph's end) is closed by what follows it,
// and a formatting element left open goes on in the blocks after it.
bool EndsAsWritten(std::string_view text, const SourceMap& map, std::uint32_t node, bool xhtml) {
    const SourceNode& n = map.Node(node);
    if (n.HasEndTag()) return true;
    if (n.whole.end() != n.startTag.end()) return false;
    if (!xhtml) return IsVoidHtml(map.Name(node));
    return n.startTag.length >= 2 &&
           text.substr(static_cast<std::size_t>(n.startTag.end() - 2), 2) == "/>";
}

// Nothing inside the node was made or moved by the parser, and every
// element inside ends as written.
bool InsideIsAsWritten(std::string_view text, const SourceMap& map, std::uint32_t node,
                       bool xhtml) {
    std::vector<std::uint32_t> open{map.Node(node).firstChild};
    while (!open.empty()) {
        const std::uint32_t at = open.back();
        open.pop_back();
        if (at == kNoSourceNode) continue;
        const SourceNode& n = map.Node(at);
        if (n.implied || n.uncertain) return false;
        if (n.kind == SourceNodeKind::Element && !EndsAsWritten(text, map, at, xhtml)) {
            return false;
        }
        open.push_back(n.nextSibling);
        open.push_back(n.firstChild);
    }
    return true;
}

bool Trusted(std::string_view text, const SourceMap& map, std::uint32_t node, bool xhtml) {
    const SourceNode& n = map.Node(node);
    return n.kind == SourceNodeKind::Element && !n.implied && !n.uncertain &&
           EndsAsWritten(text, map, node, xhtml) && WayIsAsWritten(map, node, xhtml) &&
           InsideIsAsWritten(text, map, node, xhtml);
}

}  // namespace

ChangedSpan ChangedBytes(std::string_view before, std::string_view after) {
    const std::size_t most = std::min(before.size(), after.size());
    std::size_t head = 0;
    while (head < most && before[head] == after[head]) ++head;
    std::size_t tail = 0;
    while (tail < most - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
        ++tail;
    }
    const int from = static_cast<int>(head);
    return ChangedSpan{ByteRange{from, static_cast<int>(before.size() - head - tail)},
                       ByteRange{from, static_cast<int>(after.size() - head - tail)}};
}

std::optional<PageElementPatch> PatchForCodeEdit(std::string_view before,
                                                 const SourceMap& beforeMap, std::string_view after,
                                                 const SourceMap& afterMap, bool xhtml) {
    if (before == after || beforeMap.Problem() || afterMap.Problem()) return std::nullopt;
    const ChangedSpan span = ChangedBytes(before, after);
    const int grown = static_cast<int>(after.size()) - static_cast<int>(before.size());
    for (std::uint32_t node = afterMap.EnclosingElement(span.after);
         node != kNoSourceNode && node != SourceMap::Root(); node = afterMap.Node(node).parent) {
        const std::vector<int> path = afterMap.PathOf(node);
        // The root, head and body and what stands beside them are the
        // document's frame: a change there is taken whole.
        if (path.size() < 3) return std::nullopt;
        if (!Trusted(after, afterMap, node, xhtml)) continue;
        const SourceNode& now = afterMap.Node(node);
        const std::uint32_t was = beforeMap.NodeAtPath(path);
        if (was == kNoSourceNode) continue;
        const SourceNode& old = beforeMap.Node(was);
        // The same element, grown or shrunk by the edit alone.
        if (old.kind != SourceNodeKind::Element || old.implied || old.uncertain ||
            beforeMap.Name(was) != afterMap.Name(node) || old.whole.start != now.whole.start ||
            old.whole.end() + grown != now.whole.end() || now.whole.start > span.after.start ||
            now.whole.end() < span.after.end() || !WayIsAsWritten(beforeMap, was, xhtml)) {
            continue;
        }
        return PageElementPatch{
            path, afterMap.Name(node),
            std::string(after.substr(static_cast<std::size_t>(now.whole.start),
                                     static_cast<std::size_t>(now.whole.length)))};
    }
    return std::nullopt;
}

}  // namespace tarlo
