#include "text/text_encoding.h"

#include <optional>

#include "text/windows1252.h"

namespace tarlo {

std::size_t NextUtf8(std::string_view s, std::size_t i, char32_t& cp) {
    const std::size_t len = Utf8SequenceAt(s, i, cp);
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return len;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    char32_t cp = 0;
    while (i < bytes.size()) {
        // ASCII runs are the common case in HTML.
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t len = NextUtf8(bytes, i, cp);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

std::string DecodeDocumentBytes(std::string_view bytes) {
    if (IsValidUtf8(bytes)) {
        if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
        return std::string(bytes);
    }
    // Sized exactly before it is filled: a filing of tens of megabytes must
    // not be held twice over by a growing buffer.
    std::size_t size = 0;
    for (const char c : bytes) {
        const char32_t cp = FromWindows1252(static_cast<unsigned char>(c));
        size += cp < 0x80 ? 1 : cp < 0x800 ? 2 : 3;
    }
    std::string out;
    out.reserve(size);
    for (const char c : bytes) AppendUtf8(out, FromWindows1252(static_cast<unsigned char>(c)));
    return out;
}

std::string EncodeDocumentBytes(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    char32_t cp = 0;
    while (i < utf8.size()) {
        const std::size_t len = NextUtf8(utf8, i, cp);
        if (len == 0) return std::string(utf8);  // not text we made: keep it as it is
        const std::optional<unsigned char> b = ToWindows1252(cp);
        if (!b) return std::string(utf8);
        out += static_cast<char>(*b);
        i += len;
    }
    return out;
}

}  // namespace tarlo
