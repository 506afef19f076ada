#pragma once
// The search of the find-and-replace window, on the document's text: the
// same rules as the code view's own search (letters compare without regard
// to case unless asked, whole words are bounded by non-word characters), and
// Replace All as one pass over the text, whose result goes into the code
// view as one edit.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarlo {

struct SearchOptions {
    bool wholeWord = false;
    bool matchCase = false;
};

// The window's option bits (whole word 2, match case 4; the highlight bit 8
// only matters to the view).
SearchOptions SearchOptionsFromBits(int bits);

// Letters (ASCII and beyond), digits and "_": what may not touch a whole word.
bool IsWordCharacter(char32_t c);

// The first occurrence of `find` at or after byte `start`, up to the end of
// the text (no wrap-around): its byte position, or -1. An empty `find` finds
// nothing. `length` receives the occurrence's length in the text.
long FindText(std::string_view text, std::string_view find, std::size_t start,
              SearchOptions options, std::size_t* length = nullptr);

// What Replace All does to a text: every occurrence replaced, left to right,
// the replacement never searched again. Only the stretch from the first
// occurrence to the end of the last changes, so it is handed back alone:
// the window replaces [from, to) of the text by `replaced` in one edit.
struct ReplaceAllResult {
    std::size_t count = 0;
    std::size_t from = 0;
    std::size_t to = 0;
    std::string replaced;
    // The whole text would have grown past `maxBytes`: nothing was built.
    bool tooLarge = false;
    std::uint64_t resultBytes = 0;  // the size the whole text would have
};
ReplaceAllResult ReplaceAllText(std::string_view text, std::string_view find,
                                std::string_view replacement, SearchOptions options,
                                std::uint64_t maxBytes = UINT64_MAX);

// The whole text after ReplaceAllText.
std::string ApplyReplaceAll(std::string_view text, const ReplaceAllResult& result);

}  // namespace tarlo
