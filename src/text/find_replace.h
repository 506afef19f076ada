#pragma once
// Exact text search shared by the clean-up, the typing aids and the checks.
#include <cstddef>
#include <string>
#include <string_view>

namespace tarlo {

// Replaces every occurrence of `find` in `text` by `replacement`: exact,
// case-sensitive, left to right, non-overlapping; the text produced by a
// replacement is never searched again. An empty `find` changes nothing.
std::string FindReplace(std::string_view text, std::string_view find, std::string_view replacement);

// FindReplace on the text itself, with the same matches. A shorter
// replacement is written over what has been read; a longer one widens the
// text once and fills it from the end.
void FindReplaceInPlace(std::string& text, std::string_view find, std::string_view replacement);

// Number of non-overlapping, case-sensitive occurrences of `find` in `text`,
// counted as the pieces that splitting `text` at every `find` gives, less
// one: an empty `text` gives -1 and an empty `find` 0. Callers test "none"
// as a value below 1.
long Occurs(std::string_view text, std::string_view find);

}  // namespace tarlo
