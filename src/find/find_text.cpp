#include "find/find_text.h"

#include <cstring>
#include <locale>
#include <vector>

#include "text/text_encoding.h"

namespace tarlo {

namespace {

// Letters beyond ASCII are told from other characters through the Unicode
// tables of the C library's UTF-8 locale, asked for explicitly so that the
// program's own locale (often plain "C" in scripts) does not matter. Without
// it only ASCII letters and digits make words.
const std::ctype<wchar_t>* UnicodeCtype() {
    static const std::ctype<wchar_t>* facet = []() -> const std::ctype<wchar_t>* {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            try {
                static const std::locale locale(name);
                return &std::use_facet<std::ctype<wchar_t>>(locale);
            } catch (const std::exception&) {
            }
        }
        return nullptr;
    }();
    return facet;
}

struct Decoded {
    char32_t c;
    std::size_t length;
};

// The character at `i`; a byte that starts no valid sequence stands for
// itself (as a code no letter has), one byte long.
char32_t Stray(unsigned char b) {
    return static_cast<char32_t>(0x110000U + b);
}

Decoded DecodeAt(std::string_view s, std::size_t i) {
    char32_t c = 0;
    const std::size_t n = Utf8SequenceAt(s, i, c);
    if (n == 0) return {Stray(static_cast<unsigned char>(s[i])), 1};
    return {c, n};
}

bool IsContinuation(char b) {
    return (static_cast<unsigned char>(b) & 0xC0) == 0x80;
}

// The start of the character that ends just before `i`.
std::size_t PreviousStart(std::string_view s, std::size_t i) {
    std::size_t p = i - 1;
    for (int k = 0; k < 3 && p > 0 && IsContinuation(s[p]); ++k) --p;
    return DecodeAt(s, p).length == i - p ? p : i - 1;
}

// Without "match case" ASCII letters compare without regard to case, as in
// the code view's own search: Find and Replace All must agree on what an
// occurrence is. Letters beyond ASCII compare exactly.
char32_t Fold(char32_t c) {
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

bool WordBefore(std::string_view text, std::size_t at) {
    return at > 0 && IsWordCharacter(DecodeAt(text, PreviousStart(text, at)).c);
}

bool WordAfter(std::string_view text, std::size_t at) {
    return at < text.size() && IsWordCharacter(DecodeAt(text, at).c);
}

// One search over a text: the pattern is prepared once, then each call goes
// on from where the caller says, so Replace All reads the text once.
class Searcher {
  public:
    Searcher(std::string_view find, SearchOptions options) : find_(find), options_(options) {
        if (options.matchCase || find.empty()) return;
        for (const char c : find) folded_.push_back(Fold(static_cast<unsigned char>(c)));
        // Bytes that can start an occurrence: the first byte in its two
        // ASCII cases.
        const auto first = static_cast<unsigned char>(find.front());
        starts_[first] = true;
        if (first >= 'a' && first <= 'z') starts_[first - ('a' - 'A')] = true;
        if (first >= 'A' && first <= 'Z') starts_[first + ('a' - 'A')] = true;
    }

    // The next occurrence at or after `start`: its position and length, or
    // npos. `wordBeforeStart`, when given, says whether a word character
    // stands just before `start` in place of what the text holds there.
    std::size_t Next(std::string_view text, std::size_t start, std::size_t& length,
                     const bool* wordBeforeStart = nullptr) const {
        if (find_.empty()) return std::string_view::npos;
        std::size_t pos = start;
        // A start inside a character begins at the next one.
        while (pos < text.size() && IsContinuation(text[pos])) ++pos;
        while (pos <= text.size()) {
            std::size_t at = 0;
            std::size_t len = 0;
            if (options_.matchCase) {
                at = text.find(find_, pos);
                if (at == std::string_view::npos) return at;
                len = find_.size();
            } else {
                at = NextFolded(text, pos, len);
                if (at == std::string_view::npos) return at;
            }
            const bool wordBefore =
                wordBeforeStart != nullptr && at == start ? *wordBeforeStart : WordBefore(text, at);
            if (!options_.wholeWord || (!wordBefore && !WordAfter(text, at + len))) {
                length = len;
                return at;
            }
            pos = at + DecodeAt(text, at).length;
        }
        return std::string_view::npos;
    }

  private:
    std::size_t NextFolded(std::string_view text, std::size_t pos, std::size_t& length) const {
        const std::size_t n = text.size();
        const std::size_t m = folded_.size();
        const auto* data = reinterpret_cast<const unsigned char*>(text.data());
        for (; pos + m <= n; ++pos) {
            if (!starts_[data[pos]]) continue;
            std::size_t k = 1;
            while (k < m && Fold(data[pos + k]) == folded_[k]) ++k;
            if (k == m) {
                length = m;
                return pos;
            }
        }
        return std::string_view::npos;
    }

    std::string_view find_;
    SearchOptions options_;
    std::vector<char32_t> folded_;  // the text to find, ASCII letters lowered
    bool starts_[256] = {};
};

}  // namespace

SearchOptions SearchOptionsFromBits(int bits) {
    SearchOptions options;
    options.wholeWord = (bits & 2) != 0;
    options.matchCase = (bits & 4) != 0;
    return options;
}

bool IsWordCharacter(char32_t c) {
    if (c < 0x80) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_';
    }
    if (c >= 0x110000) return false;
    const std::ctype<wchar_t>* ct = UnicodeCtype();
    return ct != nullptr && ct->is(std::ctype_base::alnum, static_cast<wchar_t>(c));
}

long FindText(std::string_view text, std::string_view find, std::size_t start,
              SearchOptions options, std::size_t* length) {
    if (find.empty() || start > text.size()) return -1;
    const Searcher searcher(find, options);
    std::size_t len = 0;
    const std::size_t at = searcher.Next(text, start, len);
    if (at == std::string_view::npos) return -1;
    if (length != nullptr) *length = len;
    return static_cast<long>(at);
}

ReplaceAllResult ReplaceAllText(std::string_view text, std::string_view find,
                                std::string_view replacement, SearchOptions options,
                                std::uint64_t maxBytes) {
    ReplaceAllResult result;
    result.resultBytes = text.size();
    if (find.empty()) return result;
    const Searcher searcher(find, options);
    std::size_t pos = 0;
    std::size_t length = 0;
    std::uint64_t removed = 0;
    std::uint64_t added = 0;
    // Replacing one occurrence after another, the text before the next one
    // is what has been written so far: an occurrence right after the last
    // one touches its replacement, not the text that was replaced.
    const bool replacementEndsInWord =
        !replacement.empty() &&
        IsWordCharacter(DecodeAt(replacement, PreviousStart(replacement, replacement.size())).c);
    bool wordBeforePos = false;
    for (std::size_t at = searcher.Next(text, pos, length); at != std::string_view::npos;
         at = searcher.Next(text, pos, length, &wordBeforePos)) {
        if (replacement.empty()) {
            // Nothing written: what stood before the occurrence still does.
            if (result.count == 0 || at != pos) wordBeforePos = WordBefore(text, at);
        } else {
            wordBeforePos = replacementEndsInWord;
        }
        if (result.count == 0) result.from = at;
        ++result.count;
        removed += length;
        added += replacement.size();
        // Past the limit the pass only counts, so that the message can say
        // how large the text would have been.
        if (!result.tooLarge && text.size() - removed + added > maxBytes) {
            result.tooLarge = true;
            result.replaced = std::string();
        }
        if (!result.tooLarge) {
            if (result.count > 1) result.replaced.append(text.substr(pos, at - pos));
            result.replaced.append(replacement);
        }
        pos = at + length;
        result.to = pos;
        // An empty occurrence cannot happen (the text to find is not empty),
        // so the search always moves on.
    }
    result.resultBytes = text.size() - removed + added;
    return result;
}

std::string ApplyReplaceAll(std::string_view text, const ReplaceAllResult& result) {
    if (result.count == 0 || result.tooLarge) return std::string(text);
    std::string out;
    out.reserve(result.from + result.replaced.size() + (text.size() - result.to));
    out.append(text.substr(0, result.from));
    out.append(result.replaced);
    out.append(text.substr(result.to));
    return out;
}

}  // namespace tarlo
