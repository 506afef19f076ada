#include "text/html_tokens.h"

#include <algorithm>
#include <cstring>

#include "text/text_scan.h"

namespace tarlo {

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool IsHexDigit(char c) {
    return IsAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool IsWordChar(char c) {
    return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '_';
}

// Elements whose content is not markup, with the end tag that closes them
// (lower case: it is looked for without regard to case).
struct RawElement {
    std::string_view name;
    std::string_view close;
};
constexpr RawElement kRawElements[] = {
    {"script", "</script"},   {"style", "</style"},       {"xmp", "</xmp"},
    {"listing", "</listing"}, {"textarea", "</textarea"},
};

}  // namespace

HtmlTokenizer::HtmlTokenizer(std::string_view text, HtmlSyntax syntax)
    : text_(text), xhtml_(syntax == HtmlSyntax::Xhtml) {}

bool HtmlTokenizer::Next(HtmlToken& token) {
    const std::size_t n = text_.size();
    if (pos_ >= n) return false;
    token = HtmlToken{};
    token.start = pos_;
    if (rawEnd_ > pos_) {
        token.kind = HtmlTokenKind::RawText;
        token.end = rawEnd_;
    } else if (text_[pos_] != '<') {
        const void* hit = std::memchr(text_.data() + pos_, '<', n - pos_);
        token.kind = HtmlTokenKind::Text;
        token.end =
            hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data()) : n;
    } else {
        ReadMarkup(token);
    }
    pos_ = token.end;
    return true;
}

std::size_t HtmlTokenizer::FindOrEnd(std::string_view what, std::size_t from) const {
    const std::size_t p = text_.find(what, from);
    return p == npos ? text_.size() : p;
}

// The construct that starts with the "<" at pos_.
void HtmlTokenizer::ReadMarkup(HtmlToken& token) {
    const std::size_t n = text_.size();
    const std::size_t lt = pos_;
    const std::string_view rest = text_.substr(lt);
    // Markup with a fixed closing text: where it ends, or the text's end.
    auto closedBy = [&](HtmlTokenKind kind, std::string_view close, std::size_t from) {
        const std::size_t at = FindOrEnd(close, from);
        token.kind = kind;
        token.unterminated = at >= n;
        token.end = at >= n ? n : at + close.size();
    };
    if (rest.substr(0, 4) == "<!--") {
        closedBy(HtmlTokenKind::Comment, "-->", lt + 4);
    } else if (rest.substr(0, 9) == "<![CDATA[") {
        closedBy(HtmlTokenKind::CData, "]]>", lt + 9);
    } else if (rest.substr(0, 2) == "<!") {
        const std::size_t end = DeclarationEnd(lt);
        token.kind = HtmlTokenKind::Declaration;
        token.unterminated = end == npos;
        token.end = end == npos ? n : end;
    } else if (rest.substr(0, 2) == "<?") {
        closedBy(HtmlTokenKind::ProcessingInstruction, xhtml_ ? "?>" : ">", lt + 2);
    } else if (rest.size() >= 2 && rest[1] == '/') {
        ReadEndTag(token);
    } else if (rest.size() >= 2 &&
               (IsAsciiLetter(rest[1]) || (xhtml_ && (rest[1] == '_' || rest[1] == ':')) ||
                (xhtml_ && static_cast<unsigned char>(rest[1]) >= 0x80))) {
        ReadStartTag(token);
    } else {
        token.kind = HtmlTokenKind::Stray;
        token.end = lt + 1;
    }
}

// After the ">" of <!DOCTYPE ...> or another declaration, an internal subset
// in brackets and quoted texts included; npos when it never ends.
std::size_t HtmlTokenizer::DeclarationEnd(std::size_t lt) const {
    int depth = 0;
    char quote = 0;
    for (std::size_t k = lt + 2; k < text_.size(); ++k) {
        const char c = text_[k];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            ++depth;
        } else if (c == ']') {
            depth = std::max(0, depth - 1);
        } else if (c == '>' && depth == 0) {
            return k + 1;
        }
    }
    return npos;
}

std::size_t HtmlTokenizer::NameEnd(std::size_t from) const {
    std::size_t k = from;
    while (k < text_.size() && !IsMarkupSpace(text_[k]) && text_[k] != '>' && text_[k] != '/' &&
           !(xhtml_ && text_[k] == '<')) {
        ++k;
    }
    return k;
}

void HtmlTokenizer::ReadEndTag(HtmlToken& token) {
    const std::size_t n = text_.size();
    const std::size_t lt = pos_;
    const std::size_t nameAt = lt + 2;
    const std::size_t nameEnd = NameEnd(nameAt);
    if (nameEnd == nameAt) {
        token.kind = HtmlTokenKind::Stray;
        token.end = lt + 2;
        return;
    }
    // Whatever follows the name up to ">" belongs to the end tag.
    const std::size_t gt = FindOrEnd(">", nameEnd);
    token.kind = HtmlTokenKind::EndTag;
    token.name = text_.substr(nameAt, nameEnd - nameAt);
    token.nameAt = nameAt;
    token.unterminated = gt >= n;
    token.end = gt >= n ? n : gt + 1;
}

void HtmlTokenizer::ReadStartTag(HtmlToken& token) {
    const std::size_t lt = pos_;
    const std::size_t nameAt = lt + 1;
    const std::size_t nameEnd = NameEnd(nameAt);
    token.kind = HtmlTokenKind::StartTag;
    token.name = text_.substr(nameAt, nameEnd - nameAt);
    token.nameAt = nameAt;
    token.end = ReadAttributes(nameEnd, token.selfClosing, token.unterminated);
    token.attributes = HtmlAttributeList(attributes_.data(), attributes_.size());
    if (token.selfClosing) return;
    for (const RawElement& raw : kRawElements) {
        if (!EqualsFolded(token.name, raw.name)) continue;
        const std::size_t close = FindFolded(text_, raw.close, token.end);
        rawEnd_ = close == npos ? text_.size() : close;
        return;
    }
    if (!xhtml_ && EqualsFolded(token.name, "plaintext")) rawEnd_ = text_.size();
}

// Reads a start tag's attributes from `from`; returns the offset after the
// tag.
std::size_t HtmlTokenizer::ReadAttributes(std::size_t from, bool& selfClosing, bool& unterminated) {
    const std::size_t n = text_.size();
    attributes_.clear();
    std::size_t k = from;
    while (true) {
        while (k < n && IsMarkupSpace(text_[k])) ++k;
        if (k >= n) {
            unterminated = true;
            return n;
        }
        const char c = text_[k];
        if (c == '>') return k + 1;
        if (c == '/') {
            if (k + 1 < n && text_[k + 1] == '>') {
                selfClosing = true;
                return k + 2;
            }
            ++k;
            continue;
        }
        if (xhtml_ && c == '<') {  // a broken tag; the "<" starts the next token
            unterminated = true;
            return k;
        }
        HtmlAttribute a;
        a.nameAt = k;
        while (k < n && !IsMarkupSpace(text_[k]) && text_[k] != '=' && text_[k] != '>' &&
               text_[k] != '/' && !(xhtml_ && text_[k] == '<')) {
            ++k;
        }
        if (k == a.nameAt) ++k;  // a "=" with no name: part of the name
        a.name = text_.substr(a.nameAt, k - a.nameAt);
        std::size_t m = k;
        while (m < n && IsMarkupSpace(text_[m])) ++m;
        if (m < n && text_[m] == '=') {
            ++m;
            while (m < n && IsMarkupSpace(text_[m])) ++m;
            a.hasValue = true;
            std::size_t valueEnd = m;
            if (m < n && (text_[m] == '"' || text_[m] == '\'')) {
                a.quoted = true;
                a.valueAt = m + 1;
                const void* q = std::memchr(text_.data() + m + 1, text_[m], n - m - 1);
                if (!q) {
                    a.unterminated = true;
                    valueEnd = n;
                    a.end = n;
                } else {
                    valueEnd = static_cast<std::size_t>(static_cast<const char*>(q) - text_.data());
                    a.end = valueEnd + 1;
                }
            } else {
                a.valueAt = m;
                while (m < n && !IsMarkupSpace(text_[m]) && text_[m] != '>') ++m;
                valueEnd = m;
                a.end = m;
            }
            a.value = text_.substr(a.valueAt, valueEnd - a.valueAt);
            k = a.end;
        } else {
            a.end = k;
        }
        attributes_.push_back(a);
        if (a.unterminated) {
            unterminated = true;
            return n;
        }
    }
}

CharacterReference ReadCharacterReference(std::string_view text, std::size_t amp, std::size_t limit,
                                          ReferenceNames names) {
    CharacterReference ref;
    ref.start = amp;
    limit = std::min(limit, text.size());
    std::size_t j = amp + 1;
    std::size_t nameAt = j;
    if (j < limit && text[j] == '#') {
        ++j;
        const bool hex = j < limit && (text[j] == 'x' || text[j] == 'X');
        if (hex) ++j;
        ref.form = hex ? CharacterReference::Form::Hex : CharacterReference::Form::Decimal;
        nameAt = j;
        std::uint32_t value = 0;
        while (j < limit && (hex ? IsHexDigit(text[j]) : IsAsciiDigit(text[j]))) {
            const char c = text[j];
            const unsigned d = IsAsciiDigit(c) ? c - '0' : AsciiLower(c) - 'a' + 10;
            // Past Unicode's last character the value only has to stay past it.
            if (value <= 0x10FFFF) value = value * (hex ? 16 : 10) + d;
            ++j;
        }
        ref.codePoint = value;
    } else {
        const bool xml = names == ReferenceNames::XmlNames;
        while (j < limit && (IsWordChar(text[j]) ||
                             (xml && (text[j] == '.' || text[j] == '-' || text[j] == ':')))) {
            ++j;
        }
    }
    ref.name = text.substr(nameAt, j - nameAt);
    ref.terminated = j < limit && text[j] == ';';
    ref.end = ref.terminated ? j + 1 : j;
    return ref;
}

}  // namespace tarlo
