#include "text/text_scan.h"

#include <cstring>

#include "text/byte_block.h"

namespace tarlo {

std::string AsciiLowerCopy(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = AsciiLower(c);
    return out;
}

std::string AsciiUpperCopy(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = AsciiUpper(c);
    return out;
}

bool EqualsFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

std::size_t FindFolded(std::string_view text, std::string_view lowerNeedle, std::size_t from) {
    const std::size_t n = lowerNeedle.size();
    if (n == 0) return from <= text.size() ? from : std::string_view::npos;
    if (from >= text.size() || text.size() - from < n) return std::string_view::npos;
    const char first = lowerNeedle[0];
    const char firstUpper = AsciiUpper(first);
    const std::string_view rest = lowerNeedle.substr(1);
    const std::size_t last = text.size() - n;  // last start that fits
    std::size_t i = from;
    while (i <= last) {
        if (first == firstUpper) {
            // Not a letter: let memchr skip to the candidates.
            const void* hit = std::memchr(text.data() + i, first, last - i + 1);
            if (hit == nullptr) return std::string_view::npos;
            i = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
        } else if (text[i] != first && text[i] != firstUpper) {
            ++i;
            continue;
        }
        if (EqualsFolded(text.substr(i + 1, rest.size()), rest)) return i;
        ++i;
    }
    return std::string_view::npos;
}

// The first `needle` at or after `from`, as std::string::find answers it.
// Blocks of sixteen starts are tested on the needle's first and last byte at
// once, and only those that pass are compared in full: the tags' attributes
// and the fixed replacements' texts rarely pass.
std::size_t FindExact(std::string_view text, std::string_view needle, std::size_t from) {
    const std::size_t n = needle.size();
    if (n == 0) return from <= text.size() ? from : std::string_view::npos;
    if (from > text.size() || text.size() - from < n) return std::string_view::npos;
    const std::size_t last = text.size() - n;  // the last start that fits
    const char* const t = text.data();
    auto matchesAt = [&](std::size_t i) {
        for (std::size_t k = 1; k + 1 < n; ++k) {
            if (t[i + k] != needle[k]) return false;
        }
        return true;
    };
    std::size_t i = from;
    for (; i + ByteBlock::kSize - 1 <= last; i += ByteBlock::kSize) {
        const ByteBlock a(t + i);
        const ByteBlock b(t + i + n - 1);
        unsigned mask = (a.Is(needle[0]) & b.Is(needle[n - 1])).Bits();
        while (mask != 0) {
            const auto bit = static_cast<std::size_t>(__builtin_ctz(mask));
            if (matchesAt(i + bit)) return i + bit;
            mask &= mask - 1;
        }
    }
    for (; i <= last; ++i) {
        if (t[i] == needle[0] && t[i + n - 1] == needle[n - 1] && matchesAt(i)) return i;
    }
    return std::string_view::npos;
}

std::size_t ForwardFinder::Next(std::size_t from) {
    const bool reuse =
        valid_ && from >= from_ && (found_ == std::string_view::npos || found_ >= from);
    if (!reuse) {
        if (folded_) {
            found_ = FindFolded(text_, needle_, from);
        } else if (needle_.size() == 1) {
            // One byte: memchr alone, without a comparison per candidate.
            found_ = text_.find(needle_[0], from);
        } else {
            found_ = text_.find(needle_, from);
        }
        from_ = from;
        valid_ = true;
    }
    return found_;
}

}  // namespace tarlo
