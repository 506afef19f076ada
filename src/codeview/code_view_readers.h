#pragma once
// What the caret panels and screen readers ask of the code view: lines,
// columns in characters and offsets in UTF-16 units. Each is counted on from
// a known place (the last one asked for), kept as a tracked position, so a
// key costs its own width rather than the width of the line or the document
// before it.
#include <Qsci/qsciscintillabase.h>

#include <functional>
#include <string>

#include "codeview/code_view_text.h"
#include "codeview/soft_breaks.h"
#include "codeview/tracked_positions.h"

namespace tarlo {

class CodeViewReaders {
  public:
    CodeViewReaders(QsciScintillaBase& component, const SoftBreakMap& breaks,
                    TrackedPositions& positions, const CodeViewText& text);
    CodeViewReaders(const CodeViewReaders&) = delete;
    CodeViewReaders& operator=(const CodeViewReaders&) = delete;

    struct LineColumn {
        int line = 0;
        int column = 0;
    };
    int LineOfPosition(int pos) const;
    int LineStartOf(int line) const;
    int ColumnInCharacters(int pos) const;
    LineColumn LineColumnOf(int pos);
    int PositionAfter(int pos) const;
    int Utf16Length();
    int Utf16OffsetOf(int pos);
    int PositionOfUtf16(int offset);

    // A change of the text for screen readers: at `offset` UTF-16 units,
    // `removed` went and `inserted` came.
    struct Change {
        int offset = 0;
        std::string removed;
        std::string inserted;
    };
    // Where changes go when screen readers hear of them.
    void SetTeller(std::function<void(const Change&)> tell) { tell_ = std::move(tell); }
    // The whole text was loaded: nothing known is kept.
    void Forget();
    // A user's insertion of `length` bytes at document `pos`, told before the
    // text is in and before the tracked positions moved; `told` when screen
    // readers hear of it. The counts follow once the text is in (FinishInsert).
    void Inserting(int pos, int length, bool told);
    // Told after the tracked positions moved, for insertions and deletions.
    void NoteMoves();
    // The counts follow the insertion told last, and readers hear of it.
    void FinishInsert();
    struct Units {
        int points = 0;  // characters
        int utf16 = 0;
        bool lineEnd = false;
    };
    // A deletion of document [pos, pos + length), told before the positions
    // moved (readers hear of it then, while the text is still there), then
    // Deleted with what it returned once they moved.
    Units Deleting(int pos, int length, bool told);
    void Deleted(const Units& removed);

  private:
    Units UnitsIn(int from, int to) const;  // document range
    int DocumentLength() const;
    int Doc(TrackedPositions::Id id) const { return breaks_.ToDoc(positions_.At(id)); }
    void Place(TrackedPositions::Id id, int pos) { positions_.Place(id, breaks_.ToView(pos)); }
    void FollowEdit(const Units& removed, const Units& inserted);

    QsciScintillaBase& component_;
    const SoftBreakMap& breaks_;
    TrackedPositions& positions_;
    const CodeViewText& text_;
    std::function<void(const Change&)> tell_;
    // Known points for the caret panels and for screen readers. Their
    // positions stay before text inserted right at them.
    struct ColumnAnchor {
        bool valid = false;
        int line = 0;
        TrackedPositions::Id lineStart;
        TrackedPositions::Id pos;
        int column = 0;
    } column_;
    struct Utf16Anchor {
        bool valid = false;
        TrackedPositions::Id pos;
        int offset = 0;
        bool totalValid = false;
        int total = 0;
    } utf16_;
    // What the last move of the tracked positions did to the known points.
    struct Moves {
        TrackedPositions::Moved columnPos = TrackedPositions::Moved::None;
        TrackedPositions::Moved lineStart = TrackedPositions::Moved::None;
        TrackedPositions::Moved utf16Pos = TrackedPositions::Moved::None;
    } moves_;
    // The component tells of an insertion before the text is in, without
    // the text: what it means for the counts is settled once it is in.
    struct PendingInsert {
        bool active = false;
        int pos = 0;
        int length = 0;
        int offset = 0;
        bool told = false;
    } pendingInsert_;
};

}  // namespace tarlo
