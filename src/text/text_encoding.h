#pragma once
// How documents are read from and written to disk. Inside the editor every
// text is UTF-8; on disk a document is UTF-8 when it is valid UTF-8, else
// Windows-1252 (older filings). No character is ever dropped or replaced.
#include <string>
#include <string_view>

namespace tarlo {

bool IsValidUtf8(std::string_view bytes);

// Length of the UTF-8 sequence that starts at bytes[i] by its shape alone:
// an ASCII byte, or a lead byte C2..F4 followed by the continuation bytes it
// announces, with the code point its bits spell in `cp`; 0 otherwise. The
// value is not checked: overlong three- and four-byte forms, surrogates and
// values past U+10FFFF are read as what they spell. Searches that step over
// text character by character use it, so that no byte of a sequence is ever
// taken for a character of its own.
inline std::size_t Utf8SequenceAt(std::string_view bytes, std::size_t i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    std::size_t len = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (i + len > bytes.size()) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(bytes[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    return len;
}

// Length of the valid UTF-8 sequence that starts at bytes[i], with its code
// point in `cp`; 0 when the bytes there are not a character (a sequence of
// the wrong shape, an overlong form, a surrogate, past U+10FFFF).
std::size_t NextUtf8(std::string_view bytes, std::size_t i, char32_t& cp);

// The bytes of a file as UTF-8 text: unchanged when they are valid UTF-8
// (a leading byte-order mark is dropped), else read as Windows-1252.
std::string DecodeDocumentBytes(std::string_view bytes);

// The bytes to write for a UTF-8 text: Windows-1252 when every character has
// a byte there, else the UTF-8 text itself.
std::string EncodeDocumentBytes(std::string_view utf8);

// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace tarlo
