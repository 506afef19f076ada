#pragma once
// The code view `txtCode`: the HTML source in a QScintilla editor. Text is
// UTF-8 and positions are byte offsets, the same offsets the logic uses. Each
// character keeps its own colour and size, as in a rich-text box: one style
// per (colour, size) pair in use.
//
// Long lines are shown in pieces (soft_breaks.h): the component holds a
// break of its own every couple of kilobytes of such a line. Every position,
// length, text and look this class hands out or takes is the document's, as
// written; only the component inside sees the breaks.
//
// The class is the face of parts that each do one job: the text store
// (code_view_text.h), the looks (code_view_looks.h), the breaks
// (code_view_breaks.h), what readers and the caret panels ask
// (code_view_readers.h) and the record of changes (code_view_changes.h).
// Every place any of them keeps in the text is a tracked position
// (tracked_positions.h), moved by one call when the component tells of an
// edit (code_view_input.cpp, with the keys and the mouse).
#include <Qsci/qsciscintilla.h>

#include <QKeySequence>
#include <QList>

#include <string>
#include <string_view>
#include <vector>

#include "codeview/code_view_breaks.h"
#include "codeview/code_view_changes.h"
#include "codeview/code_view_looks.h"
#include "codeview/code_view_readers.h"
#include "codeview/code_view_text.h"
#include "codeview/soft_breaks.h"
#include "codeview/tracked_positions.h"
#include "document/document.h"
#include "text/byte_range.h"

namespace tarlo {

class CodeView : public QsciScintilla, public CodeText {
    Q_OBJECT
  public:
    explicit CodeView(QWidget* parent = nullptr);

    // Option bits of FindInCode.
    static constexpr int kWholeWord = 2;
    static constexpr int kMatchCase = 4;
    static constexpr int kNoHighlight = 8;

    // The whole text.
    std::string TextUtf8() const override;
    void SetTextUtf8(std::string_view text) override;
    // One change, the caret after the new text.
    void ReplaceRange(int start, int length, std::string_view text) override;
    int Length() const override;  // bytes
    void PaintAll(WinColor colour, double pointSize) override;
    void ResizeAll(WinColor colour, double pointSize) override;
    void SetLineBreak(LineBreak kind) override;

    // Selection in byte offsets.
    int SelStart() const;
    // Where the caret stands (the moving end of the selection).
    int CaretPosition() const;
    int SelLength() const;
    void SetSel(int start, int length);
    // Replaces the selection as typing would: one change, caret after the text.
    void ReplaceSelection(std::string_view text);

    // Colour and size of stretches of text.
    void SetRangeColour(int start, int length, WinColor colour);
    void SetRangeSize(int start, int length, double pointSize);
    void ApplyRuns(const std::vector<StyleRun>& runs);
    std::vector<StyleRun> Runs() const;
    // The runs and the text of [start, start + length) only.
    std::vector<StyleRun> RunsIn(int start, int length) const;
    std::string TextRange(int start, int length) const;

    // The stretch [start, end) of today's text outside which neither text
    // nor look changed since the last call; `known` is false before the
    // first call and after a change no stretch describes (the look of
    // uncoloured text).
    using ChangedSpan = ChangeRecord::Span;
    ChangedSpan TakeChangedSpan();
    ChangedSpan PendingSpan() const { return changes_.Pending(); }
    // Told of every change of the document (document offsets): text just
    // put in, or a stretch about to lose its text or its looks, which can
    // still be read. The undo history keeps what each change takes away.
    class EditWatcher {
      public:
        virtual ~EditWatcher() = default;
        virtual void Inserted(int start, int length) = 0;
        virtual void Removing(int start, int length) = 0;
        virtual void Restyling(int start, int length) = 0;
    };
    void SetEditWatcher(EditWatcher* watcher) { watcher_ = watcher; }
    WinColor ColourAt(int pos) const;
    double SizeAt(int pos) const;
    // The colour and size that typed text takes when nothing precedes it.
    void SetDefaultLook(WinColor colour, double pointSize);
    // The colour the next typed text takes at the caret, as a rich-text box
    // sets it: it wins over the colour of the character before, for text
    // inserted where the caret stood when it was set.
    void SetTypingColour(WinColor colour);
    void SetBackgroundColour(WinColor colour);

    // The window's own keys: the component's bindings of these sequences are
    // taken off for good, so a menu's key reaches the menu (Ctrl+T would
    // otherwise swap two lines, Shift+Ins paste). The component's other
    // editing keys stay.
    void ReleaseKeys(const QList<QKeySequence>& keys);
    // Whether the component itself acts on this key (arrows, Ctrl+C, ...).
    bool IsComponentKey(const QKeyEvent& key) const;

    // First occurrence at or after start (no wrap-around), or -1.
    int FindInCode(const std::string& text, int start, int options);

    // Line (0-based, as written) and column in characters.
    int LineOfPosition(int pos) const;
    int LineStartOf(int line) const;
    int ColumnInCharacters(int pos) const;
    // The line and column of `pos`, counted on from the last position asked
    // for while it stays on the same line: a key costs its own width, not
    // the width of the line before it.
    using LineColumn = CodeViewReaders::LineColumn;
    LineColumn LineColumnOf(int pos);
    // Counts the edits of the document, so that what is shown of the caret
    // is worked out again only when something changed.
    int EditCount() const { return editCount_; }
    // The position one character after `pos`.
    int PositionAfter(int pos) const;

    // The view's own breaks of long lines. On for the editing view; a print
    // area shows the lines as they are.
    void SetSoftBreaks(bool on);
    int SoftBreakCount() const { return breaks_.Map().Count(); }
    // What the component holds, its own breaks included.
    std::string ViewTextUtf8() const;
    int ToViewPosition(int pos) const { return breaks_.Map().ToView(pos); }
    int ToDocumentPosition(int viewPos) const { return breaks_.Map().ToDoc(viewPos); }

    // The text in UTF-16 units, as screen readers count it. Kept from one
    // known point (the last asked for), so reading near the caret costs
    // the distance, not the document.
    int Utf16Length();
    // Whether changes are told to screen readers: while one listens on the
    // accessibility bus, or when asked (a reader inside the program).
    bool ReadersListening() const;
    void TellReaders(bool always) { tellReaders_ = always; }
    int Utf16OffsetOf(int pos);
    int PositionOfUtf16(int offset);

  signals:
    // Raised once after every change of the text, typed, pasted or assigned.
    void Change();
    // Key and mouse events that move the caret.
    void KeyDown();
    void KeyUp();
    void MouseDown();
    void MouseUp();
    // Files dropped on the code view: they are opened, not pasted as text.
    void FilesDropped(const QList<QUrl>& files);
    // The caret or the selection moved (for screen readers).
    void CaretMoved();
    // A change of the document, in UTF-16 units from its start, with the
    // text it removed and inserted; raised only while a screen reader
    // listens (counting costs the size of the change).
    void TextChangedForReaders(int offset, const QString& removed, const QString& inserted);

  public slots:
    void cut() override;
    void paste() override;

  protected:
    QMimeData* toMimeData(const QByteArray& text, bool rectangular) const override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

  private:
    friend class ChangeBatch;
    void onModified(int pos, int mtype, const char* text, int len, int added, int line, int foldNow,
                    int foldPrev, int token, int annotationLinesAdded);
    // Puts the text into the component whole; nothing known of the old
    // text is kept.
    void LoadView(std::string_view text);
    // Document edits as the component reports them, in view positions.
    void DocumentInserted(int viewPos, int length);
    void DocumentDeleted(int viewPos, int length);
    // Runs after the outermost edit of an action: the look of inserted text,
    // the breaks around the edit, then one Change.
    void Settle();
    void QueueSettle();

    // Declared in the order they are made: the registry first, as every
    // part keeps its places in it.
    TrackedPositions positions_;
    CodeViewBreaks breaks_;
    CodeViewText text_;
    ChangeRecord changes_;
    CodeViewLooks looks_;
    CodeViewReaders readers_;

    int batchDepth_ = 0;
    bool changedInBatch_ = false;
    int editCount_ = 0;
    bool tellReaders_ = false;
    EditWatcher* watcher_ = nullptr;
    bool settleQueued_ = false;
    bool settling_ = false;
};

// Groups the edits of one user or program action into one Change.
class ChangeBatch {
  public:
    explicit ChangeBatch(CodeView* view);
    ~ChangeBatch();
    ChangeBatch(const ChangeBatch&) = delete;
    ChangeBatch& operator=(const ChangeBatch&) = delete;

  private:
    CodeView* view_;
};

}  // namespace tarlo
