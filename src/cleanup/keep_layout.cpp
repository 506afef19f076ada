#include "cleanup/keep_layout.h"

#include <charconv>

namespace tarlo {

namespace {

// Whether `at` lies inside a tag: the last "<" before it comes after the
// last ">" before it. The cleaned text escapes "<" in its words, so a "<"
// always opens markup.
bool InsideTag(std::string_view text, std::size_t at) {
    const std::size_t open = text.rfind('<', at);
    if (open == std::string_view::npos) return false;
    const std::size_t close = text.rfind('>', at);
    return close == std::string_view::npos || close < open;
}

void AppendStyleValue(std::string& out, std::string_view style) {
    for (const char c : style) {
        if (c == '"') {
            out += '\'';
        } else if (c == '&') {
            out += "&amp;";
        } else {
            out += c;
        }
    }
}

}  // namespace

std::string ApplyLooks(std::string_view cleaned,
                       const std::unordered_map<std::size_t, std::string>& styles) {
    std::string out;
    out.reserve(cleaned.size() + cleaned.size() / 4);
    const std::string prefix = " " + std::string(kLookMarker) + "=\"";
    std::size_t from = 0;
    while (true) {
        const std::size_t at = cleaned.find(prefix, from);
        if (at == std::string_view::npos) break;
        const std::size_t digits = at + prefix.size();
        std::size_t number = 0;
        const auto [end, error] =
            std::from_chars(cleaned.data() + digits, cleaned.data() + cleaned.size(), number);
        const std::size_t close = static_cast<std::size_t>(end - cleaned.data());
        const bool wellFormed = error == std::errc() && close > digits && close < cleaned.size() &&
                                cleaned[close] == '"';
        if (!wellFormed || !InsideTag(cleaned, at)) {
            out.append(cleaned, from, digits - from);
            from = digits;
            continue;
        }
        out.append(cleaned, from, at - from);
        const auto style = styles.find(number);
        if (style != styles.end() && !style->second.empty()) {
            out += " style=\"";
            AppendStyleValue(out, style->second);
            out += '"';
        }
        from = close + 1;
    }
    out.append(cleaned, from, std::string_view::npos);
    return out;
}

}  // namespace tarlo
