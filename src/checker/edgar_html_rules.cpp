#include "checker/edgar_html_rules.h"

#include "checker/edgar_rules_tables.h"

namespace tarlo::edgar_rules {

using namespace edgar_tables;

void EdgarHtmlRules::StartTag(const HtmlToken& token) {
    const std::string_view name = token.name;
    const std::size_t lt = token.start;
    const std::string lower(LowerInto(lower_, name));
    const auto tag = [&] { return Tag(name); };
    const std::size_t length = token.end - lt;
    if (lower == "html" && ++htmlElements_ > 1) {
        findings_.Error(kHtmlTags, tag(), "The document has more than one <html> element.",
                        "Keep one <html> element around the whole document.", lt, length);
    }
    if (lower == "table") {
        if (tableDepth_ > 0) ReportNestedTable(findings_, lt, length);
        ++tableDepth_;
    } else if (IsHtmlRefusedElement(lower)) {
        ReportRefusedElement(findings_, lower, tag(), lt, length);
    } else if (!IsHtmlAllowedElement(lower)) {
        const bool link = lower == "link";
        findings_.Error(kUnknownElement, tag(),
                        "EDGAR does not accept the element " + tag() + " in an HTML document.",
                        link ? std::string("Remove it.") + kCleanupRemoves
                             : std::string("Remove the tags (keep their text) or use an element "
                                           "EDGAR accepts."),
                        lt, length);
    } else if (inHead_ && lower != "title" && lower != "meta" && lower != "isindex" &&
               lower != "head" && lower != "html" && lower != "body") {
        findings_.Error(kUnknownElement, tag(), "The element " + tag() + " is inside <head>.",
                        "Move it into <body>.", lt, length);
    }
    if (lower == "head") inHead_ = true;
    if (lower == "body") inHead_ = false;
    Attributes(lower, token.attributes);
}

void EdgarHtmlRules::EndTag(const HtmlToken& token) {
    const std::string_view lower = LowerInto(lower_, token.name);
    if (lower == "table" && tableDepth_ > 0) --tableDepth_;
    if (lower == "head") inHead_ = false;
}

void EdgarHtmlRules::Attributes(const std::string& element, const HtmlAttributeList& attributes) {
    for (const HtmlAttribute& a : attributes) {
        if (findings_.Full()) return;
        const std::string attr(LowerInto(lower_, a.name));
        const auto subject = [&] { return Printable(a.name); };
        const std::size_t length = a.end - a.nameAt;
        if (IsEventAttribute(attr)) {
            findings_.Error(kRefusedAttribute, subject(),
                            "The attribute " + subject() + " runs script, which EDGAR refuses.",
                            "Remove it.", a.nameAt, length);
        } else if (element == "body" && attr == "background") {
            findings_.Error(kRefusedAttribute, subject(),
                            "EDGAR refuses a background picture on <body>.",
                            "Remove the background attribute.", a.nameAt, length);
        } else if (element == "meta" && attr == "http-equiv") {
            findings_.Error(kRefusedAttribute, subject(), "EDGAR refuses <meta http-equiv>.",
                            std::string("Remove the <meta> element.") + kCleanupRemoves, a.nameAt,
                            length);
        } else if (attr.compare(0, 5, "xmlns") == 0) {
            findings_.Error(
                kRefusedAttribute, subject(),
                "The namespace declaration " + subject() + " does not belong in an HTML document.",
                "Remove it (an Inline XBRL document must be XHTML throughout).", a.nameAt, length);
        } else if ((element == "a" && attr == "href") || (element == "img" && attr == "src")) {
            links_.Address(attr == "src", a);
        } else if (attr == "style") {
            links_.Style(a);
        }
    }
}

void ReportNestedTable(EdgarFindings& findings, std::size_t at, std::size_t length) {
    findings.Error(findings.Rule(kReferences), "<table>", "This table is inside another table.",
                   "EDGAR refuses nested tables: move it out of the outer table or merge the two.",
                   at, length);
}

void ReportRefusedElement(EdgarFindings& findings, const std::string& lower, const std::string& tag,
                          std::size_t at, std::size_t length) {
    const char* rule = findings.Rule(kRefusedElement);
    if (lower == "tbody" || lower == "thead" || lower == "tfoot") {
        findings.Error(rule, tag, "EDGAR refuses the element " + tag + ".",
                       std::string("Remove its tags and keep the rows.") + kCleanupRemoves, at,
                       length);
    } else if (lower == "script") {
        findings.Error(rule, tag, "EDGAR refuses scripts.",
                       std::string("Remove the <script> element.") + kCleanupRemoves, at, length);
    } else if (lower == "style") {
        findings.Error(rule, tag, "EDGAR refuses <style> elements.",
                       std::string("Put the styles in style attributes.") + kCleanupRemoves, at,
                       length);
    } else {
        findings.Error(rule, tag, "EDGAR refuses the element " + tag + ".",
                       "Remove it (keep any text it holds that belongs to the document).", at,
                       length);
    }
}

}  // namespace tarlo::edgar_rules
