#include "codeview/tracked_positions.h"

#include <algorithm>

namespace tarlo {

TrackedPositions::Id TrackedPositions::Track(int pos, Stick stick) {
    Id id = 0;
    if (free_.empty()) {
        id = static_cast<Id>(entries_.size());
        entries_.emplace_back();
    } else {
        id = free_.back();
        free_.pop_back();
    }
    entries_[static_cast<std::size_t>(id)] = Entry{pos, stick, Moved::None, true};
    return id;
}

void TrackedPositions::Untrack(Id id) {
    Entry& e = entries_[static_cast<std::size_t>(id)];
    if (!e.used) return;
    e.used = false;
    free_.push_back(id);
}

void TrackedPositions::Place(Id id, int pos) {
    Entry& e = entries_[static_cast<std::size_t>(id)];
    e.pos = pos;
    e.moved = Moved::None;
}

void TrackedPositions::TrackCharacters(std::vector<int>* sorted) {
    characters_.push_back(sorted);
}

void TrackedPositions::Inserted(int pos, int length) {
    for (Entry& e : entries_) {
        if (!e.used) continue;
        const bool after = e.pos > pos || (e.pos == pos && e.stick == Stick::Right);
        e.moved = after ? Moved::Shifted : Moved::None;
        if (after) e.pos += length;
    }
    for (std::vector<int>* marks : characters_) CharactersInserted(*marks, pos, length);
}

void TrackedPositions::Deleted(int pos, int length) {
    for (Entry& e : entries_) {
        if (!e.used) continue;
        if (e.pos >= pos + length) {
            e.pos -= length;
            e.moved = length > 0 ? Moved::Shifted : Moved::None;
        } else if (e.pos > pos) {
            e.pos = pos;
            e.moved = Moved::Swallowed;
        } else {
            e.moved = Moved::None;
        }
    }
    for (std::vector<int>* marks : characters_) CharactersDeleted(*marks, pos, length);
}

void TrackedPositions::CharactersInserted(std::vector<int>& sorted, int pos, int length) {
    // A character at the insertion point is pushed on by the new text.
    for (auto it = std::lower_bound(sorted.begin(), sorted.end(), pos); it != sorted.end(); ++it) {
        *it += length;
    }
}

int TrackedPositions::CharactersDeleted(std::vector<int>& sorted, int pos, int length) {
    const auto from = std::lower_bound(sorted.begin(), sorted.end(), pos);
    const auto to = std::lower_bound(from, sorted.end(), pos + length);
    const auto removed = static_cast<int>(to - from);
    for (auto it = to; it != sorted.end(); ++it) *it -= length;
    sorted.erase(from, to);
    return removed;
}

}  // namespace tarlo
