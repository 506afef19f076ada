#include "codeview/code_view_breaks.h"

#include <algorithm>
#include <string>
#include <vector>

#include "codeview/code_view_text.h"

namespace tarlo {

namespace {

// The hidden mark on each of the view's own breaks, and the margin mark of a
// line that goes on in the next.
constexpr int kBreakIndicator = 8;
constexpr int kContinuedMarker = 1;
constexpr int kContinuedMargin = 1;
constexpr int kContinuedMarginWidth = 9;

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

CodeViewBreaks::CodeViewBreaks(QsciScintilla& component, TrackedPositions& positions)
    : component_(component),
      positions_(positions),
      dirtyFrom_(positions.Track(0, TrackedPositions::Stick::Right)),
      dirtyTo_(positions.Track(0, TrackedPositions::Stick::Right)) {
    map_.TrackIn(positions_);
}

void CodeViewBreaks::SetUp() {
    Send(QsciScintillaBase::SCI_INDICSETSTYLE, static_cast<unsigned long>(kBreakIndicator),
         QsciScintillaBase::INDIC_HIDDEN);
    Send(QsciScintillaBase::SCI_SETMARGINTYPEN, static_cast<unsigned long>(kContinuedMargin),
         QsciScintillaBase::SC_MARGIN_BACK);
    Send(QsciScintillaBase::SCI_SETMARGINMASKN, static_cast<unsigned long>(kContinuedMargin),
         1L << kContinuedMarker);
    Send(QsciScintillaBase::SCI_MARKERDEFINE, static_cast<unsigned long>(kContinuedMarker),
         QsciScintillaBase::SC_MARK_ARROWDOWN);
    Send(QsciScintillaBase::SCI_MARKERSETFORE, static_cast<unsigned long>(kContinuedMarker),
         0x808080L);
    Send(QsciScintillaBase::SCI_MARKERSETBACK, static_cast<unsigned long>(kContinuedMarker),
         0x808080L);
}

void CodeViewBreaks::ShowMargin() {
    component_.setMarginWidth(kContinuedMargin, map_.Empty() ? 0 : kContinuedMarginWidth);
}

void CodeViewBreaks::Load(std::string_view text) {
    const std::vector<int> points = on_ ? SoftBreakPoints(text) : std::vector<int>{};
    InternalEdit internal(&component_, internal_);
    Send(QsciScintillaBase::SCI_CLEARALL);
    map_.Clear();
    dirty_ = false;
    std::vector<int> views;
    views.reserve(points.size());
    if (points.empty()) {
        if (!text.empty()) {
            component_.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT,
                                     static_cast<uintptr_t>(text.size()), text.data());
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
        component_.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT,
                                 static_cast<uintptr_t>(shown.size()), shown.data());
    }
    map_.Assign(views);
    Send(QsciScintillaBase::SCI_SETINDICATORCURRENT, static_cast<unsigned long>(kBreakIndicator));
    Send(QsciScintillaBase::SCI_MARKERDELETEALL, static_cast<unsigned long>(kContinuedMarker));
    for (const int v : views) {
        Send(QsciScintillaBase::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(v), 1L);
        Send(QsciScintillaBase::SCI_MARKERADD,
             Send(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(v)),
             static_cast<long>(kContinuedMarker));
    }
    ShowMargin();
}

void CodeViewBreaks::Touched(int from, int to) {
    if (!dirty_) {
        dirty_ = true;
        positions_.Place(dirtyFrom_, from);
        positions_.Place(dirtyTo_, to);
        return;
    }
    positions_.Place(dirtyFrom_, std::min(positions_.At(dirtyFrom_), from));
    positions_.Place(dirtyTo_, std::max(positions_.At(dirtyTo_), to));
}

void CodeViewBreaks::Settle() {
    if (!dirty_) return;
    dirty_ = false;
    if (on_) Rebreak(positions_.At(dirtyFrom_), positions_.At(dirtyTo_));
}

void CodeViewBreaks::InsertBreak(int viewPos) {
    const int style = viewPos > 0 ? static_cast<int>(Send(QsciScintillaBase::SCI_GETSTYLEAT,
                                                          static_cast<unsigned long>(viewPos - 1)))
                                  : 0;
    component_.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, static_cast<unsigned long>(viewPos),
                             "\n");
    map_.Add(viewPos);
    Send(QsciScintillaBase::SCI_STARTSTYLING, static_cast<unsigned long>(viewPos), 0L);
    Send(QsciScintillaBase::SCI_SETSTYLING, 1UL, static_cast<long>(style));
    Send(QsciScintillaBase::SCI_SETINDICATORCURRENT, static_cast<unsigned long>(kBreakIndicator));
    Send(QsciScintillaBase::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(viewPos), 1L);
}

void CodeViewBreaks::RemoveBreak(int viewPos) {
    Send(QsciScintillaBase::SCI_DELETERANGE, static_cast<unsigned long>(viewPos), 1L);
}

void CodeViewBreaks::Rebreak(int from, int to) {
    const int viewLen = static_cast<int>(Send(QsciScintillaBase::SCI_GETLENGTH));
    from = std::clamp(from, 0, viewLen);
    to = std::clamp(to, from, viewLen);
    const auto lineOf = [this](int pos) {
        return static_cast<int>(
            Send(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos)));
    };
    const int lines = static_cast<int>(Send(QsciScintillaBase::SCI_GETLINECOUNT));
    const int firstLine = std::max(0, lineOf(from) - 1);
    const int lastLine = std::min(lines - 1, lineOf(to) + 1);
    const int regionStart = static_cast<int>(
        Send(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(firstLine)));
    const int regionEnd = static_cast<int>(
        Send(QsciScintillaBase::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(lastLine)));
    // The pieces between the break before the region and the one after it
    // (or the line ends) are laid out again; the rest of the line stays.
    const std::string shown = ViewRange(component_, regionStart, regionEnd);
    const std::vector<int>& all = map_.ViewPositions();
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
        const int regionDoc = map_.ToDoc(regionStart);
        std::vector<int> removeViews;
        for (std::size_t i = 0; i < existing.size(); ++i) {
            if (!std::binary_search(wanted.begin(), wanted.end(), existing[i])) {
                removeViews.push_back(regionStart + inShown[i]);
            }
        }
        InternalEdit internal(&component_, internal_);
        for (auto it = removeViews.rbegin(); it != removeViews.rend(); ++it) RemoveBreak(*it);
        for (auto it = wanted.rbegin(); it != wanted.rend(); ++it) {
            if (!std::binary_search(existing.begin(), existing.end(), *it)) {
                InsertBreak(map_.ToView(regionDoc + *it));
            }
        }
    }
    const int endLine = std::min(
        static_cast<int>(Send(QsciScintillaBase::SCI_GETLINECOUNT)) - 1,
        lastLine + static_cast<int>(wanted.size()) - static_cast<int>(existing.size()) + 1);
    MarkContinuedLines(firstLine, endLine);
    ShowMargin();
}

void CodeViewBreaks::MarkContinuedLines(int fromLine, int toLine) {
    for (int line = std::max(0, fromLine); line <= toLine; ++line) {
        const auto l = static_cast<unsigned long>(line);
        const bool continued =
            map_.IsBreakAt(static_cast<int>(Send(QsciScintillaBase::SCI_GETLINEENDPOSITION, l)));
        const bool marked =
            (Send(QsciScintillaBase::SCI_MARKERGET, l) & (1L << kContinuedMarker)) != 0;
        if (continued && !marked) {
            Send(QsciScintillaBase::SCI_MARKERADD, l, static_cast<long>(kContinuedMarker));
        } else if (!continued && marked) {
            // Lines that were joined keep every mark they had: take them all.
            while ((Send(QsciScintillaBase::SCI_MARKERGET, l) & (1L << kContinuedMarker)) != 0) {
                Send(QsciScintillaBase::SCI_MARKERDELETE, l, static_cast<long>(kContinuedMarker));
            }
        }
    }
}

}  // namespace tarlo
