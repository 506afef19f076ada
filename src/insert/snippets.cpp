#include "insert/snippets.h"

namespace tarlo {

std::string KeywordsMeta(std::string_view keywords) {
    std::string out = "<META content=\"";
    out.reserve(out.size() + keywords.size() + 16);
    for (const char c : keywords) {
        if (c == '"') {
            out += "&quot;";
        } else {
            out += c;
        }
    }
    out += "\" name=keywords>";
    return out;
}

std::string MarqueeSnippet(std::string_view text) {
    std::string out = "<Marquee>";
    out += text;
    out += "</Marquee>";
    return out;
}

std::string_view LayerSnippet() {
    return "<div style='position: absolute; width: 100px; height: 100px; z-index: 1' "
           "id='New Layer'>&nbsp;</div>";
}

std::string_view SearchFormSnippet() {
    // The three blanks before name='q' are part of the form as filers know
    // it; keep them.
    return "<form method='get' action='https://www.google.com/search'><input type='text'   "
           "name='q' size='31' maxlength='255' value='' /><input type='submit' value='Google "
           "Search' /></form>";
}

}  // namespace tarlo
