#include "startup/tips.h"

namespace tarlo {

std::vector<std::string> ReadTips(std::string_view content) {
    std::vector<std::string> tips;
    std::size_t start = 0;
    while (start < content.size() && tips.size() < kMaxTips) {
        std::size_t end = content.find('\n', start);
        if (end == std::string_view::npos) end = content.size();
        std::string_view line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.find_first_not_of(" \t") != std::string_view::npos) tips.emplace_back(line);
        start = end + 1;
    }
    return tips;
}

std::size_t PickTip(std::size_t count, std::mt19937& random) {
    if (count == 0) return 0;
    std::uniform_int_distribution<std::size_t> pick(0, count - 1);
    return pick(random);
}

}  // namespace tarlo
