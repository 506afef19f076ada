#include "checker/edgar_reference_rules.h"

#include <cstdint>
#include <cstring>
#include <optional>

#include "checker/edgar_rules_tables.h"
#include "text/html_tokens.h"
#include "text/text_encoding.h"
#include "text/windows1252.h"

namespace tarlo::edgar_rules {

namespace {

std::string Hex4(std::uint32_t cp) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (int shift = (cp > 0xFFFF ? 20 : 12); shift >= 0; shift -= 4)
        s += digits[(cp >> shift) & 0xF];
    return s;
}

// EDGAR's character set: printable ASCII except "^", and tab, line feed,
// form feed and carriage return.
bool AllowedByte(unsigned char c) {
    if (c == '\t' || c == '\n' || c == '\f' || c == '\r') return true;
    return c >= 0x20 && c < 0x7F && c != '^';
}

// The reference of the next "&" in [from, to), if there is one.
std::optional<CharacterReference> NextReference(std::string_view text, std::size_t from,
                                                std::size_t to, ReferenceNames names) {
    if (from >= to) return std::nullopt;
    const void* hit = std::memchr(text.data() + from, '&', to - from);
    if (!hit) return std::nullopt;
    const auto amp = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
    return ReadCharacterReference(text, amp, to, names);
}

void BareAmpersand(EdgarFindings& findings, std::size_t at) {
    findings.Error(kInline, "&", "A \"&\" that does not start a character reference breaks XHTML.",
                   "Write it as &amp;.", at, 1);
}

}  // namespace

void CheckCharacters(EdgarFindings& findings) {
    const std::string_view text = findings.text();
    const bool utf8 = IsValidUtf8(text);
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (utf8 && text.substr(0, 3) == "\xEF\xBB\xBF") {
        findings.Error(kCharacters, "byte-order mark",
                       "The document starts with a byte-order mark, which EDGAR refuses.",
                       "Save the document without one.", 0, 3);
        i = 3;
    }
    while (i < n && !findings.Full()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (AllowedByte(c)) {
            ++i;
            continue;
        }
        const bool raw = c >= 0x80;
        const std::size_t start = i;
        std::size_t count = 0;
        char32_t first = 0;
        while (i < n) {
            const unsigned char d = static_cast<unsigned char>(text[i]);
            if (AllowedByte(d) || (d >= 0x80) != raw) break;
            char32_t cp = d;
            std::size_t len = 1;
            if (raw) {
                len = utf8 ? NextUtf8(text, i, cp) : 0;
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
            findings.Error(kCharacters, subject,
                           count == 1 ? "The character " + code + " (" +
                                            Printable(text.substr(start, i - start)) +
                                            ") is outside EDGAR's ASCII character set."
                                      : std::to_string(count) + " characters from " + code + " (" +
                                            Printable(text.substr(start, i - start), 24) +
                                            ") are outside EDGAR's ASCII character set.",
                           "Write each as a numeric character reference such as " + reference +
                               ". Cleanup fixes them.",
                           start, i - start);
        } else if (first == '^') {
            findings.Error(kCharacters, subject,
                           "The character \"^\" is not in EDGAR's character set.",
                           "Write it as &#94;.", start, i - start);
        } else {
            findings.Error(
                kCharacters, subject,
                "The control character " + code + " is not allowed in an EDGAR document.",
                "Remove it.", start, i - start);
        }
    }
}

void CheckNamedReferences(EdgarFindings& findings) {
    const std::string_view text = findings.text();
    std::size_t i = 0;
    while (!findings.Full()) {
        const std::optional<CharacterReference> ref =
            NextReference(text, i, text.size(), ReferenceNames::HtmlNames);
        if (!ref) break;
        if (ref->form == CharacterReference::Form::Named && !ref->name.empty() && ref->terminated &&
            edgar_tables::EdgarEntityCodePoint(ref->name) == 0) {
            findings.Error(kEntity, "&" + Printable(ref->name) + ";",
                           "&" + Printable(ref->name) +
                               "; is not one of the named character references EDGAR accepts.",
                           "Write the character as a numeric reference (&#NNN;) or use one of "
                           "EDGAR's names such as &nbsp; or &amp;.",
                           ref->start, ref->end - ref->start);
        }
        // What a reference is read from holds no other "&".
        i = ref->end;
    }
}

void CheckXmlReferences(EdgarFindings& findings, std::size_t from, std::size_t to) {
    const std::string_view text = findings.text();
    std::size_t i = from;
    while (!findings.Full()) {
        const std::optional<CharacterReference> ref =
            NextReference(text, i, to, ReferenceNames::XmlNames);
        if (!ref) return;
        i = ref->end;
        const std::size_t amp = ref->start;
        const std::size_t length = ref->end - ref->start;
        if (ref->name.empty() || !ref->terminated) {
            BareAmpersand(findings, amp);
            continue;
        }
        if (ref->form != CharacterReference::Form::Named) {
            const std::uint32_t value = ref->codePoint;
            const bool xmlChar = value == 0x9 || value == 0xA || value == 0xD ||
                                 (value >= 0x20 && value <= 0xD7FF) ||
                                 (value >= 0xE000 && value <= 0xFFFD) ||
                                 (value >= 0x10000 && value <= 0x10FFFF);
            if (!xmlChar) {
                const std::string shown = Printable(text.substr(amp, length));
                findings.Error(kInline, shown, shown + " names a character XHTML cannot hold.",
                               "Remove it or write the character meant.", amp, length);
            }
            continue;
        }
        const std::string_view name = ref->name;
        if (name != "amp" && name != "lt" && name != "gt" && name != "quot" && name != "apos") {
            // Names EDGAR does not know at all are reported under 5.2.2.6.
            if (const std::uint32_t cp = edgar_tables::EdgarEntityCodePoint(name)) {
                const std::string shown = "&" + std::string(name) + ";";
                findings.Error(kInline, shown, shown + " is not defined in XHTML.",
                               "Write it as &#" + std::to_string(cp) + ";.", amp, length);
            }
        }
    }
}

}  // namespace tarlo::edgar_rules
