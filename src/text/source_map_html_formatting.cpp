// The formatting elements of the HTML reading: b, i, font, a and the like
// stay in a list while open, so that the parser can open them again after a
// block that closed them, and close them right when their end tags come
// misnested.
#include "text/source_map_html.h"

namespace tarlo::html_map {

std::uint64_t HtmlTreeBuilder::AttributeDigest(const HtmlAttributeList& attributes) {
    std::uint64_t sum = attributes.size();
    for (const HtmlAttribute& a : attributes) {
        std::uint64_t h = 1469598103934665603ull;
        for (const char c : a.name)
            h = (h ^ static_cast<unsigned char>(AsciiLower(c))) * 1099511628211ull;
        h = (h ^ '=') * 1099511628211ull;
        for (const char c : a.value) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        sum += h;
    }
    return sum;
}
std::size_t HtmlTreeBuilder::LastMarker() const {
    for (std::size_t i = active_.size(); i-- > 0;) {
        if (active_[i].node == kNoSourceNode) return i + 1;
    }
    return 0;
}
void HtmlTreeBuilder::PushFormatting(std::uint32_t node, const Tok& t) {
    const Formatting entry{node, t.tag, AttributeDigest(t.attributes)};
    // No more than three alike since the last marker: the earliest goes.
    std::size_t alike = 0;
    std::size_t earliest = 0;
    for (std::size_t i = active_.size(); i-- > LastMarker();) {
        const Formatting& f = active_[i];
        if (f.tag == entry.tag && f.attributes == entry.attributes) {
            ++alike;
            earliest = i;
        }
    }
    if (alike >= 3) active_.erase(active_.begin() + static_cast<std::ptrdiff_t>(earliest));
    active_.push_back(entry);
}
void HtmlTreeBuilder::ClearToMarker() {
    while (!active_.empty()) {
        const bool marker = active_.back().node == kNoSourceNode;
        active_.pop_back();
        if (marker) return;
    }
}
std::ptrdiff_t HtmlTreeBuilder::ActiveIndex(std::uint32_t node) const {
    for (std::size_t i = active_.size(); i-- > 0;) {
        if (active_[i].node == node) return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}
void HtmlTreeBuilder::Reconstruct() {
    if (active_.empty()) return;
    std::size_t i = active_.size() - 1;
    if (active_[i].node == kNoSourceNode || IsOpen(active_[i].node)) return;
    while (i > 0 && active_[i - 1].node != kNoSourceNode && !IsOpen(active_[i - 1].node)) --i;
    for (; i < active_.size(); ++i) {
        Tok t;
        t.tag = active_[i].tag;
        t.start = t.end = at_;
        active_[i].node = Insert(t, true);
    }
}

// An end tag of a formatting element that is not the current node: the
// parser closes it and carries what was inside it over, as copies. Where a
// block stands inside it, the block moves out and the tree no longer lies
// over the code's bytes.
void HtmlTreeBuilder::AdoptionAgency(const Tok& t) {
    // A start tag <a> or <nobr> closes the open one too, but is not its end tag.
    const bool endTag = t.kind == Kind::End;
    auto close = [&] { endTag ? PopWithEndTag(t) : Pop(); };
    if (CurrentIs(t.tag) && ActiveIndex(Current()) < 0) return close();
    for (int outer = 0; outer < 8; ++outer) {
        std::ptrdiff_t fi = -1;
        for (std::size_t i = active_.size(); i-- > LastMarker();) {
            if (active_[i].tag == t.tag) {
                fi = static_cast<std::ptrdiff_t>(i);
                break;
            }
        }
        if (fi < 0) {
            if (endTag) AnyOtherEndTag(t);
            return;
        }
        const std::uint32_t formatting = active_[fi].node;
        if (!IsOpen(formatting)) {
            active_.erase(active_.begin() + fi);
            return;
        }
        if (!NodeInScope(formatting)) return;
        const std::size_t si = StackIndex(formatting);
        std::size_t furthest = si + 1;
        while (furthest < stack_.size() && !HasFlag(Tag(stack_[furthest]), kSpecial)) ++furthest;
        if (furthest == stack_.size()) {
            // Nothing special inside: close it; what it held opens again later.
            while (stack_.size() > si + 1) Pop();
            close();
            active_.erase(active_.begin() + fi);
            return;
        }
        const std::uint32_t block = stack_[furthest];
        const std::uint32_t common = stack_[si - 1];
        MarkUncertain(block);
        MarkUncertain(formatting);
        std::ptrdiff_t bookmark = fi;
        std::uint32_t lastNode = block;
        std::size_t index = furthest;
        // The page's parser looks at no more than three elements between
        // the block and the formatting element; those past them stay open.
        for (int inner = 0; inner < 3; ++inner) {
            const std::uint32_t node = stack_[--index];
            const std::ptrdiff_t ai = ActiveIndex(node);
            if (ai < 0) {
                RemoveFromStack(index);
                continue;
            }
            if (node == formatting) break;
            const std::uint32_t copy = NewElement(Tag(node), at_, at_, true);
            MarkUncertain(copy);
            active_[ai].node = copy;
            stack_[index] = copy;
            SetOpen(node, false);
            SetOpen(copy, true);
            Close(node, at_);
            if (lastNode == block) bookmark = ai + 1;
            Detach(lastNode);
            Append(copy, lastNode);
            lastNode = copy;
        }
        Detach(lastNode);
        InsertNode(lastNode, common);
        const std::uint32_t copy = NewElement(t.tag, at_, at_, true);
        MarkUncertain(copy);
        MoveChildren(block, copy);
        Append(block, copy);
        fi = ActiveIndex(formatting);
        const Formatting entry{copy, t.tag, active_[fi].attributes};
        active_.erase(active_.begin() + fi);
        if (fi < bookmark) --bookmark;
        active_.insert(active_.begin() + bookmark, entry);
        RemoveFromStack(StackIndex(formatting));
        const std::size_t blockAt = StackIndex(block);
        stack_.insert(stack_.begin() + static_cast<std::ptrdiff_t>(blockAt) + 1, copy);
        SetOpen(copy, true);
    }
}

}  // namespace tarlo::html_map
