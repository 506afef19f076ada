#include "document/undo_history.h"

#include <algorithm>
#include <array>

namespace tarlo {

namespace {

constexpr std::size_t kMaxLooks = 256;

void PutVarint(std::string& out, std::size_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<char>((v & 0x7F) | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<char>(v));
}

std::size_t GetVarint(std::string_view in, std::size_t& at) {
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

// One look number per byte, as (length, number) pairs: a middle of a colour
// pass is long but has few runs.
std::string Pack(std::string_view perByte) {
    std::string out;
    for (std::size_t i = 0; i < perByte.size();) {
        std::size_t j = i + 1;
        while (j < perByte.size() && perByte[j] == perByte[i]) ++j;
        PutVarint(out, j - i);
        out.push_back(perByte[i]);
        i = j;
    }
    return out;
}

std::string Unpack(std::string_view packed) {
    std::string out;
    for (std::size_t at = 0; at < packed.size();) {
        const std::size_t length = GetVarint(packed, at);
        if (at >= packed.size()) break;
        out.append(length, packed[at++]);
    }
    return out;
}

// Renumbers the looks of a packed middle.
void Renumber(std::string& packed, const std::array<int, kMaxLooks>& to) {
    for (std::size_t at = 0; at < packed.size();) {
        GetVarint(packed, at);
        if (at >= packed.size()) break;
        packed[at] = static_cast<char>(to[static_cast<unsigned char>(packed[at])]);
        ++at;
    }
}

}  // namespace

int UndoHistory::Find(WinColor colour, double pointSize) const {
    for (std::size_t i = 0; i < table_.size(); ++i) {
        if (table_[i].colour == colour && table_[i].pointSize == pointSize) return int(i);
    }
    return -1;
}

std::vector<char> UndoHistory::Numbers(const std::vector<StyleRun>& runs) {
    std::vector<Look> missing;
    for (const StyleRun& r : runs) {
        if (Find(r.colour, r.pointSize) >= 0) continue;
        const bool listed = std::any_of(missing.begin(), missing.end(), [&r](const Look& l) {
            return l.colour == r.colour && l.pointSize == r.pointSize;
        });
        if (!listed) missing.push_back({r.colour, r.pointSize});
    }
    if (table_.size() + missing.size() > kMaxLooks) Compact();
    if (table_.size() + missing.size() > kMaxLooks) {
        // Every number is in use by the history: the older steps go, the
        // slot the view stands on stays exact.
        deltas_.clear();
        index_ = 0;
        Compact();
    }
    for (const Look& l : missing) {
        if (table_.size() < kMaxLooks) table_.push_back(l);
    }
    std::vector<char> out;
    out.reserve(runs.size());
    for (const StyleRun& r : runs)
        out.push_back(static_cast<char>(std::max(0, Find(r.colour, r.pointSize))));
    return out;
}

void UndoHistory::Compact() {
    std::array<bool, kMaxLooks> used{};
    for (char c : looks_) used[static_cast<unsigned char>(c)] = true;
    for (const Delta& d : deltas_) {
        for (const std::string* packed : {&d.beforeLooks, &d.afterLooks}) {
            for (std::size_t at = 0; at < packed->size();) {
                GetVarint(*packed, at);
                if (at < packed->size()) used[static_cast<unsigned char>((*packed)[at++])] = true;
            }
        }
    }
    std::array<int, kMaxLooks> to{};
    std::vector<Look> kept;
    for (std::size_t i = 0; i < table_.size(); ++i) {
        if (!used[i]) continue;
        to[i] = static_cast<int>(kept.size());
        kept.push_back(table_[i]);
    }
    if (kept.size() == table_.size()) return;
    table_ = std::move(kept);
    for (char& c : looks_) c = static_cast<char>(to[static_cast<unsigned char>(c)]);
    for (Delta& d : deltas_) {
        Renumber(d.beforeLooks, to);
        Renumber(d.afterLooks, to);
    }
}

namespace {

// Replaces `n` bytes at `pos`, growing the string by an eighth when it must
// grow: the history's whole slot stays close to the document's size, where
// the usual doubling would hold twice that.
void Splice(std::string& s, std::size_t pos, std::size_t n, std::string_view with) {
    const std::size_t size = s.size() - n + with.size();
    if (size > s.capacity()) s.reserve(size + size / 8 + 4096);
    s.replace(pos, n, with);
}

// The lengths of the common beginning and end of two strings, not overlapping.
std::pair<std::size_t, std::size_t> Common(std::string_view a, std::string_view b) {
    const std::size_t shorter = std::min(a.size(), b.size());
    std::size_t head = 0;
    while (head < shorter && a[head] == b[head]) ++head;
    std::size_t tail = 0;
    while (tail < shorter - head && a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) ++tail;
    return {head, tail};
}

}  // namespace

void UndoHistory::Commit(std::size_t start, std::size_t oldEnd, std::string_view text,
                         std::string_view looks) {
    const std::string_view oldText = std::string_view(text_).substr(start, oldEnd - start);
    const std::string_view oldLooks = std::string_view(looks_).substr(start, oldEnd - start);
    Delta d;
    const auto [textHead, textTail] = Common(oldText, text);
    const std::size_t oldTextMid = oldText.size() - textHead - textTail;
    const std::size_t newTextMid = text.size() - textHead - textTail;
    d.textPrefix = start + textHead;
    d.beforeText = std::string(oldText.substr(textHead, oldTextMid));
    d.afterText = std::string(text.substr(textHead, newTextMid));
    const auto [looksHead, looksTail] = Common(oldLooks, looks);
    d.looksPrefix = start + looksHead;
    d.beforeLooksSize = oldLooks.size() - looksHead - looksTail;
    d.afterLooksSize = looks.size() - looksHead - looksTail;
    d.beforeLooks = Pack(oldLooks.substr(looksHead, d.beforeLooksSize));
    d.afterLooks = Pack(looks.substr(looksHead, d.afterLooksSize));
    Splice(text_, d.textPrefix, oldTextMid, d.afterText);
    Splice(looks_, d.looksPrefix, d.beforeLooksSize, looks.substr(looksHead, d.afterLooksSize));

    deltas_.resize(static_cast<std::size_t>(index_));
    if (index_ >= kLastSlot) {
        deltas_.pop_front();
    } else {
        ++index_;
    }
    deltas_.push_back(std::move(d));
}

void UndoHistory::Record(std::string_view text, const std::vector<StyleRun>& runs) {
    // Bytes no run covers keep the look of text nothing has coloured.
    std::vector<StyleRun> all = runs;
    all.push_back({0, 0, kWhite, 9});
    const std::vector<char> numbers = Numbers(all);
    std::string looks(text.size(), numbers.back());
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const StyleRun& r = runs[i];
        const auto s = static_cast<std::size_t>(std::clamp(r.start, 0, int(text.size())));
        const auto e = static_cast<std::size_t>(
            std::clamp(r.start + std::max(r.length, 0), int(s), int(text.size())));
        if (s == e) continue;
        std::fill(looks.begin() + long(s), looks.begin() + long(e), numbers[i]);
    }
    Commit(0, text_.size(), text, looks);
}

void UndoHistory::Begin(std::string_view text, const std::vector<StyleRun>& runs) {
    Record(text, runs);
    deltas_.clear();
    index_ = 0;
}

bool UndoHistory::RecordSpan(std::size_t start, std::size_t end, std::size_t newLength,
                             std::string_view middle, const std::vector<StyleRun>& runs) {
    if (start > end || end > newLength || middle.size() != end - start) return false;
    const std::size_t suffix = newLength - end;
    if (start + suffix > text_.size()) return false;
    // The runs must cover the stretch exactly, in order.
    std::string looks;
    looks.reserve(middle.size());
    const std::vector<char> numbers = Numbers(runs);
    std::size_t at = start;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const StyleRun& r = runs[i];
        if (r.length <= 0) continue;
        if (static_cast<std::size_t>(r.start) != at) return false;
        at += static_cast<std::size_t>(r.length);
        if (at > end) return false;
        looks.append(static_cast<std::size_t>(r.length), numbers[i]);
    }
    if (at != end) return false;
    Commit(start, text_.size() - suffix, middle, looks);
    return true;
}

std::vector<StyleRun> UndoHistory::RunsOf(std::size_t from, std::size_t to) const {
    std::vector<StyleRun> out;
    to = std::min(to, looks_.size());
    for (std::size_t i = from; i < to;) {
        std::size_t j = i + 1;
        while (j < to && looks_[j] == looks_[i]) ++j;
        const auto n = static_cast<unsigned char>(looks_[i]);
        const Look l = n < table_.size() ? table_[n] : Look{kWhite, 9};
        out.push_back({static_cast<int>(i), static_cast<int>(j - i), l.colour, l.pointSize});
        i = j;
    }
    return out;
}

UndoStep UndoHistory::Step(const Delta& d, bool forward) {
    const std::string& outText = forward ? d.beforeText : d.afterText;
    const std::string& inText = forward ? d.afterText : d.beforeText;
    Splice(text_, d.textPrefix, outText.size(), inText);
    const std::size_t outLooks = forward ? d.beforeLooksSize : d.afterLooksSize;
    const std::size_t inLooks = forward ? d.afterLooksSize : d.beforeLooksSize;
    Splice(looks_, d.looksPrefix, outLooks, Unpack(forward ? d.afterLooks : d.beforeLooks));
    UndoStep step;
    step.start = d.textPrefix;
    step.removed = outText.size();
    step.text = inText;
    // The looks of every byte the step touches: the new text and the new looks.
    const std::size_t from = std::min(d.textPrefix, d.looksPrefix);
    const std::size_t to = std::max(d.textPrefix + inText.size(), d.looksPrefix + inLooks);
    step.runs = RunsOf(from, to);
    return step;
}

std::optional<UndoStep> UndoHistory::Undo() {
    if (index_ == 0) return std::nullopt;
    UndoStep step = Step(deltas_[static_cast<std::size_t>(index_ - 1)], false);
    --index_;
    return step;
}

std::optional<UndoStep> UndoHistory::Redo() {
    if (index_ >= NewestSlot()) return std::nullopt;
    UndoStep step = Step(deltas_[static_cast<std::size_t>(index_)], true);
    ++index_;
    return step;
}

UndoSnapshot UndoHistory::Current() const {
    return UndoSnapshot{text_, RunsOf(0, looks_.size())};
}

std::size_t UndoHistory::MemoryBytes() const {
    std::size_t bytes = text_.capacity() + looks_.capacity() + table_.capacity() * sizeof(Look);
    for (const Delta& d : deltas_) {
        bytes += sizeof(Delta) + d.beforeText.capacity() + d.afterText.capacity() +
                 d.beforeLooks.capacity() + d.afterLooks.capacity();
    }
    return bytes;
}

}  // namespace tarlo
