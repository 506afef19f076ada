#include "codeview/code_view_readers.h"

#include <algorithm>
#include <vector>

namespace tarlo {

using Moved = TrackedPositions::Moved;

CodeViewReaders::CodeViewReaders(QsciScintillaBase& component, const SoftBreakMap& breaks,
                                 TrackedPositions& positions, const CodeViewText& text)
    : component_(component), breaks_(breaks), positions_(positions), text_(text) {
    column_.lineStart = positions_.Track(0, TrackedPositions::Stick::Left);
    column_.pos = positions_.Track(0, TrackedPositions::Stick::Left);
    utf16_.pos = positions_.Track(0, TrackedPositions::Stick::Left);
}

int CodeViewReaders::DocumentLength() const {
    return text_.Length();
}

int CodeViewReaders::LineOfPosition(int pos) const {
    const int view = breaks_.ToView(std::clamp(pos, 0, DocumentLength()));
    return static_cast<int>(component_.SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION,
                                                     static_cast<unsigned long>(view))) -
           breaks_.CountBefore(view);
}

int CodeViewReaders::LineStartOf(int line) const {
    // Breaks that end a shown line of an earlier document line.
    const std::vector<int>& all = breaks_.ViewPositions();
    int lo = 0;
    int hi = static_cast<int>(all.size());
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        const int shownLine = static_cast<int>(component_.SendScintilla(
            QsciScintillaBase::SCI_LINEFROMPOSITION,
            static_cast<unsigned long>(all[static_cast<std::size_t>(mid)])));
        if (shownLine - mid < line) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    const int view = static_cast<int>(component_.SendScintilla(
        QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line + lo)));
    return view < 0 ? DocumentLength() : breaks_.ToDoc(view);
}

CodeViewReaders::Units CodeViewReaders::UnitsIn(int from, int to) const {
    Units u;
    if (to <= from) return u;
    const int vFrom = breaks_.ToView(from);
    const int vTo = breaks_.ToView(to);
    const auto* chars = reinterpret_cast<const char*>(component_.SendScintilla(
        QsciScintillaBase::SCI_GETRANGEPOINTER, static_cast<unsigned long>(vFrom),
        static_cast<long>(vTo - vFrom)));
    if (chars == nullptr) return u;
    const std::vector<int>& all = breaks_.ViewPositions();
    auto next = std::lower_bound(all.begin(), all.end(), vFrom);
    for (int v = vFrom; v < vTo; ++v) {
        if (next != all.end() && *next == v) {
            ++next;
            continue;
        }
        const auto c = static_cast<unsigned char>(chars[v - vFrom]);
        if ((c & 0xC0) != 0x80) {
            ++u.points;
            ++u.utf16;
        }
        if (c >= 0xF0) ++u.utf16;
        if (c == '\r' || c == '\n') u.lineEnd = true;
    }
    return u;
}

int CodeViewReaders::ColumnInCharacters(int pos) const {
    return UnitsIn(LineStartOf(LineOfPosition(pos)), pos).points;
}

CodeViewReaders::LineColumn CodeViewReaders::LineColumnOf(int pos) {
    FinishInsert();
    pos = std::clamp(pos, 0, DocumentLength());
    const int line = LineOfPosition(pos);
    int column = 0;
    if (column_.valid && column_.line == line) {
        const int known = Doc(column_.pos);
        column = pos >= known ? column_.column + UnitsIn(known, pos).points
                              : column_.column - UnitsIn(pos, known).points;
    } else {
        const int lineStart = LineStartOf(line);
        Place(column_.lineStart, lineStart);
        column = UnitsIn(lineStart, pos).points;
    }
    column_.valid = true;
    column_.line = line;
    Place(column_.pos, pos);
    column_.column = column;
    return LineColumn{line, column};
}

int CodeViewReaders::PositionAfter(int pos) const {
    const int len = DocumentLength();
    if (pos >= len) return len;
    int view = breaks_.ToView(std::max(pos, 0));
    if (breaks_.IsBreakAt(view)) ++view;
    return breaks_.ToDoc(static_cast<int>(component_.SendScintilla(
        QsciScintillaBase::SCI_POSITIONAFTER, static_cast<unsigned long>(view))));
}

int CodeViewReaders::Utf16Length() {
    FinishInsert();
    if (!utf16_.totalValid) {
        utf16_.total = UnitsIn(0, DocumentLength()).utf16;
        utf16_.totalValid = true;
    }
    return utf16_.total;
}

int CodeViewReaders::Utf16OffsetOf(int pos) {
    FinishInsert();
    pos = std::clamp(pos, 0, DocumentLength());
    if (!utf16_.valid) {
        utf16_.valid = true;
        Place(utf16_.pos, 0);
        utf16_.offset = 0;
    }
    const int known = Doc(utf16_.pos);
    const int offset = pos >= known ? utf16_.offset + UnitsIn(known, pos).utf16
                                    : utf16_.offset - UnitsIn(pos, known).utf16;
    Place(utf16_.pos, pos);
    utf16_.offset = offset;
    return offset;
}

int CodeViewReaders::PositionOfUtf16(int offset) {
    FinishInsert();
    const int len = DocumentLength();
    offset = std::clamp(offset, 0, Utf16Length());
    if (!utf16_.valid) {
        utf16_.valid = true;
        Place(utf16_.pos, 0);
        utf16_.offset = 0;
    }
    // Walk from the known point, one character at a time.
    int pos = Doc(utf16_.pos);
    int at = utf16_.offset;
    while (at < offset && pos < len) {
        const int next = PositionAfter(pos);
        at += UnitsIn(pos, next).utf16;
        pos = next;
    }
    while (at > offset && pos > 0) {
        int view = breaks_.ToView(pos);
        if (view > 0 && breaks_.IsBreakAt(view - 1)) --view;
        const int prev = breaks_.ToDoc(static_cast<int>(component_.SendScintilla(
            QsciScintillaBase::SCI_POSITIONBEFORE, static_cast<unsigned long>(view))));
        at -= UnitsIn(prev, pos).utf16;
        pos = prev;
    }
    Place(utf16_.pos, pos);
    utf16_.offset = at;
    return pos;
}

void CodeViewReaders::Forget() {
    column_.valid = false;
    utf16_.valid = false;
    utf16_.offset = 0;
    utf16_.totalValid = false;
    utf16_.total = 0;
    pendingInsert_.active = false;
}

void CodeViewReaders::Inserting(int pos, int length, bool told) {
    const int offset = told ? Utf16OffsetOf(pos) : 0;
    pendingInsert_ = PendingInsert{true, pos, length, offset, told};
}

void CodeViewReaders::NoteMoves() {
    moves_ = Moves{positions_.LastMove(column_.pos), positions_.LastMove(column_.lineStart),
                   positions_.LastMove(utf16_.pos)};
}

void CodeViewReaders::FinishInsert() {
    if (!pendingInsert_.active) return;
    const PendingInsert p = pendingInsert_;
    pendingInsert_.active = false;
    FollowEdit(Units{}, UnitsIn(p.pos, p.pos + p.length));
    if (p.told && tell_) tell_(Change{p.offset, std::string(), text_.TextRange(p.pos, p.length)});
}

CodeViewReaders::Units CodeViewReaders::Deleting(int pos, int length, bool told) {
    const Units units = UnitsIn(pos, pos + length);
    if (told) {
        const int offset = Utf16OffsetOf(pos);
        const std::string removed = text_.TextRange(pos, length);
        if (tell_) tell_(Change{offset, removed, std::string()});
    }
    return units;
}

void CodeViewReaders::Deleted(const Units& removed) {
    FollowEdit(removed, Units{});
}

void CodeViewReaders::FollowEdit(const Units& removed, const Units& inserted) {
    if (utf16_.totalValid) utf16_.total += inserted.utf16 - removed.utf16;
    // A known point the edit shifted keeps its count, moved by the edit's;
    // one the edit swallowed is forgotten.
    if (utf16_.valid) {
        if (moves_.utf16Pos == Moved::Swallowed) {
            utf16_.valid = false;
        } else if (moves_.utf16Pos == Moved::Shifted) {
            utf16_.offset += inserted.utf16 - removed.utf16;
        }
    }
    if (column_.valid && moves_.columnPos != Moved::None) {
        if (moves_.columnPos == Moved::Swallowed || removed.lineEnd || inserted.lineEnd) {
            column_.valid = false;
        } else if (moves_.lineStart == Moved::None) {
            // Only the column's own line changed before it.
            column_.column += inserted.points - removed.points;
        }
    }
}

}  // namespace tarlo
