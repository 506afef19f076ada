#pragma once
// Small HTML texts made from pieces that meet the clean-up's and the
// formatter's rules at their edges: quotes of both kinds, closed and not,
// blanks inside values, line breaks and tabs next to tags and words.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace tarlo::testing_html {

// A fixed sequence of numbers, the same on every machine.
class Numbers {
  public:
    explicit Numbers(std::uint32_t seed) : state_(seed) {}
    std::size_t Below(std::size_t n) {
        state_ = state_ * 1103515245u + 12345u;
        return ((state_ >> 8) & 0xffffff) % n;
    }
    const char* Pick(std::initializer_list<const char*> from) {
        return from.begin()[Below(from.size())];
    }

  private:
    std::uint32_t state_;
};

inline std::string GeneratedAttribute(Numbers& n) {
    std::string a = n.Pick({" ", " ", " ", "  ", "\t", "\r\n", ""});
    a += n.Pick({"class", "CLASS", "style", "name", "id", "x:num", "x:fmla", "x:str", "href",
                 "width", "rowspan", "colspan", "align", "mso-style", "data-id", "classic"});
    a += n.Pick({"=", "=", "=", "", " =", "= ", "=\r\n "});
    const char* quote = n.Pick({"", "\"", "\"", "'", "'"});
    a += quote;
    a += n.Pick({"", "a", "a b", "#toc", "font-family:'Arial',sans-serif", "it's", "x\"y", "3",
                 "class=z", " id=q", "style", "a>b"});
    if (n.Below(8) > 0) a += quote;
    return a;
}

// A text with up to a dozen tags and texts between them.
inline std::string GeneratedCleanupInput(Numbers& n) {
    std::string html = n.Below(2) ? "<head>" : "";
    const std::size_t count = 1 + n.Below(12);
    for (std::size_t i = 0; i < count; ++i) {
        if (n.Below(3) == 0) {
            // clang-format off
            html += n.Pick({"word", " ", "  x ", "it's", "\r\n", "\n\n", "\u2026", "&nbsp;",
                            "<!-- c -->", "<!--", "-->", "<![if !x]>", "<![endif]>", "<head>",
                            "'", "\"", ">", "<meta name=\"Generator\" content=\"x\">",
                            "<META NAME=\"ProgId\">", "<meta name=\"originator\">",
                            "<link rel=\"File-List\" href=x>", "<tr height=17>",
                            "<TR style='x'>", "<P></P>", "<LI>", "<TD>", "<HEAD>",
                            "<header>", "<HTML lang=en>", "<title>t</title>", "<TITLE>"});
            // clang-format on
            continue;
        }
        html += n.Below(5) == 0 ? "</" : "<";
        html += n.Pick({"td",    "TD",  "p",   "P",    "a",    "a",   "tr",
                        "table", "div", "img", "b",    "li",   "col", "span",
                        "o:p",   "pre", "ol",  "html", "meta", "i",   "ix:nonFraction"});
        for (std::size_t k = n.Below(5); k > 0; --k) html += GeneratedAttribute(n);
        html += n.Pick({">", ">", ">", "/>", " >", ""});
    }
    return html;
}

// A text of up to thirty pieces, sometimes deep inside nested elements.
inline std::string GeneratedFormatInput(Numbers& n) {
    std::string html;
    if (n.Below(6) == 0) {
        for (std::size_t k = 15 + n.Below(15); k > 0; --k) html += "<div>";
    }
    const std::size_t count = n.Below(30);
    for (std::size_t i = 0; i < count; ++i) {
        // clang-format off
        html += n.Pick({"<td>", "<td/>", "<TD />", "</td>", "<tr>", "</tr>", "<br/>", "<BR>",
                        "<img src=a/>", "<p>", "</p>", "<!-- c -->", "<div>", "</div>", "<pre>",
                        "</pre>", "<PRE class=x>", "<xmp>", "</xmp>", "<a href=x>", "</a>",
                        "word", "Total", " ", "  ", "\r\n", "\r\n   ", "\t", "\r", "\n", "<",
                        ">", "/>", "< ", " >", "<input/>", "<!doctype html>", "</b>", "<b>"});
        // clang-format on
    }
    return html;
}

}  // namespace tarlo::testing_html
