// The one UTF-8 sequence reader: by shape alone for searches that step over
// characters, and the strict decoder built on it.
#include <gtest/gtest.h>

#include <string>

#include "text/text_encoding.h"

namespace tarlo {
namespace {

// "length cp" by shape, then by NextUtf8, for the bytes at the text's start.
std::string Read(std::string_view bytes) {
    char32_t shape = 0;
    char32_t strict = 0;
    const std::size_t a = Utf8SequenceAt(bytes, 0, shape);
    const std::size_t b = NextUtf8(bytes, 0, strict);
    return std::to_string(a) + " " + (a ? std::to_string(shape) : "-") + " | " + std::to_string(b) +
           " " + (b ? std::to_string(strict) : "-");
}

TEST(Utf8Sequence, ShapeAloneOrAValidCharacter) {
    EXPECT_EQ(Read("A"), "1 65 | 1 65");
    EXPECT_EQ(Read("\xC3\xA9x"), "2 233 | 2 233");
    EXPECT_EQ(Read("\xF0\x9F\x98\x80"), "4 128512 | 4 128512");
    // Well shaped, but no character UTF-8 allows: overlong, a surrogate,
    // past U+10FFFF.
    EXPECT_EQ(Read("\xE0\x82\xA9"), "3 169 | 0 -");
    EXPECT_EQ(Read("\xED\xA0\x80"), "3 55296 | 0 -");
    EXPECT_EQ(Read("\xF4\x90\x80\x80"), "4 1114112 | 0 -");
    // Not a sequence at all: no lead byte, cut short, a byte that does not
    // continue it.
    for (std::string_view bad : {"\x80", "\xC0\xAF", "\xF5\x80\x80\x80", "\xE2\x80", "\xC3\x41"}) {
        EXPECT_EQ(Read(bad), "0 - | 0 -") << bad;
    }
}

}  // namespace
}  // namespace tarlo
