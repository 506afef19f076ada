#include "checker/edgar_link_rules.h"

#include <algorithm>
#include <cstdint>

#include "checker/edgar_rules_tables.h"
#include "text/text_scan.h"

namespace tarlo::edgar_rules {

namespace {

// An attribute value as a browser reads it as an address: character
// references decoded, and tabs, line breaks and other control characters
// dropped ("java&#9;script:" is still a script).
std::string AddressOf(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '&') {
            const CharacterReference ref =
                ReadCharacterReference(value, i, value.size(), ReferenceNames::HtmlNames);
            std::uint32_t cp = 0;
            bool ok = false;
            if (ref.form != CharacterReference::Form::Named) {
                cp = ref.codePoint;
                ok = !ref.name.empty();
            } else {
                cp = ref.name.empty() ? 0 : edgar_tables::EdgarEntityCodePoint(ref.name);
                ok = cp != 0 && ref.terminated;
            }
            if (ok) {
                if (cp > 0x20 && cp < 0x7F)
                    out += static_cast<char>(cp);
                else if (cp > 0x7F)
                    out += '?';
                i = ref.end - 1;
                continue;
            }
        }
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) continue;
        out += c;
    }
    return out;
}

// The scheme of an address ("http"), lower case, or "" for a relative one.
std::string SchemeOf(std::string_view address) {
    std::size_t k = 0;
    while (k < address.size() && (IsAsciiLetter(address[k]) || IsAsciiDigit(address[k]) ||
                                  address[k] == '+' || address[k] == '-' || address[k] == '.')) {
        ++k;
    }
    if (k == 0 || k >= address.size() || address[k] != ':' || !IsAsciiLetter(address[0])) {
        return "";
    }
    return AsciiLowerCopy(address.substr(0, k));
}

// EDGAR lets a link leave the submission only for its own archive of
// filings (and the viewer's form of it).
bool IsEdgarArchive(std::string_view address) {
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

}  // namespace

bool IsEventAttribute(std::string_view lowerName) {
    if (lowerName.size() < 5 || lowerName.substr(0, 2) != "on") return false;
    return std::all_of(lowerName.begin() + 2, lowerName.end(),
                       [](char c) { return c >= 'a' && c <= 'z'; });
}

void EdgarLinkRules::Address(bool picture, const HtmlAttribute& a) {
    const std::string address = AddressOf(a.value);
    const std::string lower = AsciiLowerCopy(address);
    const std::string shown = Printable(a.value, 60);
    const std::size_t at = a.hasValue ? a.valueAt : a.nameAt;
    const std::size_t length =
        a.hasValue ? std::max<std::size_t>(a.value.size(), 1) : a.name.size();
    const char* rule = findings_.Rule(kReferences);
    if (lower.find("javascript:") != std::string::npos || lower.compare(0, 9, "vbscript:") == 0) {
        findings_.Error(rule, shown, "This address runs script, which EDGAR refuses.",
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
            findings_.Error(rule, shown, "The link \"" + shown + "\" leads outside the submission.",
                            "Link only to documents of the submission (by file name) or to "
                            "filings under https://www.sec.gov/Archives/edgar/data/.",
                            at, length);
            return;
        }
        const std::string path = address.substr(0, address.find_first_of("?#"));
        if (path.find_first_of("/\\") != std::string::npos) {
            findings_.Warning(
                rule, shown, "The link \"" + shown + "\" names a folder.",
                "A submission has no folders: link to the document's file name alone.", at, length);
        }
        return;
    }
    if (scheme == "data") {
        findings_.Error(rule, Printable(a.value, 24),
                        "The picture is written into the document (a data: address).",
                        "EDGAR accepts pictures only as .jpg or .gif files of the submission.", at,
                        length);
        return;
    }
    if (remote) {
        findings_.Error(
            rule, shown, "The picture \"" + shown + "\" is loaded from outside the submission.",
            "Add the picture to the submission as a .jpg or .gif file and name that file.", at,
            length);
        return;
    }
    const std::string path = address.substr(0, address.find_first_of("?#"));
    if (path.find_first_of("/\\") != std::string::npos) {
        findings_.Warning(rule, shown, "The picture \"" + shown + "\" names a folder.",
                          "A submission has no folders: name the picture's file alone.", at,
                          length);
        return;
    }
    const std::string extension =
        path.size() >= 4 ? AsciiLowerCopy(path.substr(path.size() - 4)) : std::string();
    if (extension != ".jpg" && extension != ".gif") {
        findings_.Error(rule, shown, "The picture \"" + shown + "\" is not a .jpg or .gif file.",
                        "Convert it to JPEG (.jpg) or GIF (.gif) and name that file.", at, length);
        return;
    }
    switch (pictures_.Look(path)) {
        case PictureState::NotLooked:
        case PictureState::Good:
            break;
        case PictureState::Missing:
            findings_.Warning(
                rule, shown, "The picture \"" + shown + "\" is not beside the document.",
                "Put it in the document's folder and add it to the submission.", at, length);
            break;
        case PictureState::NotJpeg:
            findings_.Error(rule, shown, "The file \"" + shown + "\" is not a JPEG picture.",
                            "Save the picture as JPEG, or give it the extension of what it is.", at,
                            length);
            break;
        case PictureState::NotGif:
            findings_.Error(rule, shown, "The file \"" + shown + "\" is not a GIF picture.",
                            "Save the picture as GIF, or give it the extension of what it is.", at,
                            length);
            break;
        case PictureState::Animated:
            findings_.Error(rule, shown, "The GIF \"" + shown + "\" is animated.",
                            "EDGAR accepts still pictures only: save a single frame.", at, length);
            break;
    }
}

void EdgarLinkRules::Style(const HtmlAttribute& a) {
    if (!a.hasValue) return;
    const std::string value = AsciiLowerCopy(AddressOf(a.value));
    const std::string shown = Printable(a.value, 60);
    const std::size_t at = a.valueAt;
    const std::size_t length = std::max<std::size_t>(a.value.size(), 1);
    const char* rule = findings_.Rule(kReferences);
    if (value.find("expression(") != std::string::npos ||
        value.find("javascript:") != std::string::npos) {
        findings_.Error(rule, shown, "This style runs script, which EDGAR refuses.",
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
            findings_.Error(
                rule, shown,
                "This style loads \"" + Printable(target, 40) + "\" from outside the submission.",
                "Remove the url() from the style.", at, length);
            return;
        }
    }
}

}  // namespace tarlo::edgar_rules
