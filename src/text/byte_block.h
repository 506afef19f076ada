#pragma once
// Sixteen bytes of text tested at once. The scans of the formatter, the
// clean-up and the checks read multi-megabyte filings for a few marker bytes
// ("<", ">", line breaks); testing a block of sixteen per step instead of
// one byte makes those reads several times faster. Each test gives a lane
// mask; masks combine with | and &, and Bits() gives bit i for byte i.
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarlo {

class ByteMask {
  public:
#if defined(__SSE2__)
    explicit ByteMask(__m128i lanes) : lanes_(lanes) {}
    ByteMask operator|(ByteMask o) const {
        return ByteMask(_mm_or_si128(lanes_, o.lanes_));
    }
    ByteMask operator&(ByteMask o) const {
        return ByteMask(_mm_and_si128(lanes_, o.lanes_));
    }
    unsigned Bits() const {
        return static_cast<unsigned>(_mm_movemask_epi8(lanes_));
    }

  private:
    __m128i lanes_;
#else
    explicit ByteMask(unsigned bits) : bits_(bits) {}
    ByteMask operator|(ByteMask o) const {
        return ByteMask(bits_ | o.bits_);
    }
    ByteMask operator&(ByteMask o) const {
        return ByteMask(bits_ & o.bits_);
    }
    unsigned Bits() const {
        return bits_;
    }

  private:
    unsigned bits_;
#endif
};

class ByteBlock {
  public:
    static constexpr std::size_t kSize = 16;

    // Reads kSize bytes from `at`; they must all be readable.
    explicit ByteBlock(const char* at) {
#if defined(__SSE2__)
        bytes_ = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
#else
        std::memcpy(bytes_, at, kSize);
#endif
    }

    // The bytes equal to c.
    ByteMask Is(char c) const {
#if defined(__SSE2__)
        return ByteMask(_mm_cmpeq_epi8(bytes_, _mm_set1_epi8(c)));
#else
        unsigned bits = 0;
        for (std::size_t i = 0; i < kSize; ++i) {
            if (bytes_[i] == c) bits |= 1U << i;
        }
        return ByteMask(bits);
#endif
    }

    // Writes the block's bytes to `at` (which may overlap where it was read).
    void StoreTo(char* at) const {
#if defined(__SSE2__)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(at), bytes_);
#else
        std::memcpy(at, bytes_, kSize);
#endif
    }

  private:
#if defined(__SSE2__)
    __m128i bytes_;
#else
    char bytes_[kSize];
#endif
};

// Calls f(i) for every set bit i of `bits`, lowest first.
template <typename F>
void ForEachBit(unsigned bits, F&& f) {
    while (bits != 0) {
        f(static_cast<std::size_t>(__builtin_ctz(bits)));
        bits &= bits - 1;
    }
}

}  // namespace tarlo
