#pragma once
// What a screen reader reads of the code view: the document's text, caret,
// selection and lines, from the view's own position map. Offsets are UTF-16
// units from the start of the document, as the accessibility layer counts;
// they are worked out from the last place asked for, so following the caret
// through a filing of megabytes costs the distance moved, not the document.
#include <QAccessibleWidget>

namespace tarlo {

class CodeView;

class CodeViewAccessible : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface {
  public:
    explicit CodeViewAccessible(CodeView* view);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;

    // Text
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                             int* startOffset, int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                            int* startOffset, int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // Editable text
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

  private:
    CodeView* view() const;
    // Document byte positions of the piece of kind `type` around `pos`.
    bool Boundaries(int pos, QAccessible::TextBoundaryType type, int* from, int* to) const;
    // The piece of kind `type` at UTF-16 `offset` (-1: the end), in bytes.
    bool PieceAt(int offset, QAccessible::TextBoundaryType type, int* from, int* to) const;
    QString Piece(int from, int to, int* startOffset, int* endOffset) const;
};

// Makes the code view answer screen readers through the object above.
void InstallCodeViewAccessibility();
// Tells screen readers of the caret, selection and text changes of `view`.
void ReportCodeViewToReaders(CodeView* view);

}  // namespace tarlo
