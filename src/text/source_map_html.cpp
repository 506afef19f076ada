// The insertion modes of the HTML reading: which rule each token meets, by
// where the parser stands (before the body, in the body, in a table, ...).
#include "text/source_map_html.h"

namespace tarlo {

namespace html_map {

namespace {

// A DOCTYPE that leaves the page in quirks mode, where a table does not
// close an open paragraph. The public identifiers filings use; the rest of
// the old ones browsers know read as quirks too.
bool DoctypeMeansQuirks(std::string_view doctype) {
    const std::string text = AsciiLowerCopy(doctype);
    const std::size_t n = text.size();
    std::size_t k = 9;  // after "<!doctype"
    while (k < n && IsMarkupSpace(text[k])) ++k;
    if (text.compare(k, 4, "html") != 0) return true;
    // A quoted identifier from `from` into `out`; npos when none is there.
    auto quoted = [&](std::size_t from, std::string& out) {
        while (from < n && IsMarkupSpace(text[from])) ++from;
        if (from >= n || (text[from] != '"' && text[from] != '\'')) return std::string::npos;
        std::size_t close = text.find(text[from], from + 1);
        if (close == std::string::npos) close = n;
        out = text.substr(from + 1, close - from - 1);
        return close + 1;
    };
    const std::size_t pub = text.find("public", k + 4);
    if (pub == std::string::npos) return false;
    std::string publicId;
    std::string systemId;
    const std::size_t afterPublic = quoted(pub + 6, publicId);
    if (afterPublic == std::string::npos) return true;
    const bool hasSystem = quoted(afterPublic, systemId) != std::string::npos;
    auto starts = [&](std::string_view prefix) { return publicId.rfind(prefix, 0) == 0; };
    if (starts("-//w3c//dtd html 4.01 transitional//") ||
        starts("-//w3c//dtd html 4.01 frameset//")) {
        return !hasSystem;
    }
    const bool modern = starts("-//w3c//dtd html 4.01//") || starts("-//w3c//dtd xhtml") ||
                        starts("-//w3c//dtd html 4.0//") || publicId.empty();
    return !modern;
}

}  // namespace

void HtmlTreeBuilder::Process(Tok t) {
    if (t.kind == Kind::Text && mode_ != Mode::InBody && mode_ != Mode::InCell &&
        mode_ != Mode::InCaption && mode_ != Mode::InSelect && mode_ != Mode::InSelectInTable &&
        mode_ != Mode::InTable && mode_ != Mode::InTableBody && mode_ != Mode::InRow) {
        // Before the body and after it, blanks are kept or dropped by
        // themselves; what follows them is read on its own.
        Tok space;
        const bool more = SplitSpace(t, space);
        if (space.end > space.start) {
            if (mode_ == Mode::InHead || mode_ == Mode::AfterHead || mode_ == Mode::InColumnGroup) {
                InsertText(space);
            } else if (mode_ == Mode::AfterBody || mode_ == Mode::AfterAfterBody) {
                Reconstruct();
                InsertText(space);
            }
        }
        if (!more) return;
        // What the parser makes for the rest (an implied html, head or body)
        // starts where the rest does, not at the blanks before it.
        at_ = t.start;
    }
    switch (mode_) {
        case Mode::Initial:
            if (t.kind == Kind::Comment) return InsertComment(t, SourceMap::Root());
            if (t.kind == Kind::Doctype) return Doctype(t);
            quirks_ = true;
            mode_ = Mode::BeforeHtml;
            return Process(t);
        case Mode::BeforeHtml:
            if (t.kind == Kind::Comment) return InsertComment(t, SourceMap::Root());
            if (t.kind == Kind::Doctype) return;
            if (t.kind == Kind::End && !IsOneOf(t.tag, {Head, Body, Html, Br})) return;
            html_ = t.kind == Kind::Start && t.tag == Html
                        ? NewElement(Html, t.start, t.end, false)
                        : NewElement(Html, t.start, t.start, true);
            Append(SourceMap::Root(), html_);
            Push(html_);
            mode_ = Mode::BeforeHead;
            if (!(t.kind == Kind::Start && t.tag == Html)) Process(t);
            return;
        case Mode::BeforeHead:
            return BeforeHead(t);
        case Mode::InHead:
            return InHead(t);
        case Mode::AfterHead:
            return AfterHead(t);
        case Mode::InBody:
            return InBody(t);
        case Mode::InTable:
            return InTable(t);
        case Mode::InCaption:
            return InCaption(t);
        case Mode::InColumnGroup:
            return InColumnGroup(t);
        case Mode::InTableBody:
            return InTableBody(t);
        case Mode::InRow:
            return InRow(t);
        case Mode::InCell:
            return InCell(t);
        case Mode::InSelect:
        case Mode::InSelectInTable:
            return InSelect(t);
        case Mode::AfterBody:
        case Mode::AfterAfterBody:
            return AfterBody(t);
    }
}

void HtmlTreeBuilder::Doctype(const Tok& t) {
    Append(SourceMap::Root(), NewNode(SourceNodeKind::Doctype, t.start, t.end));
    quirks_ = DoctypeMeansQuirks(text_.substr(t.start, t.end - t.start));
    mode_ = Mode::BeforeHtml;
}

void HtmlTreeBuilder::BeforeHead(Tok t) {
    if (t.kind == Kind::Comment) return InsertComment(t, Current());
    if (t.kind == Kind::Doctype || (t.kind == Kind::Start && t.tag == Html)) return;
    if (t.kind == Kind::End && !IsOneOf(t.tag, {Head, Body, Html, Br})) return;
    const bool explicitHead = t.kind == Kind::Start && t.tag == Head;
    head_ = explicitHead ? Insert(t) : InsertImplied(Head);
    mode_ = Mode::InHead;
    if (!explicitHead) Process(t);
}

void HtmlTreeBuilder::InHead(Tok t) {
    if (t.kind == Kind::Comment) return InsertComment(t, Current());
    if (t.kind == Kind::Doctype) return;
    if (t.kind == Kind::Start) {
        if (t.tag == Html || t.tag == Head) return;
        if (IsOneOf(t.tag, {Base, Basefont, Bgsound, Link, Meta})) return InsertVoid(t);
        if (IsOneOf(t.tag, {Title, Noframes, Style, Script})) return InsertRaw(t);
    }
    if (t.kind == Kind::End) {
        if (t.tag == Head) {
            PopWithEndTag(t);
            mode_ = Mode::AfterHead;
            return;
        }
        if (!IsOneOf(t.tag, {Body, Html, Br})) return;
    }
    Pop();  // the head ends where the first thing that cannot be in it starts
    mode_ = Mode::AfterHead;
    Process(t);
}

void HtmlTreeBuilder::AfterHead(Tok t) {
    if (t.kind == Kind::Comment) return InsertComment(t, Current());
    if (t.kind == Kind::Doctype) return;
    if (t.kind == Kind::Start) {
        if (t.tag == Html || t.tag == Head) return;
        if (t.tag == Body) {
            body_ = Insert(t);
            mode_ = Mode::InBody;
            return;
        }
        if (IsOneOf(t.tag, {Base, Basefont, Bgsound, Link, Meta, Noframes, Script, Style, Title})) {
            // The page puts it into the head, which the code has closed.
            MarkUncertain(head_);
            Push(head_);
            InHead(t);
            RemoveFromStack(StackIndex(head_));
            return;
        }
    }
    if (t.kind == Kind::End && !IsOneOf(t.tag, {Body, Html, Br})) return;
    body_ = InsertImplied(Body);
    mode_ = Mode::InBody;
    Process(t);
}

void HtmlTreeBuilder::AfterBody(const Tok& t) {
    if (t.kind == Kind::Comment) {
        return InsertComment(t, mode_ == Mode::AfterBody ? html_ : SourceMap::Root());
    }
    if (t.kind == Kind::Doctype || (t.kind == Kind::Start && t.tag == Html)) return;
    if (t.kind == Kind::End && t.tag == Html && mode_ == Mode::AfterBody) {
        if (Current() == body_ || Current() == html_) SetEndTag(html_, t.start, t.end);
        mode_ = Mode::AfterAfterBody;
        return;
    }
    if (t.kind == Kind::Eof) return;
    // Content after </body> or </html> goes on in the body: those end tags
    // then close nothing.
    ForgetBodyEnd();
    mode_ = Mode::InBody;
    Process(t);
}

void HtmlTreeBuilder::ForgetBodyEnd() {
    if (body_ != kNoSourceNode) N(body_).endTag = ByteRange{};
    if (html_ != kNoSourceNode) N(html_).endTag = ByteRange{};
}

void HtmlTreeBuilder::InBody(const Tok& t) {
    switch (t.kind) {
        case Kind::Text:
            Reconstruct();
            return InsertText(t);
        case Kind::Comment:
            return InsertComment(t, Place(Current()).first);
        case Kind::Doctype:
        case Kind::Eof:
            return;
        case Kind::Start:
            return InBodyStart(t);
        case Kind::End:
            return InBodyEnd(t);
    }
}

void HtmlTreeBuilder::InBodyStart(const Tok& t) {
    const std::uint32_t tag = t.tag;
    if (HasFlag(tag, kClosesP) || IsOneOf(tag, {Pre, Listing})) {
        ClosePInButtonScope();
        Insert(t);
        if (tag == Listing) ReadMarkupAfter(t);
        skipNewline_ = tag == Pre || tag == Listing;
        return;
    }
    if (HasFlag(tag, kHeading)) {
        ClosePInButtonScope();
        if (HasFlag(Tag(Current()), kHeading)) Pop();
        Insert(t);
        return;
    }
    if (HasFlag(tag, kFormatting)) {
        if (tag == A) {
            for (std::size_t i = active_.size(); i-- > LastMarker();) {
                if (active_[i].tag != A) continue;
                const std::uint32_t open = active_[i].node;
                AdoptionAgency(t);
                const std::ptrdiff_t still = ActiveIndex(open);
                if (still >= 0) active_.erase(active_.begin() + still);
                if (IsOpen(open)) RemoveFromStack(StackIndex(open));
                break;
            }
        }
        Reconstruct();
        if (tag == Nobr && InScope(Nobr)) {
            AdoptionAgency(t);
            Reconstruct();
        }
        PushFormatting(Insert(t), t);
        return;
    }
    switch (tag) {
        case Html:
        case Body:
        case Frameset:
        case Caption:
        case Col:
        case Colgroup:
        case Frame:
        case Head:
        case Tbody:
        case Td:
        case Tfoot:
        case Th:
        case Thead:
        case Tr:
            return;  // the page keeps the first html and body, and no table part outside a table
        case Base:
        case Basefont:
        case Bgsound:
        case Link:
        case Meta:
        case Param:
        case Source:
        case Track:
            return InsertVoid(t);
        case Title:
        case Noframes:
        case Style:
        case Script:
        case Textarea:
        case Iframe:
        case Noembed:
            skipNewline_ = tag == Textarea;
            return InsertRaw(t);
        case Form:
            if (form_ != kNoSourceNode) return;
            ClosePInButtonScope();
            form_ = Insert(t);
            return;
        case Li:
        case Dd:
        case Dt:
            for (std::size_t i = stack_.size(); i-- > 0;) {
                const std::uint32_t open = Tag(stack_[i]);
                const bool sibling = tag == Li ? open == Li : (open == Dd || open == Dt);
                if (sibling) {
                    GenerateImpliedEndTags(open);
                    PopUntilTag(open, nullptr);
                    break;
                }
                if (HasFlag(open, kSpecial) && !IsOneOf(open, {Address, Div, P})) break;
            }
            ClosePInButtonScope();
            Insert(t);
            return;
        case Plaintext:
        case Xmp:
            ClosePInButtonScope();
            if (tag == Xmp) Reconstruct();
            return InsertRaw(t);
        case Button:
            if (InScope(Button)) {
                GenerateImpliedEndTags();
                PopUntilTag(Button, nullptr);
            }
            Reconstruct();
            Insert(t);
            return;
        case Applet:
        case Marquee:
        case Object:
            Reconstruct();
            Insert(t);
            PushMarker();
            return;
        case Table:
            if (!quirks_) ClosePInButtonScope();
            Insert(t);
            mode_ = Mode::InTable;
            return;
        case Hr:
            ClosePInButtonScope();
            return InsertVoid(t);
        case Area:
        case Br:
        case Embed:
        case Img:
        case Keygen:
        case Wbr:
        case Input:
            Reconstruct();
            return InsertVoid(t);
        case Select: {
            Reconstruct();
            Insert(t);
            const bool inTable = mode_ == Mode::InTable || mode_ == Mode::InCaption ||
                                 mode_ == Mode::InTableBody || mode_ == Mode::InRow ||
                                 mode_ == Mode::InCell;
            mode_ = inTable ? Mode::InSelectInTable : Mode::InSelect;
            return;
        }
        case Optgroup:
        case Option:
            if (CurrentIs(Option)) Pop();
            Reconstruct();
            Insert(t);
            return;
        case Math:
        case Svg:
            // Foreign content: read as plain elements whose "/>" closes them.
            Reconstruct();
            MarkUncertain(foreign_ = Insert(t));
            if (t.selfClosing) Pop();
            return;
        default:
            Reconstruct();
            Insert(t);
            return;
    }
}

void HtmlTreeBuilder::InBodyEnd(const Tok& t) {
    const std::uint32_t tag = t.tag;
    if (tag == Body || tag == Html) {
        if (!InScope(Body)) return;
        if (tag == Body && Current() == body_) SetEndTag(body_, t.start, t.end);
        mode_ = Mode::AfterBody;
        if (tag == Html) AfterBody(t);
        return;
    }
    if (HasFlag(tag, kClosesP) || IsOneOf(tag, {Pre, Listing, Button})) {
        if (tag == P) {
            if (!InScope(P, Scope::Button)) InsertImplied(P);  // a </p> alone makes an empty p
            return CloseP(&t);
        }
        if (!InScope(tag)) return;
        GenerateImpliedEndTags();
        return PopUntilTag(tag, &t);
    }
    if (HasFlag(tag, kHeading)) {
        auto heading = [](std::uint32_t x) { return HasFlag(x, kHeading); };
        if (!InScopeIf(heading, Scope::Default)) return;
        GenerateImpliedEndTags();
        return PopUntil(heading, &t);
    }
    if (HasFlag(tag, kFormatting)) return AdoptionAgency(t);
    switch (tag) {
        case Form: {
            const std::uint32_t form = form_;
            form_ = kNoSourceNode;
            if (form == kNoSourceNode || !NodeInScope(form)) return;
            GenerateImpliedEndTags();
            if (Current() != form) MarkUncertain(form);  // its content stays open after it
            SetEndTag(form, t.start, t.end);
            RemoveFromStack(StackIndex(form));
            return;
        }
        case Li:
        case Dd:
        case Dt:
            if (!InScope(tag, tag == Li ? Scope::ListItem : Scope::Default)) return;
            GenerateImpliedEndTags(tag);
            return PopUntilTag(tag, &t);
        case Applet:
        case Marquee:
        case Object:
            if (!InScope(tag)) return;
            GenerateImpliedEndTags();
            PopUntilTag(tag, &t);
            return ClearToMarker();
        case Br: {
            // </br> is read as <br>: an element the code holds no start tag for.
            Reconstruct();
            Tok br = t;
            const std::uint32_t node = Insert(br, true);
            N(node).whole = ByteRange{static_cast<int>(t.start), static_cast<int>(t.end - t.start)};
            stack_.pop_back();
            open_[node] = 0;
            return;
        }
        default:
            return AnyOtherEndTag(t);
    }
}

void HtmlTreeBuilder::AnyOtherEndTag(const Tok& t) {
    for (std::size_t i = stack_.size(); i-- > 0;) {
        const std::uint32_t tag = Tag(stack_[i]);
        if (tag == t.tag) {
            GenerateImpliedEndTags(t.tag);
            while (stack_.size() > i + 1) Pop();
            return PopWithEndTag(t);
        }
        if (HasFlag(tag, kSpecial)) return;  // a stray end tag: ignored
    }
}

}  // namespace html_map

void BuildHtmlSourceMap(SourceMap& map, std::string_view text) {
    html_map::HtmlTreeBuilder(map, text).Run();
}

}  // namespace tarlo
