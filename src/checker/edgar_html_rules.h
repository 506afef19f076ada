#pragma once
// The EDGAR rules on the markup of an HTML document (5.2.2): one <html>
// element, the elements EDGAR accepts, refuses or does not know, body
// content inside <head>, refused attributes, links, pictures and nested
// tables.
#include <cstddef>
#include <string>
#include <string_view>

#include "checker/edgar_findings.h"
#include "checker/edgar_link_rules.h"
#include "text/html_tokens.h"

namespace tarlo::edgar_rules {

class EdgarHtmlRules {
  public:
    EdgarHtmlRules(EdgarFindings& findings, EdgarLinkRules& links)
        : findings_(findings), links_(links) {}

    void StartTag(const HtmlToken& tag);
    void EndTag(const HtmlToken& tag);

  private:
    void Attributes(const std::string& element, const HtmlAttributeList& attributes);

    EdgarFindings& findings_;
    EdgarLinkRules& links_;
    int htmlElements_ = 0;
    bool inHead_ = false;
    int tableDepth_ = 0;
    std::string lower_;
};

// Both kinds of document refuse nested tables and the same elements, in the
// same words (an XHTML document under 5.2.5).
void ReportNestedTable(EdgarFindings& findings, std::size_t at, std::size_t length);
void ReportRefusedElement(EdgarFindings& findings, const std::string& lowerName,
                          const std::string& tag, std::size_t at, std::size_t length);

}  // namespace tarlo::edgar_rules
