#include "codeview/code_view.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QAccessible>

#include <algorithm>

#include "codeview/code_view_accessible.h"
#include "shell/long_operation.h"

namespace tarlo {

CodeView::CodeView(QWidget* parent)
    : QsciScintilla(parent),
      breaks_(*this, positions_),
      text_(*this, breaks_.Map()),
      changes_(breaks_.Map(), positions_),
      looks_(*this, breaks_.Map(), positions_, changes_),
      readers_(*this, breaks_.Map(), positions_, text_) {
    setUtf8(true);
    // Enter writes CR LF, as a new document's file has them; an opened file
    // sets its own kind (SetLineBreak). A paste takes the same kind.
    setEolMode(EolWindows);
    SendScintilla(SCI_SETPASTECONVERTENDINGS, 1);
    setWrapMode(WrapNone);
    setMarginWidth(1, 0);
    setMarginLineNumbers(0, false);
    setMarginWidth(0, 0);
    setAutoIndent(false);
    setCaretLineVisible(false);
    setBraceMatching(NoBraceMatch);
    // One layout of the lines on screen per key, not one for the key and
    // another for the paint.
    SendScintilla(SCI_SETLAYOUTCACHE, static_cast<unsigned long>(SC_CACHE_PAGE));
    // Only the notices this view needs. The notices after an insertion or
    // deletion make the component count the characters from the start of
    // the document for screen readers on every key; our own accessible
    // object answers them instead.
    SendScintilla(SCI_SETMODEVENTMASK,
                  static_cast<unsigned long>(SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE));
    // The editor keeps its own history of snapshots; the widget's own undo
    // would fight it.
    SendScintilla(SCI_SETUNDOCOLLECTION, 0L);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    for (QsciCommand::Command c : {QsciCommand::Undo, QsciCommand::Redo}) {
        if (QsciCommand* cmd = standardCommands()->find(c)) {
            cmd->setKey(0);
            cmd->setAlternateKey(0);
        }
    }
    breaks_.SetUp();
    looks_.SetUp();

    readers_.SetTeller([this](const CodeViewReaders::Change& c) {
        emit TextChangedForReaders(
            c.offset, QString::fromUtf8(c.removed.data(), static_cast<qsizetype>(c.removed.size())),
            QString::fromUtf8(c.inserted.data(), static_cast<qsizetype>(c.inserted.size())));
    });
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this, &CodeView::onModified);
    InstallCodeViewAccessibility();
    ReportCodeViewToReaders(this);
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if ((updated & (SC_UPDATE_SELECTION | SC_UPDATE_CONTENT)) != 0) emit CaretMoved();
    });
}

// ---- Text ------------------------------------------------------------------

std::string CodeView::ViewTextUtf8() const {
    return ViewRange(*this, 0, text_.ViewLength());
}

std::string CodeView::TextUtf8() const {
    return text_.TextRange(0, Length());
}

std::string CodeView::TextRange(int start, int length) const {
    return text_.TextRange(start, length);
}

int CodeView::Length() const {
    return text_.Length();
}

void CodeView::LoadView(std::string_view text) {
    breaks_.Load(text);
    looks_.DropPending();
    readers_.Forget();
}

void CodeView::SetTextUtf8(std::string_view text) {
    ChangeBatch batch(this);
    ++editCount_;
    if (watcher_ != nullptr) watcher_->Removing(0, Length());
    LoadView(text);
    if (watcher_ != nullptr) watcher_->Inserted(0, static_cast<int>(text.size()));
    changes_.Whole(static_cast<int>(text.size()));
    changedInBatch_ = true;
    SendScintilla(SCI_GOTOPOS, 0L);
}

void CodeView::SetSoftBreaks(bool on) {
    if (breaks_.On() == on) return;
    const std::string text = TextUtf8();
    const std::vector<StyleRun> runs = Runs();
    breaks_.SetOn(on);
    const int caret = SelStart();
    LoadView(text);
    // The same looks again: no change of the document to tell.
    looks_.ApplyRuns(runs);
    changes_.Forget();
    SetSel(caret, 0);
}

void CodeView::SetLineBreak(LineBreak kind) {
    setEolMode(kind == LineBreak::Lf ? EolUnix : kind == LineBreak::Cr ? EolMac : EolWindows);
}

int CodeView::SelStart() const {
    return text_.SelStart();
}

int CodeView::CaretPosition() const {
    return text_.CaretPosition();
}

int CodeView::SelLength() const {
    return text_.SelLength();
}

void CodeView::SetSel(int start, int length) {
    text_.SetSel(start, length);
}

void CodeView::ReplaceSelection(std::string_view text) {
    ChangeBatch batch(this);
    const std::string copy(text);
    SendScintilla(SCI_REPLACESEL, 0UL, copy.c_str());
}

void CodeView::ReplaceRange(int start, int length, std::string_view text) {
    SetSel(start, length);
    ReplaceSelection(text);
}

int CodeView::FindInCode(const std::string& text, int start, int options) {
    const CodeViewText::Match found = text_.Find(text, start, options & (kWholeWord | kMatchCase));
    if (found.pos < 0) return -1;
    if ((options & kNoHighlight) == 0) SetSel(found.pos, found.length);
    return found.pos;
}

// ---- Looks -----------------------------------------------------------------

void CodeView::PaintAll(WinColor colour, double pointSize) {
    BusyPointer busy;
    SetRangeColour(0, Length(), colour);
    SetDefaultLook(colour, pointSize);
    SetSel(0, 0);
}

void CodeView::ResizeAll(WinColor colour, double pointSize) {
    BusyPointer busy;
    SetRangeSize(0, Length(), pointSize);
    SetDefaultLook(colour, pointSize);
    SetSel(0, 0);
}

void CodeView::SetDefaultLook(WinColor colour, double pointSize) {
    // Every character nothing has coloured takes the look.
    if (watcher_ != nullptr) watcher_->Restyling(0, Length());
    looks_.SetDefaultLook(colour, pointSize);
}

void CodeView::SetTypingColour(WinColor colour) {
    looks_.SetTypingColour(SelStart(), colour);
}

void CodeView::SetBackgroundColour(WinColor colour) {
    looks_.SetBackgroundColour(colour);
}

void CodeView::SetRangeColour(int start, int length, WinColor colour) {
    if (watcher_ != nullptr) watcher_->Restyling(start, length);
    looks_.Restyle(start, length, true, colour, false, 0);
}

void CodeView::SetRangeSize(int start, int length, double pointSize) {
    if (watcher_ != nullptr) watcher_->Restyling(start, length);
    looks_.Restyle(start, length, false, kBlack, true, pointSize);
}

void CodeView::ApplyRuns(const std::vector<StyleRun>& runs) {
    if (watcher_ != nullptr && !runs.empty()) {
        int from = runs.front().start;
        int to = from;
        for (const StyleRun& r : runs) {
            from = std::min(from, r.start);
            to = std::max(to, r.start + r.length);
        }
        watcher_->Restyling(from, to - from);
    }
    looks_.ApplyRuns(runs);
}

std::vector<StyleRun> CodeView::Runs() const {
    return looks_.RunsIn(0, Length());
}

std::vector<StyleRun> CodeView::RunsIn(int start, int length) const {
    return looks_.RunsIn(start, length);
}

WinColor CodeView::ColourAt(int pos) const {
    return looks_.ColourAt(pos);
}

double CodeView::SizeAt(int pos) const {
    return looks_.SizeAt(pos);
}

CodeView::ChangedSpan CodeView::TakeChangedSpan() {
    looks_.ApplyPending();
    return changes_.Take();
}

// ---- Lines, columns and screen readers -------------------------------------

int CodeView::LineOfPosition(int pos) const {
    return readers_.LineOfPosition(pos);
}

int CodeView::LineStartOf(int line) const {
    return readers_.LineStartOf(line);
}

int CodeView::ColumnInCharacters(int pos) const {
    return readers_.ColumnInCharacters(pos);
}

CodeView::LineColumn CodeView::LineColumnOf(int pos) {
    return readers_.LineColumnOf(pos);
}

int CodeView::PositionAfter(int pos) const {
    return readers_.PositionAfter(pos);
}

bool CodeView::ReadersListening() const {
    return tellReaders_ || QAccessible::isActive();
}

int CodeView::Utf16Length() {
    return readers_.Utf16Length();
}

int CodeView::Utf16OffsetOf(int pos) {
    return readers_.Utf16OffsetOf(pos);
}

int CodeView::PositionOfUtf16(int offset) {
    return readers_.PositionOfUtf16(offset);
}

}  // namespace tarlo
