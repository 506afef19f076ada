#pragma once
// Searching markup in one pass. Markup matches without regard to case by
// folding ASCII letters only: tag and attribute names are ASCII, and folding
// anything else would let a search land inside a character of the text.
#include <cstddef>
#include <string>
#include <string_view>

namespace tarlo {

constexpr char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string AsciiLowerCopy(std::string_view text);
std::string AsciiUpperCopy(std::string_view text);

// True when a and b are equal once ASCII letters are folded.
bool EqualsFolded(std::string_view a, std::string_view b);

// First occurrence of `needle` at or after `from`, ASCII letters folded, or
// npos. `needle` must already be in lower case.
std::size_t FindFolded(std::string_view text, std::string_view lowerNeedle, std::size_t from);

// First occurrence of `needle` at or after `from`, exact, as
// std::string::find answers it, or npos. Blocks of sixteen starts are tested
// on the needle's first and last byte at once, and only those that pass are
// compared in full: quick where those two bytes rarely meet.
std::size_t FindExact(std::string_view text, std::string_view needle, std::size_t from = 0);

// The next occurrence of one needle for a scan that only moves forward: a
// search from a later start reuses the previous answer while it still lies
// ahead, so a whole run of searches reads the text once. A start behind the
// previous one simply searches again.
class ForwardFinder {
  public:
    // folded: ASCII letters compare without regard to case (needle in lower case).
    ForwardFinder(std::string_view text, std::string needle, bool folded = false)
        : text_(text), needle_(std::move(needle)), folded_(folded) {}

    std::size_t Next(std::size_t from);

  private:
    std::string_view text_;
    std::string needle_;
    bool folded_;
    bool valid_ = false;
    std::size_t from_ = 0;
    std::size_t found_ = std::string_view::npos;
};

}  // namespace tarlo
