#include "codeview/code_view_accessible.h"

#include <QFontMetrics>
#include <QWidget>
#include <algorithm>

#include "codeview/code_view.h"

namespace tarlo {

namespace {

using Sci = QsciScintillaBase;

int ViewLineStart(const CodeView* v, int viewLine) {
    return static_cast<int>(
        v->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(viewLine)));
}

}  // namespace

CodeViewAccessible::CodeViewAccessible(CodeView* view)
    : QAccessibleWidget(view, QAccessible::EditableText) {}

CodeView* CodeViewAccessible::view() const {
    return static_cast<CodeView*>(widget());
}

void* CodeViewAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface) {
        return static_cast<QAccessibleEditableTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State CodeViewAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.editable = !view()->isReadOnly();
    s.readOnly = view()->isReadOnly();
    s.multiLine = true;
    s.selectableText = true;
    return s;
}

QString CodeViewAccessible::text(QAccessible::Text t) const {
    // The value of a filing is megabytes: readers take it through the text
    // interface piece by piece, never as one value.
    if (t == QAccessible::Value) return QString();
    return QAccessibleWidget::text(t);
}

void CodeViewAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    CodeView* v = view();
    if (selectionIndex != 0 || v->SelLength() == 0) return;
    const int start = v->SelStart();
    *startOffset = v->Utf16OffsetOf(start);
    *endOffset = v->Utf16OffsetOf(start + v->SelLength());
}

int CodeViewAccessible::selectionCount() const {
    return view()->SelLength() > 0 ? 1 : 0;
}

void CodeViewAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void CodeViewAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex != 0) return;
    CodeView* v = view();
    v->SetSel(v->CaretPosition(), 0);
}

void CodeViewAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex != 0) return;
    CodeView* v = view();
    const int from = v->PositionOfUtf16(std::min(startOffset, endOffset));
    const int to = v->PositionOfUtf16(std::max(startOffset, endOffset));
    v->SetSel(from, to - from);
}

int CodeViewAccessible::cursorPosition() const {
    CodeView* v = view();
    return v->Utf16OffsetOf(v->CaretPosition());
}

void CodeViewAccessible::setCursorPosition(int position) {
    CodeView* v = view();
    v->SetSel(v->PositionOfUtf16(position), 0);
    v->ensureCursorVisible();
}

QString CodeViewAccessible::text(int startOffset, int endOffset) const {
    CodeView* v = view();
    if (endOffset == -1) endOffset = v->Utf16Length();
    if (endOffset <= startOffset) return QString();
    const int from = v->PositionOfUtf16(startOffset);
    const int to = v->PositionOfUtf16(endOffset);
    const std::string bytes = v->TextRange(from, to - from);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

bool CodeViewAccessible::Boundaries(int pos, QAccessible::TextBoundaryType type, int* from,
                                    int* to) const {
    CodeView* v = view();
    const int len = v->Length();
    pos = std::clamp(pos, 0, len);
    switch (type) {
        case QAccessible::CharBoundary:
            if (pos >= len) return false;
            *from = pos;
            *to = v->PositionAfter(pos);
            return true;
        case QAccessible::WordBoundary: {
            const auto at = static_cast<unsigned long>(v->ToViewPosition(pos));
            int start = v->ToDocumentPosition(
                static_cast<int>(v->SendScintilla(Sci::SCI_WORDSTARTPOSITION, at, 1L)));
            int end = v->ToDocumentPosition(
                static_cast<int>(v->SendScintilla(Sci::SCI_WORDENDPOSITION, at, 1L)));
            if (start == end) {
                // Between words: the word before counts, as in other text views.
                end = v->ToDocumentPosition(
                    static_cast<int>(v->SendScintilla(Sci::SCI_WORDSTARTPOSITION, at, 0L)));
                if (end == 0) return false;
                start = v->ToDocumentPosition(static_cast<int>(
                    v->SendScintilla(Sci::SCI_WORDSTARTPOSITION,
                                     static_cast<unsigned long>(v->ToViewPosition(end)), 1L)));
            }
            *from = start;
            *to = end;
            return true;
        }
        case QAccessible::SentenceBoundary:
        case QAccessible::ParagraphBoundary:
        case QAccessible::LineBoundary: {
            // Lines as shown: a long line of a filing is read piece by piece,
            // as it is laid out on the screen.
            // A place where the view breaks the line starts the next shown line.
            int at = v->ToViewPosition(pos);
            if (pos < len && v->ToDocumentPosition(at + 1) == pos) ++at;
            const int line = static_cast<int>(
                v->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(at)));
            const int start = ViewLineStart(v, line);
            int end = ViewLineStart(v, line + 1);
            if (end < 0 || end <= start)
                end = static_cast<int>(v->SendScintilla(Sci::SCI_GETLENGTH));
            *from = v->ToDocumentPosition(start);
            *to = v->ToDocumentPosition(end);
            return *to > *from || pos < len;
        }
        case QAccessible::NoBoundary:
            *from = 0;
            *to = len;
            return true;
    }
    return false;
}

QString CodeViewAccessible::Piece(int from, int to, int* startOffset, int* endOffset) const {
    CodeView* v = view();
    *startOffset = v->Utf16OffsetOf(from);
    *endOffset = v->Utf16OffsetOf(to);
    const std::string bytes = v->TextRange(from, to - from);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

bool CodeViewAccessible::PieceAt(int offset, QAccessible::TextBoundaryType type, int* from,
                                 int* to) const {
    CodeView* v = view();
    if (offset == -1) offset = v->Utf16Length();
    if (offset < 0 || offset > v->Utf16Length()) return false;
    return Boundaries(v->PositionOfUtf16(offset), type, from, to);
}

QString CodeViewAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                         int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = -1;
    int from = 0;
    int to = 0;
    if (!PieceAt(offset, boundaryType, &from, &to)) return QString();
    return Piece(from, to, startOffset, endOffset);
}

QString CodeViewAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                             int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = -1;
    int from = 0;
    int to = 0;
    if (!PieceAt(offset, boundaryType, &from, &to) || from == 0) return QString();
    // The piece that holds the character just before this one.
    int before = from - 1;
    while (before > 0 && view()->PositionAfter(before) > from) --before;
    if (!Boundaries(before, boundaryType, &from, &to)) return QString();
    return Piece(from, to, startOffset, endOffset);
}

QString CodeViewAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = -1;
    int from = 0;
    int to = 0;
    if (!PieceAt(offset, boundaryType, &from, &to) || to >= view()->Length()) return QString();
    if (!Boundaries(to, boundaryType, &from, &to)) return QString();
    return Piece(from, to, startOffset, endOffset);
}

int CodeViewAccessible::characterCount() const {
    return view()->Utf16Length();
}

QRect CodeViewAccessible::characterRect(int offset) const {
    CodeView* v = view();
    const int pos = v->PositionOfUtf16(offset);
    const auto at = static_cast<unsigned long>(v->ToViewPosition(pos));
    const int x = static_cast<int>(v->SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0UL, at));
    const int y = static_cast<int>(v->SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, at));
    const int height = static_cast<int>(v->SendScintilla(Sci::SCI_TEXTHEIGHT, 0UL));
    const int width =
        std::max(1, static_cast<int>(v->SendScintilla(
                        Sci::SCI_POINTXFROMPOSITION, 0UL,
                        static_cast<long>(v->ToViewPosition(v->PositionAfter(pos))))) -
                        x);
    QRect r(x, y, width, height);
    r.moveTo(v->viewport()->mapToGlobal(r.topLeft()));
    return r;
}

int CodeViewAccessible::offsetAtPoint(const QPoint& point) const {
    CodeView* v = view();
    const QPoint p = v->viewport()->mapFromGlobal(point);
    const long at = v->SendScintilla(Sci::SCI_POSITIONFROMPOINTCLOSE,
                                     static_cast<unsigned long>(p.x()), static_cast<long>(p.y()));
    return at < 0 ? -1 : v->Utf16OffsetOf(v->ToDocumentPosition(static_cast<int>(at)));
}

void CodeViewAccessible::scrollToSubstring(int startIndex, int endIndex) {
    CodeView* v = view();
    const int from = v->ToViewPosition(v->PositionOfUtf16(startIndex));
    const int to = v->ToViewPosition(v->PositionOfUtf16(endIndex));
    v->SendScintilla(Sci::SCI_SCROLLRANGE, static_cast<unsigned long>(to), static_cast<long>(from));
}

QString CodeViewAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = offset;
    return QString();
}

void CodeViewAccessible::deleteText(int startOffset, int endOffset) {
    replaceText(startOffset, endOffset, QString());
}

void CodeViewAccessible::insertText(int offset, const QString& text) {
    replaceText(offset, offset, text);
}

void CodeViewAccessible::replaceText(int startOffset, int endOffset, const QString& text) {
    CodeView* v = view();
    if (v->isReadOnly()) return;
    const int from = v->PositionOfUtf16(std::min(startOffset, endOffset));
    const int to = v->PositionOfUtf16(std::max(startOffset, endOffset));
    // The reader's edit leaves the user's caret and selection where they
    // were in the text.
    const int selStart = v->SelStart();
    const int selEnd = selStart + v->SelLength();
    const bool caretAtStart = v->CaretPosition() == selStart;
    const QByteArray bytes = text.toUtf8();
    const int delta = static_cast<int>(bytes.size()) - (to - from);
    const auto follow = [&](int p) {
        if (p < from) return p;
        if (p >= to) return p + delta;
        return from + static_cast<int>(bytes.size());
    };
    v->SetSel(from, to - from);
    v->ReplaceSelection(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    const int a = follow(selStart);
    const int b = follow(selEnd);
    v->SetSel(a, b - a);
    if (caretAtStart && b > a) {
        v->SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(v->ToViewPosition(b)),
                         static_cast<long>(v->ToViewPosition(a)));
    }
}

namespace {

QAccessibleInterface* CodeViewFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("tarlo::CodeView") && object != nullptr &&
        object->isWidgetType()) {
        return new CodeViewAccessible(static_cast<CodeView*>(object));
    }
    return nullptr;
}

}  // namespace

void InstallCodeViewAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(CodeViewFactory);
}

void ReportCodeViewToReaders(CodeView* view) {
    QObject::connect(view, &CodeView::CaretMoved, view, [view] {
        if (!view->ReadersListening()) return;
        const int caret = view->Utf16OffsetOf(view->CaretPosition());
        QAccessibleTextCursorEvent moved(view, caret);
        QAccessible::updateAccessibility(&moved);
        if (view->SelLength() > 0) {
            const int start = view->Utf16OffsetOf(view->SelStart());
            const int end = view->Utf16OffsetOf(view->SelStart() + view->SelLength());
            QAccessibleTextSelectionEvent selected(view, start, end);
            QAccessible::updateAccessibility(&selected);
        }
    });
    QObject::connect(view, &CodeView::TextChangedForReaders, view,
                     [view](int offset, const QString& removed, const QString& inserted) {
                         if (!removed.isEmpty()) {
                             QAccessibleTextRemoveEvent e(view, offset, removed);
                             QAccessible::updateAccessibility(&e);
                         }
                         if (!inserted.isEmpty()) {
                             QAccessibleTextInsertEvent e(view, offset, inserted);
                             QAccessible::updateAccessibility(&e);
                         }
                     });
}

}  // namespace tarlo
