#include "codeview/code_view.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QAccessible>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "codeview/code_view_accessible.h"
#include "shell/long_operation.h"

namespace tarlo {

namespace {

// Scintilla keeps styles 32-39 for its own elements (default, line numbers,
// braces, control characters, guides, tips, fold text).
bool Reserved(int style) {
    return style >= 32 && style <= 39;
}
constexpr int kMaxStyle = 255;

// The hidden mark on each of the view's own breaks, and the margin mark of a
// line that goes on in the next.
constexpr int kBreakIndicator = 8;
constexpr int kContinuedMarker = 1;
constexpr int kContinuedMargin = 1;
constexpr int kContinuedMarginWidth = 9;

// Sizes are kept in hundredths of a point, as Scintilla takes fractional sizes.
long Hundredths(double points) {
    return std::lround(points * 100);
}

quint64 LookKey(WinColor colour, double size) {
    return (static_cast<quint64>(colour) << 24) | static_cast<quint64>(Hundredths(size) & 0xFFFFFF);
}

// Lets the view move its own breaks while the user's edits are locked out.
class InternalEdit {
  public:
    InternalEdit(QsciScintillaBase* view, int& depth) : view_(view), depth_(depth) {
        if (depth_++ == 0) {
            readOnly_ = view_->SendScintilla(QsciScintillaBase::SCI_GETREADONLY) != 0;
            if (readOnly_) view_->SendScintilla(QsciScintillaBase::SCI_SETREADONLY, 0UL);
        }
    }
    ~InternalEdit() {
        if (--depth_ == 0 && readOnly_) {
            view_->SendScintilla(QsciScintillaBase::SCI_SETREADONLY, 1UL);
        }
    }
    InternalEdit(const InternalEdit&) = delete;
    InternalEdit& operator=(const InternalEdit&) = delete;

  private:
    QsciScintillaBase* view_;
    int& depth_;
    bool readOnly_ = false;
};

}  // namespace

ChangeBatch::ChangeBatch(CodeView* view) : view_(view) {
    ++view_->batchDepth_;
}

ChangeBatch::~ChangeBatch() {
    if (--view_->batchDepth_ == 0) view_->Settle();
}

CodeView::CodeView(QWidget* parent) : QsciScintilla(parent) {
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
    SendScintilla(SCI_INDICSETSTYLE, static_cast<unsigned long>(kBreakIndicator), INDIC_HIDDEN);
    SendScintilla(SCI_SETMARGINTYPEN, static_cast<unsigned long>(kContinuedMargin), SC_MARGIN_BACK);
    SendScintilla(SCI_SETMARGINMASKN, static_cast<unsigned long>(kContinuedMargin),
                  1L << kContinuedMarker);
    SendScintilla(SCI_MARKERDEFINE, static_cast<unsigned long>(kContinuedMarker),
                  SC_MARK_ARROWDOWN);
    SendScintilla(SCI_MARKERSETFORE, static_cast<unsigned long>(kContinuedMarker), 0x808080L);
    SendScintilla(SCI_MARKERSETBACK, static_cast<unsigned long>(kContinuedMarker), 0x808080L);
    // Style 0 is the look of text nothing has coloured yet.
    styles_.assign(1, Look{kWhite, 9});
    styleOfLook_[LookKey(kWhite, 9)] = 0;
    SendScintilla(SCI_STYLESETFONT, 32UL, "Arial");
    SendScintilla(SCI_STYLESETFONT, 0UL, "Arial");
    SetDefaultLook(kWhite, 9);
    SetBackgroundColour(kBlack);

    connect(this, &QsciScintillaBase::SCN_MODIFIED, this, &CodeView::onModified);
    InstallCodeViewAccessibility();
    ReportCodeViewToReaders(this);
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if ((updated & (SC_UPDATE_SELECTION | SC_UPDATE_CONTENT)) != 0) emit CaretMoved();
    });
}

// ---- Text ------------------------------------------------------------------

std::string CodeView::ViewRange(int from, int to) const {
    const int len = static_cast<int>(SendScintilla(SCI_GETLENGTH));
    from = std::clamp(from, 0, len);
    to = std::clamp(to, from, len);
    std::string out(static_cast<std::size_t>(to - from) + 1, '\0');
    if (to > from) {
        SendScintilla(SCI_GETTEXTRANGE, static_cast<long>(from), static_cast<long>(to), out.data());
    }
    out.resize(static_cast<std::size_t>(to - from));
    return out;
}

std::string CodeView::ViewTextUtf8() const {
    return ViewRange(0, static_cast<int>(SendScintilla(SCI_GETLENGTH)));
}

std::string CodeView::TextUtf8() const {
    return TextRange(0, Length());
}

std::string CodeView::TextRange(int start, int length) const {
    const int total = Length();
    start = std::clamp(start, 0, total);
    const int len = std::clamp(length, 0, total - start);
    const int from = breaks_.ToView(start);
    const int to = breaks_.ToView(start + len);
    std::string view = ViewRange(from, to);
    if (breaks_.CountIn(from, to) == 0) return view;
    std::vector<int> inside;
    for (int b : breaks_.ViewPositions()) {
        if (b >= from && b < to) inside.push_back(b - from);
    }
    return WithoutBreaks(view, inside);
}

void CodeView::LoadView(std::string_view text) {
    const std::vector<int> points = softBreaks_ ? SoftBreakPoints(text) : std::vector<int>{};
    InternalEdit internal(this, internal_);
    SendScintilla(SCI_CLEARALL);
    breaks_.Clear();
    pendingLooks_.clear();
    dirty_ = false;
    std::vector<int> views;
    views.reserve(points.size());
    if (points.empty()) {
        if (!text.empty()) {
            SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(text.size()), text.data());
        }
    } else {
        std::string shown;
        shown.reserve(text.size() + points.size());
        std::size_t from = 0;
        for (const int p : points) {
            shown.append(text.substr(from, static_cast<std::size_t>(p) - from));
            views.push_back(static_cast<int>(shown.size()));
            shown.push_back('\n');
            from = static_cast<std::size_t>(p);
        }
        shown.append(text.substr(from));
        SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(shown.size()), shown.data());
    }
    breaks_.Assign(views);
    SendScintilla(SCI_SETINDICATORCURRENT, static_cast<unsigned long>(kBreakIndicator));
    SendScintilla(SCI_MARKERDELETEALL, static_cast<unsigned long>(kContinuedMarker));
    for (const int v : views) {
        SendScintilla(SCI_INDICATORFILLRANGE, static_cast<unsigned long>(v), 1L);
        SendScintilla(SCI_MARKERADD,
                      SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(v)),
                      static_cast<long>(kContinuedMarker));
    }
    setMarginWidth(kContinuedMargin, views.empty() ? 0 : kContinuedMarginWidth);
    column_.valid = false;
    utf16_ = Utf16Anchor{};
    pendingInsert_.active = false;
}

void CodeView::SetTextUtf8(std::string_view text) {
    ChangeBatch batch(this);
    const int before = Length();
    ++editCount_;
    LoadView(text);
    NoteChange(0, 0, before);
    NoteChange(0, static_cast<int>(text.size()), 0);
    changedInBatch_ = true;
    SendScintilla(SCI_GOTOPOS, 0L);
}

void CodeView::SetSoftBreaks(bool on) {
    if (softBreaks_ == on) return;
    const std::string text = TextUtf8();
    const std::vector<StyleRun> runs = Runs();
    softBreaks_ = on;
    const int caret = SelStart();
    LoadView(text);
    ApplyRuns(runs);
    span_.known = false;
    SetSel(caret, 0);
}

int CodeView::Length() const {
    return static_cast<int>(SendScintilla(SCI_GETLENGTH)) - breaks_.Count();
}

void CodeView::PaintAll(WinColor colour, double pointSize) {
    BusyPointer busy;
    SetRangeColour(0, Length(), colour);
    SetDefaultLook(colour, pointSize);
    SetSel(0, 0);
}

void CodeView::SetLineBreak(LineBreak kind) {
    setEolMode(kind == LineBreak::Lf ? EolUnix : kind == LineBreak::Cr ? EolMac : EolWindows);
}

void CodeView::ResizeAll(WinColor colour, double pointSize) {
    BusyPointer busy;
    SetRangeSize(0, Length(), pointSize);
    SetDefaultLook(colour, pointSize);
    SetSel(0, 0);
}

int CodeView::SelStart() const {
    return breaks_.ToDoc(static_cast<int>(SendScintilla(SCI_GETSELECTIONSTART)));
}

int CodeView::CaretPosition() const {
    return breaks_.ToDoc(static_cast<int>(SendScintilla(SCI_GETCURRENTPOS)));
}

int CodeView::SelLength() const {
    return breaks_.ToDoc(static_cast<int>(SendScintilla(SCI_GETSELECTIONEND))) - SelStart();
}

void CodeView::SetSel(int start, int length) {
    const int len = Length();
    start = std::clamp(start, 0, len);
    const int end = std::clamp(start + std::max(length, 0), start, len);
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(breaks_.ToView(start)),
                  static_cast<long>(breaks_.ToView(end)));
}

void CodeView::ReplaceSelection(std::string_view text) {
    ChangeBatch batch(this);
    const std::string copy(text);
    SendScintilla(SCI_REPLACESEL, 0UL, copy.c_str());
}

// ---- Looks -----------------------------------------------------------------

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
    ApplyPendingLooks();
    const int len = Length();
    start = std::clamp(start, 0, len);
    length = std::clamp(length, 0, len - start);
    if (length == 0) return;
    const int from = breaks_.ToView(start);
    const int span = breaks_.ToView(start + length) - from;
    // Read the styles of the range once, map each old style to its new one,
    // and write them back in one call: linear in the text.
    std::string cells(static_cast<std::size_t>(span) * 2 + 2, '\0');
    SendScintilla(SCI_GETSTYLEDTEXT, static_cast<long>(from), static_cast<long>(from + span),
                  cells.data());
    std::string styles(static_cast<std::size_t>(span), '\0');
    int mapped[256];
    std::fill(std::begin(mapped), std::end(mapped), -1);
    for (int i = 0; i < span; ++i) {
        const auto old = static_cast<unsigned char>(cells[static_cast<std::size_t>(i) * 2 + 1]);
        if (mapped[old] < 0) {
            const Look look = old < styles_.size() ? styles_[old] : styles_[0];
            mapped[old] =
                StyleFor(setColour ? colour : look.colour, setSize ? pointSize : look.pointSize);
        }
        styles[static_cast<std::size_t>(i)] = static_cast<char>(mapped[old]);
    }
    SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(from), 0L);
    SendScintilla(SCI_SETSTYLINGEX, static_cast<uintptr_t>(span), styles.data());
    NoteChange(start, length, length);
}

void CodeView::SetRangeColour(int start, int length, WinColor colour) {
    RestyleRange(start, length, true, colour, false, 0);
}

void CodeView::SetRangeSize(int start, int length, double pointSize) {
    RestyleRange(start, length, false, kBlack, true, pointSize);
}

void CodeView::ApplyRuns(const std::vector<StyleRun>& runs) {
    ApplyPendingLooks();
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
    const int viewFrom = breaks_.ToView(from);
    const int span = breaks_.ToView(to) - viewFrom;
    std::string styles(static_cast<std::size_t>(span), '\0');
    // Untouched characters keep their style.
    {
        std::string cells(static_cast<std::size_t>(span) * 2 + 2, '\0');
        SendScintilla(SCI_GETSTYLEDTEXT, static_cast<long>(viewFrom),
                      static_cast<long>(viewFrom + span), cells.data());
        for (int i = 0; i < span; ++i) {
            styles[static_cast<std::size_t>(i)] = cells[static_cast<std::size_t>(i) * 2 + 1];
        }
    }
    for (const StyleRun& r : runs) {
        const int s = std::clamp(r.start, 0, len);
        const int e = std::clamp(r.start + r.length, s, len);
        const char style = static_cast<char>(StyleFor(r.colour, r.pointSize));
        std::fill(styles.begin() + (breaks_.ToView(s) - viewFrom),
                  styles.begin() + (breaks_.ToView(e) - viewFrom), style);
    }
    SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(viewFrom), 0L);
    SendScintilla(SCI_SETSTYLINGEX, static_cast<uintptr_t>(span), styles.data());
    NoteChange(from, to - from, to - from);
}

std::vector<StyleRun> CodeView::Runs() const {
    return RunsIn(0, Length());
}

std::vector<StyleRun> CodeView::RunsIn(int start, int length) const {
    const_cast<CodeView*>(this)->ApplyPendingLooks();
    std::vector<StyleRun> out;
    const int total = Length();
    start = std::clamp(start, 0, total);
    const int len = std::clamp(length, 0, total - start);
    if (len == 0) return out;
    const int from = breaks_.ToView(start);
    const int to = breaks_.ToView(start + len);
    std::string cells(static_cast<std::size_t>(to - from) * 2 + 2, '\0');
    SendScintilla(SCI_GETSTYLEDTEXT, static_cast<long>(from), static_cast<long>(to), cells.data());
    const std::vector<int>& all = breaks_.ViewPositions();
    auto next = std::lower_bound(all.begin(), all.end(), from);
    int doc = start;
    for (int v = from; v < to; ++v) {
        if (next != all.end() && *next == v) {
            ++next;
            continue;
        }
        const auto st =
            static_cast<unsigned char>(cells[static_cast<std::size_t>(v - from) * 2 + 1]);
        const Look look = st < styles_.size() ? styles_[st] : styles_[0];
        if (!out.empty() && out.back().colour == look.colour &&
            out.back().pointSize == look.pointSize) {
            ++out.back().length;
        } else {
            out.push_back({doc, 1, look.colour, look.pointSize});
        }
        ++doc;
    }
    return out;
}

CodeView::ChangedSpan CodeView::TakeChangedSpan() {
    ApplyPendingLooks();
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
    const_cast<CodeView*>(this)->ApplyPendingLooks();
    const auto st = static_cast<std::size_t>(
        SendScintilla(SCI_GETSTYLEAT, static_cast<unsigned long>(breaks_.ToView(pos))));
    return st < styles_.size() ? styles_[st].colour : styles_[0].colour;
}

double CodeView::SizeAt(int pos) const {
    const_cast<CodeView*>(this)->ApplyPendingLooks();
    const auto st = static_cast<std::size_t>(
        SendScintilla(SCI_GETSTYLEAT, static_cast<unsigned long>(breaks_.ToView(pos))));
    return st < styles_.size() ? styles_[st].pointSize : styles_[0].pointSize;
}

// ---- Find ------------------------------------------------------------------

int CodeView::FindInCode(const std::string& text, int start, int options) {
    const int len = Length();
    if (text.empty() || start < 0 || start > len) return -1;
    const int flags = options & (kWholeWord | kMatchCase);
    SendScintilla(SCI_SETSEARCHFLAGS, static_cast<unsigned long>(flags));
    const int viewLen = static_cast<int>(SendScintilla(SCI_GETLENGTH));
    int from = breaks_.ToView(start);
    int found = -1;
    int foundLength = 0;
    while (from <= viewLen) {
        SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(from),
                      static_cast<long>(viewLen));
        const long pos =
            SendScintilla(SCI_SEARCHINTARGET, static_cast<uintptr_t>(text.size()), text.c_str());
        if (pos < 0) break;
        const auto end = static_cast<int>(SendScintilla(SCI_GETTARGETEND));
        // A match that takes in one of the view's breaks is not in the document.
        if (breaks_.CountIn(static_cast<int>(pos), end) == 0) {
            found = breaks_.ToDoc(static_cast<int>(pos));
            foundLength = breaks_.ToDoc(end) - found;
            break;
        }
        from = static_cast<int>(pos) + 1;
    }
    // An occurrence the view shows across one of its breaks.
    const int across = FindAcrossBreak(text, start, found < 0 ? len + 1 : found, flags);
    if (across >= 0) {
        found = across;
        foundLength = static_cast<int>(text.size());
    }
    if (found < 0) return -1;
    if ((options & kNoHighlight) == 0) SetSel(found, foundLength);
    return found;
}

int CodeView::FindAcrossBreak(const std::string& text, int from, int before, int flags) {
    if (breaks_.Empty() || text.size() < 2) return -1;
    if (scratch_ == nullptr) {
        // A hidden component of the same make searches the text around each
        // break with the break taken out: the same rules for case and whole
        // words as the search in the view.
        scratch_ = new QsciScintillaBase(this);
        scratch_->hide();
        scratch_->SendScintilla(SCI_SETCODEPAGE, static_cast<unsigned long>(SC_CP_UTF8));
        scratch_->SendScintilla(SCI_SETMODEVENTMASK, 0UL);
        scratch_->SendScintilla(SCI_SETUNDOCOLLECTION, 0L);
    }
    const int reach = static_cast<int>(text.size()) + 4;
    const std::vector<int>& all = breaks_.ViewPositions();
    for (int k = 0; k < static_cast<int>(all.size()); ++k) {
        const int at = breaks_.DocOfBreak(k);
        if (at <= from) continue;
        if (at - static_cast<int>(text.size()) + 1 >= before) break;
        const int windowStart = std::max(0, at - reach);
        const std::string window = TextRange(windowStart, 2 * reach);
        scratch_->SendScintilla(SCI_CLEARALL);
        scratch_->SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(window.size()),
                                window.data());
        scratch_->SendScintilla(SCI_SETSEARCHFLAGS, static_cast<unsigned long>(flags));
        int searchFrom = std::max(0, from - windowStart);
        while (true) {
            scratch_->SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(searchFrom),
                                    static_cast<long>(window.size()));
            const long pos = scratch_->SendScintilla(
                SCI_SEARCHINTARGET, static_cast<uintptr_t>(text.size()), text.c_str());
            if (pos < 0) break;
            const int docPos = windowStart + static_cast<int>(pos);
            const int docEnd =
                windowStart + static_cast<int>(scratch_->SendScintilla(SCI_GETTARGETEND));
            if (docPos >= at) break;
            if (docEnd > at && docPos >= from && docPos < before) return docPos;
            searchFrom = static_cast<int>(pos) + 1;
        }
    }
    return -1;
}

// ---- Lines and columns -----------------------------------------------------

int CodeView::LineOfPosition(int pos) const {
    const int view = breaks_.ToView(std::clamp(pos, 0, Length()));
    return static_cast<int>(SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(view))) -
           breaks_.CountBefore(view);
}

int CodeView::LineStartOf(int line) const {
    // Breaks that end a shown line of an earlier document line.
    const std::vector<int>& all = breaks_.ViewPositions();
    int lo = 0;
    int hi = static_cast<int>(all.size());
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        const int shownLine = static_cast<int>(SendScintilla(
            SCI_LINEFROMPOSITION, static_cast<unsigned long>(all[static_cast<std::size_t>(mid)])));
        if (shownLine - mid < line) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    const int view = static_cast<int>(
        SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line + lo)));
    return view < 0 ? Length() : breaks_.ToDoc(view);
}

CodeView::Units CodeView::UnitsIn(int from, int to) const {
    Units u;
    if (to <= from) return u;
    const int vFrom = breaks_.ToView(from);
    const int vTo = breaks_.ToView(to);
    const auto* chars = reinterpret_cast<const char*>(SendScintilla(
        SCI_GETRANGEPOINTER, static_cast<unsigned long>(vFrom), static_cast<long>(vTo - vFrom)));
    if (chars == nullptr) return u;
    const std::vector<int>& all = breaks_.ViewPositions();
    auto next = std::lower_bound(all.begin(), all.end(), vFrom);
    for (int v = vFrom; v < vTo; ++v) {
        if (next != all.end() && *next == v) {
            ++next;
            continue;
        }
        const auto c = static_cast<unsigned char>(chars[v - vFrom]);
        if ((c & 0xC0) != 0x80) {
            ++u.points;
            ++u.utf16;
        }
        if (c >= 0xF0) ++u.utf16;
        if (c == '\r' || c == '\n') u.lineEnd = true;
    }
    return u;
}

int CodeView::ColumnInCharacters(int pos) const {
    return UnitsIn(LineStartOf(LineOfPosition(pos)), pos).points;
}

CodeView::LineColumn CodeView::LineColumnOf(int pos) {
    FinishInsert();
    pos = std::clamp(pos, 0, Length());
    const int line = LineOfPosition(pos);
    int column = 0;
    if (column_.valid && column_.line == line) {
        column = pos >= column_.pos ? column_.column + UnitsIn(column_.pos, pos).points
                                    : column_.column - UnitsIn(pos, column_.pos).points;
    } else {
        column_.lineStart = LineStartOf(line);
        column = UnitsIn(column_.lineStart, pos).points;
    }
    column_.valid = true;
    column_.line = line;
    column_.pos = pos;
    column_.column = column;
    return LineColumn{line, column};
}

int CodeView::PositionAfter(int pos) const {
    const int len = Length();
    if (pos >= len) return len;
    int view = breaks_.ToView(std::max(pos, 0));
    if (breaks_.IsBreakAt(view)) ++view;
    return breaks_.ToDoc(
        static_cast<int>(SendScintilla(SCI_POSITIONAFTER, static_cast<unsigned long>(view))));
}

bool CodeView::ReadersListening() const {
    return tellReaders_ || QAccessible::isActive();
}

int CodeView::Utf16Length() {
    FinishInsert();
    if (!utf16_.totalValid) {
        utf16_.total = UnitsIn(0, Length()).utf16;
        utf16_.totalValid = true;
    }
    return utf16_.total;
}

int CodeView::Utf16OffsetOf(int pos) {
    FinishInsert();
    pos = std::clamp(pos, 0, Length());
    if (!utf16_.valid) utf16_ = Utf16Anchor{true, 0, 0, utf16_.totalValid, utf16_.total};
    const int offset = pos >= utf16_.pos ? utf16_.offset + UnitsIn(utf16_.pos, pos).utf16
                                         : utf16_.offset - UnitsIn(pos, utf16_.pos).utf16;
    utf16_.pos = pos;
    utf16_.offset = offset;
    return offset;
}

int CodeView::PositionOfUtf16(int offset) {
    FinishInsert();
    const int len = Length();
    offset = std::clamp(offset, 0, Utf16Length());
    if (!utf16_.valid) utf16_ = Utf16Anchor{true, 0, 0, utf16_.totalValid, utf16_.total};
    // Walk from the known point, one character at a time.
    int pos = utf16_.pos;
    int at = utf16_.offset;
    while (at < offset && pos < len) {
        const int next = PositionAfter(pos);
        at += UnitsIn(pos, next).utf16;
        pos = next;
    }
    while (at > offset && pos > 0) {
        int view = breaks_.ToView(pos);
        if (view > 0 && breaks_.IsBreakAt(view - 1)) --view;
        const int prev = breaks_.ToDoc(
            static_cast<int>(SendScintilla(SCI_POSITIONBEFORE, static_cast<unsigned long>(view))));
        at -= UnitsIn(prev, pos).utf16;
        pos = prev;
    }
    utf16_.pos = pos;
    utf16_.offset = at;
    return pos;
}

void CodeView::AnchorsFollowEdit(int pos, int removedBytes, const Units& removed, int insertedBytes,
                                 const Units& inserted) {
    const int shift = insertedBytes - removedBytes;
    if (utf16_.totalValid) utf16_.total += inserted.utf16 - removed.utf16;
    if (utf16_.valid && pos < utf16_.pos) {
        if (pos + removedBytes <= utf16_.pos) {
            utf16_.pos += shift;
            utf16_.offset += inserted.utf16 - removed.utf16;
        } else {
            utf16_.valid = false;
        }
    }
    if (column_.valid && pos < column_.pos) {
        if (removed.lineEnd || inserted.lineEnd || pos + removedBytes > column_.pos) {
            column_.valid = false;
        } else if (pos < column_.lineStart) {
            column_.lineStart += shift;
            column_.pos += shift;
        } else {
            column_.pos += shift;
            column_.column += inserted.points - removed.points;
        }
    } else if (column_.valid && pos == column_.pos && pos < column_.lineStart) {
        column_.valid = false;
    }
}

// ---- Edits and the view's own breaks -----------------------------------------

void CodeView::ViewSpan::Inserted(int pos, int length) {
    if (from >= pos) from += length;
    if (to >= pos) to += length;
}

void CodeView::ViewSpan::Deleted(int pos, int length) {
    const auto move = [pos, length](int& p) {
        if (p >= pos + length) {
            p -= length;
        } else if (p > pos) {
            p = pos;
        }
    };
    move(from);
    move(to);
}

void CodeView::onModified(int pos, int mtype, const char* text, int len, int, int, int, int, int,
                          int) {
    const bool inserting = (mtype & SC_MOD_BEFOREINSERT) != 0;
    const bool deleting = (mtype & SC_MOD_BEFOREDELETE) != 0;
    if (!inserting && !deleting) return;
    FinishInsert();
    if (internal_ > 0) {
        if (inserting) {
            breaks_.Inserted(pos, len);
            for (PendingLook& p : pendingLooks_) p.span.Inserted(pos, len);
            if (dirty_) dirtySpan_.Inserted(pos, len);
        } else {
            breaks_.Deleted(pos, len);
            for (PendingLook& p : pendingLooks_) p.span.Deleted(pos, len);
            if (dirty_) dirtySpan_.Deleted(pos, len);
        }
        return;
    }
    if (inserting) {
        DocumentInserted(pos, text, len);
    } else {
        DocumentDeleted(pos, len);
    }
    if (batchDepth_ == 0) QueueSettle();
}

void CodeView::DocumentInserted(int viewPos, const char*, int length) {
    const int doc = breaks_.ToDoc(viewPos);
    ++editCount_;
    const bool readers = ReadersListening();
    pendingInsert_ = PendingInsert{true, doc, length, readers ? Utf16OffsetOf(doc) : 0, readers};
    NoteChange(doc, length, 0);
    // Inserted text takes the look of the character before it, as typing
    // into a rich-text box does, unless a typing colour was just set here.
    const bool typed = typingSet_ && doc == typingPos_;
    typingSet_ = false;
    int style = -1;
    if (length > 0 && (viewPos > 0 || typed)) {
        style = viewPos > 0 ? static_cast<int>(SendScintilla(
                                  SCI_GETSTYLEAT, static_cast<unsigned long>(viewPos - 1)))
                            : 0;
        if (typed) {
            const auto before = static_cast<std::size_t>(style);
            const double size =
                before < styles_.size() ? styles_[before].pointSize : styles_[0].pointSize;
            style = StyleFor(typingColour_, size);
        }
    }
    breaks_.Inserted(viewPos, length);
    for (PendingLook& p : pendingLooks_) p.span.Inserted(viewPos, length);
    if (style >= 0) pendingLooks_.push_back({ViewSpan{viewPos, viewPos + length}, style});
    if (dirty_) {
        dirtySpan_.Inserted(viewPos, length);
        dirtySpan_.from = std::min(dirtySpan_.from, viewPos);
        dirtySpan_.to = std::max(dirtySpan_.to, viewPos + length);
    } else {
        dirty_ = true;
        dirtySpan_ = ViewSpan{viewPos, viewPos + length};
    }
    changedInBatch_ = true;
}

void CodeView::FinishInsert() {
    if (!pendingInsert_.active) return;
    const PendingInsert p = pendingInsert_;
    pendingInsert_.active = false;
    AnchorsFollowEdit(p.pos, 0, Units{}, p.length, UnitsIn(p.pos, p.pos + p.length));
    if (p.readers) {
        const std::string text = TextRange(p.pos, p.length);
        emit TextChangedForReaders(
            p.offset, QString(),
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
}

void CodeView::DocumentDeleted(int viewPos, int length) {
    const int doc = breaks_.ToDoc(viewPos);
    const int docLength = breaks_.ToDoc(viewPos + length) - doc;
    if (docLength > 0) {
        ++editCount_;
        const Units units = UnitsIn(doc, doc + docLength);
        const bool readers = ReadersListening();
        const int offset = readers ? Utf16OffsetOf(doc) : 0;
        const QString removed =
            readers ? QString::fromStdString(TextRange(doc, docLength)) : QString();
        AnchorsFollowEdit(doc, docLength, units, 0, Units{});
        NoteChange(doc, 0, docLength);
        changedInBatch_ = true;
        if (readers) emit TextChangedForReaders(offset, removed, QString());
    }
    breaks_.Deleted(viewPos, length);
    for (PendingLook& p : pendingLooks_) p.span.Deleted(viewPos, length);
    if (dirty_) {
        dirtySpan_.Deleted(viewPos, length);
        dirtySpan_.from = std::min(dirtySpan_.from, viewPos);
        dirtySpan_.to = std::max(dirtySpan_.to, viewPos);
    } else {
        dirty_ = true;
        dirtySpan_ = ViewSpan{viewPos, viewPos};
    }
}

void CodeView::QueueSettle() {
    // An edit outside any of the actions above (the component's own, such
    // as a drag that moves text): settle once the component is done.
    if (settleQueued_) return;
    settleQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        settleQueued_ = false;
        if (batchDepth_ == 0) Settle();
    });
}

void CodeView::ApplyPendingLooks() {
    if (pendingLooks_.empty()) return;
    const std::vector<PendingLook> looks = std::move(pendingLooks_);
    pendingLooks_.clear();
    for (const PendingLook& p : looks) {
        if (p.span.to <= p.span.from) continue;
        SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(p.span.from), 0L);
        SendScintilla(SCI_SETSTYLING, static_cast<unsigned long>(p.span.to - p.span.from),
                      static_cast<long>(p.style));
    }
}

void CodeView::Settle() {
    if (settling_) return;
    settling_ = true;
    FinishInsert();
    ApplyPendingLooks();
    if (dirty_) {
        dirty_ = false;
        if (softBreaks_) Rebreak(dirtySpan_.from, dirtySpan_.to);
    }
    settling_ = false;
    if (changedInBatch_) {
        changedInBatch_ = false;
        emit Change();
    }
}

void CodeView::InsertBreak(int viewPos) {
    const int style = viewPos > 0 ? static_cast<int>(SendScintilla(
                                        SCI_GETSTYLEAT, static_cast<unsigned long>(viewPos - 1)))
                                  : 0;
    SendScintilla(SCI_INSERTTEXT, static_cast<unsigned long>(viewPos), "\n");
    breaks_.Add(viewPos);
    SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(viewPos), 0L);
    SendScintilla(SCI_SETSTYLING, 1UL, static_cast<long>(style));
    SendScintilla(SCI_SETINDICATORCURRENT, static_cast<unsigned long>(kBreakIndicator));
    SendScintilla(SCI_INDICATORFILLRANGE, static_cast<unsigned long>(viewPos), 1L);
}

void CodeView::RemoveBreak(int viewPos) {
    SendScintilla(SCI_DELETERANGE, static_cast<unsigned long>(viewPos), 1L);
}

void CodeView::Rebreak(int from, int to) {
    const int viewLen = static_cast<int>(SendScintilla(SCI_GETLENGTH));
    from = std::clamp(from, 0, viewLen);
    to = std::clamp(to, from, viewLen);
    const int lines = static_cast<int>(SendScintilla(SCI_GETLINECOUNT));
    const int firstLine = std::max(
        0, static_cast<int>(SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(from))) -
               1);
    const int lastLine = std::min(
        lines - 1,
        static_cast<int>(SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(to))) + 1);
    const int regionStart = static_cast<int>(
        SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(firstLine)));
    const int regionEnd = static_cast<int>(
        SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(lastLine)));
    // The pieces between the break before the region and the one after it
    // (or the line ends) are laid out again; the rest of the line stays.
    const std::string shown = ViewRange(regionStart, regionEnd);
    const std::vector<int>& all = breaks_.ViewPositions();
    const auto first = std::lower_bound(all.begin(), all.end(), regionStart);
    const auto last = std::lower_bound(first, all.end(), regionEnd);
    std::vector<int> inShown;
    std::vector<int> existing;
    for (auto it = first; it != last; ++it) {
        inShown.push_back(*it - regionStart);
        existing.push_back(*it - regionStart - static_cast<int>(existing.size()));
    }
    const std::string text = WithoutBreaks(shown, inShown);
    const std::vector<int> wanted = SoftBreakPoints(text, existing);
    if (wanted != existing) {
        const int regionDoc = breaks_.ToDoc(regionStart);
        std::vector<int> removeViews;
        for (std::size_t i = 0; i < existing.size(); ++i) {
            if (!std::binary_search(wanted.begin(), wanted.end(), existing[i])) {
                removeViews.push_back(regionStart + inShown[i]);
            }
        }
        InternalEdit internal(this, internal_);
        for (auto it = removeViews.rbegin(); it != removeViews.rend(); ++it) RemoveBreak(*it);
        for (auto it = wanted.rbegin(); it != wanted.rend(); ++it) {
            if (!std::binary_search(existing.begin(), existing.end(), *it)) {
                InsertBreak(breaks_.ToView(regionDoc + *it));
            }
        }
    }
    const int endLine = std::min(
        static_cast<int>(SendScintilla(SCI_GETLINECOUNT)) - 1,
        lastLine + static_cast<int>(wanted.size()) - static_cast<int>(existing.size()) + 1);
    MarkContinuedLines(firstLine, endLine);
    setMarginWidth(kContinuedMargin, breaks_.Empty() ? 0 : kContinuedMarginWidth);
}

void CodeView::MarkContinuedLines(int fromLine, int toLine) {
    for (int line = std::max(0, fromLine); line <= toLine; ++line) {
        const auto l = static_cast<unsigned long>(line);
        const bool continued =
            breaks_.IsBreakAt(static_cast<int>(SendScintilla(SCI_GETLINEENDPOSITION, l)));
        const bool marked = (SendScintilla(SCI_MARKERGET, l) & (1L << kContinuedMarker)) != 0;
        if (continued && !marked) {
            SendScintilla(SCI_MARKERADD, l, static_cast<long>(kContinuedMarker));
        } else if (!continued && marked) {
            // Lines that were joined keep every mark they had: take them all.
            while ((SendScintilla(SCI_MARKERGET, l) & (1L << kContinuedMarker)) != 0) {
                SendScintilla(SCI_MARKERDELETE, l, static_cast<long>(kContinuedMarker));
            }
        }
    }
}

// ---- Events ----------------------------------------------------------------

QMimeData* CodeView::toMimeData(const QByteArray& text, bool rectangular) const {
    // Copy, cut and drag take the selection as the document has it, without
    // the view's own breaks.
    if (!rectangular && !breaks_.Empty()) {
        const int from = static_cast<int>(SendScintilla(SCI_GETSELECTIONSTART));
        const int to = static_cast<int>(SendScintilla(SCI_GETSELECTIONEND));
        if (to - from == text.size() && breaks_.CountIn(from, to) > 0) {
            const std::string doc = TextRange(SelStart(), SelLength());
            return QsciScintilla::toMimeData(
                QByteArray(doc.data(), static_cast<qsizetype>(doc.size())), false);
        }
    }
    return QsciScintilla::toMimeData(text, rectangular);
}

void CodeView::ReleaseKeys(const QList<QKeySequence>& keys) {
    for (const QKeySequence& sequence : keys) {
        // Only a single chord can be one of the component's bindings.
        if (sequence.count() != 1) continue;
        const int key = sequence[0].toCombined();
        for (QsciCommand* cmd : standardCommands()->commands()) {
            if (cmd->key() == key) cmd->setKey(0);
            if (cmd->alternateKey() == key) cmd->setAlternateKey(0);
        }
    }
}

bool CodeView::IsComponentKey(const QKeyEvent& key) const {
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    return standardCommands()->boundTo(key.key() | static_cast<int>(mods)) != nullptr;
}

void CodeView::keyPressEvent(QKeyEvent* e) {
    // A key with Alt belongs to the menus (Alt+E opens Edit): one that opens
    // no menu types nothing either. Ctrl+Alt is left alone, as some
    // keyboards type characters with it.
    const Qt::KeyboardModifiers held = e->modifiers();
    if ((held & Qt::AltModifier) && !(held & Qt::ControlModifier) && !IsComponentKey(*e)) {
        e->ignore();
        return;
    }
    {
        ChangeBatch batch(this);
        // At one of the view's breaks the keys act as if it were not there:
        // Delete and Backspace take the document's next or previous
        // character, and the arrows do not stop on both sides of it.
        const auto caret = static_cast<int>(SendScintilla(SCI_GETCURRENTPOS));
        const bool empty = SendScintilla(SCI_GETSELECTIONEMPTY) != 0;
        const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
        if (empty && !breaks_.Empty()) {
            const bool breakAfter = breaks_.IsBreakAt(caret);
            const bool breakBefore = caret > 0 && breaks_.IsBreakAt(caret - 1);
            const bool plainOrCtrl = mods == Qt::NoModifier || mods == Qt::ControlModifier;
            // In overtype mode a typed character replaces the document's
            // next character, which stands after the break.
            const bool overtyping = overwriteMode() && !e->text().isEmpty() &&
                                    e->text().at(0).isPrint() &&
                                    (mods & (Qt::ControlModifier | Qt::AltModifier)) == 0;
            if (breakAfter &&
                (overtyping || (plainOrCtrl && (e->key() == Qt::Key_Delete ||
                                                (e->key() == Qt::Key_Right && mods == 0))))) {
                SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(caret + 1));
            } else if (breakBefore && plainOrCtrl &&
                       (e->key() == Qt::Key_Backspace || (e->key() == Qt::Key_Left && mods == 0))) {
                SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(caret - 1));
            }
        }
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
    {
        // A middle-button press pastes the primary selection.
        ChangeBatch batch(this);
        QsciScintilla::mousePressEvent(e);
    }
    emit MouseDown();
}

void CodeView::mouseMoveEvent(QMouseEvent* e) {
    // A drag that leaves the view may move the selection out of it.
    ChangeBatch batch(this);
    QsciScintilla::mouseMoveEvent(e);
}

void CodeView::mouseReleaseEvent(QMouseEvent* e) {
    {
        ChangeBatch batch(this);
        QsciScintilla::mouseReleaseEvent(e);
    }
    emit MouseUp();
}

void CodeView::contextMenuEvent(QContextMenuEvent* e) {
    ChangeBatch batch(this);
    QsciScintilla::contextMenuEvent(e);
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
