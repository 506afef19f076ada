#include "text/page_source.h"

#include "text/find_replace.h"
#include "text/text_scan.h"
#include "text/text_transfer.h"

namespace tarlo {

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool StartsWithAt(std::string_view text, std::size_t at, std::string_view what) {
    return text.size() - at >= what.size() && text.compare(at, what.size(), what) == 0;
}

// The end of the blanks, comments, DOCTYPE and processing instructions
// that start at `at`; with `declarationsToo` false only blanks and comments.
std::size_t SkipProlog(std::string_view code, std::size_t at, bool declarationsToo) {
    while (at < code.size()) {
        if (IsBlank(code[at])) {
            ++at;
        } else if (StartsWithAt(code, at, "<!--")) {
            const std::size_t end = code.find("-->", at + 4);
            if (end == npos) return at;
            at = end + 3;
        } else if (declarationsToo && StartsWithAt(code, at, "<?")) {
            const std::size_t end = code.find("?>", at + 2);
            if (end == npos) return at;
            at = end + 2;
        } else if (declarationsToo && at + 2 < code.size() && code[at] == '<' &&
                   code[at + 1] == '!' && IsLetter(code[at + 2])) {
            const std::size_t end = code.find('>', at + 2);
            if (end == npos) return at;
            at = end + 1;
        } else {
            break;
        }
    }
    return at;
}

// The root element's start tag, from "<" to ">", when the prolog ends at one.
std::string_view RootStartTag(std::string_view code, std::size_t rootAt) {
    if (rootAt + 1 >= code.size() || code[rootAt] != '<' || !IsLetter(code[rootAt + 1])) {
        return {};
    }
    const std::size_t end = code.find('>', rootAt);
    if (end == npos) return {};
    return code.substr(rootAt, end + 1 - rootAt);
}

std::string_view TagName(std::string_view tag) {
    if (tag.size() < 2) return {};
    std::size_t end = 1;
    while (end < tag.size() && !IsBlank(tag[end]) && tag[end] != '>' && tag[end] != '/') ++end;
    return tag.substr(1, end - 1);
}

bool DeclaresXhtmlNamespace(std::string_view tag) {
    return tag.find("xmlns=\"http://www.w3.org/1999/xhtml\"") != npos ||
           tag.find("xmlns='http://www.w3.org/1999/xhtml'") != npos;
}

// Writes every "^" outside tags and comments as &#94;.
std::string CaretsAsReferences(std::string_view html) {
    std::string out;
    out.reserve(html.size());
    std::size_t i = 0;
    while (i < html.size()) {
        const char c = html[i];
        if (c == '<') {
            const std::size_t end =
                StartsWithAt(html, i, "<!--") ? html.find("-->", i + 4) : html.find('>', i + 1);
            const std::size_t stop = end == npos ? html.size() : end + (html[end] == '-' ? 3 : 1);
            out.append(html.substr(i, stop - i));
            i = stop;
        } else if (c == '^') {
            out += "&#94;";
            ++i;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

// Leaves out every tag of one table section, opening and closing, as the
// parser writes the ones it adds: without attributes.
std::string WithoutSection(std::string text, std::string_view name) {
    const std::string open = "<" + std::string(name) + ">";
    const std::string close = "</" + std::string(name) + ">";
    FindReplaceInPlace(text, open, "");
    FindReplaceInPlace(text, close, "");
    return text;
}

// The HTML element of a filing in its EDGAR wrapper: [start of "<html", end
// of the last "</html>"). Nothing (start == end) for any other code.
struct Span {
    std::size_t start = 0;
    std::size_t end = 0;
};

Span WrappedHtmlElement(std::string_view code) {
    // The wrapper opens with its <DOCUMENT> (or a whole submission's
    // <SEC-DOCUMENT>) tag; any other text before <html> is the page's own.
    const std::size_t rootAt = SkipProlog(code, 0, true);
    const std::string_view root = TagName(RootStartTag(code, rootAt));
    if (!EqualsFolded(root, "document") && !EqualsFolded(root, "sec-document")) return {};
    std::size_t at = FindFolded(code, "<html", rootAt);
    while (at != npos && at + 5 < code.size() && !IsBlank(code[at + 5]) && code[at + 5] != '>') {
        at = FindFolded(code, "<html", at + 5);
    }
    if (at == npos || at + 5 >= code.size()) return {};
    std::size_t close = npos;
    for (std::size_t e = FindFolded(code, "</html>", at); e != npos;
         e = FindFolded(code, "</html>", e + 7)) {
        close = e;
    }
    if (close == npos) return {};
    return {at, close + 7};
}

// The per-character rules of the conversion, for the whole page's markup or
// one element's: inferred table sections left out (HTML), "^" as the code
// wrote it, non-ASCII characters as numeric references.
std::string MarkupAsCode(std::string_view pageHtml, const PageSource& source) {
    std::string html(pageHtml);
    if (!source.xhtml) {
        if (!source.hadTbody) html = WithoutSection(std::move(html), "tbody");
        if (!source.hadThead) html = WithoutSection(std::move(html), "thead");
        if (!source.hadTfoot) html = WithoutSection(std::move(html), "tfoot");
    }
    if (source.hadCaretReference) html = CaretsAsReferences(html);
    return EncodeNonAsciiAsReferences(html, !source.xhtml);
}

}  // namespace

std::string_view PageContent(std::string_view code) {
    const Span html = WrappedHtmlElement(code);
    if (html.start == html.end) return code;
    return code.substr(html.start, html.end - html.start);
}

bool ClaimsXhtml(std::string_view code) {
    std::size_t at = SkipProlog(code, 0, false);
    if (StartsWithAt(code, at, "\xEF\xBB\xBF")) at = SkipProlog(code, at + 3, false);
    if (StartsWithAt(code, at, "<?xml")) return true;
    const std::size_t rootAt = SkipProlog(code, at, true);
    return DeclaresXhtmlNamespace(RootStartTag(code, rootAt));
}

PageSource DescribePageSource(std::string_view code) {
    PageSource s;
    s.xhtml = ClaimsXhtml(code);
    const std::size_t rootAt = SkipProlog(code, 0, true);
    const std::string_view root = RootStartTag(code, rootAt);
    if (!root.empty()) s.prolog = std::string(code.substr(0, rootAt));
    if (s.xhtml && !root.empty()) {
        // The epilog follows the root's end tag: the last "</name" in the code.
        const std::string endTag = "</" + std::string(TagName(root));
        const std::size_t last = code.rfind(endTag);
        const std::size_t close = last == npos ? npos : code.find('>', last);
        if (close != npos && SkipProlog(code, close + 1, false) == code.size()) {
            s.epilog = std::string(code.substr(close + 1));
        }
    }
    if (!s.xhtml) {
        const Span html = WrappedHtmlElement(code);
        if (html.start != html.end) {
            s.prolog = std::string(code.substr(0, html.start));
            s.epilog = std::string(code.substr(html.end));
        }
    }
    s.hadTbody = FindFolded(code, "<tbody", 0) != npos;
    s.hadThead = FindFolded(code, "<thead", 0) != npos;
    s.hadTfoot = FindFolded(code, "<tfoot", 0) != npos;
    s.hadCaretReference = FindExact(code, "&#94;") != npos ||
                          FindFolded(code, "&#x5e;", 0) != npos || FindExact(code, "&Hat;") != npos;
    return s;
}

std::string PageToCode(std::string_view pageHtml, const PageSource& source) {
    return ToCrLf(source.prolog + MarkupAsCode(pageHtml, source) + source.epilog);
}

std::string PageElementToCode(std::string_view elementHtml, const PageSource& source) {
    return ToCrLf(MarkupAsCode(elementHtml, source));
}

}  // namespace tarlo
