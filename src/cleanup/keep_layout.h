#pragma once
// "Clean up, keeping the layout": the page hands over its markup with every
// element of the body numbered (a marker attribute), the clean-up runs on it
// as on any page, and the page then says, for each number, the inline style
// that makes the cleaned element look as the original did. This lays those
// styles into the cleaned text in place of the markers.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tarlo {

// The marker attribute's name, as the page writes it.
inline constexpr std::string_view kLookMarker = "data-tarlo-look";

// The cleaned text with each marker ` data-tarlo-look="N"` inside a tag
// replaced by ` style="…"` from `styles[N]`, or removed where N has no style
// or an empty one. A marker-like text outside a tag (the document's own words)
// stays as it is. A style's double quotes become single ones and its "&" a
// reference, so the value cannot end the attribute early.
std::string ApplyLooks(std::string_view cleaned,
                       const std::unordered_map<std::size_t, std::string>& styles);

}  // namespace tarlo
