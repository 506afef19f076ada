#pragma once
// The EDGAR rules on the markup of an Inline XBRL (XHTML) document (5.2.5):
// well-formedness (every tag closed and nested, attributes quoted and not
// repeated, comments, references and text where XML allows them), the
// elements and attributes EDGAR blocks there, and the link, picture and
// table rules HTML documents share.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "checker/edgar_findings.h"
#include "checker/edgar_link_rules.h"
#include "text/html_tokens.h"

namespace tarlo::edgar_rules {

class EdgarXhtmlRules {
  public:
    EdgarXhtmlRules(EdgarFindings& findings, EdgarLinkRules& links)
        : findings_(findings), links_(links) {}

    void Text(const HtmlToken& text);
    void Comment(const HtmlToken& comment);
    void ProcessingInstruction(const HtmlToken& instruction);
    void Stray(const HtmlToken& stray);
    void StartTag(const HtmlToken& tag);
    void EndTag(const HtmlToken& tag);
    // At the end of the text: the elements never closed.
    void Finish();

  private:
    struct OpenElement {
        std::string_view name;
        std::size_t tagAt;
        std::size_t tagLength;
        bool table;
        bool divLike;  // html, body or div: may hold an <a> without href
    };

    void Attributes(std::string_view element, const HtmlAttributeList& attributes);
    void Pop();

    EdgarFindings& findings_;
    EdgarLinkRules& links_;
    int htmlElements_ = 0;
    int tableDepth_ = 0;  // tables on the stack
    std::vector<OpenElement> stack_;
    std::unordered_map<std::string_view, int> openCount_;
    int notDivLike_ = 0;  // elements on the stack other than html, body, div
    bool rootSeen_ = false;
    bool strayTextReported_ = false;
    std::string lower_;
};

}  // namespace tarlo::edgar_rules
