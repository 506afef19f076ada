// The EDGAR rules check: three passes over the bytes (characters, named
// references, markup), each linear, then the findings in text order.
#include "checker/edgar_rules.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "checker/edgar_pictures.h"
#include "checker/edgar_rules_tables.h"
#include "text/page_source.h"
#include "text/text_encoding.h"
#include "text/text_scan.h"
#include "text/windows1252.h"

namespace tarlo {

namespace {

using namespace edgar_tables;

constexpr const char* kCharacters = "5.2.1.1";
constexpr const char* kHtmlTags = "5.2.2.2";
constexpr const char* kUnknownElement = "5.2.2.3";
constexpr const char* kRefusedElement = "5.2.2.4";
constexpr const char* kRefusedAttribute = "5.2.2.5";
constexpr const char* kEntity = "5.2.2.6";
constexpr const char* kReferences = "5.2.2.10";
constexpr const char* kInline = "5.2.5";

constexpr const char* kCleanupRemoves = " Cleanup removes them.";

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}
bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsWordChar(char c) {
    return IsAsciiLetter(c) || IsDigit(c) || c == '_';
}

std::string Hex4(std::uint32_t cp) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (int shift = (cp > 0xFFFF ? 20 : 12); shift >= 0; shift -= 4)
        s += digits[(cp >> shift) & 0xF];
    return s;
}

// A short, printable, valid UTF-8 copy of some bytes of the document, for a
// message: bytes that are not UTF-8 are read as Windows-1252, control
// characters become spaces, and more than `limit` bytes end in "...".
std::string Printable(std::string_view raw, std::size_t limit = 48) {
    std::string out;
    std::size_t i = 0;
    while (i < raw.size() && out.size() < limit) {
        char32_t cp = 0;
        std::size_t len = NextUtf8(raw, i, cp);
        if (len == 0) {
            cp = FromWindows1252(static_cast<unsigned char>(raw[i]));
            len = 1;
        }
        if (cp < 0x20 || cp == 0x7F) cp = ' ';
        AppendUtf8(out, cp);
        i += len;
    }
    if (i < raw.size()) out += "...";
    return out;
}

struct Attribute {
    std::size_t nameAt = 0;
    std::size_t nameLength = 0;
    std::size_t valueAt = 0;
    std::size_t valueLength = 0;
    std::size_t end = 0;  // after the closing quote or the value
    bool hasValue = false;
    bool quoted = false;
    bool unterminated = false;
};

struct OpenElement {
    std::string_view name;
    std::size_t tagAt;
    std::size_t tagLength;
    bool table;
    bool divLike;  // html, body or div: may hold an <a> without href
};

class Checker {
  public:
    Checker(std::string_view text, const EdgarRulesOptions& options, bool xhtml)
        : text_(text), options_(options), xhtml_(xhtml), pictures_(options.documentFolder) {}

    EdgarRulesResult Run() {
        result_.xhtml = xhtml_;
        CheckCharacters();
        CheckNamedReferences();
        ScanMarkup();
        std::stable_sort(
            result_.findings.begin(), result_.findings.end(),
            [](const EdgarFinding& a, const EdgarFinding& b) { return a.offset < b.offset; });
        return std::move(result_);
    }

  private:
    std::string_view text_;
    const EdgarRulesOptions& options_;
    bool xhtml_;
    EdgarPictureFolder pictures_;
    EdgarRulesResult result_;

    // Markup state.
    int htmlElements_ = 0;
    bool inHead_ = false;
    int tableDepth_ = 0;  // HTML: open tables; XHTML: tables on the stack
    std::vector<OpenElement> stack_;
    std::unordered_map<std::string_view, int> openCount_;
    int notDivLike_ = 0;  // elements on the stack other than html, body, div
    bool rootSeen_ = false;
    bool strayTextReported_ = false;
    std::vector<Attribute> attributes_;
    std::string lower_;

    bool Full() const { return result_.truncated; }

    void Add(const char* rule, std::string_view severity, std::string subject, std::string problem,
             std::string fix, std::size_t offset, std::size_t length) {
        if (options_.maxFindings != 0 && result_.findings.size() >= options_.maxFindings) {
            result_.truncated = true;
            return;
        }
        offset = std::min(offset, text_.size());
        length = std::min(length, text_.size() - offset);
        if (length == 0 && offset < text_.size()) length = 1;
        EdgarFinding f;
        f.rule = rule;
        f.severity = std::string(severity);
        f.subject = std::move(subject);
        f.message = problem + " " + fix;
        f.fix = std::move(fix);
        f.offset = offset;
        f.length = length;
        result_.findings.push_back(std::move(f));
    }
    void Error(const char* rule, std::string subject, std::string problem, std::string fix,
               std::size_t offset, std::size_t length) {
        Add(rule, kSeverityError, std::move(subject), std::move(problem), std::move(fix), offset,
            length);
    }
    void Warning(const char* rule, std::string subject, std::string problem, std::string fix,
                 std::size_t offset, std::size_t length) {
        Add(rule, kSeverityWarning, std::move(subject), std::move(problem), std::move(fix), offset,
            length);
    }
    const char* Rule(const char* htmlRule) const { return xhtml_ ? kInline : htmlRule; }

    // ---- 5.2.1.1: characters -------------------------------------------

    // EDGAR's character set: printable ASCII except "^", and tab, line feed,
    // form feed and carriage return.
    static bool AllowedByte(unsigned char c) {
        if (c == '\t' || c == '\n' || c == '\f' || c == '\r') return true;
        return c >= 0x20 && c < 0x7F && c != '^';
    }

    void CheckCharacters() {
        const bool utf8 = IsValidUtf8(text_);
        std::size_t i = 0;
        const std::size_t n = text_.size();
        if (utf8 && text_.substr(0, 3) == "\xEF\xBB\xBF") {
            Error(kCharacters, "byte-order mark",
                  "The document starts with a byte-order mark, which EDGAR refuses.",
                  "Save the document without one.", 0, 3);
            i = 3;
        }
        while (i < n && !Full()) {
            const unsigned char c = static_cast<unsigned char>(text_[i]);
            if (AllowedByte(c)) {
                ++i;
                continue;
            }
            const bool raw = c >= 0x80;
            const std::size_t start = i;
            std::size_t count = 0;
            char32_t first = 0;
            while (i < n) {
                const unsigned char d = static_cast<unsigned char>(text_[i]);
                if (AllowedByte(d) || (d >= 0x80) != raw) break;
                char32_t cp = d;
                std::size_t len = 1;
                if (raw) {
                    len = utf8 ? NextUtf8(text_, i, cp) : 0;
                    if (len == 0) {
                        cp = FromWindows1252(d);
                        len = 1;
                    }
                }
                if (count == 0) first = cp;
                ++count;
                i += len;
            }
            const std::string code = "U+" + Hex4(first);
            const std::string reference = "&#" + std::to_string(first) + ";";
            const std::string subject =
                count == 1 ? code : code + " and " + std::to_string(count - 1) + " more";
            if (raw) {
                Error(kCharacters, subject,
                      count == 1 ? "The character " + code + " (" +
                                       Printable(text_.substr(start, i - start)) +
                                       ") is outside EDGAR's ASCII character set."
                                 : std::to_string(count) + " characters from " + code + " (" +
                                       Printable(text_.substr(start, i - start), 24) +
                                       ") are outside EDGAR's ASCII character set.",
                      "Write each as a numeric character reference such as " + reference +
                          ". Cleanup fixes them.",
                      start, i - start);
            } else if (first == '^') {
                Error(kCharacters, subject, "The character \"^\" is not in EDGAR's character set.",
                      "Write it as &#94;.", start, i - start);
            } else {
                Error(kCharacters, subject,
                      "The control character " + code + " is not allowed in an EDGAR document.",
                      "Remove it.", start, i - start);
            }
        }
    }

    // ---- 5.2.2.6: named character references ------------------------------

    void CheckNamedReferences() {
        const std::size_t n = text_.size();
        std::size_t i = 0;
        while (i < n && !Full()) {
            const void* hit = std::memchr(text_.data() + i, '&', n - i);
            if (!hit) break;
            const std::size_t amp = static_cast<const char*>(hit) - text_.data();
            std::size_t j = amp + 1;
            while (j < n && IsWordChar(text_[j])) ++j;
            if (j > amp + 1 && j < n && text_[j] == ';') {
                const std::string_view name = text_.substr(amp + 1, j - amp - 1);
                if (EdgarEntityCodePoint(name) == 0) {
                    Error(kEntity, "&" + Printable(name) + ";",
                          "&" + Printable(name) +
                              "; is not one of the named character references EDGAR accepts.",
                          "Write the character as a numeric reference (&#NNN;) or use one of "
                          "EDGAR's names such as &nbsp; or &amp;.",
                          amp, j + 1 - amp);
                }
                i = j + 1;
            } else {
                i = j;
            }
        }
    }

    // ---- markup ----------------------------------------------------------

    void ScanMarkup() {
        const std::size_t n = text_.size();
        std::size_t i = 0;
        while (i < n && !Full()) {
            const void* hit = std::memchr(text_.data() + i, '<', n - i);
            const std::size_t lt = hit ? static_cast<const char*>(hit) - text_.data() : n;
            Text(i, lt);
            if (lt >= n) break;
            i = Markup(lt);
        }
        if (xhtml_) {
            for (const OpenElement& e : stack_) {
                if (Full()) break;
                Error(kInline, "<" + Printable(e.name) + ">",
                      "The <" + Printable(e.name) + "> element is never closed.",
                      "Add its end tag </" + Printable(e.name) + "> where the element ends.",
                      e.tagAt, e.tagLength);
            }
        }
    }

    std::size_t Find(std::string_view what, std::size_t from) const {
        const std::size_t p = text_.find(what, from);
        return p == std::string_view::npos ? text_.size() : p;
    }

    // Text between markup: XHTML checks its references and that it lies
    // inside the root element.
    void Text(std::size_t from, std::size_t to) {
        if (!xhtml_ || from >= to) return;
        if (stack_.empty() && !strayTextReported_) {
            for (std::size_t k = from; k < to; ++k) {
                if (IsSpace(text_[k])) continue;
                strayTextReported_ = true;
                Error(kInline, "text",
                      rootSeen_ ? "Text follows the end of the <html> element."
                                : "Text comes before the <html> element.",
                      "Move it inside <body> or remove it.", k, 1);
                break;
            }
        }
        XmlReferences(from, to);
    }

    // XHTML knows only &amp; &lt; &gt; &quot; &apos; and numeric references;
    // any other "&" makes the document unreadable as XML.
    void XmlReferences(std::size_t from, std::size_t to) {
        std::size_t i = from;
        while (i < to && !Full()) {
            const void* hit = std::memchr(text_.data() + i, '&', to - i);
            if (!hit) return;
            const std::size_t amp = static_cast<const char*>(hit) - text_.data();
            std::size_t j = amp + 1;
            if (j < to && text_[j] == '#') {
                ++j;
                const bool hex = j < to && (text_[j] == 'x' || text_[j] == 'X');
                if (hex) ++j;
                const std::size_t digits = j;
                std::uint64_t value = 0;
                while (j < to && (IsDigit(text_[j]) ||
                                  (hex && std::isxdigit(static_cast<unsigned char>(text_[j]))))) {
                    const char c = text_[j];
                    const unsigned d = IsDigit(c) ? c - '0' : (AsciiLower(c) - 'a' + 10);
                    if (value <= 0x10FFFF) value = value * (hex ? 16 : 10) + d;
                    ++j;
                }
                if (j == digits || j >= to || text_[j] != ';') {
                    BareAmpersand(amp);
                    i = amp + 1;
                    continue;
                }
                const bool xmlChar = value == 0x9 || value == 0xA || value == 0xD ||
                                     (value >= 0x20 && value <= 0xD7FF) ||
                                     (value >= 0xE000 && value <= 0xFFFD) ||
                                     (value >= 0x10000 && value <= 0x10FFFF);
                if (!xmlChar) {
                    const std::string ref = Printable(text_.substr(amp, j + 1 - amp));
                    Error(kInline, ref, ref + " names a character XHTML cannot hold.",
                          "Remove it or write the character meant.", amp, j + 1 - amp);
                }
                i = j + 1;
                continue;
            }
            while (j < to && (IsWordChar(text_[j]) || text_[j] == '.' || text_[j] == '-' ||
                              text_[j] == ':')) {
                ++j;
            }
            if (j == amp + 1 || j >= to || text_[j] != ';') {
                BareAmpersand(amp);
                i = amp + 1;
                continue;
            }
            const std::string_view name = text_.substr(amp + 1, j - amp - 1);
            if (name != "amp" && name != "lt" && name != "gt" && name != "quot" && name != "apos") {
                // Names EDGAR does not know at all are reported under 5.2.2.6.
                if (const std::uint32_t cp = EdgarEntityCodePoint(name)) {
                    const std::string ref = "&" + std::string(name) + ";";
                    Error(kInline, ref, ref + " is not defined in XHTML.",
                          "Write it as &#" + std::to_string(cp) + ";.", amp, j + 1 - amp);
                }
            }
            i = j + 1;
        }
    }

    void BareAmpersand(std::size_t at) {
        Error(kInline, "&", "A \"&\" that does not start a character reference breaks XHTML.",
              "Write it as &amp;.", at, 1);
    }

    // Reads the construct that starts with "<" at `lt`; returns where the
    // scan goes on.
    std::size_t Markup(std::size_t lt) {
        const std::size_t n = text_.size();
        const std::string_view rest = text_.substr(lt);
        if (rest.substr(0, 4) == "<!--") {
            const std::size_t close = Find("-->", lt + 4);
            if (xhtml_) {
                if (close >= n) {
                    Error(kInline, "<!--", "This comment is never closed.", "End it with \"-->\".",
                          lt, 4);
                    return n;
                }
                const std::size_t dashes = Find("--", lt + 4);
                if (dashes < close) {
                    Error(kInline, "--", "A comment holds \"--\", which XHTML does not allow.",
                          "Remove the double hyphen from the comment.", dashes, 2);
                }
            }
            return close >= n ? n : close + 3;
        }
        if (rest.substr(0, 9) == "<![CDATA[") {
            const std::size_t close = Find("]]>", lt + 9);
            return close >= n ? n : close + 3;
        }
        if (rest.substr(0, 2) == "<!") return Declaration(lt);
        if (rest.substr(0, 2) == "<?") {
            if (xhtml_ && rest.size() >= 6 && rest.substr(0, 5) == "<?xml" && IsSpace(rest[5]) &&
                lt != 0 && !(lt == 3 && text_.substr(0, 3) == "\xEF\xBB\xBF")) {
                Error(kInline, "<?xml", "The XML declaration is not at the very start.",
                      "Move it to the first line, before anything else.", lt, 5);
            }
            const std::size_t close = Find(xhtml_ ? "?>" : ">", lt + 2);
            return close >= n ? n : close + (xhtml_ ? 2 : 1);
        }
        if (rest.size() >= 2 && rest[1] == '/') return EndTag(lt);
        if (rest.size() >= 2 &&
            (IsAsciiLetter(rest[1]) || (xhtml_ && (rest[1] == '_' || rest[1] == ':')) ||
             (xhtml_ && static_cast<unsigned char>(rest[1]) >= 0x80))) {
            return StartTag(lt);
        }
        if (xhtml_) {
            Error(kInline, "<", "A \"<\" in text breaks XHTML.", "Write it as &lt;.", lt, 1);
        }
        return lt + 1;
    }

    // <!DOCTYPE ...> and other declarations, an internal subset included.
    std::size_t Declaration(std::size_t lt) {
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
        return text_.size();
    }

    std::size_t NameEnd(std::size_t from) const {
        std::size_t k = from;
        while (k < text_.size() && !IsSpace(text_[k]) && text_[k] != '>' && text_[k] != '/' &&
               !(xhtml_ && text_[k] == '<')) {
            ++k;
        }
        return k;
    }

    std::string_view Lower(std::string_view s) {
        lower_.assign(s.begin(), s.end());
        for (char& c : lower_) c = AsciiLower(c);
        return lower_;
    }

    std::size_t EndTag(std::size_t lt) {
        const std::size_t n = text_.size();
        const std::size_t nameAt = lt + 2;
        const std::size_t nameEnd = NameEnd(nameAt);
        if (nameEnd == nameAt) {
            if (xhtml_) {
                Error(kInline, "</", "\"</\" without an element name breaks XHTML.",
                      "Write the \"<\" as &lt; or complete the end tag.", lt, 2);
            }
            return lt + 2;
        }
        const std::size_t gt = Find(">", nameEnd);
        const std::size_t end = gt >= n ? n : gt + 1;
        const std::string_view name = text_.substr(nameAt, nameEnd - nameAt);
        if (!xhtml_) {
            const std::string_view lower = Lower(name);
            if (lower == "table" && tableDepth_ > 0) --tableDepth_;
            if (lower == "head") inHead_ = false;
            return end;
        }
        if (gt >= n) {
            Error(kInline, "</" + Printable(name), "This end tag is never closed with \">\".",
                  "Add the \">\".", lt, end - lt);
        }
        const auto open = openCount_.find(name);
        if (open == openCount_.end() || open->second == 0) {
            Error(kInline, "</" + Printable(name) + ">",
                  "The end tag </" + Printable(name) + "> has no open element to close.",
                  "Remove it, or add the start tag it belongs to.", lt, end - lt);
            return end;
        }
        while (!stack_.empty() && stack_.back().name != name) {
            const OpenElement& e = stack_.back();
            Error(kInline, "<" + Printable(e.name) + ">",
                  "The <" + Printable(e.name) + "> element is not closed before </" +
                      Printable(name) + ">.",
                  "Add </" + Printable(e.name) + "> where the element ends.", e.tagAt, e.tagLength);
            Pop();
        }
        if (!stack_.empty()) Pop();
        return end;
    }

    void Pop() {
        const OpenElement& e = stack_.back();
        if (e.table) --tableDepth_;
        if (!e.divLike) --notDivLike_;
        --openCount_[e.name];
        stack_.pop_back();
    }

    // Reads a start tag's attributes from `from`; returns the offset after
    // the tag and whether it ends in "/>".
    std::size_t ReadAttributes(std::size_t from, bool& selfClosed) {
        const std::size_t n = text_.size();
        attributes_.clear();
        selfClosed = false;
        std::size_t k = from;
        while (true) {
            while (k < n && IsSpace(text_[k])) ++k;
            if (k >= n) return n;
            const char c = text_[k];
            if (c == '>') return k + 1;
            if (c == '/') {
                if (k + 1 < n && text_[k + 1] == '>') {
                    selfClosed = true;
                    return k + 2;
                }
                ++k;
                continue;
            }
            if (xhtml_ && c == '<') return k;  // a broken tag; the "<" starts the next piece
            Attribute a;
            a.nameAt = k;
            while (k < n && !IsSpace(text_[k]) && text_[k] != '=' && text_[k] != '>' &&
                   text_[k] != '/' && !(xhtml_ && text_[k] == '<')) {
                ++k;
            }
            if (k == a.nameAt) ++k;  // a "=" with no name: part of the name
            a.nameLength = k - a.nameAt;
            std::size_t m = k;
            while (m < n && IsSpace(text_[m])) ++m;
            if (m < n && text_[m] == '=') {
                ++m;
                while (m < n && IsSpace(text_[m])) ++m;
                a.hasValue = true;
                if (m < n && (text_[m] == '"' || text_[m] == '\'')) {
                    a.quoted = true;
                    const void* q = std::memchr(text_.data() + m + 1, text_[m], n - m - 1);
                    a.valueAt = m + 1;
                    if (!q) {
                        a.unterminated = true;
                        a.valueLength = n - a.valueAt;
                        a.end = n;
                    } else {
                        const std::size_t qa = static_cast<const char*>(q) - text_.data();
                        a.valueLength = qa - a.valueAt;
                        a.end = qa + 1;
                    }
                } else {
                    a.valueAt = m;
                    while (m < n && !IsSpace(text_[m]) && text_[m] != '>') ++m;
                    a.valueLength = m - a.valueAt;
                    a.end = m;
                }
                k = a.end;
            } else {
                a.end = k;
            }
            attributes_.push_back(a);
            if (a.unterminated) return n;
        }
    }

    std::size_t StartTag(std::size_t lt) {
        const std::size_t nameAt = lt + 1;
        const std::size_t nameEnd = NameEnd(nameAt);
        bool selfClosed = false;
        const std::size_t end = ReadAttributes(nameEnd, selfClosed);
        const std::string_view name = text_.substr(nameAt, nameEnd - nameAt);
        if (xhtml_) {
            XhtmlStartTag(name, lt, end, selfClosed);
        } else {
            HtmlStartTag(name, lt, end);
        }
        // Script and style text is not markup: go on after its end tag.
        const std::string_view lower = Lower(name);
        if (lower == "script" || lower == "style" || lower == "xmp" || lower == "listing" ||
            lower == "textarea") {
            if (selfClosed) return end;
            const std::string close = "</" + std::string(lower);
            const std::size_t at = FindFolded(text_, close, end);
            return at == std::string_view::npos ? text_.size() : at;
        }
        if (lower == "plaintext" && !xhtml_) return text_.size();
        return end;
    }

    std::string Tag(std::string_view name) const { return "<" + Printable(name) + ">"; }

    void HtmlStartTag(std::string_view name, std::size_t lt, std::size_t end) {
        const std::string lower(Lower(name));
        const auto tag = [&] { return Tag(name); };
        const std::size_t length = end - lt;
        if (lower == "html" && ++htmlElements_ > 1) {
            Error(kHtmlTags, tag(), "The document has more than one <html> element.",
                  "Keep one <html> element around the whole document.", lt, length);
        }
        if (lower == "table") {
            if (tableDepth_ > 0) NestedTable(lt, length);
            ++tableDepth_;
        } else if (IsHtmlRefusedElement(lower)) {
            RefusedElement(lower, tag(), lt, length);
        } else if (!IsHtmlAllowedElement(lower)) {
            const bool link = lower == "link";
            Error(kUnknownElement, tag(),
                  "EDGAR does not accept the element " + tag() + " in an HTML document.",
                  link ? std::string("Remove it.") + kCleanupRemoves
                       : std::string("Remove the tags (keep their text) or use an element "
                                     "EDGAR accepts."),
                  lt, length);
        } else if (inHead_ && lower != "title" && lower != "meta" && lower != "isindex" &&
                   lower != "head" && lower != "html" && lower != "body") {
            Error(kUnknownElement, tag(), "The element " + tag() + " is inside <head>.",
                  "Move it into <body>.", lt, length);
        }
        if (lower == "head") inHead_ = true;
        if (lower == "body") inHead_ = false;
        HtmlAttributes(lower, lt, end);
    }

    void NestedTable(std::size_t lt, std::size_t length) {
        Error(Rule(kReferences), "<table>", "This table is inside another table.",
              "EDGAR refuses nested tables: move it out of the outer table or merge the two.", lt,
              length);
    }

    void RefusedElement(const std::string& lower, const std::string& tag, std::size_t lt,
                        std::size_t length) {
        const char* rule = Rule(kRefusedElement);
        if (lower == "tbody" || lower == "thead" || lower == "tfoot") {
            Error(rule, tag, "EDGAR refuses the element " + tag + ".",
                  std::string("Remove its tags and keep the rows.") + kCleanupRemoves, lt, length);
        } else if (lower == "script") {
            Error(rule, tag, "EDGAR refuses scripts.",
                  std::string("Remove the <script> element.") + kCleanupRemoves, lt, length);
        } else if (lower == "style") {
            Error(rule, tag, "EDGAR refuses <style> elements.",
                  std::string("Put the styles in style attributes.") + kCleanupRemoves, lt, length);
        } else {
            Error(rule, tag, "EDGAR refuses the element " + tag + ".",
                  "Remove it (keep any text it holds that belongs to the document).", lt, length);
        }
    }

    std::string_view AttrName(const Attribute& a) const {
        return text_.substr(a.nameAt, a.nameLength);
    }
    std::string_view AttrValue(const Attribute& a) const {
        return text_.substr(a.valueAt, a.valueLength);
    }
    std::size_t AttrLength(const Attribute& a) const { return a.end - a.nameAt; }

    // onclick, oncut, onmouseover, ...: "on" and an event name of three
    // letters or more ("one" or "on" alone are not handlers).
    static bool IsEventAttribute(std::string_view lowerName) {
        if (lowerName.size() < 5 || lowerName.substr(0, 2) != "on") return false;
        return std::all_of(lowerName.begin() + 2, lowerName.end(),
                           [](char c) { return c >= 'a' && c <= 'z'; });
    }

    void HtmlAttributes(const std::string& element, std::size_t lt, std::size_t end) {
        (void)lt;
        (void)end;
        for (const Attribute& a : attributes_) {
            if (Full()) return;
            const std::string attr(Lower(AttrName(a)));
            const auto subject = [&] { return Printable(AttrName(a)); };
            if (IsEventAttribute(attr)) {
                Error(kRefusedAttribute, subject(),
                      "The attribute " + subject() + " runs script, which EDGAR refuses.",
                      "Remove it.", a.nameAt, AttrLength(a));
            } else if (element == "body" && attr == "background") {
                Error(kRefusedAttribute, subject(), "EDGAR refuses a background picture on <body>.",
                      "Remove the background attribute.", a.nameAt, AttrLength(a));
            } else if (element == "meta" && attr == "http-equiv") {
                Error(kRefusedAttribute, subject(), "EDGAR refuses <meta http-equiv>.",
                      std::string("Remove the <meta> element.") + kCleanupRemoves, a.nameAt,
                      AttrLength(a));
            } else if (attr.compare(0, 5, "xmlns") == 0) {
                Error(kRefusedAttribute, subject(),
                      "The namespace declaration " + subject() +
                          " does not belong in an HTML document.",
                      "Remove it (an Inline XBRL document must be XHTML throughout).", a.nameAt,
                      AttrLength(a));
            } else if ((element == "a" && attr == "href") || (element == "img" && attr == "src")) {
                Reference(attr == "src", a);
            } else if (attr == "style") {
                StyleReferences(a);
            }
        }
    }

    void XhtmlStartTag(std::string_view name, std::size_t lt, std::size_t end, bool selfClosed) {
        const std::size_t length = end - lt;
        const auto tag = [&] { return Tag(name); };
        if (end >= text_.size() && (text_.empty() || text_.back() != '>')) {
            Error(kInline, tag(), "This start tag() is never closed with \">\".", "Add the \">\".",
                  lt, length);
        } else if (end < text_.size() && text_[end] == '<' && text_[end - 1] != '>') {
            Error(kInline, tag(), "This start tag() is not closed before the next \"<\".",
                  "Add the \">\".", lt, length);
        }
        if (stack_.empty()) {
            if (rootSeen_) {
                Error(kInline, tag(), "A second top-level element follows the <html> element.",
                      "Move it inside <body>.", lt, length);
            }
            rootSeen_ = true;
        }
        const bool prefixed = name.find(':') != std::string_view::npos;
        if (!prefixed) {
            if (name == "html" && ++htmlElements_ > 1) {
                Error(kHtmlTags, tag(), "The document has more than one <html> element.",
                      "Keep one <html> element around the whole document.", lt, length);
            }
            if (!IsXhtmlElement(name)) {
                const std::string lower(Lower(name));
                if (IsXhtmlElement(lower)) {
                    Error(kInline, tag(), "XHTML element names are lower case.",
                          "Write <" + lower + ">, and its end tag() the same way.", lt, length);
                } else {
                    Error(kInline, tag(), "The element " + tag() + " is not part of XHTML.",
                          "Use XHTML elements only (a <span> or <div> with a style attribute "
                          "instead of <font>, <center> or <u>).",
                          lt, length);
                }
            } else if (IsXhtmlBlockedElement(name)) {
                RefusedElement(std::string(name), tag(), lt, length);
            }
            if (name == "table" && tableDepth_ > 0) NestedTable(lt, length);
        }
        XhtmlAttributes(name, lt);
        if (name == "a" && notDivLike_ > 0 && !HasAttribute("href")) {
            Warning(kInline, tag(),
                    "An <a> without href should sit directly in <html>, <body> or <div> "
                    "elements.",
                    "Move the anchor out of the element that holds it, or give it an href.", lt,
                    length);
        }
        const std::size_t colon = name.rfind(':');
        const std::string_view local =
            colon == std::string_view::npos ? name : name.substr(colon + 1);
        if (selfClosed && !IsXhtmlEmptyElement(local)) {
            Warning(kInline, tag(),
                    "The element " + tag() +
                        " is written empty (\"/>\"); browsers read it as "
                        "a start tag() without an end.",
                    "Write a start tag() and an end tag() instead.", lt, length);
        }
        if (!selfClosed) {
            const bool table = !prefixed && name == "table";
            const bool divLike = name == "html" || name == "body" || name == "div";
            stack_.push_back({name, lt, length, table, divLike});
            ++openCount_[name];
            if (table) ++tableDepth_;
            if (!divLike) ++notDivLike_;
        }
    }

    bool HasAttribute(std::string_view name) const {
        for (const Attribute& a : attributes_) {
            if (AttrName(a) == name) return true;
        }
        return false;
    }

    void XhtmlAttributes(std::string_view element, std::size_t lt) {
        (void)lt;
        // Duplicates: pairwise for the usual few attributes, a set beyond.
        std::unordered_set<std::string_view> seen;
        const bool useSet = attributes_.size() > 16;
        for (std::size_t k = 0; k < attributes_.size(); ++k) {
            if (Full()) return;
            const Attribute& a = attributes_[k];
            const std::string_view name = AttrName(a);
            const auto subject = [&] { return Printable(name); };
            bool duplicate = false;
            if (useSet) {
                duplicate = !seen.insert(name).second;
            } else {
                for (std::size_t m = 0; m < k && !duplicate; ++m) {
                    duplicate = AttrName(attributes_[m]) == name;
                }
            }
            if (duplicate) {
                Error(kInline, subject(),
                      "The attribute " + subject() + " appears twice in one tag.",
                      "Keep one of them.", a.nameAt, AttrLength(a));
            }
            if (!a.hasValue) {
                Error(kInline, subject(), "The attribute " + subject() + " has no value.",
                      "Write it as " + subject() + "=\"" + subject() + "\" or give it its value.",
                      a.nameAt, AttrLength(a));
            } else if (!a.quoted) {
                Error(kInline, subject(), "The value of " + subject() + " is not in quotes.",
                      "Put the value in double quotes.", a.nameAt, AttrLength(a));
            } else if (a.unterminated) {
                Error(kInline, subject(), "The value of " + subject() + " has no closing quote.",
                      "Add the closing quote.", a.nameAt, AttrLength(a));
            } else {
                const std::string_view value = AttrValue(a);
                const std::size_t ltIn = value.find('<');
                if (ltIn != std::string_view::npos) {
                    Error(kInline, subject(), "The value of " + subject() + " holds a \"<\".",
                          "Write it as &lt;.", a.valueAt + ltIn, 1);
                }
                XmlReferences(a.valueAt, a.valueAt + a.valueLength);
            }
            const std::string lower(Lower(name));
            if (IsEventAttribute(lower)) {
                Error(kInline, subject(),
                      "The attribute " + subject() + " runs script, which EDGAR refuses.",
                      "Remove it.", a.nameAt, AttrLength(a));
            } else if ((element == "a" && name == "name") ||
                       (element == "body" && name == "link") ||
                       (element == "link" && (name == "rel" || name == "rev"))) {
                Error(kInline, subject(),
                      "EDGAR refuses the attribute " + subject() + " on <" + Printable(element) +
                          ">.",
                      element == "a" ? "Use id instead." : "Remove it.", a.nameAt, AttrLength(a));
            } else if (element == "html" && name == "lang") {
                Error(kInline, subject(), "EDGAR refuses lang on <html>.", "Use xml:lang instead.",
                      a.nameAt, AttrLength(a));
            } else if (name == "xml:base") {
                Error(kInline, subject(), "EDGAR refuses xml:base.", "Remove it.", a.nameAt,
                      AttrLength(a));
            } else if (name == "xsi:schemaLocation") {
                Warning(kInline, subject(), "EDGAR does not want xsi:schemaLocation here.",
                        "Remove it.", a.nameAt, AttrLength(a));
            } else if (element == "meta" && name == "content" &&
                       AttrValue(a).substr(0, 9) != "text/html") {
                Error(kInline, subject(), "EDGAR accepts <meta> content \"text/html\" only.",
                      "Remove the <meta> element or set content=\"text/html\".", a.nameAt,
                      AttrLength(a));
            } else if ((element == "a" && name == "href") || (element == "img" && name == "src")) {
                Reference(name == "src", a);
            } else if (name == "style") {
                StyleReferences(a);
            }
        }
    }

    // An attribute value as a browser reads it as an address: character
    // references decoded, and tabs, line breaks and other control
    // characters dropped ("java&#9;script:" is still a script).
    static std::string AddressOf(std::string_view value) {
        std::string out;
        for (std::size_t i = 0; i < value.size(); ++i) {
            const char c = value[i];
            if (c == '&') {
                std::size_t j = i + 1;
                std::uint32_t cp = 0;
                bool ok = false;
                if (j < value.size() && value[j] == '#') {
                    ++j;
                    const bool hex = j < value.size() && (value[j] == 'x' || value[j] == 'X');
                    if (hex) ++j;
                    const std::size_t digits = j;
                    while (j < value.size() &&
                           (IsDigit(value[j]) ||
                            (hex && std::isxdigit(static_cast<unsigned char>(value[j]))))) {
                        const unsigned d =
                            IsDigit(value[j]) ? value[j] - '0' : AsciiLower(value[j]) - 'a' + 10;
                        if (cp < 0x110000) cp = cp * (hex ? 16 : 10) + d;
                        ++j;
                    }
                    ok = j > digits;
                    if (j < value.size() && value[j] == ';') ++j;
                } else {
                    while (j < value.size() && IsWordChar(value[j])) ++j;
                    const std::string_view name = value.substr(i + 1, j - i - 1);
                    cp = name.empty() ? 0 : EdgarEntityCodePoint(name);
                    ok = cp != 0 && j < value.size() && value[j] == ';';
                    if (ok) ++j;
                }
                if (ok) {
                    if (cp > 0x20 && cp < 0x7F)
                        out += static_cast<char>(cp);
                    else if (cp > 0x7F)
                        out += '?';
                    i = j - 1;
                    continue;
                }
            }
            if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) continue;
            out += c;
        }
        return out;
    }

    // The scheme of an address ("http"), lower case, or "" for a relative one.
    static std::string SchemeOf(std::string_view address) {
        std::size_t k = 0;
        while (k < address.size() &&
               (IsAsciiLetter(address[k]) || IsDigit(address[k]) || address[k] == '+' ||
                address[k] == '-' || address[k] == '.')) {
            ++k;
        }
        if (k == 0 || k >= address.size() || address[k] != ':' || !IsAsciiLetter(address[0])) {
            return "";
        }
        return AsciiLowerCopy(address.substr(0, k));
    }

    // EDGAR lets a link leave the submission only for its own archive of
    // filings (and the viewer's form of it).
    static bool IsEdgarArchive(std::string_view address) {
        const std::string lower = AsciiLowerCopy(address.substr(0, 24));
        std::size_t k = 0;
        if (lower.compare(0, 20, "https://www.sec.gov/") == 0)
            k = 20;
        else if (lower.compare(0, 19, "http://www.sec.gov/") == 0)
            k = 19;
        else
            return false;
        std::string_view path = address.substr(k);
        if (path.substr(0, 8) == "ix?doc=/") path = path.substr(8);
        return path.substr(0, 20) == "Archives/edgar/data/";
    }

    void Reference(bool picture, const Attribute& a) {
        const std::string address = AddressOf(AttrValue(a));
        const std::string lower = AsciiLowerCopy(address);
        const std::string shown = Printable(AttrValue(a), 60);
        const std::size_t at = a.hasValue ? a.valueAt : a.nameAt;
        const std::size_t length =
            a.hasValue ? std::max<std::size_t>(a.valueLength, 1) : a.nameLength;
        const char* rule = Rule(kReferences);
        if (lower.find("javascript:") != std::string::npos ||
            lower.compare(0, 9, "vbscript:") == 0) {
            Error(rule, shown, "This address runs script, which EDGAR refuses.",
                  picture ? "Point the picture at a .jpg or .gif file of the submission."
                          : "Remove the link or point it at a document of the submission.",
                  at, length);
            return;
        }
        const std::string scheme = SchemeOf(address);
        const bool remote =
            !scheme.empty() || lower.compare(0, 2, "//") == 0 || lower.compare(0, 2, "\\\\") == 0;
        if (!picture) {
            if (address.empty() || address[0] == '#' || IsEdgarArchive(address)) return;
            if (remote) {
                Error(rule, shown, "The link \"" + shown + "\" leads outside the submission.",
                      "Link only to documents of the submission (by file name) or to filings "
                      "under https://www.sec.gov/Archives/edgar/data/.",
                      at, length);
                return;
            }
            const std::string path = address.substr(0, address.find_first_of("?#"));
            if (path.find_first_of("/\\") != std::string::npos) {
                Warning(rule, shown, "The link \"" + shown + "\" names a folder.",
                        "A submission has no folders: link to the document's file name alone.", at,
                        length);
            }
            return;
        }
        if (scheme == "data") {
            Error(rule, Printable(AttrValue(a), 24),
                  "The picture is written into the document (a data: address).",
                  "EDGAR accepts pictures only as .jpg or .gif files of the submission.", at,
                  length);
            return;
        }
        if (remote) {
            Error(rule, shown,
                  "The picture \"" + shown + "\" is loaded from outside the submission.",
                  "Add the picture to the submission as a .jpg or .gif file and name that file.",
                  at, length);
            return;
        }
        const std::string path = address.substr(0, address.find_first_of("?#"));
        if (path.find_first_of("/\\") != std::string::npos) {
            Warning(rule, shown, "The picture \"" + shown + "\" names a folder.",
                    "A submission has no folders: name the picture's file alone.", at, length);
            return;
        }
        const std::string extension =
            path.size() >= 4 ? AsciiLowerCopy(path.substr(path.size() - 4)) : std::string();
        if (extension != ".jpg" && extension != ".gif") {
            Error(rule, shown, "The picture \"" + shown + "\" is not a .jpg or .gif file.",
                  "Convert it to JPEG (.jpg) or GIF (.gif) and name that file.", at, length);
            return;
        }
        switch (pictures_.Look(path)) {
            case PictureState::NotLooked:
            case PictureState::Good:
                break;
            case PictureState::Missing:
                Warning(rule, shown, "The picture \"" + shown + "\" is not beside the document.",
                        "Put it in the document's folder and add it to the submission.", at,
                        length);
                break;
            case PictureState::NotJpeg:
                Error(rule, shown, "The file \"" + shown + "\" is not a JPEG picture.",
                      "Save the picture as JPEG, or give it the extension of what it is.", at,
                      length);
                break;
            case PictureState::NotGif:
                Error(rule, shown, "The file \"" + shown + "\" is not a GIF picture.",
                      "Save the picture as GIF, or give it the extension of what it is.", at,
                      length);
                break;
            case PictureState::Animated:
                Error(rule, shown, "The GIF \"" + shown + "\" is animated.",
                      "EDGAR accepts still pictures only: save a single frame.", at, length);
                break;
        }
    }

    // url(...) and expression(...) in a style attribute fetch or run things
    // just as href and src do.
    void StyleReferences(const Attribute& a) {
        if (!a.hasValue) return;
        const std::string value = AsciiLowerCopy(AddressOf(AttrValue(a)));
        const std::string shown = Printable(AttrValue(a), 60);
        const std::size_t at = a.valueAt;
        const std::size_t length = std::max<std::size_t>(a.valueLength, 1);
        const char* rule = Rule(kReferences);
        if (value.find("expression(") != std::string::npos ||
            value.find("javascript:") != std::string::npos) {
            Error(rule, shown, "This style runs script, which EDGAR refuses.",
                  "Remove the expression from the style.", at, length);
            return;
        }
        std::size_t k = 0;
        while ((k = value.find("url(", k)) != std::string::npos) {
            k += 4;
            std::size_t e = value.find(')', k);
            if (e == std::string::npos) e = value.size();
            std::string target = value.substr(k, e - k);
            target.erase(std::remove(target.begin(), target.end(), '"'), target.end());
            target.erase(std::remove(target.begin(), target.end(), '\''), target.end());
            if (!SchemeOf(target).empty() || target.compare(0, 2, "//") == 0) {
                Error(rule, shown,
                      "This style loads \"" + Printable(target, 40) +
                          "\" from outside the submission.",
                      "Remove the url() from the style.", at, length);
                return;
            }
        }
    }
};

}  // namespace

bool LooksLikeXhtml(std::string_view text) {
    std::size_t start = 0;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") start = 3;
    while (start < text.size() && IsSpace(text[start])) ++start;
    if (text.substr(start, 5) == "<?xml") return true;
    // The XHTML or Inline XBRL namespace on the root element. Word's HTML
    // carries xmlns attributes of its own and is not XHTML.
    const std::size_t html = FindFolded(text, "<html", 0);
    if (html != std::string_view::npos) {
        const std::size_t gt = text.find('>', html);
        const std::string_view tag =
            text.substr(html, gt == std::string_view::npos ? std::string_view::npos : gt - html);
        if (tag.find("http://www.w3.org/1999/xhtml") != std::string_view::npos ||
            tag.find("http://www.xbrl.org/2013/inlineXBRL") != std::string_view::npos) {
            return true;
        }
    }
    return FindFolded(text, "<ix:", 0) != std::string_view::npos;
}

EdgarRulesResult CheckEdgarRules(std::string_view text, const EdgarRulesOptions& options) {
    // A document kept in its submission wrapper (<DOCUMENT>, <TYPE>, ...
    // <TEXT>) is checked as the HTML document it carries: the wrapper's tags
    // are EDGAR's own, not the document's.
    const std::string_view document = PageContent(text);
    const std::size_t start = static_cast<std::size_t>(document.data() - text.data());
    bool xhtml = options.markup == EdgarRulesOptions::Markup::Xhtml;
    if (options.markup == EdgarRulesOptions::Markup::Detect) xhtml = LooksLikeXhtml(document);
    EdgarRulesResult result = Checker(document, options, xhtml).Run();
    for (EdgarFinding& f : result.findings) f.offset += start;
    return result;
}

const std::vector<std::string>& EdgarRuleIds() {
    static const std::vector<std::string> ids{
        kCharacters,       kHtmlTags, kUnknownElement, kRefusedElement,
        kRefusedAttribute, kEntity,   kReferences,     kInline};
    return ids;
}

namespace {
std::string OneLine(std::string s) {
    for (char& c : s) {
        if (c == '|' || c == '\r' || c == '\n') c = ' ';
    }
    return s;
}
}  // namespace

ProblemRecord ToProblemRecord(const EdgarFinding& finding) {
    ProblemRecord record;
    record.Description = OneLine(finding.message.substr(
        0, finding.message.size() - std::min(finding.message.size(), finding.fix.size())));
    while (!record.Description.empty() && record.Description.back() == ' ') {
        record.Description.pop_back();
    }
    if (record.Description.empty()) record.Description = OneLine(finding.message);
    record.Code = OneLine("EDGAR " + finding.rule + " " + finding.subject);
    record.Severity = finding.severity;
    record.Fix = OneLine(finding.fix);
    record.Position = static_cast<std::int32_t>(
        std::min<std::size_t>(finding.offset, static_cast<std::size_t>(INT32_MAX)));
    return record;
}

LineColumn LineColumnCounter::At(std::size_t offset) {
    if (offset < at_) {
        at_ = 0;
        here_ = LineColumn{};
    }
    offset = std::min(offset, text_.size());
    while (at_ < offset) {
        const char c = text_[at_];
        if (c == '\n' || c == '\r') {
            const bool pair = c == '\r' && at_ + 1 < text_.size() && text_[at_ + 1] == '\n';
            if (pair && at_ + 1 == offset) {
                // The offset is the LF of a CR LF: it sits at the line's end.
                ++here_.column;
                ++at_;
                break;
            }
            at_ += pair ? 2 : 1;
            ++here_.line;
            here_.column = 1;
            continue;
        }
        char32_t cp = 0;
        const std::size_t len = NextUtf8(text_, at_, cp);
        at_ += len == 0 ? 1 : len;
        ++here_.column;
    }
    return here_;
}

LineColumn LineColumnAt(std::string_view text, std::size_t offset) {
    LineColumnCounter counter(text);
    return counter.At(offset);
}

}  // namespace tarlo
