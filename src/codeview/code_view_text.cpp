#include "codeview/code_view_text.h"

#include <algorithm>

namespace tarlo {

std::string ViewRange(const QsciScintillaBase& component, int from, int to) {
    const int len = static_cast<int>(component.SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    from = std::clamp(from, 0, len);
    to = std::clamp(to, from, len);
    std::string out(static_cast<std::size_t>(to - from) + 1, '\0');
    if (to > from) {
        component.SendScintilla(QsciScintillaBase::SCI_GETTEXTRANGE, static_cast<long>(from),
                                static_cast<long>(to), out.data());
    }
    out.resize(static_cast<std::size_t>(to - from));
    return out;
}

CodeViewText::CodeViewText(QsciScintillaBase& component, const SoftBreakMap& breaks)
    : component_(component), breaks_(breaks) {}

int CodeViewText::ViewLength() const {
    return static_cast<int>(component_.SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
}

int CodeViewText::Length() const {
    return ViewLength() - breaks_.Count();
}

std::string CodeViewText::TextRange(int start, int length) const {
    const int total = Length();
    start = std::clamp(start, 0, total);
    const int len = std::clamp(length, 0, total - start);
    const int from = breaks_.ToView(start);
    const int to = breaks_.ToView(start + len);
    std::string view = ViewRange(component_, from, to);
    if (breaks_.CountIn(from, to) == 0) return view;
    std::vector<int> inside;
    for (int b : breaks_.ViewPositions()) {
        if (b >= from && b < to) inside.push_back(b - from);
    }
    return WithoutBreaks(view, inside);
}

int CodeViewText::SelStart() const {
    return breaks_.ToDoc(
        static_cast<int>(component_.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART)));
}

int CodeViewText::CaretPosition() const {
    return breaks_.ToDoc(
        static_cast<int>(component_.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS)));
}

int CodeViewText::SelLength() const {
    return breaks_.ToDoc(
               static_cast<int>(component_.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND))) -
           SelStart();
}

void CodeViewText::SetSel(int start, int length) {
    const int len = Length();
    start = std::clamp(start, 0, len);
    const int end = std::clamp(start + std::max(length, 0), start, len);
    component_.SendScintilla(QsciScintillaBase::SCI_SETSEL,
                             static_cast<unsigned long>(breaks_.ToView(start)),
                             static_cast<long>(breaks_.ToView(end)));
}

CodeViewText::Match CodeViewText::Find(const std::string& text, int start, int flags) {
    const int len = Length();
    if (text.empty() || start < 0 || start > len) return Match{};
    component_.SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS,
                             static_cast<unsigned long>(flags));
    const int viewLen = ViewLength();
    int from = breaks_.ToView(start);
    Match found;
    while (from <= viewLen) {
        component_.SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE,
                                 static_cast<unsigned long>(from), static_cast<long>(viewLen));
        const long pos =
            component_.SendScintilla(QsciScintillaBase::SCI_SEARCHINTARGET,
                                     static_cast<uintptr_t>(text.size()), text.c_str());
        if (pos < 0) break;
        const auto end =
            static_cast<int>(component_.SendScintilla(QsciScintillaBase::SCI_GETTARGETEND));
        // A match that takes in one of the view's breaks is not in the document.
        if (breaks_.CountIn(static_cast<int>(pos), end) == 0) {
            found.pos = breaks_.ToDoc(static_cast<int>(pos));
            found.length = breaks_.ToDoc(end) - found.pos;
            break;
        }
        from = static_cast<int>(pos) + 1;
    }
    // An occurrence the view shows across one of its breaks.
    const int across = FindAcrossBreak(text, start, found.pos < 0 ? len + 1 : found.pos, flags);
    if (across >= 0) found = Match{across, static_cast<int>(text.size())};
    return found;
}

int CodeViewText::FindAcrossBreak(const std::string& text, int from, int before, int flags) {
    if (breaks_.Empty() || text.size() < 2) return -1;
    if (scratch_ == nullptr) {
        // A hidden component of the same make searches the text around each
        // break with the break taken out: the same rules for case and whole
        // words as the search in the view.
        scratch_ = new QsciScintillaBase(&component_);
        scratch_->hide();
        scratch_->SendScintilla(QsciScintillaBase::SCI_SETCODEPAGE,
                                static_cast<unsigned long>(QsciScintillaBase::SC_CP_UTF8));
        scratch_->SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0UL);
        scratch_->SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0L);
    }
    const int reach = static_cast<int>(text.size()) + 4;
    const std::vector<int>& all = breaks_.ViewPositions();
    for (int k = 0; k < static_cast<int>(all.size()); ++k) {
        const int at = breaks_.DocOfBreak(k);
        if (at <= from) continue;
        if (at - static_cast<int>(text.size()) + 1 >= before) break;
        const int windowStart = std::max(0, at - reach);
        const std::string window = TextRange(windowStart, 2 * reach);
        scratch_->SendScintilla(QsciScintillaBase::SCI_CLEARALL);
        scratch_->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT,
                                static_cast<uintptr_t>(window.size()), window.data());
        scratch_->SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS,
                                static_cast<unsigned long>(flags));
        int searchFrom = std::max(0, from - windowStart);
        while (true) {
            scratch_->SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE,
                                    static_cast<unsigned long>(searchFrom),
                                    static_cast<long>(window.size()));
            const long pos =
                scratch_->SendScintilla(QsciScintillaBase::SCI_SEARCHINTARGET,
                                        static_cast<uintptr_t>(text.size()), text.c_str());
            if (pos < 0) break;
            const int docPos = windowStart + static_cast<int>(pos);
            const int docEnd =
                windowStart +
                static_cast<int>(scratch_->SendScintilla(QsciScintillaBase::SCI_GETTARGETEND));
            if (docPos >= at) break;
            if (docEnd > at && docPos >= from && docPos < before) return docPos;
            searchFrom = static_cast<int>(pos) + 1;
        }
    }
    return -1;
}

}  // namespace tarlo
