#include "checker/closing_tag_index.h"

#include <algorithm>

#include "text/text_scan.h"

namespace tarlo {

namespace {

// Polynomial hash modulo the Mersenne prime 2^61 - 1. Collisions only cost
// a comparison: every candidate is checked against the text.
constexpr std::uint64_t kModulus = (std::uint64_t{1} << 61) - 1;
constexpr std::uint64_t kBase = 1000003;

__extension__ typedef unsigned __int128 Wide;

std::uint64_t MulMod(std::uint64_t a, std::uint64_t b) {
    const Wide p = static_cast<Wide>(a) * b;
    std::uint64_t r =
        static_cast<std::uint64_t>(p & kModulus) + static_cast<std::uint64_t>(p >> 61);
    if (r >= kModulus) r -= kModulus;
    return r;
}

std::uint64_t AddMod(std::uint64_t a, std::uint64_t b) {
    std::uint64_t r = a + b;
    if (r >= kModulus) r -= kModulus;
    return r;
}

std::uint64_t ByteValue(char c) {
    return static_cast<unsigned char>(c) + 1;
}

}  // namespace

std::uint64_t ClosingTagIndex::Key(std::uint64_t hash, std::size_t length) {
    return hash * 0x9E3779B97F4A7C15ULL ^ static_cast<std::uint64_t>(length);
}

ClosingTagIndex::ClosingTagIndex(std::string_view text) : text_(text) {
    std::vector<std::size_t> lessThan, greaterThan;
    for (std::size_t at = text_.find('<'); at != std::string_view::npos;
         at = text_.find('<', at + 1)) {
        lessThan.push_back(at);
    }
    for (std::size_t at = text_.find('>'); at != std::string_view::npos;
         at = text_.find('>', at + 1)) {
        greaterThan.push_back(at);
    }
    Build(lessThan, greaterThan);
}

ClosingTagIndex::ClosingTagIndex(std::string_view text, const std::vector<std::size_t>& lessThan,
                                 const std::vector<std::size_t>& greaterThan)
    : text_(text) {
    Build(lessThan, greaterThan);
}

void ClosingTagIndex::Build(const std::vector<std::size_t>& lessThan,
                            const std::vector<std::size_t>& greaterThan) {
    // Each stretch between two ">" is walked once, from its ">" leftwards to
    // its first "</", extending the hash of "here up to that >" one
    // character at a time. Stretches with no "</" cost a look at their "<".
    std::size_t stretchStart = 0;
    std::size_t k = 0;  // the first "<" at or after stretchStart
    for (const std::size_t gt : greaterThan) {
        while (k < lessThan.size() && lessThan[k] < stretchStart) ++k;
        std::size_t first = std::string_view::npos;
        for (std::size_t j = k; j < lessThan.size() && lessThan[j] < gt; ++j) {
            if (text_[lessThan[j] + 1] == '/') {
                first = lessThan[j];
                break;
            }
        }
        if (first != std::string_view::npos) {
            std::uint64_t hash = ByteValue('>');
            std::uint64_t power = kBase;  // kBase^(length of the hashed text)
            for (std::size_t p = gt; p-- > first;) {
                hash = AddMod(MulMod(ByteValue(AsciiLower(text_[p])), power), hash);
                power = MulMod(power, kBase);
                if (text_[p] == '<' && text_[p + 1] == '/') {
                    const std::size_t length = gt + 1 - p;
                    positions_[Key(hash, length)].push_back(p);
                    if (length >= lengths_.size()) lengths_.resize(length + 1, false);
                    lengths_[length] = true;
                    thirdBytes_[static_cast<unsigned char>(AsciiLower(text_[p + 2]))] = true;
                }
            }
        }
        stretchStart = gt + 1;
    }
    // Each stretch was walked right to left: put every list in ascending order.
    for (auto& [key, list] : positions_) std::sort(list.begin(), list.end());
}

std::size_t ClosingTagIndex::FindClosingOf(std::string_view tag, std::size_t from) const {
    if (tag.empty()) return std::string_view::npos;
    const std::size_t length = tag.size() + 1;
    if (length < 3 || length >= lengths_.size() || !lengths_[length]) {
        return std::string_view::npos;
    }
    const std::string_view name = tag.substr(1);
    // "</" then the name's first byte: a third byte no closing tag has rules
    // the tag out without hashing.
    if (!thirdBytes_[static_cast<unsigned char>(AsciiLower(name[0]))]) {
        return std::string_view::npos;
    }
    std::uint64_t hash = 0;
    hash = AddMod(MulMod(hash, kBase), ByteValue('<'));
    hash = AddMod(MulMod(hash, kBase), ByteValue('/'));
    for (char c : name) hash = AddMod(MulMod(hash, kBase), ByteValue(AsciiLower(c)));
    const auto it = positions_.find(Key(hash, length));
    if (it == positions_.end()) return std::string_view::npos;
    const std::vector<std::size_t>& list = it->second;
    for (auto p = std::lower_bound(list.begin(), list.end(), from); p != list.end(); ++p) {
        if (text_.size() - *p >= length && text_[*p] == '<' && text_[*p + 1] == '/' &&
            EqualsFolded(text_.substr(*p + 2, name.size()), name)) {
            return *p;
        }
    }
    return std::string_view::npos;
}

std::size_t ClosingTagIndex::Find(std::string_view closing, std::size_t from) const {
    // Most tags carry attributes, and no closing tag of the text is that
    // long: those are answered without hashing.
    if (closing.size() < 3 || closing.size() >= lengths_.size() || !lengths_[closing.size()]) {
        return std::string_view::npos;
    }
    std::uint64_t hash = 0;
    for (char c : closing) hash = AddMod(MulMod(hash, kBase), ByteValue(AsciiLower(c)));
    const auto it = positions_.find(Key(hash, closing.size()));
    if (it == positions_.end()) return std::string_view::npos;
    const std::vector<std::size_t>& list = it->second;
    for (auto p = std::lower_bound(list.begin(), list.end(), from); p != list.end(); ++p) {
        if (EqualsFolded(text_.substr(*p, closing.size()), closing)) return *p;
    }
    return std::string_view::npos;
}

}  // namespace tarlo
