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
#include <Qsci/qsciscintilla.h>

#include <QKeySequence>
#include <QList>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "codeview/soft_breaks.h"
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
    // uncoloured text). Lets the undo history record a keystroke by its size.
    struct ChangedSpan {
        bool known = false;
        bool changed = false;
        int start = 0;
        int end = 0;
    };
    ChangedSpan TakeChangedSpan();
    const ChangedSpan& PendingSpan() const { return span_; }
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
    struct LineColumn {
        int line = 0;
        int column = 0;
    };
    LineColumn LineColumnOf(int pos);
    // Counts the edits of the document, so that what is shown of the caret
    // is worked out again only when something changed.
    int EditCount() const { return editCount_; }
    // The position one character after `pos`.
    int PositionAfter(int pos) const;

    // The view's own breaks of long lines. On for the editing view; a print
    // area shows the lines as they are.
    void SetSoftBreaks(bool on);
    int SoftBreakCount() const { return breaks_.Count(); }
    // What the component holds, its own breaks included.
    std::string ViewTextUtf8() const;
    int ToViewPosition(int pos) const { return breaks_.ToView(pos); }
    int ToDocumentPosition(int viewPos) const { return breaks_.ToDoc(viewPos); }

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
    int StyleFor(WinColor colour, double pointSize);
    void RestyleRange(int start, int length, bool setColour, WinColor colour, bool setSize,
                      double pointSize);
    void onModified(int pos, int mtype, const char* text, int len, int added, int line, int foldNow,
                    int foldPrev, int token, int annotationLinesAdded);
    // The component's text of a view range, breaks included.
    std::string ViewRange(int from, int to) const;
    // Runs after the outermost edit of an action: the look of inserted text,
    // the breaks around the edit, then one Change.
    void Settle();
    void QueueSettle();
    void ApplyPendingLooks();
    void Rebreak(int from, int to);
    void InsertBreak(int viewPos);
    void RemoveBreak(int viewPos);
    void MarkContinuedLines(int fromLine, int toLine);
    void LoadView(std::string_view text);
    // Document edits as the component reports them, in view positions.
    void DocumentInserted(int viewPos, const char* text, int length);
    void DocumentDeleted(int viewPos, int length);
    int FindAcrossBreak(const std::string& text, int from, int before, int options);
    struct Units {
        int points = 0;  // characters
        int utf16 = 0;
        bool lineEnd = false;
    };
    Units UnitsIn(int from, int to) const;  // document range

    struct Look {
        WinColor colour;
        double pointSize;
    };
    std::vector<Look> styles_;            // style number -> look
    std::map<quint64, int> styleOfLook_;  // (colour << 24 | size in 1/100 pt) -> style number
    int batchDepth_ = 0;
    bool changedInBatch_ = false;
    void NoteChange(int pos, int inserted, int deleted);
    ChangedSpan span_;
    bool typingSet_ = false;
    int typingPos_ = 0;
    WinColor typingColour_ = kWhite;

    SoftBreakMap breaks_;
    int editCount_ = 0;
    bool tellReaders_ = false;
    bool softBreaks_ = true;
    int internal_ = 0;  // > 0 while the view moves its own breaks
    bool settleQueued_ = false;
    bool settling_ = false;
    // A stretch of view positions that moves with edits.
    struct ViewSpan {
        int from = 0;
        int to = 0;
        void Inserted(int pos, int length);
        void Deleted(int pos, int length);
    };
    struct PendingLook {
        ViewSpan span;
        int style = 0;
    };
    std::vector<PendingLook> pendingLooks_;
    bool dirty_ = false;
    ViewSpan dirtySpan_;
    // Known points for the caret panels and for screen readers.
    struct ColumnAnchor {
        bool valid = false;
        int line = 0;
        int lineStart = 0;
        int pos = 0;
        int column = 0;
    } column_;
    struct Utf16Anchor {
        bool valid = false;
        int pos = 0;
        int offset = 0;
        bool totalValid = false;
        int total = 0;
    } utf16_;
    // The component tells of an insertion before the text is in, without
    // the text: what it means for the counts is settled once it is in.
    struct PendingInsert {
        bool active = false;
        int pos = 0;
        int length = 0;
        int offset = 0;
        bool readers = false;
    } pendingInsert_;
    void FinishInsert();
    void AnchorsFollowEdit(int pos, int removedBytes, const Units& removed, int insertedBytes,
                           const Units& inserted);
    QsciScintillaBase* scratch_ = nullptr;  // searches the text around a break
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
