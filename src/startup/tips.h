#pragma once
// The tips of the tip-of-the-day window: one tip per line of the tips file,
// numbered from 1 in file order.
#include <cstddef>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace tarlo {

// The most tips the window holds; further lines are not read.
inline constexpr std::size_t kMaxTips = 1000;

// The tips in `content`: each line a tip (LF or CR LF), the last line too
// when no line break follows it. Blank lines are passed over rather than
// shown as an empty tip. At most kMaxTips.
std::vector<std::string> ReadTips(std::string_view content);

// A uniform choice among the tips: an index in [0, count), 0 when count is 0.
std::size_t PickTip(std::size_t count, std::mt19937& random);

}  // namespace tarlo
