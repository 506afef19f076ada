#include "codeview/undo_history.h"

#include <algorithm>

namespace tarlo {

namespace {

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

}  // namespace

std::string UndoHistory::Encode(const std::vector<LookRun>& runs) {
    std::string out;
    out.reserve(runs.size() * 3);
    for (const LookRun& r : runs) {
        if (r.length <= 0) continue;
        std::size_t look = 0;
        while (look < looks_.size() &&
               (looks_[look].colour != r.colour || looks_[look].pointSize != r.pointSize)) {
            ++look;
        }
        if (look == looks_.size()) looks_.push_back({r.colour, r.pointSize});
        PutVarint(out, static_cast<std::size_t>(r.length));
        PutVarint(out, look);
    }
    return out;
}

UndoSnapshot UndoHistory::Current(std::size_t changedAt) const {
    UndoSnapshot s;
    s.text = text_;
    s.changedAt = changedAt;
    int pos = 0;
    for (std::size_t at = 0; at < runs_.size();) {
        const auto length = static_cast<int>(GetVarint(runs_, at));
        const std::size_t look = GetVarint(runs_, at);
        const Look l = look < looks_.size() ? looks_[look] : Look{kWhite, 9};
        s.runs.push_back({pos, length, l.colour, l.pointSize});
        pos += length;
    }
    return s;
}

UndoHistory::Part UndoHistory::Diff(const std::string& from, std::string_view to) {
    Part p;
    const std::size_t shorter = std::min(from.size(), to.size());
    const auto mismatch =
        std::mismatch(from.begin(), from.begin() + static_cast<long>(shorter), to.begin());
    p.prefix = static_cast<std::size_t>(mismatch.first - from.begin());
    std::size_t suffix = 0;
    while (suffix < shorter - p.prefix &&
           from[from.size() - 1 - suffix] == to[to.size() - 1 - suffix]) {
        ++suffix;
    }
    p.before = from.substr(p.prefix, from.size() - p.prefix - suffix);
    p.after = std::string(to.substr(p.prefix, to.size() - p.prefix - suffix));
    return p;
}

void UndoHistory::Apply(std::string& s, const Part& p, bool forward) {
    const std::string& out = forward ? p.before : p.after;
    const std::string& in = forward ? p.after : p.before;
    s.replace(p.prefix, out.size(), in);
}

void UndoHistory::Record(std::string_view text, const std::vector<LookRun>& runs) {
    const std::string newRuns = Encode(runs);
    deltas_.resize(static_cast<std::size_t>(index_));
    Delta d{Diff(text_, text), Diff(runs_, newRuns)};
    // The current slot becomes the new one in place: only the middle moves.
    Apply(text_, d.text, true);
    Apply(runs_, d.runs, true);
    if (index_ >= kLastSlot) {
        deltas_.pop_front();
    } else {
        ++index_;
    }
    deltas_.push_back(std::move(d));
}

std::optional<UndoSnapshot> UndoHistory::Undo() {
    if (index_ == 0) return std::nullopt;
    const Delta& d = deltas_[static_cast<std::size_t>(index_ - 1)];
    Apply(text_, d.text, false);
    Apply(runs_, d.runs, false);
    --index_;
    return Current(d.text.prefix + d.text.before.size());
}

std::optional<UndoSnapshot> UndoHistory::Redo() {
    if (index_ >= NewestSlot()) return std::nullopt;
    const Delta& d = deltas_[static_cast<std::size_t>(index_)];
    Apply(text_, d.text, true);
    Apply(runs_, d.runs, true);
    ++index_;
    return Current(d.text.prefix + d.text.after.size());
}

std::size_t UndoHistory::MemoryBytes() const {
    std::size_t bytes = text_.capacity() + runs_.capacity() + looks_.capacity() * sizeof(Look);
    for (const Delta& d : deltas_) {
        bytes += sizeof(Delta) + d.text.before.capacity() + d.text.after.capacity() +
                 d.runs.before.capacity() + d.runs.after.capacity();
    }
    return bytes;
}

}  // namespace tarlo
