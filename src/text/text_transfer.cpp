#include "text/text_transfer.h"

#include "text/text_encoding.h"
#include "text/windows1252.h"

namespace tarlo {

std::string EncodeNonAsciiAsReferences(std::string_view utf8, bool windows1252Numbers) {
    std::string out;
    out.reserve(utf8.size() + utf8.size() / 16);
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t len = NextUtf8(utf8, i, cp);
        if (len == 0) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        unsigned long number = cp;
        if (windows1252Numbers) {
            if (const auto w = ToWindows1252(cp); w && *w >= 128 && *w <= 159) number = *w;
        }
        out += "&#";
        out += std::to_string(number);
        out += ';';
        i += len;
    }
    return out;
}

std::string ToCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

std::string PageHtmlToCode(std::string_view outerHtml) {
    return ToCrLf(EncodeNonAsciiAsReferences(outerHtml));
}

std::size_t CountCharacters(std::string_view utf8) {
    std::size_t n = 0;
    for (const char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    }
    return n;
}

}  // namespace tarlo
