#include "text/source_map.h"

#include <algorithm>
#include <cstring>

#include "text/source_map_builder.h"
#include "text/text_scan.h"

namespace tarlo {

SourceMapBuilder::SourceMapBuilder(SourceMap& map, std::string_view text) : map_(map), text_(text) {
    // Dense filings hold a node per ~16 bytes; pages reserved and never
    // touched cost no memory.
    const std::size_t expected = text.size() / 12 + 16;
    map_.nodes_.reserve(expected);
    lastChild_.reserve(expected);
    prevSibling_.reserve(expected);
    NewNode(SourceNodeKind::Document, 0, text.size());
}

std::uint32_t SourceMapBuilder::Intern(std::string_view name, bool fold) {
    std::size_t slot = 0;
    if (!name.empty()) {
        slot = (name.size() * 131 + static_cast<unsigned char>(AsciiLower(name[0])) * 31 +
                static_cast<unsigned char>(AsciiLower(name.back()))) %
               recent_.size();
        const std::uint32_t seen = recent_[slot];
        if (seen &&
            (fold ? EqualsFolded(map_.names_[seen - 1], name) : map_.names_[seen - 1] == name)) {
            return seen - 1;
        }
    }
    key_.assign(name.data(), name.size());
    if (fold) {
        for (char& c : key_) c = AsciiLower(c);
    }
    const auto found = nameIds_.find(key_);
    std::uint32_t id = 0;
    if (found != nameIds_.end()) {
        id = found->second;
    } else {
        id = static_cast<std::uint32_t>(map_.names_.size());
        map_.names_.push_back(key_);
        nameIds_.emplace(key_, id);
    }
    recent_[slot] = id + 1;
    return id;
}

std::uint32_t SourceMapBuilder::NewNode(SourceNodeKind kind, std::size_t start, std::size_t end) {
    SourceNode node;
    node.kind = kind;
    node.startTag = ByteRange{static_cast<int>(start), static_cast<int>(end - start)};
    node.whole = node.startTag;
    map_.nodes_.push_back(node);
    lastChild_.push_back(kNoSourceNode);
    prevSibling_.push_back(kNoSourceNode);
    return static_cast<std::uint32_t>(map_.nodes_.size() - 1);
}

std::uint32_t SourceMapBuilder::NewElement(std::uint32_t name, std::size_t start, std::size_t end,
                                           bool implied) {
    const std::uint32_t node = NewNode(SourceNodeKind::Element, start, implied ? start : end);
    N(node).name = name;
    N(node).implied = implied;
    ++map_.elementCount_;
    return node;
}

void SourceMapBuilder::Append(std::uint32_t parent, std::uint32_t child) {
    SourceNode& c = N(child);
    c.parent = parent;
    c.nextSibling = kNoSourceNode;
    const std::uint32_t last = lastChild_[parent];
    prevSibling_[child] = last;
    if (last == kNoSourceNode) {
        N(parent).firstChild = child;
    } else {
        N(last).nextSibling = child;
    }
    lastChild_[parent] = child;
}

void SourceMapBuilder::InsertBefore(std::uint32_t parent, std::uint32_t child,
                                    std::uint32_t before) {
    if (before == kNoSourceNode) return Append(parent, child);
    reordered_ = true;
    const std::uint32_t prev = prevSibling_[before];
    N(child).parent = parent;
    N(child).nextSibling = before;
    prevSibling_[child] = prev;
    prevSibling_[before] = child;
    if (prev == kNoSourceNode) {
        N(parent).firstChild = child;
    } else {
        N(prev).nextSibling = child;
    }
}

void SourceMapBuilder::Detach(std::uint32_t node) {
    const std::uint32_t parent = N(node).parent;
    if (parent == kNoSourceNode) return;
    reordered_ = true;
    const std::uint32_t prev = prevSibling_[node];
    const std::uint32_t next = N(node).nextSibling;
    if (prev == kNoSourceNode) {
        N(parent).firstChild = next;
    } else {
        N(prev).nextSibling = next;
    }
    if (next == kNoSourceNode) {
        lastChild_[parent] = prev;
    } else {
        prevSibling_[next] = prev;
    }
    N(node).parent = kNoSourceNode;
    N(node).nextSibling = kNoSourceNode;
    prevSibling_[node] = kNoSourceNode;
}

void SourceMapBuilder::MoveChildren(std::uint32_t from, std::uint32_t to) {
    while (N(from).firstChild != kNoSourceNode) {
        const std::uint32_t child = N(from).firstChild;
        Detach(child);
        Append(to, child);
    }
}

void SourceMapBuilder::AddText(std::uint32_t parent, std::uint32_t before, std::size_t start,
                               std::size_t end) {
    const std::uint32_t prev = before == kNoSourceNode ? lastChild_[parent] : prevSibling_[before];
    if (prev != kNoSourceNode && N(prev).kind == SourceNodeKind::Text) {
        SourceNode& text = N(prev);
        const int newEnd = std::max(text.whole.end(), static_cast<int>(end));
        text.whole.length = newEnd - text.whole.start;
        text.startTag = text.whole;
        return;
    }
    InsertBefore(parent, NewNode(SourceNodeKind::Text, start, end), before);
}

void SourceMapBuilder::SetEndTag(std::uint32_t node, std::size_t start, std::size_t end) {
    N(node).endTag = ByteRange{static_cast<int>(start), static_cast<int>(end - start)};
}

void SourceMapBuilder::Close(std::uint32_t node, std::size_t at) {
    SourceNode& n = N(node);
    int end = n.HasEndTag() ? n.endTag.end() : static_cast<int>(at);
    const std::uint32_t last = lastChild_[node];
    if (last != kNoSourceNode) end = std::max(end, N(last).whole.end());
    n.whole.length = std::max(end, n.startTag.end()) - n.whole.start;
}

void SourceMapBuilder::MarkUncertain(std::uint32_t node) {
    if (N(node).uncertain) return;
    N(node).uncertain = true;
    ++map_.uncertainPlaces_;
}

void SourceMapBuilder::Finish() {
    // Where the parser moved content so that a child's bytes run past its
    // parent's (misnested formatting around a table), the page's tree cannot
    // be laid over the bytes: both are marked so, and the sync leaves them.
    for (std::uint32_t i = 0; i < map_.nodes_.size(); ++i) {
        const SourceNode& n = map_.nodes_[i];
        if (n.parent == kNoSourceNode) continue;
        const ByteRange& outer = map_.nodes_[n.parent].whole;
        if (n.whole.start < outer.start || n.whole.end() > outer.end()) {
            MarkUncertain(i);
            MarkUncertain(n.parent);
        }
    }
    map_.IndexElementChildren(!reordered_);
}

namespace {

bool AllSpace(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsMarkupSpace);
}

// XHTML is the XML tree: every element closed by its own end tag or "/>",
// names exact. The page shows an XML error where the text stops being
// well-formed, so the tree stops there too.
class XhtmlBuilder : SourceMapBuilder {
  public:
    XhtmlBuilder(SourceMap& map, std::string_view text)
        : SourceMapBuilder(map, text), tokens_(text, HtmlSyntax::Xhtml) {}

    void Run() {
        HtmlToken t;
        open_.push_back(SourceMap::Root());
        while (!map_.Problem() && tokens_.Next(t)) Take(t);
        if (!map_.Problem()) {
            if (open_.size() > 1) {
                Fail(text_.size(), "<" + map_.Name(open_.back()) + "> is never closed");
            } else if (!rootSeen_) {
                Fail(text_.size(), "the document has no root element");
            }
        }
        while (open_.size() > 1) {
            Close(open_.back(), text_.size());
            open_.pop_back();
        }
        Finish();
    }

  private:
    void Take(const HtmlToken& t) {
        const std::uint32_t parent = open_.back();
        const bool outside = open_.size() == 1;
        const std::string_view name = t.name;
        if (t.unterminated) return Fail(t.start, "markup that is never closed: " + Excerpt(t));
        switch (t.kind) {
            case HtmlTokenKind::Text:
            case HtmlTokenKind::RawText:
                if (outside) {
                    if (!AllSpace(text_.substr(t.start, t.end - t.start))) {
                        Fail(t.start, "text outside the root element");
                    }
                    return;
                }
                CheckReferences(t.start, t.end);
                return AddText(parent, kNoSourceNode, t.start, t.end);
            case HtmlTokenKind::Stray:
                return Fail(t.start, "a \"<\" that starts no tag");
            case HtmlTokenKind::StartTag: {
                if (outside && rootSeen_) {
                    return Fail(t.start, "a second root element <" + std::string(name) + ">");
                }
                for (const HtmlAttribute& a : t.attributes) {
                    // A name without a value has no bytes to look into.
                    if (a.value.empty()) continue;
                    if (std::memchr(a.value.data(), '<', a.value.size())) {
                        return Fail(t.start,
                                    "a \"<\" in an attribute value of <" + std::string(name) + ">");
                    }
                    const auto at = static_cast<std::size_t>(a.value.data() - text_.data());
                    CheckReferences(at, at + a.value.size());
                }
                rootSeen_ = true;
                const std::uint32_t element =
                    NewElement(Intern(t.name, false), t.start, t.end, false);
                Append(parent, element);
                if (t.selfClosing) return Close(element, t.end);
                open_.push_back(element);
                // The tokenizer reads a style's or script's content as text,
                // as HTML does; to XML it is markup like any other.
                for (const std::string_view raw :
                     {"script", "style", "xmp", "listing", "textarea"}) {
                    if (EqualsFolded(name, raw)) tokens_.SkipTo(t.end);
                }
                return;
            }
            case HtmlTokenKind::EndTag: {
                if (outside)
                    return Fail(t.start,
                                "the end tag </" + std::string(name) + "> closes no element");
                const std::string& open = map_.Name(parent);
                if (open != t.name) {
                    return Fail(t.start, "the end tag </" + std::string(name) + "> where </" +
                                             open + "> belongs");
                }
                SetEndTag(parent, t.start, t.end);
                Close(parent, t.end);
                open_.pop_back();
                return;
            }
            case HtmlTokenKind::Comment:
                return Append(parent, NewNode(SourceNodeKind::Comment, t.start, t.end));
            case HtmlTokenKind::ProcessingInstruction:
                // The XML declaration is no node of the document, and stands
                // only at its very start (after a byte-order mark).
                if (StartsWithFolded(t, "<?xml") && t.end > t.start + 5 &&
                    IsMarkupSpace(text_[t.start + 5])) {
                    if (t.start == 0 || (t.start == 3 && text_.substr(0, 3) == "\xEF\xBB\xBF"))
                        return;
                    return Fail(t.start, "an XML declaration after the document's start");
                }
                return Append(parent, NewNode(SourceNodeKind::Instruction, t.start, t.end));
            case HtmlTokenKind::CData:
                if (outside) return Fail(t.start, "a CDATA section outside the root element");
                return Append(parent, NewNode(SourceNodeKind::CData, t.start, t.end));
            case HtmlTokenKind::Declaration:
                if (!outside || rootSeen_ || !StartsWithFolded(t, "<!doctype")) {
                    return Fail(t.start, "a declaration inside the document: " + Excerpt(t));
                }
                // An XHTML DOCTYPE brings the HTML entity names with it.
                xhtmlEntities_ = FindFolded(Text(t), "xhtml", 0) != std::string_view::npos;
                return Append(parent, NewNode(SourceNodeKind::Doctype, t.start, t.end));
        }
    }

    // An XML document knows only the five predefined entity names, unless
    // its DOCTYPE is XHTML's.
    void CheckReferences(std::size_t from, std::size_t to) {
        for (std::size_t at = from; at < to; ++at) {
            const void* hit = std::memchr(text_.data() + at, '&', to - at);
            if (!hit) return;
            at = static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data());
            const CharacterReference ref =
                ReadCharacterReference(text_, at, to, ReferenceNames::XmlNames);
            const bool known = ref.form != CharacterReference::Form::Named || xhtmlEntities_ ||
                               ref.name == "amp" || ref.name == "lt" || ref.name == "gt" ||
                               ref.name == "quot" || ref.name == "apos";
            if (!ref.terminated || ref.name.empty() || !known) {
                return Fail(at, "the reference \"" + std::string(text_.substr(at, ref.end - at)) +
                                    "\" is not one XML knows");
            }
        }
    }

    std::string_view Text(const HtmlToken& t) const {
        return text_.substr(t.start, t.end - t.start);
    }
    bool StartsWithFolded(const HtmlToken& t, std::string_view lower) const {
        return EqualsFolded(Text(t).substr(0, lower.size()), lower);
    }
    std::string Excerpt(const HtmlToken& t) const { return std::string(Text(t).substr(0, 40)); }

    TokenStream tokens_;
    std::vector<std::uint32_t> open_;
    bool rootSeen_ = false;
    bool xhtmlEntities_ = false;
};

}  // namespace

SourceMap SourceMap::Build(std::string_view code, HtmlSyntax syntax) {
    SourceMap map;
    if (syntax == HtmlSyntax::Xhtml) {
        XhtmlBuilder(map, code).Run();
    } else {
        BuildHtmlSourceMap(map, code);
    }
    return map;
}

void SourceMap::IndexElementChildren(bool inNodeOrder) {
    const std::size_t n = nodes_.size();
    childAt_.assign(n + 1, 0);
    elementIndex_.assign(n, 0);
    // With no node moved, each parent's children come in the order of the
    // nodes, and their places are counted in one pass.
    for (std::size_t i = 0; i < n; ++i) {
        const SourceNode& node = nodes_[i];
        if (node.kind == SourceNodeKind::Element && node.parent != kNoSourceNode) {
            elementIndex_[i] = childAt_[node.parent + 1]++;
        }
    }
    for (std::size_t i = 0; i < n; ++i) childAt_[i + 1] += childAt_[i];
    elementChildren_.assign(childAt_[n], kNoSourceNode);
    if (inNodeOrder) {
        for (std::size_t i = 0; i < n; ++i) {
            const SourceNode& node = nodes_[i];
            if (node.kind == SourceNodeKind::Element && node.parent != kNoSourceNode) {
                elementChildren_[childAt_[node.parent] + elementIndex_[i]] =
                    static_cast<std::uint32_t>(i);
            }
        }
        return;
    }
    // In sibling order, which the page changed where it moved nodes.
    for (std::size_t i = 0; i < n; ++i) {
        std::uint32_t k = 0;
        for (std::uint32_t c = nodes_[i].firstChild; c != kNoSourceNode;
             c = nodes_[c].nextSibling) {
            if (nodes_[c].kind != SourceNodeKind::Element) continue;
            elementChildren_[childAt_[i] + k] = c;
            elementIndex_[c] = k++;
        }
    }
}

std::uint32_t SourceMap::EnclosingElement(ByteRange range) const {
    // Nodes come in the order of their first bytes, so the last one starting
    // at or before the range is the range's node or inside it; the smallest
    // enclosing element is among its ancestors.
    const auto after =
        std::upper_bound(nodes_.begin() + 1, nodes_.end(), range.start,
                         [](int at, const SourceNode& node) { return at < node.whole.start; });
    if (after == nodes_.begin() + 1) return kNoSourceNode;
    for (auto i = static_cast<std::uint32_t>(after - nodes_.begin() - 1); i != kNoSourceNode;
         i = nodes_[i].parent) {
        const SourceNode& node = nodes_[i];
        if (node.kind == SourceNodeKind::Element && node.whole.start <= range.start &&
            range.end() <= node.whole.end()) {
            return i;
        }
    }
    return kNoSourceNode;
}

std::uint32_t SourceMap::NodeAtPath(const std::vector<int>& path) const {
    std::uint32_t node = Root();
    for (const int step : path) {
        if (step < 0 || static_cast<std::uint32_t>(step) >= childAt_[node + 1] - childAt_[node]) {
            return kNoSourceNode;
        }
        node = elementChildren_[childAt_[node] + step];
    }
    return node;
}

std::vector<int> SourceMap::PathOf(std::uint32_t node) const {
    std::vector<int> path;
    if (node >= nodes_.size() || nodes_[node].kind != SourceNodeKind::Element) return path;
    for (std::uint32_t i = node; i != Root() && i != kNoSourceNode; i = nodes_[i].parent) {
        path.push_back(static_cast<int>(elementIndex_[i]));
    }
    std::reverse(path.begin(), path.end());
    return path;
}

}  // namespace tarlo
