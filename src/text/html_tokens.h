#pragma once
// The one reading of HTML and XHTML markup with byte positions: tags with
// their attributes, comments, declarations, text runs and the raw content of
// script-like elements, each token naming the bytes it came from. Every
// subsystem that needs to know where a tag or an attribute sits in the code
// reads it through here, so they all agree on where markup begins and ends.
//
// The reading is forgiving, as a browser's is: any bytes give tokens that
// cover the text without gaps or overlaps, in text order, and nothing is read
// outside it. Names and values are views into the text, never copies; one
// pass, linear in the text's length.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tarlo {

// Which markup the text is read as. XHTML differs in a few places: a "<"
// ends a tag name or attribute name (the tag is broken there), names may
// start with "_", ":" or a non-ASCII character, a processing instruction
// ends at "?>", and <plaintext> does not swallow the rest of the text.
enum class HtmlSyntax { Html, Xhtml };

// The blanks between names in markup: space, tab, LF, CR and FF.
constexpr bool IsMarkupSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}
constexpr bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
constexpr bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

enum class HtmlTokenKind {
    Text,                   // characters between markup
    RawText,                // content of script, style, xmp, listing, textarea, plaintext
    StartTag,               // <name attributes> or <name ... />
    EndTag,                 // </name ...>
    Comment,                // <!-- ... -->
    CData,                  // <![CDATA[ ... ]]>
    Declaration,            // <!DOCTYPE ...> and any other "<!", internal subset included
    ProcessingInstruction,  // <? ... ?> (in HTML up to the first ">")
    Stray,                  // a "<" or "</" that starts no markup: text to a browser
};

struct HtmlAttribute {
    std::string_view name;      // as written, case kept
    std::string_view value;     // between its quotes, or the bare value; empty without "="
    std::size_t nameAt = 0;     // offset of the name
    std::size_t valueAt = 0;    // offset of the value (after an opening quote); 0 without "="
    std::size_t end = 0;        // after the closing quote, the bare value or the name
    bool hasValue = false;      // a "=" follows the name
    bool quoted = false;        // the value opens with ' or "
    bool unterminated = false;  // its quote is never closed: the value runs to the text's end
};

// The attributes of one start tag; valid until the tokenizer reads on.
class HtmlAttributeList {
  public:
    HtmlAttributeList() = default;
    HtmlAttributeList(const HtmlAttribute* data, std::size_t size) : data_(data), size_(size) {}
    const HtmlAttribute* begin() const { return data_; }
    const HtmlAttribute* end() const { return data_ + size_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const HtmlAttribute& operator[](std::size_t i) const { return data_[i]; }

  private:
    const HtmlAttribute* data_ = nullptr;
    std::size_t size_ = 0;
};

struct HtmlToken {
    HtmlTokenKind kind = HtmlTokenKind::Text;
    std::size_t start = 0;  // first byte ("<" for markup)
    std::size_t end = 0;    // after the last byte; the next token starts here
    // Tags: the element name as written (case kept), and where it starts.
    std::string_view name;
    std::size_t nameAt = 0;
    bool selfClosing = false;  // a start tag ending in "/>"
    // Markup whose closing delimiter never comes: it runs to the text's end,
    // or (a start tag in XHTML) up to the "<" that breaks it.
    bool unterminated = false;
    HtmlAttributeList attributes;  // start tags only
};

class HtmlTokenizer {
  public:
    HtmlTokenizer(std::string_view text, HtmlSyntax syntax);

    // Reads the token at the current place; false at the end of the text.
    bool Next(HtmlToken& token);

  private:
    void ReadMarkup(HtmlToken& token);
    void ReadStartTag(HtmlToken& token);
    void ReadEndTag(HtmlToken& token);
    std::size_t ReadAttributes(std::size_t from, bool& selfClosing, bool& unterminated);
    std::size_t DeclarationEnd(std::size_t lt) const;
    std::size_t NameEnd(std::size_t from) const;
    std::size_t FindOrEnd(std::string_view what, std::size_t from) const;

    std::string_view text_;
    bool xhtml_;
    std::size_t pos_ = 0;
    std::size_t rawEnd_ = 0;  // while ahead of pos_: raw text runs up to here
    std::vector<HtmlAttribute> attributes_;
};

// A character reference: "&name;", "&#123;" or "&#x7B;". Names are read as
// letters, digits and "_" (HtmlNames), or also ".", "-" and ":" (XmlNames).
struct CharacterReference {
    enum class Form { Named, Decimal, Hex };
    Form form = Form::Named;
    std::size_t start = 0;  // the "&"
    std::size_t end = 0;    // after the ";", or after the name or digits when none follows
    std::string_view name;  // Named: the name; numeric: the digits, without "#" or "x"
    // Numeric: the value; one too large for Unicode stays above 0x10FFFF.
    std::uint32_t codePoint = 0;
    bool terminated = false;  // a ";" ends it
};

enum class ReferenceNames { HtmlNames, XmlNames };

// Reads the reference whose "&" is at `amp`, looking no further than
// `limit`. A lone "&" reads as a Named reference with an empty name.
CharacterReference ReadCharacterReference(std::string_view text, std::size_t amp, std::size_t limit,
                                          ReferenceNames names);

}  // namespace tarlo
