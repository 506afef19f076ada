// The EDGAR rules check: three passes over the bytes (characters, named
// references, markup), each linear, then the findings in text order. The
// markup is read once by the tokenizer; each token goes to the HTML rules, or
// to the XHTML rules and the Inline XBRL structure rules.
#include "checker/edgar_rules.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "checker/edgar_findings.h"
#include "checker/edgar_html_rules.h"
#include "checker/edgar_ixbrl_rules.h"
#include "checker/edgar_link_rules.h"
#include "checker/edgar_reference_rules.h"
#include "checker/edgar_xhtml_rules.h"
#include "text/html_tokens.h"
#include "text/page_source.h"
#include "text/text_encoding.h"
#include "text/text_scan.h"

namespace tarlo {

namespace {

using namespace edgar_rules;

void CheckHtmlMarkup(EdgarFindings& findings, EdgarLinkRules& links) {
    EdgarHtmlRules rules(findings, links);
    HtmlTokenizer tokens(findings.text(), HtmlSyntax::Html);
    HtmlToken token;
    while (!findings.Full() && tokens.Next(token)) {
        if (token.kind == HtmlTokenKind::StartTag) {
            rules.StartTag(token);
        } else if (token.kind == HtmlTokenKind::EndTag) {
            rules.EndTag(token);
        }
    }
}

void CheckXhtmlMarkup(EdgarFindings& findings, EdgarLinkRules& links) {
    EdgarXhtmlRules rules(findings, links);
    EdgarIxbrlRules ixbrl(findings);
    HtmlTokenizer tokens(findings.text(), HtmlSyntax::Xhtml);
    HtmlToken token;
    while (!findings.Full() && tokens.Next(token)) {
        switch (token.kind) {
            case HtmlTokenKind::Text:
                rules.Text(token);
                ixbrl.Text(token);
                break;
            case HtmlTokenKind::StartTag:
                rules.StartTag(token);
                ixbrl.StartTag(token);
                break;
            case HtmlTokenKind::EndTag:
                rules.EndTag(token);
                ixbrl.EndTag(token);
                break;
            case HtmlTokenKind::Comment:
                rules.Comment(token);
                break;
            case HtmlTokenKind::ProcessingInstruction:
                rules.ProcessingInstruction(token);
                break;
            case HtmlTokenKind::Stray:
                rules.Stray(token);
                break;
            case HtmlTokenKind::RawText:
            case HtmlTokenKind::CData:
            case HtmlTokenKind::Declaration:
                break;
        }
    }
    rules.Finish();
    ixbrl.Finish();
}

EdgarRulesResult Check(std::string_view text, const EdgarRulesOptions& options, bool xhtml) {
    EdgarFindings findings(text, options.maxFindings, xhtml);
    EdgarLinkRules links(findings, options.documentFolder);
    CheckCharacters(findings);
    CheckNamedReferences(findings);
    if (xhtml) {
        CheckXhtmlMarkup(findings, links);
    } else {
        CheckHtmlMarkup(findings, links);
    }
    return findings.Take();
}

}  // namespace

bool LooksLikeXhtml(std::string_view text) {
    std::size_t start = 0;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") start = 3;
    while (start < text.size() && IsMarkupSpace(text[start])) ++start;
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
    EdgarRulesResult result = Check(document, options, xhtml);
    for (EdgarFinding& f : result.findings) f.offset += start;
    return result;
}

EdgarRulesResult CheckInlineXbrlStructure(std::string_view text) {
    const std::string_view document = PageContent(text);
    const std::size_t start = static_cast<std::size_t>(document.data() - text.data());
    EdgarFindings findings(document, 0, true);
    EdgarIxbrlRules rules(findings);
    HtmlTokenizer tokens(document, HtmlSyntax::Xhtml);
    HtmlToken token;
    while (tokens.Next(token)) {
        if (token.kind == HtmlTokenKind::StartTag) {
            rules.StartTag(token);
        } else if (token.kind == HtmlTokenKind::EndTag) {
            rules.EndTag(token);
        } else if (token.kind == HtmlTokenKind::Text) {
            rules.Text(token);
        }
    }
    rules.Finish();
    EdgarRulesResult result = findings.Take();
    for (EdgarFinding& f : result.findings) f.offset += start;
    return result;
}

const std::vector<std::string>& EdgarRuleIds() {
    static const std::vector<std::string> ids{kCharacters,     kHtmlTags,         kUnknownElement,
                                              kRefusedElement, kRefusedAttribute, kEntity,
                                              kReferences,     kInline,           kUnusedContext};
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
