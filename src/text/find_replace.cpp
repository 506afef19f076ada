#include "text/find_replace.h"

#include <cstring>
#include <vector>

#include "text/text_scan.h"

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

void FindReplaceInPlace(std::string& text, std::string_view find, std::string_view replacement) {
    if (find.empty()) return;
    if (replacement.size() <= find.size()) {
        std::size_t at = FindExact(text, find);
        if (at == std::string::npos) return;
        char* const d = text.data();
        std::size_t w = at;  // never beyond the byte being read
        while (at != std::string::npos) {
            if (!replacement.empty()) std::memcpy(d + w, replacement.data(), replacement.size());
            w += replacement.size();
            const std::size_t from = at + find.size();
            at = FindExact(text, find, from);
            const std::size_t stop = at == std::string::npos ? text.size() : at;
            if (w != from) std::memmove(d + w, d + from, stop - from);
            w += stop - from;
        }
        text.resize(w);
        return;
    }
    std::vector<std::size_t> matches;
    for (std::size_t at = FindExact(text, find); at != std::string::npos;
         at = FindExact(text, find, at + find.size())) {
        matches.push_back(at);
    }
    if (matches.empty()) return;
    const std::size_t oldSize = text.size();
    text.resize(oldSize + matches.size() * (replacement.size() - find.size()));
    char* const d = text.data();
    std::size_t r = oldSize;      // end of what is still to be moved
    std::size_t w = text.size();  // end of what is still to be written
    for (std::size_t k = matches.size(); k-- > 0;) {
        const std::size_t after = matches[k] + find.size();
        w -= r - after;
        std::memmove(d + w, d + after, r - after);
        w -= replacement.size();
        std::memcpy(d + w, replacement.data(), replacement.size());
        r = matches[k];
    }
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
