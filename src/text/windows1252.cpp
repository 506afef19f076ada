#include "text/windows1252.h"

namespace tarlo {

namespace {

// Code points of the bytes 0x80..0x9F; 0 marks a byte the code page leaves undefined.
constexpr char32_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

std::optional<unsigned char> ToWindows1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == cp && cp != 0) return static_cast<unsigned char>(0x80 + i);
    }
    // Undefined bytes read in as their control codes go back out unchanged.
    if (cp >= 0x80 && cp <= 0x9F && kHigh[cp - 0x80] == 0) return static_cast<unsigned char>(cp);
    return std::nullopt;
}

char32_t FromWindows1252(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        const char32_t cp = kHigh[byte - 0x80];
        return cp != 0 ? cp : static_cast<char32_t>(byte);
    }
    return byte;
}

}  // namespace tarlo
