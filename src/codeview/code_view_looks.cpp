#include "codeview/code_view_looks.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace tarlo {

namespace {

// Scintilla keeps styles 32-39 for its own elements (default, line numbers,
// braces, control characters, guides, tips, fold text).
bool Reserved(int style) {
    return style >= 32 && style <= 39;
}
constexpr int kMaxStyle = 255;
constexpr unsigned long kDefaultStyle = 32;

// Sizes are kept in hundredths of a point, as Scintilla takes fractional sizes.
long Hundredths(double points) {
    return std::lround(points * 100);
}

quint64 LookKey(WinColor colour, double size) {
    return (static_cast<quint64>(colour) << 24) | static_cast<quint64>(Hundredths(size) & 0xFFFFFF);
}

}  // namespace

CodeViewLooks::CodeViewLooks(QsciScintillaBase& component, const SoftBreakMap& breaks,
                             TrackedPositions& positions, ChangeRecord& changes)
    : component_(component),
      breaks_(breaks),
      positions_(positions),
      changes_(changes),
      typingPos_(positions.Track(0, TrackedPositions::Stick::Left)) {}

void CodeViewLooks::SetUp() {
    // Style 0 is the look of text nothing has coloured yet.
    styles_.assign(1, Look{kWhite, 9});
    styleOfLook_[LookKey(kWhite, 9)] = 0;
    component_.SendScintilla(QsciScintillaBase::SCI_STYLESETFONT, kDefaultStyle, "Arial");
    component_.SendScintilla(QsciScintillaBase::SCI_STYLESETFONT, 0UL, "Arial");
    SetDefaultLook(kWhite, 9);
    SetBackgroundColour(kBlack);
}

CodeViewLooks::Look CodeViewLooks::LookOf(int style) const {
    const auto s = static_cast<std::size_t>(style);
    return s < styles_.size() ? styles_[s] : styles_[0];
}

int CodeViewLooks::StyleAtView(int viewPos) const {
    return static_cast<int>(component_.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT,
                                                     static_cast<unsigned long>(viewPos)));
}

int CodeViewLooks::DocumentLength() const {
    return static_cast<int>(component_.SendScintilla(QsciScintillaBase::SCI_GETLENGTH)) -
           breaks_.Count();
}

int CodeViewLooks::StyleFor(WinColor colour, double pointSize) {
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
    component_.SendScintilla(QsciScintillaBase::SCI_STYLESETFONT, s, "Arial");
    component_.SendScintilla(QsciScintillaBase::SCI_STYLESETFORE, s, static_cast<long>(colour));
    component_.SendScintilla(QsciScintillaBase::SCI_STYLESETBACK, s,
                             static_cast<long>(component_.SendScintilla(
                                 QsciScintillaBase::SCI_STYLEGETBACK, kDefaultStyle)));
    component_.SendScintilla(QsciScintillaBase::SCI_STYLESETSIZEFRACTIONAL, s,
                             Hundredths(pointSize));
    return next;
}

void CodeViewLooks::SetDefaultLook(WinColor colour, double pointSize) {
    // Every uncoloured character changes its look at once.
    if (styles_[0].colour != colour || styles_[0].pointSize != pointSize) changes_.Forget();
    styles_[0] = Look{colour, pointSize};
    for (auto it = styleOfLook_.begin(); it != styleOfLook_.end();) {
        it = it->second == 0 ? styleOfLook_.erase(it) : std::next(it);
    }
    styleOfLook_.emplace(LookKey(colour, pointSize), 0);
    for (const unsigned long s : {0UL, kDefaultStyle}) {
        component_.SendScintilla(QsciScintillaBase::SCI_STYLESETFORE, s, static_cast<long>(colour));
        component_.SendScintilla(QsciScintillaBase::SCI_STYLESETSIZEFRACTIONAL, s,
                                 Hundredths(pointSize));
    }
}

void CodeViewLooks::SetTypingColour(int pos, WinColor colour) {
    typingSet_ = true;
    positions_.Place(typingPos_, breaks_.ToView(pos));
    typingColour_ = colour;
}

void CodeViewLooks::SetBackgroundColour(WinColor colour) {
    for (int s = 0; s <= kMaxStyle; ++s) {
        if (s < static_cast<int>(styles_.size()) || s == static_cast<int>(kDefaultStyle)) {
            component_.SendScintilla(QsciScintillaBase::SCI_STYLESETBACK,
                                     static_cast<unsigned long>(s), static_cast<long>(colour));
        }
    }
    // The caret must stay visible on either background.
    const WinColor caret =
        (RedOf(colour) + GreenOf(colour) + BlueOf(colour)) > 384 ? kBlack : kWhite;
    component_.SendScintilla(QsciScintillaBase::SCI_SETCARETFORE,
                             static_cast<unsigned long>(caret));
}

void CodeViewLooks::Restyle(int start, int length, bool setColour, WinColor colour, bool setSize,
                            double pointSize) {
    ApplyPending();
    const int len = DocumentLength();
    start = std::clamp(start, 0, len);
    length = std::clamp(length, 0, len - start);
    if (length == 0) return;
    const int from = breaks_.ToView(start);
    const int span = breaks_.ToView(start + length) - from;
    // Read the styles of the range once, map each old style to its new one,
    // and write them back in one call: linear in the text.
    std::string cells(static_cast<std::size_t>(span) * 2 + 2, '\0');
    component_.SendScintilla(QsciScintillaBase::SCI_GETSTYLEDTEXT, static_cast<long>(from),
                             static_cast<long>(from + span), cells.data());
    std::string styles(static_cast<std::size_t>(span), '\0');
    int mapped[256];
    std::fill(std::begin(mapped), std::end(mapped), -1);
    for (int i = 0; i < span; ++i) {
        const auto old = static_cast<unsigned char>(cells[static_cast<std::size_t>(i) * 2 + 1]);
        if (mapped[old] < 0) {
            const Look look = LookOf(old);
            mapped[old] =
                StyleFor(setColour ? colour : look.colour, setSize ? pointSize : look.pointSize);
        }
        styles[static_cast<std::size_t>(i)] = static_cast<char>(mapped[old]);
    }
    component_.SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, static_cast<unsigned long>(from),
                             0L);
    component_.SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX, static_cast<uintptr_t>(span),
                             styles.data());
    changes_.Cover(start, start + length);
}

void CodeViewLooks::ApplyRuns(const std::vector<StyleRun>& runs) {
    ApplyPending();
    const int len = DocumentLength();
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
        component_.SendScintilla(QsciScintillaBase::SCI_GETSTYLEDTEXT, static_cast<long>(viewFrom),
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
    component_.SendScintilla(QsciScintillaBase::SCI_STARTSTYLING,
                             static_cast<unsigned long>(viewFrom), 0L);
    component_.SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX, static_cast<uintptr_t>(span),
                             styles.data());
    changes_.Cover(from, to);
}

std::vector<StyleRun> CodeViewLooks::RunsIn(int start, int length) const {
    ApplyPending();
    std::vector<StyleRun> out;
    const int total = DocumentLength();
    start = std::clamp(start, 0, total);
    const int len = std::clamp(length, 0, total - start);
    if (len == 0) return out;
    const int from = breaks_.ToView(start);
    const int to = breaks_.ToView(start + len);
    std::string cells(static_cast<std::size_t>(to - from) * 2 + 2, '\0');
    component_.SendScintilla(QsciScintillaBase::SCI_GETSTYLEDTEXT, static_cast<long>(from),
                             static_cast<long>(to), cells.data());
    const std::vector<int>& all = breaks_.ViewPositions();
    auto next = std::lower_bound(all.begin(), all.end(), from);
    int doc = start;
    for (int v = from; v < to; ++v) {
        if (next != all.end() && *next == v) {
            ++next;
            continue;
        }
        const Look look =
            LookOf(static_cast<unsigned char>(cells[static_cast<std::size_t>(v - from) * 2 + 1]));
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

WinColor CodeViewLooks::ColourAt(int pos) const {
    ApplyPending();
    return LookOf(StyleAtView(breaks_.ToView(pos))).colour;
}

double CodeViewLooks::SizeAt(int pos) const {
    ApplyPending();
    return LookOf(StyleAtView(breaks_.ToView(pos))).pointSize;
}

int CodeViewLooks::StyleOfInsertion(int viewPos, int pos, int length) {
    // Inserted text takes the look of the character before it, as typing
    // into a rich-text box does, unless a typing colour was just set here.
    const bool typed = typingSet_ && pos == breaks_.ToDoc(positions_.At(typingPos_));
    typingSet_ = false;
    if (length <= 0 || (viewPos == 0 && !typed)) return -1;
    const int style = viewPos > 0 ? StyleAtView(viewPos - 1) : 0;
    return typed ? StyleFor(typingColour_, LookOf(style).pointSize) : style;
}

void CodeViewLooks::Pend(int viewPos, int length, int style) {
    if (style < 0) return;
    pending_.push_back({positions_.Track(viewPos, TrackedPositions::Stick::Right),
                        positions_.Track(viewPos + length, TrackedPositions::Stick::Right), style});
}

void CodeViewLooks::Deleted() {
    if (positions_.LastMove(typingPos_) != TrackedPositions::Moved::None) typingSet_ = false;
}

void CodeViewLooks::ApplyPending() const {
    if (pending_.empty()) return;
    const std::vector<PendingLook> looks = std::move(pending_);
    pending_.clear();
    for (const PendingLook& p : looks) {
        const int from = positions_.At(p.from);
        const int to = positions_.At(p.to);
        positions_.Untrack(p.from);
        positions_.Untrack(p.to);
        if (to <= from) continue;
        component_.SendScintilla(QsciScintillaBase::SCI_STARTSTYLING,
                                 static_cast<unsigned long>(from), 0L);
        component_.SendScintilla(QsciScintillaBase::SCI_SETSTYLING,
                                 static_cast<unsigned long>(to - from), static_cast<long>(p.style));
    }
}

void CodeViewLooks::DropPending() {
    for (const PendingLook& p : pending_) {
        positions_.Untrack(p.from);
        positions_.Untrack(p.to);
    }
    pending_.clear();
}

}  // namespace tarlo
