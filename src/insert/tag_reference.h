#pragma once
// The tag reference of the "Common HTML codes" window: 85 tags in the order
// the list shows them, each with the one-line description shown as the
// list's hover text. Among them are EDGAR's rules on nested tables and on the
// legacy SGML tags <PAGE> and <R>.
#include <array>
#include <optional>
#include <string_view>

namespace tarlo {

struct TagEntry {
    std::string_view text;  // exactly what a double-click inserts, e.g. "<TABLE>"
    std::string_view description;
};

inline constexpr std::size_t kTagEntryCount = 85;

// The entries in list order (not sorted).
const std::array<TagEntry, kTagEntryCount>& TagReferenceEntries();

// The description of the entry whose text equals `entry` exactly (case
// matters: "<b>" is not an entry), or nothing.
std::optional<std::string_view> DescribeTag(std::string_view entry);

}  // namespace tarlo
