#include "document/undo_history.h"

#include <algorithm>
#include <utility>

namespace tarlo {

namespace {

// The table is kept to the looks in use once it grows past this; it can
// never hold more than a look number can name.
constexpr std::size_t kCompactAt = 1024;
constexpr std::size_t kMaxLooks = 0xFFFF;

void PutVarint(std::string& out, std::size_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<char>((v & 0x7F) | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<char>(v));
}

std::size_t GetVarint(const std::string& in, std::size_t& at) {
    std::size_t v = 0;
    int shift = 0;
    while (at < in.size()) {
        const auto b = static_cast<unsigned char>(in[at++]);
        v |= static_cast<std::size_t>(b & 0x7F) << shift;
        if ((b & 0x80) == 0) break;
        shift += 7;
    }
    return v;
}

// Looks as (length, number) pairs: a colour pass over a filing is long but
// has few runs for its length.
std::string Pack(std::u16string_view perByte) {
    std::string out;
    for (std::size_t i = 0; i < perByte.size();) {
        std::size_t j = i + 1;
        while (j < perByte.size() && perByte[j] == perByte[i]) ++j;
        PutVarint(out, j - i);
        PutVarint(out, perByte[i]);
        i = j;
    }
    out.shrink_to_fit();
    return out;
}

// Calls `each(length, number)` for every pair of packed looks.
template <typename Each>
void ForEachRun(const std::string& packed, const Each& each) {
    for (std::size_t at = 0; at < packed.size();) {
        const std::size_t length = GetVarint(packed, at);
        if (at >= packed.size()) break;
        each(length, GetVarint(packed, at));
    }
}

std::u16string Unpack(const std::string& packed) {
    std::u16string out;
    ForEachRun(packed, [&out](std::size_t length, std::size_t number) {
        out.append(length, static_cast<char16_t>(number));
    });
    return out;
}

// The lengths of the common beginning and end of two stretches, at most
// `maxHead` and `maxTail`, not overlapping.
template <typename S>
std::pair<std::size_t, std::size_t> Common(const S& a, const S& b, std::size_t maxHead,
                                           std::size_t maxTail) {
    const std::size_t shorter = std::min(a.size(), b.size());
    const std::size_t headLimit = std::min(shorter, maxHead);
    std::size_t head = 0;
    while (head < headLimit && a[head] == b[head]) ++head;
    const std::size_t tailLimit = std::min(shorter - head, maxTail);
    std::size_t tail = 0;
    while (tail < tailLimit && a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) ++tail;
    return {head, tail};
}

// One stretch of the view's text or looks as it stood before the changes
// taken back so far. It grows as those changes reach further; outside it no
// change taken back so far reached, so what lies there is read from the
// view as it stands.
template <typename Buffer>
struct Region {
    bool placed = false;
    std::size_t start = 0;
    Buffer shown;  // the region as the view shows it, read once
    Buffer held;

    template <typename Read>
    void Reach(std::size_t from, std::size_t to, const Read& read) {
        if (!placed) {
            placed = true;
            start = from;
        }
        if (from < start) {
            // Nothing before the region ever changed: the view has it as it was.
            const Buffer before = read(from, start - from);
            held.insert(0, before);
            shown.insert(0, before);
            start = from;
        }
        const std::size_t end = start + held.size();
        if (to > end) {
            // After the region, too, only the offsets moved.
            const Buffer after = read(start + shown.size(), to - end);
            held.append(after);
            shown.append(after);
        }
    }
    std::size_t Offset(std::size_t at) const { return std::min(at - start, held.size()); }
    void Erase(std::size_t at, std::size_t length) { held.erase(Offset(at), length); }
    void Put(std::size_t at, const Buffer& piece) { held.insert(Offset(at), piece); }
    void Overwrite(std::size_t at, const Buffer& piece) {
        const std::size_t from = Offset(at);
        held.replace(from, std::min(piece.size(), held.size() - from), piece);
    }
};

}  // namespace

std::uint16_t UndoHistory::NumberOf(const Look& look) {
    for (std::size_t i = 0; i < table_.size(); ++i) {
        if (table_[i].colour == look.colour && table_[i].pointSize == look.pointSize) {
            return static_cast<std::uint16_t>(i);
        }
    }
    // The table is compacted long before; a history of more looks than
    // that shows the first in their place rather than fail.
    if (table_.size() >= kMaxLooks) return 0;
    table_.push_back(look);
    return static_cast<std::uint16_t>(table_.size() - 1);
}

UndoHistory::Looks UndoHistory::NumbersOf(const std::vector<StyleRun>& runs, std::size_t start,
                                          std::size_t length) {
    // Bytes no run covers keep the look of text nothing has coloured.
    Looks out(length, static_cast<char16_t>(NumberOf({kWhite, 9})));
    std::size_t last = table_.size();
    Look lastLook{};
    for (const StyleRun& r : runs) {
        const auto from = static_cast<std::size_t>(std::max<long long>(r.start, 0));
        const auto to = from + static_cast<std::size_t>(std::max(r.length, 0));
        const std::size_t s = std::clamp(from, start, start + length) - start;
        const std::size_t e = std::clamp(to, start, start + length) - start;
        if (s == e) continue;
        // Runs of a colour pass take turns among a few looks.
        if (last >= table_.size() || lastLook.colour != r.colour ||
            lastLook.pointSize != r.pointSize) {
            lastLook = {r.colour, r.pointSize};
            last = NumberOf(lastLook);
        }
        std::fill(out.begin() + static_cast<long>(s), out.begin() + static_cast<long>(e),
                  static_cast<char16_t>(last));
    }
    return out;
}

std::string UndoHistory::PackRuns(const std::vector<StyleRun>& runs, std::size_t start,
                                  std::size_t length) {
    // The view hands out runs that follow each other over the stretch; any
    // other list is taken byte by byte.
    std::size_t at = start;
    for (const StyleRun& r : runs) {
        if (r.length <= 0 || static_cast<std::size_t>(r.start) != at)
            return Pack(NumbersOf(runs, start, length));
        at += static_cast<std::size_t>(r.length);
    }
    if (at != start + length) return Pack(NumbersOf(runs, start, length));
    std::string out;
    std::size_t pending = 0;
    std::uint16_t number = 0;
    for (const StyleRun& r : runs) {
        const std::uint16_t n = NumberOf({r.colour, r.pointSize});
        if (pending > 0 && n != number) {
            PutVarint(out, pending);
            PutVarint(out, number);
            pending = 0;
        }
        number = n;
        pending += static_cast<std::size_t>(r.length);
    }
    if (pending > 0) {
        PutVarint(out, pending);
        PutVarint(out, number);
    }
    out.shrink_to_fit();
    return out;
}

std::vector<StyleRun> UndoHistory::RunsOf(const std::string& packed, std::size_t start) const {
    std::vector<StyleRun> out;
    std::size_t at = start;
    ForEachRun(packed, [&](std::size_t length, std::size_t number) {
        const Look l = number < table_.size() ? table_[number] : Look{kWhite, 9};
        out.push_back({static_cast<int>(at), static_cast<int>(length), l.colour, l.pointSize});
        at += length;
    });
    return out;
}

void UndoHistory::Compact() {
    std::vector<bool> used(table_.size(), false);
    const auto mark = [&used](const std::string& packed) {
        ForEachRun(packed, [&used](std::size_t, std::size_t n) {
            if (n < used.size()) used[n] = true;
        });
    };
    for (const Delta& d : deltas_) {
        mark(d.beforeLooks);
        mark(d.afterLooks);
    }
    for (const Change& c : changes_) mark(c.looks);
    std::vector<std::size_t> to(table_.size(), 0);
    std::vector<Look> kept;
    for (std::size_t i = 0; i < table_.size(); ++i) {
        if (!used[i]) continue;
        to[i] = kept.size();
        kept.push_back(table_[i]);
    }
    if (kept.size() == table_.size()) return;
    table_ = std::move(kept);
    const auto renumber = [&to](std::string& packed) {
        std::string out;
        ForEachRun(packed, [&](std::size_t length, std::size_t n) {
            PutVarint(out, length);
            PutVarint(out, n < to.size() ? to[n] : 0);
        });
        out.shrink_to_fit();
        packed = std::move(out);
    };
    for (Delta& d : deltas_) {
        renumber(d.beforeLooks);
        renumber(d.afterLooks);
    }
    for (Change& c : changes_) renumber(c.looks);
}

void UndoHistory::Inserted(std::size_t start, std::size_t length) {
    if (length == 0) return;
    // Text put in piece by piece at one place is one insertion.
    if (!changes_.empty()) {
        Change& last = changes_.back();
        if (last.kind == Change::Kind::Insert && last.start + last.length == start) {
            last.length += length;
            return;
        }
    }
    changes_.push_back({Change::Kind::Insert, start, length, {}, {}});
}

void UndoHistory::Removing(const UndoSource& view, std::size_t start, std::size_t length) {
    if (length == 0) return;
    std::string text = view.Text(start, length);
    std::string looks = PackRuns(view.Looks(start, length), start, length);
    changes_.push_back({Change::Kind::Remove, start, length, std::move(text), std::move(looks)});
}

bool UndoHistory::LooksKept(std::size_t start, std::size_t end) const {
    // Only changes since the last one that moved offsets can tell.
    for (auto it = changes_.rbegin(); it != changes_.rend(); ++it) {
        const bool inside = it->start <= start && end <= it->start + it->length;
        if (it->kind == Change::Kind::Restyle) {
            if (inside) return true;
            continue;
        }
        // Text put in by this step goes when it is undone, whatever its looks.
        return it->kind == Change::Kind::Insert && inside;
    }
    return false;
}

void UndoHistory::Restyling(const UndoSource& view, std::size_t start, std::size_t length) {
    // A repaint of the whole filing often follows another (a size after a
    // colour): only the first one's looks are the step's.
    if (length == 0 || LooksKept(start, start + length)) return;
    std::string looks = PackRuns(view.Looks(start, length), start, length);
    changes_.push_back({Change::Kind::Restyle, start, length, {}, std::move(looks)});
}

UndoHistory::Delta UndoHistory::Compose(const UndoSource& view) {
    const auto readText = [&view](std::size_t s, std::size_t n) { return view.Text(s, n); };
    const auto readLooks = [this, &view](std::size_t s, std::size_t n) {
        return NumbersOf(view.Looks(s, n), s, n);
    };
    // Take the changes back from the newest, on the stretch they reach.
    Region<std::string> text;
    Region<Looks> looks;
    for (auto it = changes_.rbegin(); it != changes_.rend(); ++it) {
        const Change& c = *it;
        const std::size_t end = c.start + c.length;
        switch (c.kind) {
            case Change::Kind::Insert:
                text.Reach(c.start, end, readText);
                text.Erase(c.start, c.length);
                looks.Reach(c.start, end, readLooks);
                looks.Erase(c.start, c.length);
                break;
            case Change::Kind::Remove:
                text.Reach(c.start, c.start, readText);
                text.Put(c.start, c.text);
                looks.Reach(c.start, c.start, readLooks);
                looks.Put(c.start, Unpack(c.looks));
                break;
            case Change::Kind::Restyle:
                looks.Reach(c.start, end, readLooks);
                looks.Overwrite(c.start, Unpack(c.looks));
                break;
        }
    }

    Delta d;
    const std::string& after = text.shown;
    const auto [head, tail] = Common(text.held, after, after.size(), after.size());
    const std::size_t beforeMid = text.held.size() - head - tail;
    const std::size_t afterMid = after.size() - head - tail;
    const bool textChanged = beforeMid + afterMid > 0;
    d.textStart = text.start + head;
    d.beforeText = text.held.substr(head, beforeMid);
    d.afterText = after.substr(head, afterMid);

    const Looks& afterLooks = looks.shown;
    std::size_t maxHead = afterLooks.size();
    std::size_t maxTail = afterLooks.size();
    if (textChanged) {
        // The looks of the text the step puts in are always part of it; the
        // region of looks holds every stretch of text that changed.
        maxHead = d.textStart >= looks.start ? d.textStart - looks.start : 0;
        const std::size_t beforeEnd = looks.start + looks.held.size();
        maxTail = beforeEnd >= d.textStart + beforeMid ? beforeEnd - d.textStart - beforeMid : 0;
    }
    const auto [lookHead, lookTail] = Common(looks.held, afterLooks, maxHead, maxTail);
    d.looksStart = looks.start + lookHead;
    d.beforeLooks = Pack(
        std::u16string_view(looks.held).substr(lookHead, looks.held.size() - lookHead - lookTail));
    d.afterLooks = Pack(
        std::u16string_view(afterLooks).substr(lookHead, afterLooks.size() - lookHead - lookTail));
    // A change of looks alone puts the caret where the looks changed.
    if (!textChanged) d.textStart = d.looksStart;
    return d;
}

void UndoHistory::Record(const UndoSource& view) {
    Delta d = Compose(view);
    changes_.clear();
    deltas_.resize(static_cast<std::size_t>(index_));
    if (index_ >= kLastSlot) {
        deltas_.pop_front();
    } else {
        ++index_;
    }
    deltas_.push_back(std::move(d));
    if (table_.size() > kCompactAt) Compact();
}

void UndoHistory::Begin() {
    deltas_.clear();
    changes_.clear();
    changes_.shrink_to_fit();
    table_.clear();
    index_ = 0;
}

UndoStep UndoHistory::Step(const Delta& d, bool forward) const {
    UndoStep step;
    step.start = d.textStart;
    step.removed = forward ? d.beforeText.size() : d.afterText.size();
    step.text = forward ? d.afterText : d.beforeText;
    step.runs = RunsOf(forward ? d.afterLooks : d.beforeLooks, d.looksStart);
    return step;
}

std::optional<UndoStep> UndoHistory::TakeBackUnrecorded(const UndoSource& view) {
    if (changes_.empty()) return std::nullopt;
    const Delta d = Compose(view);
    changes_.clear();
    return Step(d, false);
}

std::optional<UndoStep> UndoHistory::Undo() {
    if (!CanUndo()) return std::nullopt;
    --index_;
    return Step(deltas_[static_cast<std::size_t>(index_)], false);
}

std::optional<UndoStep> UndoHistory::Redo() {
    if (!CanRedo()) return std::nullopt;
    ++index_;
    return Step(deltas_[static_cast<std::size_t>(index_ - 1)], true);
}

std::size_t UndoHistory::MemoryBytes() const {
    std::size_t bytes = table_.capacity() * sizeof(Look);
    for (const Delta& d : deltas_) {
        bytes += sizeof(Delta) + d.beforeText.capacity() + d.afterText.capacity() +
                 d.beforeLooks.capacity() + d.afterLooks.capacity();
    }
    bytes += changes_.capacity() * sizeof(Change);
    for (const Change& c : changes_) bytes += c.text.capacity() + c.looks.capacity();
    return bytes;
}

}  // namespace tarlo
