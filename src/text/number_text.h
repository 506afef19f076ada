#pragma once
// Numbers as the editor writes them for people: the status strip's line
// panel and the figures of the check reports.
#include <cstdint>
#include <string>

namespace tarlo {

// A whole number with thousands grouped by commas, the way "##,###,###"
// shows it: 1234 -> "1,234", 0 -> "0".
std::string GroupThousands(std::int64_t n);

}  // namespace tarlo
