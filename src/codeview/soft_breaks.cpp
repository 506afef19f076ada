#include "codeview/soft_breaks.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace tarlo {

namespace {

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The first line end at or after `from`, or the text's end.
int LineEndFrom(std::string_view text, int from) {
    const auto n = static_cast<int>(text.size());
    int i = from;
    while (i < n && !IsLineEnd(text[static_cast<std::size_t>(i)])) ++i;
    return i;
}

// A new break for the piece starting at `start` of a line that runs past
// `start` + the longest piece: after the first tag end past the target, else
// after the last blank, else on a character boundary at the longest piece.
int ChooseBreak(std::string_view text, int start) {
    const int lo = start + kSoftBreakTarget;
    const int hi = start + kSoftBreakMaxPiece;
    const char* base = text.data();
    if (const void* gt = std::memchr(base + lo - 1, '>', static_cast<std::size_t>(hi - lo + 1))) {
        return static_cast<int>(static_cast<const char*>(gt) - base) + 1;
    }
    for (int j = hi - 1; j >= lo - 1; --j) {
        if (text[static_cast<std::size_t>(j)] == ' ' || text[static_cast<std::size_t>(j)] == '\t') {
            return j + 1;
        }
    }
    int b = hi;
    // Never inside a character, nor inside the marks that open or close a
    // comment, which the typing aids look for.
    while (b > lo && (IsContinuation(text[static_cast<std::size_t>(b)]) ||
                      std::strchr("<!-", text[static_cast<std::size_t>(b - 1)]) != nullptr ||
                      std::strchr("<!-", text[static_cast<std::size_t>(b)]) != nullptr)) {
        --b;
    }
    while (b > start + 1 && IsContinuation(text[static_cast<std::size_t>(b)])) --b;
    return b;
}

}  // namespace

std::vector<int> SoftBreakPoints(std::string_view text, const std::vector<int>& existing) {
    std::vector<int> out;
    const auto n = static_cast<int>(text.size());
    std::size_t next = 0;
    int start = 0;
    while (start < n) {
        const int end = LineEndFrom(text, start);
        while (end - start > kSoftBreakMaxPiece) {
            while (next < existing.size() && existing[next] < start + kSoftBreakMinPiece) ++next;
            int b = -1;
            if (next < existing.size() && existing[next] <= start + kSoftBreakMaxPiece &&
                existing[next] < end &&
                !IsContinuation(text[static_cast<std::size_t>(existing[next])])) {
                b = existing[next];
            } else {
                b = ChooseBreak(text, start);
            }
            out.push_back(b);
            start = b;
        }
        start = end;
        if (start < n) {
            start += (text[static_cast<std::size_t>(start)] == '\r' && start + 1 < n &&
                      text[static_cast<std::size_t>(start) + 1] == '\n')
                         ? 2
                         : 1;
        }
    }
    return out;
}

int SoftBreakMap::CountBefore(int view) const {
    return static_cast<int>(std::lower_bound(breaks_.begin(), breaks_.end(), view) -
                            breaks_.begin());
}

int SoftBreakMap::CountIn(int from, int to) const {
    return to <= from ? 0 : CountBefore(to) - CountBefore(from);
}

bool SoftBreakMap::IsBreakAt(int view) const {
    return std::binary_search(breaks_.begin(), breaks_.end(), view);
}

int SoftBreakMap::ToView(int doc) const {
    // Breaks whose document offset is below `doc`; those offsets never fall
    // as the breaks go on, so a binary search finds the count.
    int lo = 0;
    int hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (breaks_[static_cast<std::size_t>(mid)] - mid < doc) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return doc + lo;
}

int SoftBreakMap::ToDoc(int view) const {
    return view - CountBefore(view);
}

void SoftBreakMap::Add(int view) {
    breaks_.insert(std::lower_bound(breaks_.begin(), breaks_.end(), view), view);
}

std::string WithoutBreaks(std::string_view view, const std::vector<int>& breaks) {
    std::string out;
    out.reserve(view.size() - std::min(view.size(), breaks.size()));
    std::size_t from = 0;
    for (const int b : breaks) {
        const auto at = static_cast<std::size_t>(b);
        if (at < from || at >= view.size()) continue;
        out.append(view.substr(from, at - from));
        from = at + 1;
    }
    out.append(view.substr(std::min(from, view.size())));
    return out;
}

}  // namespace tarlo
