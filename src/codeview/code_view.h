#pragma once
// The code view `txtCode`: the HTML source in a QScintilla editor. Text is
// UTF-8 and positions are byte offsets, the same offsets the logic uses. Each
// character keeps its own colour and size, as in a rich-text box: one style
// per (colour, size) pair in use.
#include <Qsci/qsciscintilla.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

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

    // Selection in byte offsets.
    int SelStart() const;
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

    // First occurrence at or after start (no wrap-around), or -1.
    int FindInCode(const std::string& text, int start, int options);

    // Caret line (0-based, as laid out) and column in characters.
    int LineOfPosition(int pos) const;
    int LineStartOf(int line) const;
    int ColumnInCharacters(int pos) const;

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

  public slots:
    void cut() override;
    void paste() override;

  protected:
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
