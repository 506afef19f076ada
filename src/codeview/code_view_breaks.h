#pragma once
// The code view's own line feeds in long lines (soft_breaks.h): putting the
// text into the component with them, re-breaking the lines an action touched
// once it ends, the hidden mark on each and the margin mark of each line
// that goes on. Only this part edits the component's text behind the
// document's back; while it does, the edits are its own (MovingOwnBreaks).
#include <Qsci/qsciscintilla.h>

#include <string_view>

#include "codeview/soft_breaks.h"
#include "codeview/tracked_positions.h"

namespace tarlo {

class CodeViewBreaks {
  public:
    CodeViewBreaks(QsciScintilla& component, TrackedPositions& positions);
    CodeViewBreaks(const CodeViewBreaks&) = delete;
    CodeViewBreaks& operator=(const CodeViewBreaks&) = delete;

    // The hidden mark and the margin of continued lines.
    void SetUp();
    const SoftBreakMap& Map() const { return map_; }
    bool On() const { return on_; }
    void SetOn(bool on) { on_ = on; }
    bool MovingOwnBreaks() const { return internal_ > 0; }

    // Puts `text` into the component whole, broken where its long lines
    // need it; nothing waits to be re-broken after.
    void Load(std::string_view text);
    // An edit of the document touched view stretch [from, to) (told after
    // the tracked positions moved): the lines around it are re-broken when
    // the action ends.
    void Touched(int from, int to);
    void Settle();

  private:
    void Rebreak(int from, int to);
    void InsertBreak(int viewPos);
    void RemoveBreak(int viewPos);
    void MarkContinuedLines(int fromLine, int toLine);
    void ShowMargin();
    long Send(unsigned int message, unsigned long w = 0, long l = 0) const {
        return component_.SendScintilla(message, w, l);
    }

    QsciScintilla& component_;
    TrackedPositions& positions_;
    SoftBreakMap map_;
    bool on_ = true;
    int internal_ = 0;  // > 0 while the view moves its own breaks
    // The stretch of view positions touched since the last re-break.
    bool dirty_ = false;
    TrackedPositions::Id dirtyFrom_;
    TrackedPositions::Id dirtyTo_;
};

}  // namespace tarlo
