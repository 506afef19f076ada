#include "codeview/code_view.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>

#include "editor/long_operation.h"

namespace tarlo {

namespace {

// Scintilla keeps styles 32-39 for its own elements (default, line numbers,
// braces, control characters, guides, tips, fold text).
bool Reserved(int style) {
    return style >= 32 && style <= 39;
}
constexpr int kMaxStyle = 255;

// Sizes are kept in hundredths of a point, as Scintilla takes fractional sizes.
long Hundredths(double points) {
    return std::lround(points * 100);
}

quint64 LookKey(WinColor colour, double size) {
    return (static_cast<quint64>(colour) << 24) | static_cast<quint64>(Hundredths(size) & 0xFFFFFF);
}

}  // namespace

ChangeBatch::ChangeBatch(CodeView* view) : view_(view) {
    ++view_->batchDepth_;
}

ChangeBatch::~ChangeBatch() {
    if (--view_->batchDepth_ == 0 && view_->changedInBatch_) {
        view_->changedInBatch_ = false;
        emit view_->Change();
    }
}

CodeView::CodeView(QWidget* parent) : QsciScintilla(parent) {
    setUtf8(true);
    // Enter writes CR LF: the formatter, the colorizer and the clean-up all
    // work on CR LF line breaks.
    setEolMode(EolWindows);
    SendScintilla(SCI_SETPASTECONVERTENDINGS, 1);
    setWrapMode(WrapNone);
    setMarginWidth(1, 0);
    setMarginLineNumbers(0, false);
    setMarginWidth(0, 0);
    setAutoIndent(false);
    setCaretLineVisible(false);
    setBraceMatching(NoBraceMatch);
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
    // Style 0 is the look of text nothing has coloured yet.
    styles_.assign(1, Look{kWhite, 9});
    styleOfLook_[LookKey(kWhite, 9)] = 0;
    SendScintilla(SCI_STYLESETFONT, 32UL, "Arial");
    SendScintilla(SCI_STYLESETFONT, 0UL, "Arial");
    SetDefaultLook(kWhite, 9);
    SetBackgroundColour(kBlack);

    connect(this, &QsciScintillaBase::SCN_MODIFIED, this, &CodeView::onModified);
}

std::string CodeView::TextUtf8() const {
    const int len = Length();
    std::string out(static_cast<std::size_t>(len) + 1, '\0');
    SendScintilla(SCI_GETTEXT, static_cast<unsigned long>(len + 1), static_cast<void*>(out.data()));
    out.resize(static_cast<std::size_t>(len));
    return out;
}

void CodeView::SetTextUtf8(std::string_view text) {
    ChangeBatch batch(this);
    SendScintilla(SCI_CLEARALL);
    if (!text.empty()) {
        SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(text.size()), text.data());
    }
    SendScintilla(SCI_GOTOPOS, 0L);
}

int CodeView::Length() const {
    return static_cast<int>(SendScintilla(SCI_GETLENGTH));
}

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

int CodeView::SelStart() const {
    return static_cast<int>(SendScintilla(SCI_GETSELECTIONSTART));
}

int CodeView::SelLength() const {
    return static_cast<int>(SendScintilla(SCI_GETSELECTIONEND) -
                            SendScintilla(SCI_GETSELECTIONSTART));
}

void CodeView::SetSel(int start, int length) {
    const int len = Length();
    start = std::clamp(start, 0, len);
    const int end = std::clamp(start + std::max(length, 0), start, len);
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(start), static_cast<long>(end));
}

void CodeView::ReplaceSelection(std::string_view text) {
    ChangeBatch batch(this);
    const std::string copy(text);
    SendScintilla(SCI_REPLACESEL, 0UL, copy.c_str());
}

int CodeView::StyleFor(WinColor colour, double pointSize) {
    const auto it = styleOfLook_.find(LookKey(colour, pointSize));
    if (it != styleOfLook_.end()) return it->second;
    int next = static_cast<int>(styles_.size());
    while (Reserved(next)) ++next;
    if (next > kMaxStyle) {
        // Every style is taken: the nearest look of the same size stands in.
        for (std::size_t i = 0; i < styles_.size(); ++i) {
            if (!Reserved(static_cast<int>(i)) && styles_[i].pointSize == pointSize) {
                return static_cast<int>(i);
            }
        }
        return 0;
    }
    styles_.resize(static_cast<std::size_t>(next) + 1, Look{kBlack, 0});
    styles_[static_cast<std::size_t>(next)] = Look{colour, pointSize};
    styleOfLook_[LookKey(colour, pointSize)] = next;
    const auto s = static_cast<unsigned long>(next);
    SendScintilla(SCI_STYLESETFONT, s, "Arial");
    SendScintilla(SCI_STYLESETFORE, s, static_cast<long>(colour));
    SendScintilla(SCI_STYLESETBACK, s, static_cast<long>(SendScintilla(SCI_STYLEGETBACK, 32UL)));
    SendScintilla(SCI_STYLESETSIZEFRACTIONAL, s, Hundredths(pointSize));
    return next;
}

void CodeView::SetDefaultLook(WinColor colour, double pointSize) {
    // Every uncoloured character changes its look at once.
    if (styles_[0].colour != colour || styles_[0].pointSize != pointSize) span_.known = false;
    styles_[0] = Look{colour, pointSize};
    for (auto it = styleOfLook_.begin(); it != styleOfLook_.end();) {
        it = it->second == 0 ? styleOfLook_.erase(it) : std::next(it);
    }
    styleOfLook_.emplace(LookKey(colour, pointSize), 0);
    SendScintilla(SCI_STYLESETFORE, 0UL, static_cast<long>(colour));
    SendScintilla(SCI_STYLESETSIZEFRACTIONAL, 0UL, Hundredths(pointSize));
    SendScintilla(SCI_STYLESETFORE, 32UL, static_cast<long>(colour));
    SendScintilla(SCI_STYLESETSIZEFRACTIONAL, 32UL, Hundredths(pointSize));
}

void CodeView::SetTypingColour(WinColor colour) {
    typingSet_ = true;
    typingPos_ = SelStart();
    typingColour_ = colour;
}

void CodeView::SetBackgroundColour(WinColor colour) {
    for (int s = 0; s <= kMaxStyle; ++s) {
        if (s < static_cast<int>(styles_.size()) || s == 32) {
            SendScintilla(SCI_STYLESETBACK, static_cast<unsigned long>(s),
                          static_cast<long>(colour));
        }
    }
    // The caret must stay visible on either background.
    const WinColor caret =
        (RedOf(colour) + GreenOf(colour) + BlueOf(colour)) > 384 ? kBlack : kWhite;
    SendScintilla(SCI_SETCARETFORE, static_cast<unsigned long>(caret));
}

void CodeView::RestyleRange(int start, int length, bool setColour, WinColor colour, bool setSize,
                            double pointSize) {
    const int len = Length();
    start = std::clamp(start, 0, len);
    length = std::clamp(length, 0, len - start);
    if (length == 0) return;
    // Read the styles of the range once, map each old style to its new one,
    // and write them back in one call: linear in the text.
    std::string cells(static_cast<std::size_t>(length) * 2 + 2, '\0');
    SendScintilla(SCI_GETSTYLEDTEXT, static_cast<long>(start), static_cast<long>(start + length),
                  cells.data());
    std::string styles(static_cast<std::size_t>(length), '\0');
    int mapped[256];
    std::fill(std::begin(mapped), std::end(mapped), -1);
    for (int i = 0; i < length; ++i) {
        const auto old = static_cast<unsigned char>(cells[static_cast<std::size_t>(i) * 2 + 1]);
        if (mapped[old] < 0) {
            const Look look = old < styles_.size() ? styles_[old] : styles_[0];
            mapped[old] =
                StyleFor(setColour ? colour : look.colour, setSize ? pointSize : look.pointSize);
        }
        styles[static_cast<std::size_t>(i)] = static_cast<char>(mapped[old]);
    }
    SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(start), 0L);
    SendScintilla(SCI_SETSTYLINGEX, static_cast<uintptr_t>(length), styles.data());
}

void CodeView::SetRangeColour(int start, int length, WinColor colour) {
    RestyleRange(start, length, true, colour, false, 0);
}

void CodeView::SetRangeSize(int start, int length, double pointSize) {
    RestyleRange(start, length, false, kBlack, true, pointSize);
}

void CodeView::ApplyRuns(const std::vector<StyleRun>& runs) {
    const int len = Length();
    if (len == 0 || runs.empty()) return;
    // Only the stretch the runs reach is read and written: restoring one
    // keystroke's look costs that keystroke, not the document.
    int from = len;
    int to = 0;
    for (const StyleRun& r : runs) {
        const int s = std::clamp(r.start, 0, len);
        from = std::min(from, s);
        to = std::max(to, std::clamp(r.start + r.length, s, len));
    }
    if (from >= to) return;
    const int span = to - from;
    std::string styles(static_cast<std::size_t>(span), '\0');
    // Untouched characters keep their style.
    {
        std::string cells(static_cast<std::size_t>(span) * 2 + 2, '\0');
        SendScintilla(SCI_GETSTYLEDTEXT, static_cast<long>(from), static_cast<long>(to),
                      cells.data());
        for (int i = 0; i < span; ++i) {
            styles[static_cast<std::size_t>(i)] = cells[static_cast<std::size_t>(i) * 2 + 1];
        }
    }
    for (const StyleRun& r : runs) {
        const int s = std::clamp(r.start, 0, len);
        const int e = std::clamp(r.start + r.length, s, len);
        const char style = static_cast<char>(StyleFor(r.colour, r.pointSize));
        std::fill(styles.begin() + (s - from), styles.begin() + (e - from), style);
    }
    SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(from), 0L);
    SendScintilla(SCI_SETSTYLINGEX, static_cast<uintptr_t>(span), styles.data());
}

std::vector<StyleRun> CodeView::Runs() const {
    return RunsIn(0, Length());
}

std::vector<StyleRun> CodeView::RunsIn(int start, int length) const {
    std::vector<StyleRun> out;
    const int total = Length();
    start = std::clamp(start, 0, total);
    const int len = std::clamp(length, 0, total - start);
    if (len == 0) return out;
    std::string cells(static_cast<std::size_t>(len) * 2 + 2, '\0');
    SendScintilla(SCI_GETSTYLEDTEXT, static_cast<long>(start), static_cast<long>(start + len),
                  cells.data());
    for (int i = 0; i < len; ++i) {
        const auto st = static_cast<unsigned char>(cells[static_cast<std::size_t>(i) * 2 + 1]);
        const Look look = st < styles_.size() ? styles_[st] : styles_[0];
        if (!out.empty() && out.back().colour == look.colour &&
            out.back().pointSize == look.pointSize) {
            ++out.back().length;
        } else {
            out.push_back({start + i, 1, look.colour, look.pointSize});
        }
    }
    return out;
}

std::string CodeView::TextRange(int start, int length) const {
    const int total = Length();
    start = std::clamp(start, 0, total);
    const int len = std::clamp(length, 0, total - start);
    std::string out(static_cast<std::size_t>(len) + 1, '\0');
    if (len > 0) {
        SendScintilla(SCI_GETTEXTRANGE, static_cast<long>(start), static_cast<long>(start + len),
                      out.data());
    }
    out.resize(static_cast<std::size_t>(len));
    return out;
}

CodeView::ChangedSpan CodeView::TakeChangedSpan() {
    const ChangedSpan taken = span_;
    span_ = ChangedSpan{true, false, 0, 0};
    return taken;
}

void CodeView::NoteChange(int pos, int inserted, int deleted) {
    if (!span_.changed) {
        span_.changed = true;
        span_.start = pos;
        span_.end = pos + inserted;
        return;
    }
    // Offsets after the change move with it; the stretch grows to cover it.
    int end = span_.end;
    if (deleted > 0) {
        if (end >= pos + deleted) {
            end -= deleted;
        } else if (end > pos) {
            end = pos;
        }
    }
    if (inserted > 0 && end >= pos) end += inserted;
    span_.start = std::min(span_.start, pos);
    span_.end = std::max(end, pos + inserted);
}

WinColor CodeView::ColourAt(int pos) const {
    const auto st =
        static_cast<std::size_t>(SendScintilla(SCI_GETSTYLEAT, static_cast<unsigned long>(pos)));
    return st < styles_.size() ? styles_[st].colour : styles_[0].colour;
}

double CodeView::SizeAt(int pos) const {
    const auto st =
        static_cast<std::size_t>(SendScintilla(SCI_GETSTYLEAT, static_cast<unsigned long>(pos)));
    return st < styles_.size() ? styles_[st].pointSize : styles_[0].pointSize;
}

int CodeView::FindInCode(const std::string& text, int start, int options) {
    const int len = Length();
    if (text.empty() || start < 0 || start > len) return -1;
    SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(start), static_cast<long>(len));
    SendScintilla(SCI_SETSEARCHFLAGS,
                  static_cast<unsigned long>(options & (kWholeWord | kMatchCase)));
    const long pos =
        SendScintilla(SCI_SEARCHINTARGET, static_cast<uintptr_t>(text.size()), text.c_str());
    if (pos < 0) return -1;
    if ((options & kNoHighlight) == 0) {
        const long end = SendScintilla(SCI_GETTARGETEND);
        SendScintilla(SCI_SETSEL, static_cast<unsigned long>(pos), end);
    }
    return static_cast<int>(pos);
}

int CodeView::LineOfPosition(int pos) const {
    return static_cast<int>(SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos)));
}

int CodeView::LineStartOf(int line) const {
    return static_cast<int>(SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line)));
}

int CodeView::ColumnInCharacters(int pos) const {
    const int lineStart = LineStartOf(LineOfPosition(pos));
    return static_cast<int>(SendScintilla(
        SCI_COUNTCHARACTERS, static_cast<unsigned long>(lineStart), static_cast<long>(pos)));
}

void CodeView::onModified(int pos, int mtype, const char*, int len, int, int, int, int, int, int) {
    if ((mtype & SC_MOD_CHANGESTYLE) != 0) NoteChange(pos, len, len);
    if ((mtype & SC_MOD_INSERTTEXT) != 0) NoteChange(pos, len, 0);
    if ((mtype & SC_MOD_DELETETEXT) != 0) NoteChange(pos, 0, len);
    if ((mtype & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT)) == 0) return;
    const bool typed = typingSet_ && pos == typingPos_;
    if ((mtype & SC_MOD_INSERTTEXT) != 0) typingSet_ = false;
    if ((mtype & SC_MOD_INSERTTEXT) != 0 && len > 0 && (pos > 0 || typed)) {
        // Inserted text takes the look of the character before it, as typing
        // into a rich-text box does, unless a typing colour was just set here.
        long st = pos > 0 ? SendScintilla(SCI_GETSTYLEAT, static_cast<unsigned long>(pos - 1)) : 0;
        if (typed) {
            const auto before = static_cast<std::size_t>(st);
            const double size =
                before < styles_.size() ? styles_[before].pointSize : styles_[0].pointSize;
            st = StyleFor(typingColour_, size);
        }
        SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(pos), 0L);
        SendScintilla(SCI_SETSTYLING, static_cast<unsigned long>(len), st);
    }
    if (batchDepth_ > 0) {
        changedInBatch_ = true;
    } else {
        emit Change();
    }
}

void CodeView::keyPressEvent(QKeyEvent* e) {
    {
        ChangeBatch batch(this);
        QsciScintilla::keyPressEvent(e);
    }
    emit KeyDown();
}

void CodeView::keyReleaseEvent(QKeyEvent* e) {
    QsciScintilla::keyReleaseEvent(e);
    emit KeyUp();
}

void CodeView::inputMethodEvent(QInputMethodEvent* e) {
    ChangeBatch batch(this);
    QsciScintilla::inputMethodEvent(e);
}

void CodeView::mousePressEvent(QMouseEvent* e) {
    QsciScintilla::mousePressEvent(e);
    emit MouseDown();
}

void CodeView::mouseReleaseEvent(QMouseEvent* e) {
    QsciScintilla::mouseReleaseEvent(e);
    emit MouseUp();
}

namespace {

QList<QUrl> DroppedFiles(const QMimeData* data) {
    QList<QUrl> files;
    if (data == nullptr || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) files.push_back(url);
    }
    return files;
}

}  // namespace

void CodeView::dragEnterEvent(QDragEnterEvent* e) {
    if (!DroppedFiles(e->mimeData()).isEmpty()) {
        e->acceptProposedAction();
        return;
    }
    QsciScintilla::dragEnterEvent(e);
}

void CodeView::dragMoveEvent(QDragMoveEvent* e) {
    if (!DroppedFiles(e->mimeData()).isEmpty()) {
        e->acceptProposedAction();
        return;
    }
    QsciScintilla::dragMoveEvent(e);
}

void CodeView::dropEvent(QDropEvent* e) {
    const QList<QUrl> files = DroppedFiles(e->mimeData());
    if (!files.isEmpty()) {
        e->acceptProposedAction();
        emit FilesDropped(files);
        return;
    }
    ChangeBatch batch(this);
    QsciScintilla::dropEvent(e);
}

void CodeView::cut() {
    ChangeBatch batch(this);
    QsciScintilla::cut();
}

void CodeView::paste() {
    ChangeBatch batch(this);
    QsciScintilla::paste();
}

}  // namespace tarlo
