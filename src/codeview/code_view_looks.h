#pragma once
// The looks of the code view's characters: one component style per (colour,
// size) pair in use, as a rich-text box keeps a look with each character;
// painting and reading stretches of looks through the view's own breaks; the
// look typed text takes; the background and the font.
#include <Qsci/qsciscintillabase.h>

#include <map>
#include <vector>

#include "codeview/code_view_changes.h"
#include "codeview/soft_breaks.h"
#include "codeview/tracked_positions.h"
#include "text/byte_range.h"

namespace tarlo {

class CodeViewLooks {
  public:
    CodeViewLooks(QsciScintillaBase& component, const SoftBreakMap& breaks,
                  TrackedPositions& positions, ChangeRecord& changes);
    CodeViewLooks(const CodeViewLooks&) = delete;
    CodeViewLooks& operator=(const CodeViewLooks&) = delete;

    // The font and the look of text nothing has coloured yet.
    void SetUp();
    void SetDefaultLook(WinColor colour, double pointSize);
    void SetBackgroundColour(WinColor colour);
    // The colour typed text takes at document position `pos`.
    void SetTypingColour(int pos, WinColor colour);

    // Stretches of the document, clamped to its text.
    void Restyle(int start, int length, bool setColour, WinColor colour, bool setSize,
                 double pointSize);
    void ApplyRuns(const std::vector<StyleRun>& runs);
    std::vector<StyleRun> RunsIn(int start, int length) const;
    WinColor ColourAt(int pos) const;
    double SizeAt(int pos) const;

    // Text typed or pasted at view position `viewPos` (document `pos`),
    // told before the positions moved: the look it is to take, or -1 for
    // the component's own choice.
    int StyleOfInsertion(int viewPos, int pos, int length);
    // After the positions moved: the inserted view stretch waits for its look
    // until the action ends (the component styles it only once it is in).
    void Pend(int viewPos, int length, int style);
    // After the positions moved for a deletion of document text.
    void Deleted();
    // Paints the looks that wait; every reading of looks does this first.
    void ApplyPending() const;
    void DropPending();

  private:
    struct Look {
        WinColor colour;
        double pointSize;
    };
    int StyleFor(WinColor colour, double pointSize);
    Look LookOf(int style) const;
    int StyleAtView(int viewPos) const;
    int DocumentLength() const;

    QsciScintillaBase& component_;
    const SoftBreakMap& breaks_;
    TrackedPositions& positions_;
    ChangeRecord& changes_;
    std::vector<Look> styles_;            // style number -> look
    std::map<quint64, int> styleOfLook_;  // (colour << 24 | size in 1/100 pt) -> style number
    // Inserted stretches (view positions) and their looks, painted when the
    // action ends.
    struct PendingLook {
        TrackedPositions::Id from;
        TrackedPositions::Id to;
        int style = 0;
    };
    mutable std::vector<PendingLook> pending_;
    // The typing colour wins for text inserted where the caret stood when it
    // was set; an edit before that place takes it back.
    bool typingSet_ = false;
    TrackedPositions::Id typingPos_;
    WinColor typingColour_ = kWhite;
};

}  // namespace tarlo
