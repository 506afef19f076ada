#pragma once
// Where a given closing tag occurs, without scanning the text for each tag.
// A closing text "</...>" with a single ">" at its end can only occur where
// the text has "</" and runs up to the first ">" after it, so indexing each
// "</" by the (folded) text up to that ">" answers every such search.
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarlo {

class ClosingTagIndex {
  public:
    // The text must outlive the index.
    explicit ClosingTagIndex(std::string_view text);
    // The same index from the offsets of every "<" and every ">" in the
    // text, ascending, when the caller has them already.
    ClosingTagIndex(std::string_view text, const std::vector<std::size_t>& lessThan,
                    const std::vector<std::size_t>& greaterThan);

    // 0-based offset of the first occurrence of `closing` at or after
    // `from`, ASCII letters folded, or npos. `closing` must start with "</"
    // and hold one ">", at its end.
    std::size_t Find(std::string_view closing, std::size_t from) const;

    // The same search for the closing tag of `tag` ("<" up to and including
    // its ">"): "</" followed by `tag` without its "<", built nowhere.
    std::size_t FindClosingOf(std::string_view tag, std::size_t from) const;

  private:
    static std::uint64_t Key(std::uint64_t hash, std::size_t length);
    void Build(const std::vector<std::size_t>& lessThan,
               const std::vector<std::size_t>& greaterThan);

    std::string_view text_;
    std::unordered_map<std::uint64_t, std::vector<std::size_t>> positions_;
    std::vector<bool> lengths_;    // lengths_[n]: some closing tag is n bytes long
    std::bitset<256> thirdBytes_;  // the (folded) bytes after "</" of the closing tags
};

}  // namespace tarlo
