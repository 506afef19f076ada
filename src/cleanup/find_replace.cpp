#include "cleanup/find_replace.h"

namespace tarlo {

std::string FindReplace(std::string_view text, std::string_view find,
                        std::string_view replacement) {
    if (find.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at = text.find(find); at != std::string_view::npos;
         at = text.find(find, from)) {
        out.append(text, from, at - from);
        out.append(replacement);
        from = at + find.size();
    }
    out.append(text, from, std::string_view::npos);
    return out;
}

long Occurs(std::string_view text, std::string_view find) {
    if (text.empty()) return -1;
    if (find.empty()) return 0;
    long n = 0;
    for (std::size_t at = text.find(find); at != std::string_view::npos;
         at = text.find(find, at + find.size())) {
        ++n;
    }
    return n;
}

}  // namespace tarlo
