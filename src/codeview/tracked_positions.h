#pragma once
// Every place the code view keeps in its component's text, moved by one
// function when text goes in or out. The caret panels' known column, the
// screen readers' known offset, the view's own line feeds, the stretch that
// waits to be settled, the looks that wait to be painted and the place a
// typing colour was set for all live here, so an edit moves them all by the
// same rules and no part of the view can forget one.
//
// Positions are offsets between characters of one text (the component's,
// breaks included). A marked character list holds offsets of characters
// themselves (the view's own line feeds): deleting the character drops its
// mark.
#include <cstddef>
#include <vector>

namespace tarlo {

class TrackedPositions {
  public:
    // Where a position goes when text is inserted exactly at it: Left stays
    // before the new text, Right goes after it.
    enum class Stick { Left, Right };
    // What the last edit did to a position: nothing (it stood before the
    // edit), shifted it by the edit's length (the whole edit stood before
    // it), or swallowed it (a deletion took text on both sides of it; it
    // now stands where the deletion started).
    enum class Moved { None, Shifted, Swallowed };
    using Id = int;

    Id Track(int pos, Stick stick);
    void Untrack(Id id);
    int At(Id id) const { return entries_[static_cast<std::size_t>(id)].pos; }
    void Place(Id id, int pos);
    Moved LastMove(Id id) const { return entries_[static_cast<std::size_t>(id)].moved; }

    // A sorted list of marked characters owned elsewhere; it must outlive
    // this registry or be released.
    void TrackCharacters(std::vector<int>* sorted);

    // The one move of every position and mark for an edit of the text.
    void Inserted(int pos, int length);
    void Deleted(int pos, int length);

    // The rules for a marked character list on its own. Deleting returns
    // how many marks the deleted stretch held.
    static void CharactersInserted(std::vector<int>& sorted, int pos, int length);
    static int CharactersDeleted(std::vector<int>& sorted, int pos, int length);

  private:
    struct Entry {
        int pos = 0;
        Stick stick = Stick::Left;
        Moved moved = Moved::None;
        bool used = false;
    };
    std::vector<Entry> entries_;
    std::vector<Id> free_;
    std::vector<std::vector<int>*> characters_;
};

}  // namespace tarlo
