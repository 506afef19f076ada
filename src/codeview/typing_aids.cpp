#include "codeview/typing_aids.h"

#include "text/find_replace.h"

namespace tarlo {

namespace {

// 1-based position of the last occurrence lying wholly in `text`, 0 if none.
std::size_t LastAt(std::string_view text, std::string_view what) {
    const std::size_t at = text.rfind(what);
    return at == std::string_view::npos ? 0 : at + 1;
}

constexpr std::string_view kIndent =
    "<P>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";

}  // namespace

bool CaretInTag(std::string_view before) {
    return !before.empty() && LastAt(before, ">") < LastAt(before, "<");
}

bool CaretInComment(std::string_view before) {
    // Whichever of "-->" and "<!--" lies wholly before the caret and starts
    // last decides; the scan stops at the nearest one.
    for (std::size_t i = before.size(); i-- > 0;) {
        if (before.compare(i, 3, "-->") == 0 && i + 3 <= before.size()) return false;
        if (i + 4 <= before.size() && before.compare(i, 4, "<!--") == 0) return true;
    }
    return false;
}

bool CaretInQuotedValue(std::string_view before) {
    const std::size_t q = LastAt(before, "\"");
    const std::size_t e = LastAt(before, "=");
    if (q <= e) return false;
    const std::string_view head = before.substr(0, q - 1);
    return LastAt(head, "\"") < LastAt(head, "=");
}

std::string IndentFirstLines(std::string_view text) {
    const std::string indented = FindReplace(text, "<P>", kIndent);
    return FindReplace(indented, std::string(kIndent) + "</P>", "");
}

}  // namespace tarlo
