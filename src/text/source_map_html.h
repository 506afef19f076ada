#pragma once
// The HTML reading of the source map: the tree the page's HTML parser builds,
// for the markup filings hold. The parser's insertion modes, its stack of open
// elements and its list of formatting elements are kept as it keeps them;
// what the page does rarely in filings (frames, templates, foreign content)
// is read plainly and counted as uncertain. The stack of open elements and
// insertion are here; the formatting elements in source_map_html_formatting.cpp.
#include <array>
#include <initializer_list>

#include "text/source_map_builder.h"
#include "text/source_map_html_tags.h"
#include "text/text_scan.h"

namespace tarlo::html_map {

using namespace html_tags;

enum class Mode {
    Initial,
    BeforeHtml,
    BeforeHead,
    InHead,
    AfterHead,
    InBody,
    InTable,
    InCaption,
    InColumnGroup,
    InTableBody,
    InRow,
    InCell,
    InSelect,
    InSelectInTable,
    AfterBody,
    AfterAfterBody,
};

inline bool IsOneOf(std::uint32_t tag, std::initializer_list<std::uint32_t> tags) {
    for (const std::uint32_t t : tags) {
        if (tag == t) return true;
    }
    return false;
}
inline bool IsCell(std::uint32_t tag) {
    return tag == Td || tag == Th;
}
inline bool IsTableSection(std::uint32_t tag) {
    return tag == Tbody || tag == Thead || tag == Tfoot;
}

enum class Kind { Text, Start, End, Comment, Doctype, Eof };

// One token as the tree rules see it.
struct Tok {
    Kind kind = Kind::Eof;
    std::uint32_t tag = 0;
    std::size_t start = 0;
    std::size_t end = 0;
    bool selfClosing = false;
    HtmlAttributeList attributes;
};

enum class Scope { Default, ListItem, Button, Table, Select };

struct Formatting {
    std::uint32_t node = kNoSourceNode;  // kNoSourceNode: a marker
    std::uint32_t tag = 0;
    std::uint64_t attributes = 0;  // a digest, for the limit of three alike
};

class HtmlTreeBuilder : SourceMapBuilder {
  public:
    HtmlTreeBuilder(SourceMap& map, std::string_view text)
        : SourceMapBuilder(map, text), tokens_(text, HtmlSyntax::Html) {
        for (std::string_view name : kHtmlTagNames) Intern(name, false);
        open_.reserve(text.size() / 12 + 16);
        open_.push_back(0);
    }

    void Run() {
        HtmlToken token;
        while (tokens_.Next(token)) Take(token);
        FlushText();
        Tok eof;
        eof.start = eof.end = text_.size();
        at_ = text_.size();
        inRaw_ = false;
        Process(eof);
        while (!stack_.empty()) Pop();
        // Comments after </body> or </html> follow the body or the html
        // element; where the code never closed those, they reach over them.
        for (const std::uint32_t element : {body_, html_}) {
            if (element == kNoSourceNode || N(element).HasEndTag()) continue;
            for (std::uint32_t c = N(element).nextSibling; c != kNoSourceNode;
                 c = N(c).nextSibling) {
                MarkUncertain(c);
            }
        }
        Finish();
    }

  private:
    // ---- Tokens ----------------------------------------------------------

    // Text, and a "<" that starts no markup, reach the rules as one run of
    // characters, as the page's parser collects them.
    void Take(const HtmlToken& token) {
        const HtmlTokenKind kind = token.kind;
        if (kind == HtmlTokenKind::Text || kind == HtmlTokenKind::RawText ||
            kind == HtmlTokenKind::Stray) {
            if (pendingEnd_ != token.start) FlushText();
            if (pendingEnd_ == pendingStart_) pendingStart_ = token.start;
            pendingEnd_ = token.end;
            return;
        }
        FlushText();
        skipNewline_ = false;
        Tok t;
        t.start = token.start;
        t.end = token.end;
        at_ = t.start;
        switch (kind) {
            case HtmlTokenKind::StartTag:
                t.kind = Kind::Start;
                t.tag = Intern(token.name, true);
                t.selfClosing = token.selfClosing;
                t.attributes = token.attributes;
                break;
            case HtmlTokenKind::EndTag:
                t.kind = Kind::End;
                t.tag = Intern(token.name, true);
                if (inRaw_) {  // the end of script, style, title and the like
                    inRaw_ = false;
                    return PopWithEndTag(t);
                }
                break;
            case HtmlTokenKind::Declaration:
                t.kind = EqualsFolded(text_.substr(t.start, 9), "<!doctype") ? Kind::Doctype
                                                                             : Kind::Comment;
                break;
            default:  // comments, and what the parser reads as one
                t.kind = Kind::Comment;
                break;
        }
        Process(t);
    }
    void FlushText() {
        if (pendingEnd_ == pendingStart_) return;
        Tok t;
        t.kind = Kind::Text;
        t.start = pendingStart_;
        t.end = pendingEnd_;
        pendingStart_ = pendingEnd_ = 0;
        at_ = t.start;
        if (skipNewline_) {  // the line break right after <pre> is not content
            skipNewline_ = false;
            if (text_[t.start] == '\r') ++t.start;
            if (t.start < t.end && text_[t.start] == '\n') ++t.start;
            if (t.start == t.end) return;
        }
        if (inRaw_) return AddText(Current(), kNoSourceNode, t.start, t.end);
        Process(t);
    }

    bool IsSpaceText(const Tok& t) const {
        for (std::size_t k = t.start; k < t.end; ++k) {
            if (!IsMarkupSpace(text_[k])) return false;
        }
        return true;
    }
    // Splits off the blanks a text token starts with; true when some remain.
    bool SplitSpace(Tok& t, Tok& space) const {
        space = t;
        std::size_t k = t.start;
        while (k < t.end && IsMarkupSpace(text_[k])) ++k;
        space.end = k;
        t.start = k;
        return k < t.end;
    }

    // ---- The stack of open elements ----------------------------------------

    std::uint32_t Current() const { return stack_.empty() ? 0 : stack_.back(); }
    std::uint32_t Tag(std::uint32_t node) const { return map_.Node(node).name; }
    bool CurrentIs(std::uint32_t tag) const { return !stack_.empty() && Tag(Current()) == tag; }

    void SetOpen(std::uint32_t node, bool open) {
        if (open_.size() <= node) open_.resize(node + 1, 0);
        open_[node] = open;
    }
    void Push(std::uint32_t node) {
        stack_.push_back(node);
        SetOpen(node, true);
    }
    void Pop() {
        const std::uint32_t node = stack_.back();
        stack_.pop_back();
        open_[node] = 0;
        Close(node, at_);
    }
    void RemoveFromStack(std::size_t index) {
        const std::uint32_t node = stack_[index];
        stack_.erase(stack_.begin() + static_cast<std::ptrdiff_t>(index));
        open_[node] = 0;
        Close(node, at_);
    }
    bool IsOpen(std::uint32_t node) const { return node < open_.size() && open_[node]; }
    void PopWithEndTag(const Tok& t) {
        SetEndTag(Current(), t.start, t.end);
        Pop();
    }
    // Pops up to the first element `match` takes; it gets the end tag `t`.
    template <class Match>
    void PopUntil(Match match, const Tok* t) {
        while (!stack_.empty()) {
            const bool last = match(Tag(Current()));
            if (last && t) SetEndTag(Current(), t->start, t->end);
            Pop();
            if (last) return;
        }
    }
    void PopUntilTag(std::uint32_t tag, const Tok* t) {
        PopUntil([tag](std::uint32_t x) { return x == tag; }, t);
    }
    template <class Match>
    bool InScopeIf(Match match, Scope scope) const {
        for (std::size_t i = stack_.size(); i-- > 0;) {
            const std::uint32_t tag = Tag(stack_[i]);
            if (match(tag)) return true;
            if (IsScopeBoundary(tag, scope)) return false;
        }
        return false;
    }
    // This very element, with no scope boundary above it.
    bool NodeInScope(std::uint32_t node) const {
        for (std::size_t i = stack_.size(); i-- > 0;) {
            if (stack_[i] == node) return true;
            if (HasFlag(Tag(stack_[i]), kScopeBoundary)) return false;
        }
        return false;
    }
    bool InScope(std::uint32_t tag, Scope scope = Scope::Default) const {
        return InScopeIf([tag](std::uint32_t x) { return x == tag; }, scope);
    }
    static bool IsScopeBoundary(std::uint32_t tag, Scope scope) {
        switch (scope) {
            case Scope::Default:
                return HasFlag(tag, kScopeBoundary);
            case Scope::ListItem:
                return HasFlag(tag, kScopeBoundary) || tag == Ol || tag == Ul;
            case Scope::Button:
                return HasFlag(tag, kScopeBoundary) || tag == Button;
            case Scope::Table:
                return tag == Html || tag == Table || tag == Template;
            case Scope::Select:
                return tag != Optgroup && tag != Option;
        }
        return false;
    }
    void GenerateImpliedEndTags(std::uint32_t except = kNoSourceNode) {
        while (!stack_.empty() && HasFlag(Tag(Current()), kImpliedEnd) &&
               Tag(Current()) != except) {
            Pop();
        }
    }
    void CloseP(const Tok* t = nullptr) {
        GenerateImpliedEndTags(P);
        PopUntilTag(P, t);
    }
    void ClosePInButtonScope() {
        if (InScope(P, Scope::Button)) CloseP();
    }
    template <std::size_t N>
    void ClearBackTo(const std::array<std::uint32_t, N>& context) {
        while (!stack_.empty()) {
            const std::uint32_t tag = Tag(Current());
            for (const std::uint32_t c : context) {
                if (tag == c) return;
            }
            Pop();
        }
    }
    void ClearToTable() { ClearBackTo(std::array<std::uint32_t, 3>{Table, Template, Html}); }
    void ClearToTableBody() {
        ClearBackTo(std::array<std::uint32_t, 5>{Tbody, Tfoot, Thead, Template, Html});
    }
    void ClearToRow() { ClearBackTo(std::array<std::uint32_t, 3>{Tr, Template, Html}); }

    void ResetMode() {
        for (std::size_t i = stack_.size(); i-- > 0;) {
            const bool last = i == 0;
            const std::uint32_t tag = Tag(stack_[i]);
            if (tag == Select) {
                mode_ = Mode::InSelect;
                for (std::size_t k = i; k-- > 0;) {
                    if (Tag(stack_[k]) == Table) mode_ = Mode::InSelectInTable;
                }
                return;
            }
            if ((tag == Td || tag == Th) && !last) return void(mode_ = Mode::InCell);
            if (tag == Tr) return void(mode_ = Mode::InRow);
            if (tag == Tbody || tag == Thead || tag == Tfoot) {
                return void(mode_ = Mode::InTableBody);
            }
            if (tag == Caption) return void(mode_ = Mode::InCaption);
            if (tag == Colgroup) return void(mode_ = Mode::InColumnGroup);
            if (tag == Table) return void(mode_ = Mode::InTable);
            if (tag == Head && !last) return void(mode_ = Mode::InHead);
            if (tag == Body) return void(mode_ = Mode::InBody);
            if (tag == Html) {
                mode_ = head_ == kNoSourceNode ? Mode::BeforeHead : Mode::AfterHead;
                return;
            }
        }
        mode_ = Mode::InBody;
    }

    // ---- Inserting ---------------------------------------------------------

    // Where a node goes: the end of the current node, or, while the parser
    // moves misplaced table content, in front of the table.
    std::pair<std::uint32_t, std::uint32_t> Place(std::uint32_t target) {
        const std::uint32_t tag = Tag(target);
        if (!fosterParenting_ ||
            !(tag == Table || tag == Tbody || tag == Tfoot || tag == Thead || tag == Tr)) {
            return {target, kNoSourceNode};
        }
        for (std::size_t i = stack_.size(); i-- > 0;) {
            if (Tag(stack_[i]) != Table) continue;
            const std::uint32_t table = stack_[i];
            MarkUncertain(table);
            if (map_.Node(table).parent != kNoSourceNode) return {map_.Node(table).parent, table};
            return {stack_[i - 1], kNoSourceNode};
        }
        return {stack_.front(), kNoSourceNode};
    }
    void InsertNode(std::uint32_t node, std::uint32_t target) {
        const auto [parent, before] = Place(target);
        InsertBefore(parent, node, before);
        if (before != kNoSourceNode) MarkUncertain(node);
    }
    std::uint32_t Insert(const Tok& t, bool implied = false) {
        const std::uint32_t node = NewElement(t.tag, t.start, t.end, implied);
        InsertNode(node, Current());
        Push(node);
        if (foreign_ && IsOpen(foreign_) && t.selfClosing) Pop();
        return node;
    }
    std::uint32_t InsertImplied(std::uint32_t tag) {
        Tok t;
        t.tag = tag;
        t.start = t.end = at_;
        return Insert(t, true);
    }
    void InsertVoid(const Tok& t) {
        Insert(t);
        Pop();
    }
    void InsertText(const Tok& t) {
        if (t.start >= t.end) return;
        const auto [parent, before] = Place(Current());
        if (parent == SourceMap::Root()) return;
        if (before != kNoSourceNode) MarkUncertain(parent);
        AddText(parent, before, t.start, t.end);
    }
    void InsertComment(const Tok& t, std::uint32_t parent) {
        Append(parent, NewNode(SourceNodeKind::Comment, t.start, t.end));
    }
    // Elements whose content is text to the parser. The tokenizer reads
    // script, style, xmp, textarea and plaintext so (unless written "/>");
    // title, iframe, noembed and noframes are read on from their end tag here.
    static bool TokenizerReadsRaw(std::uint32_t tag) {
        return IsOneOf(tag, {Script, Style, Xmp, Listing, Textarea, Plaintext});
    }
    void InsertRaw(const Tok& t) {
        Insert(t);
        inRaw_ = true;
        if (TokenizerReadsRaw(t.tag) && !t.selfClosing) return;
        std::size_t end = std::string_view::npos;
        if (t.tag != Plaintext) end = FindFolded(text_, "</" + map_.Name(Current()), t.end);
        if (end == std::string_view::npos) end = text_.size();
        if (end > t.end) AddText(Current(), kNoSourceNode, t.end, end);
        tokens_.SkipTo(end);
    }
    // The tokenizer took the content of this start tag as text, but the page
    // reads it as markup: a listing, or a style the parser ignores.
    void ReadMarkupAfter(const Tok& t) {
        if (TokenizerReadsRaw(t.tag) && !t.selfClosing) tokens_.SkipTo(t.end);
    }

    // ---- Formatting elements -----------------------------------------------

    static std::uint64_t AttributeDigest(const HtmlAttributeList& attributes);
    std::size_t LastMarker() const;
    void PushFormatting(std::uint32_t node, const Tok& t);
    void PushMarker() { active_.push_back(Formatting{}); }
    void ClearToMarker();
    std::ptrdiff_t ActiveIndex(std::uint32_t node) const;
    // Formatting elements closed by a block's end open again, as copies the
    // code does not hold, before the next content.
    void Reconstruct();
    void AdoptionAgency(const Tok& t);
    std::size_t StackIndex(std::uint32_t node) const {
        for (std::size_t i = stack_.size(); i-- > 0;) {
            if (stack_[i] == node) return i;
        }
        return stack_.size();
    }

    // ---- Insertion modes (source_map_html.cpp, source_map_html_tables.cpp) --

    void Process(Tok t);
    void BeforeHead(Tok t);
    void InHead(Tok t);
    void AfterHead(Tok t);
    void InBody(const Tok& t);
    void InBodyStart(const Tok& t);
    void InBodyEnd(const Tok& t);
    void AnyOtherEndTag(const Tok& t);
    void InTable(const Tok& t);
    void InTableBody(const Tok& t);
    void InRow(const Tok& t);
    void InCell(const Tok& t);
    void InCaption(const Tok& t);
    void InColumnGroup(Tok t);
    void InSelect(const Tok& t);
    void AfterBody(const Tok& t);
    void Doctype(const Tok& t);
    void ForgetBodyEnd();

    TokenStream tokens_;
    Mode mode_ = Mode::Initial;
    std::vector<std::uint32_t> stack_;
    std::vector<std::uint8_t> open_;
    std::vector<Formatting> active_;
    std::uint32_t html_ = kNoSourceNode;
    std::uint32_t head_ = kNoSourceNode;
    std::uint32_t body_ = kNoSourceNode;
    std::uint32_t form_ = kNoSourceNode;
    std::uint32_t foreign_ = 0;  // the open svg or math element, read plainly
    std::size_t at_ = 0;         // where the token being read starts
    bool quirks_ = false;
    bool fosterParenting_ = false;
    bool inRaw_ = false;
    bool skipNewline_ = false;      // after <pre>, <listing>, <textarea>
    std::size_t pendingStart_ = 0;  // the characters not yet given to the rules
    std::size_t pendingEnd_ = 0;
};

}  // namespace tarlo::html_map
