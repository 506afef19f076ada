// The table modes of the HTML reading: sections, rows and cells closed by
// what follows them, the tbody and tr the parser implies, content outside
// the cells moved in front of the table, and list boxes.
#include "text/source_map_html.h"

namespace tarlo::html_map {

void HtmlTreeBuilder::InTable(const Tok& t) {
    const std::uint32_t tag = t.tag;
    switch (t.kind) {
        case Kind::Text:
            if (IsOneOf(Tag(Current()), {Table, Tbody, Tfoot, Thead, Tr}) && IsSpaceText(t)) {
                return InsertText(t);
            }
            break;
        case Kind::Comment:
            return InsertComment(t, Current());
        case Kind::Doctype:
        case Kind::Eof:
            return;
        case Kind::Start:
            if (tag == Caption) {
                ClearToTable();
                PushMarker();
                Insert(t);
                mode_ = Mode::InCaption;
                return;
            }
            if (tag == Colgroup || tag == Col) {
                ClearToTable();
                mode_ = Mode::InColumnGroup;
                if (tag == Colgroup) return void(Insert(t));
                InsertImplied(Colgroup);
                return Process(t);
            }
            if (IsTableSection(tag)) {
                ClearToTable();
                Insert(t);
                mode_ = Mode::InTableBody;
                return;
            }
            if (IsCell(tag) || tag == Tr) {
                ClearToTable();
                InsertImplied(Tbody);
                mode_ = Mode::InTableBody;
                return Process(t);
            }
            if (tag == Table) {  // a table directly in a table ends the first
                if (!InScope(Table, Scope::Table)) return;
                PopUntilTag(Table, nullptr);
                ResetMode();
                return Process(t);
            }
            if (tag == Style || tag == Script) return InsertRaw(t);
            if (tag == Input) {
                for (const HtmlAttribute& a : t.attributes) {
                    if (EqualsFolded(a.name, "type") && EqualsFolded(a.value, "hidden")) {
                        return InsertVoid(t);
                    }
                }
            }
            if (tag == Form) {
                if (form_ != kNoSourceNode) return;
                form_ = Insert(t);
                Pop();
                return;
            }
            break;
        case Kind::End:
            if (tag == Table) {
                if (!InScope(Table, Scope::Table)) return;
                PopUntilTag(Table, &t);
                return ResetMode();
            }
            if (IsOneOf(tag,
                        {Body, Caption, Col, Colgroup, Html, Tbody, Td, Tfoot, Th, Thead, Tr})) {
                return;
            }
            break;
    }
    // Anything else belongs in front of the table.
    fosterParenting_ = true;
    InBody(t);
    fosterParenting_ = false;
}

void HtmlTreeBuilder::InCaption(const Tok& t) {
    const bool ends = t.kind == Kind::End && t.tag == Caption;
    const bool closes = (t.kind == Kind::Start && (IsOneOf(t.tag, {Caption, Col, Colgroup, Tr}) ||
                                                   IsCell(t.tag) || IsTableSection(t.tag))) ||
                        (t.kind == Kind::End && t.tag == Table);
    if (ends || closes) {
        if (!InScope(Caption, Scope::Table)) return;
        GenerateImpliedEndTags();
        PopUntilTag(Caption, ends ? &t : nullptr);
        ClearToMarker();
        mode_ = Mode::InTable;
        if (closes) Process(t);
        return;
    }
    if (t.kind == Kind::End && (IsOneOf(t.tag, {Body, Col, Colgroup, Html, Tr}) || IsCell(t.tag) ||
                                IsTableSection(t.tag))) {
        return;
    }
    InBody(t);
}

void HtmlTreeBuilder::InColumnGroup(Tok t) {
    if (t.kind == Kind::Comment) return InsertComment(t, Current());
    if (t.kind == Kind::Doctype) return;
    if (t.kind == Kind::Start && t.tag == Html) return;
    if (t.kind == Kind::Start && t.tag == Col) return InsertVoid(t);
    if (t.kind == Kind::End && t.tag == Col) return;
    if (!CurrentIs(Colgroup)) return;
    const bool ends = t.kind == Kind::End && t.tag == Colgroup;
    if (ends) return PopWithEndTag(t), void(mode_ = Mode::InTable);
    Pop();
    mode_ = Mode::InTable;
    Process(t);
}

void HtmlTreeBuilder::InTableBody(const Tok& t) {
    const std::uint32_t tag = t.tag;
    if (t.kind == Kind::Start && tag == Tr) {
        ClearToTableBody();
        Insert(t);
        mode_ = Mode::InRow;
        return;
    }
    if (t.kind == Kind::Start && IsCell(tag)) {
        ClearToTableBody();
        InsertImplied(Tr);
        mode_ = Mode::InRow;
        return Process(t);
    }
    if (t.kind == Kind::End && IsTableSection(tag)) {
        if (!InScope(tag, Scope::Table)) return;
        ClearToTableBody();
        PopWithEndTag(t);
        mode_ = Mode::InTable;
        return;
    }
    if ((t.kind == Kind::Start &&
         (IsOneOf(tag, {Caption, Col, Colgroup}) || IsTableSection(tag))) ||
        (t.kind == Kind::End && tag == Table)) {
        if (!InScopeIf(IsTableSection, Scope::Table)) return;
        ClearToTableBody();
        Pop();
        mode_ = Mode::InTable;
        return Process(t);
    }
    if (t.kind == Kind::End &&
        (IsOneOf(tag, {Body, Caption, Col, Colgroup, Html, Tr}) || IsCell(tag))) {
        return;
    }
    InTable(t);
}

void HtmlTreeBuilder::InRow(const Tok& t) {
    const std::uint32_t tag = t.tag;
    if (t.kind == Kind::Start && IsCell(tag)) {
        ClearToRow();
        Insert(t);
        mode_ = Mode::InCell;
        PushMarker();
        return;
    }
    const bool endsRow = t.kind == Kind::End && tag == Tr;
    const bool closesRow = (t.kind == Kind::Start &&
                            (IsOneOf(tag, {Caption, Col, Colgroup, Tr}) || IsTableSection(tag))) ||
                           (t.kind == Kind::End && (tag == Table || IsTableSection(tag)));
    if (endsRow || closesRow) {
        if (t.kind == Kind::End && IsTableSection(tag) && !InScope(tag, Scope::Table)) return;
        if (!InScope(Tr, Scope::Table)) return;
        ClearToRow();
        if (endsRow) SetEndTag(Current(), t.start, t.end);
        Pop();
        mode_ = Mode::InTableBody;
        if (closesRow) Process(t);
        return;
    }
    if (t.kind == Kind::End &&
        (IsOneOf(tag, {Body, Caption, Col, Colgroup, Html}) || IsCell(tag))) {
        return;
    }
    InTable(t);
}

void HtmlTreeBuilder::InCell(const Tok& t) {
    const std::uint32_t tag = t.tag;
    const bool endsCell = t.kind == Kind::End && IsCell(tag);
    const bool closesCell =
        (t.kind == Kind::Start &&
         (IsOneOf(tag, {Caption, Col, Colgroup, Tr}) || IsCell(tag) || IsTableSection(tag))) ||
        (t.kind == Kind::End && (IsOneOf(tag, {Table, Tr}) || IsTableSection(tag)));
    if (endsCell || closesCell) {
        const bool inScope = endsCell || t.kind == Kind::End ? InScope(tag, Scope::Table)
                                                             : InScopeIf(IsCell, Scope::Table);
        if (!inScope) return;
        GenerateImpliedEndTags();
        if (endsCell) {
            PopUntilTag(tag, &t);
        } else {
            PopUntil(IsCell, nullptr);
        }
        ClearToMarker();
        mode_ = Mode::InRow;
        if (closesCell) Process(t);
        return;
    }
    if (t.kind == Kind::End && IsOneOf(tag, {Body, Caption, Col, Colgroup, Html})) return;
    InBody(t);
}

void HtmlTreeBuilder::InSelect(const Tok& t) {
    const std::uint32_t tag = t.tag;
    const bool tablePart =
        tag == Caption || tag == Table || tag == Tr || IsCell(tag) || IsTableSection(tag);
    if (mode_ == Mode::InSelectInTable && tablePart && t.kind != Kind::Text) {
        if (t.kind == Kind::End && !InScope(tag, Scope::Table)) return;
        PopUntilTag(Select, nullptr);
        ResetMode();
        return Process(t);
    }
    switch (t.kind) {
        case Kind::Text:
            return InsertText(t);
        case Kind::Comment:
            return InsertComment(t, Current());
        case Kind::Doctype:
        case Kind::Eof:
            return;
        case Kind::Start:
            if (tag == Option || tag == Optgroup) {
                if (CurrentIs(Option)) Pop();
                if (tag == Optgroup && CurrentIs(Optgroup)) Pop();
                Insert(t);
                return;
            }
            if (IsOneOf(tag, {Select, Input, Keygen, Textarea})) {
                if (!InScope(Select, Scope::Select)) return;
                PopUntilTag(Select, nullptr);
                ResetMode();
                if (tag != Select) Process(t);
                return;
            }
            if (tag == Script) return InsertRaw(t);
            return ReadMarkupAfter(t);  // other tags have no place in a list box
        case Kind::End:
            if (tag == Optgroup) {
                if (CurrentIs(Option) && stack_.size() > 1 &&
                    Tag(stack_[stack_.size() - 2]) == Optgroup) {
                    Pop();
                }
                if (CurrentIs(Optgroup)) PopWithEndTag(t);
                return;
            }
            if (tag == Option) {
                if (CurrentIs(Option)) PopWithEndTag(t);
                return;
            }
            if (tag == Select && InScope(Select, Scope::Select)) {
                PopUntilTag(Select, &t);
                ResetMode();
            }
            return;
    }
}

}  // namespace tarlo::html_map
