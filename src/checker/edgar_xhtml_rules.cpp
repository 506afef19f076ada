#include "checker/edgar_xhtml_rules.h"

#include <unordered_set>

#include "checker/edgar_html_rules.h"
#include "checker/edgar_reference_rules.h"
#include "checker/edgar_rules_tables.h"

namespace tarlo::edgar_rules {

using namespace edgar_tables;

// Text must lie inside the root element, and its references must be XML's.
void EdgarXhtmlRules::Text(const HtmlToken& token) {
    const std::string_view text = findings_.text();
    if (stack_.empty() && !strayTextReported_) {
        for (std::size_t k = token.start; k < token.end; ++k) {
            if (IsMarkupSpace(text[k])) continue;
            strayTextReported_ = true;
            findings_.Error(kInline, "text",
                            rootSeen_ ? "Text follows the end of the <html> element."
                                      : "Text comes before the <html> element.",
                            "Move it inside <body> or remove it.", k, 1);
            break;
        }
    }
    CheckXmlReferences(findings_, token.start, token.end);
}

void EdgarXhtmlRules::Comment(const HtmlToken& token) {
    const std::size_t lt = token.start;
    if (token.unterminated) {
        findings_.Error(kInline, "<!--", "This comment is never closed.", "End it with \"-->\".",
                        lt, 4);
        return;
    }
    // A "--" that starts before the closing "-->" (it may overlap it).
    const std::size_t close = token.end - 3;
    const std::size_t dashes = findings_.text().substr(0, close + 1).find("--", lt + 4);
    if (dashes != std::string_view::npos) {
        findings_.Error(kInline, "--", "A comment holds \"--\", which XHTML does not allow.",
                        "Remove the double hyphen from the comment.", dashes, 2);
    }
}

void EdgarXhtmlRules::ProcessingInstruction(const HtmlToken& token) {
    const std::string_view text = findings_.text();
    const std::size_t lt = token.start;
    const std::string_view rest = text.substr(lt);
    if (rest.size() >= 6 && rest.substr(0, 5) == "<?xml" && IsMarkupSpace(rest[5]) && lt != 0 &&
        !(lt == 3 && text.substr(0, 3) == "\xEF\xBB\xBF")) {
        findings_.Error(kInline, "<?xml", "The XML declaration is not at the very start.",
                        "Move it to the first line, before anything else.", lt, 5);
    }
}

void EdgarXhtmlRules::Stray(const HtmlToken& token) {
    if (token.end - token.start == 2) {
        findings_.Error(kInline, "</", "\"</\" without an element name breaks XHTML.",
                        "Write the \"<\" as &lt; or complete the end tag.", token.start, 2);
    } else {
        findings_.Error(kInline, "<", "A \"<\" in text breaks XHTML.", "Write it as &lt;.",
                        token.start, 1);
    }
}

void EdgarXhtmlRules::EndTag(const HtmlToken& token) {
    const std::string_view name = token.name;
    const std::size_t lt = token.start;
    const std::size_t end = token.end;
    if (token.unterminated) {
        findings_.Error(kInline, "</" + Printable(name), "This end tag is never closed with \">\".",
                        "Add the \">\".", lt, end - lt);
    }
    const auto open = openCount_.find(name);
    if (open == openCount_.end() || open->second == 0) {
        findings_.Error(kInline, "</" + Printable(name) + ">",
                        "The end tag </" + Printable(name) + "> has no open element to close.",
                        "Remove it, or add the start tag it belongs to.", lt, end - lt);
        return;
    }
    while (!stack_.empty() && stack_.back().name != name) {
        const OpenElement& e = stack_.back();
        findings_.Error(kInline, "<" + Printable(e.name) + ">",
                        "The <" + Printable(e.name) + "> element is not closed before </" +
                            Printable(name) + ">.",
                        "Add </" + Printable(e.name) + "> where the element ends.", e.tagAt,
                        e.tagLength);
        Pop();
    }
    if (!stack_.empty()) Pop();
}

void EdgarXhtmlRules::Pop() {
    const OpenElement& e = stack_.back();
    if (e.table) --tableDepth_;
    if (!e.divLike) --notDivLike_;
    --openCount_[e.name];
    stack_.pop_back();
}

void EdgarXhtmlRules::Finish() {
    for (const OpenElement& e : stack_) {
        if (findings_.Full()) break;
        findings_.Error(kInline, "<" + Printable(e.name) + ">",
                        "The <" + Printable(e.name) + "> element is never closed.",
                        "Add its end tag </" + Printable(e.name) + "> where the element ends.",
                        e.tagAt, e.tagLength);
    }
}

void EdgarXhtmlRules::StartTag(const HtmlToken& token) {
    const std::string_view text = findings_.text();
    const std::string_view name = token.name;
    const std::size_t lt = token.start;
    const std::size_t end = token.end;
    const bool selfClosed = token.selfClosing;
    const std::size_t length = end - lt;
    const auto tag = [&] { return Tag(name); };
    if (end >= text.size() && (text.empty() || text.back() != '>')) {
        findings_.Error(kInline, tag(), "This start tag is never closed with \">\".",
                        "Add the \">\".", lt, length);
    } else if (end < text.size() && text[end] == '<' && text[end - 1] != '>') {
        findings_.Error(kInline, tag(), "This start tag is not closed before the next \"<\".",
                        "Add the \">\".", lt, length);
    }
    if (stack_.empty()) {
        if (rootSeen_) {
            findings_.Error(kInline, tag(),
                            "A second top-level element follows the <html> element.",
                            "Move it inside <body>.", lt, length);
        }
        rootSeen_ = true;
    }
    const bool prefixed = name.find(':') != std::string_view::npos;
    if (!prefixed) {
        if (name == "html" && ++htmlElements_ > 1) {
            findings_.Error(kHtmlTags, tag(), "The document has more than one <html> element.",
                            "Keep one <html> element around the whole document.", lt, length);
        }
        if (!IsXhtmlElement(name)) {
            const std::string lower(LowerInto(lower_, name));
            if (IsXhtmlElement(lower)) {
                findings_.Error(kInline, tag(), "XHTML element names are lower case.",
                                "Write <" + lower + ">, and its end tag the same way.", lt,
                                length);
            } else {
                findings_.Error(kInline, tag(), "The element " + tag() + " is not part of XHTML.",
                                "Use XHTML elements only (a <span> or <div> with a style "
                                "attribute instead of <font>, <center> or <u>).",
                                lt, length);
            }
        } else if (IsXhtmlBlockedElement(name)) {
            ReportRefusedElement(findings_, std::string(name), tag(), lt, length);
        }
        if (name == "table" && tableDepth_ > 0) ReportNestedTable(findings_, lt, length);
    }
    Attributes(name, token.attributes);
    const auto hasHref = [&] {
        for (const HtmlAttribute& a : token.attributes) {
            if (a.name == "href") return true;
        }
        return false;
    };
    if (name == "a" && notDivLike_ > 0 && !hasHref()) {
        findings_.Warning(kInline, tag(),
                          "An <a> without href should sit directly in <html>, <body> or <div> "
                          "elements.",
                          "Move the anchor out of the element that holds it, or give it an href.",
                          lt, length);
    }
    const std::size_t colon = name.rfind(':');
    const std::string_view local = colon == std::string_view::npos ? name : name.substr(colon + 1);
    if (selfClosed && !IsXhtmlEmptyElement(local)) {
        findings_.Warning(kInline, tag(),
                          "The element " + tag() +
                              " is written empty (\"/>\"); browsers read it as "
                              "a start tag without an end.",
                          "Write a start tag and an end tag instead.", lt, length);
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

void EdgarXhtmlRules::Attributes(std::string_view element, const HtmlAttributeList& attributes) {
    // Duplicates: pairwise for the usual few attributes, a set beyond.
    std::unordered_set<std::string_view> seen;
    const bool useSet = attributes.size() > 16;
    for (std::size_t k = 0; k < attributes.size(); ++k) {
        if (findings_.Full()) return;
        const HtmlAttribute& a = attributes[k];
        const std::string_view name = a.name;
        const std::size_t length = a.end - a.nameAt;
        const auto subject = [&] { return Printable(name); };
        bool duplicate = false;
        if (useSet) {
            duplicate = !seen.insert(name).second;
        } else {
            for (std::size_t m = 0; m < k && !duplicate; ++m) {
                duplicate = attributes[m].name == name;
            }
        }
        if (duplicate) {
            findings_.Error(kInline, subject(),
                            "The attribute " + subject() + " appears twice in one tag.",
                            "Keep one of them.", a.nameAt, length);
        }
        if (!a.hasValue) {
            findings_.Error(
                kInline, subject(), "The attribute " + subject() + " has no value.",
                "Write it as " + subject() + "=\"" + subject() + "\" or give it its value.",
                a.nameAt, length);
        } else if (!a.quoted) {
            findings_.Error(kInline, subject(), "The value of " + subject() + " is not in quotes.",
                            "Put the value in double quotes.", a.nameAt, length);
        } else if (a.unterminated) {
            findings_.Error(kInline, subject(),
                            "The value of " + subject() + " has no closing quote.",
                            "Add the closing quote.", a.nameAt, length);
        } else {
            const std::size_t ltIn = a.value.find('<');
            if (ltIn != std::string_view::npos) {
                findings_.Error(kInline, subject(), "The value of " + subject() + " holds a \"<\".",
                                "Write it as &lt;.", a.valueAt + ltIn, 1);
            }
            CheckXmlReferences(findings_, a.valueAt, a.valueAt + a.value.size());
        }
        const std::string lower(LowerInto(lower_, name));
        if (IsEventAttribute(lower)) {
            findings_.Error(kInline, subject(),
                            "The attribute " + subject() + " runs script, which EDGAR refuses.",
                            "Remove it.", a.nameAt, length);
        } else if ((element == "a" && name == "name") || (element == "body" && name == "link") ||
                   (element == "link" && (name == "rel" || name == "rev"))) {
            findings_.Error(
                kInline, subject(),
                "EDGAR refuses the attribute " + subject() + " on <" + Printable(element) + ">.",
                element == "a" ? "Use id instead." : "Remove it.", a.nameAt, length);
        } else if (element == "html" && name == "lang") {
            findings_.Error(kInline, subject(), "EDGAR refuses lang on <html>.",
                            "Use xml:lang instead.", a.nameAt, length);
        } else if (name == "xml:base") {
            findings_.Error(kInline, subject(), "EDGAR refuses xml:base.", "Remove it.", a.nameAt,
                            length);
        } else if (name == "xsi:schemaLocation") {
            findings_.Warning(kInline, subject(), "EDGAR does not want xsi:schemaLocation here.",
                              "Remove it.", a.nameAt, length);
        } else if (element == "meta" && name == "content" && a.value.substr(0, 9) != "text/html") {
            findings_.Error(kInline, subject(), "EDGAR accepts <meta> content \"text/html\" only.",
                            "Remove the <meta> element or set content=\"text/html\".", a.nameAt,
                            length);
        } else if ((element == "a" && name == "href") || (element == "img" && name == "src")) {
            links_.Address(name == "src", a);
        } else if (name == "style") {
            links_.Style(a);
        }
    }
}

}  // namespace tarlo::edgar_rules
