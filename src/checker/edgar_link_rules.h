#pragma once
// The EDGAR rules on what a document reaches or runs (5.2.2.10, and 5.2.5 in
// XHTML): links that leave the submission or run script, pictures that are
// not local .jpg or .gif files or are animated, styles that load or run
// things, event handler attributes.
#include <string>
#include <string_view>

#include "checker/edgar_findings.h"
#include "checker/edgar_pictures.h"
#include "text/html_tokens.h"

namespace tarlo::edgar_rules {

// onclick, oncut, onmouseover, ...: "on" and an event name of three letters
// or more ("one" or "on" alone are not handlers).
bool IsEventAttribute(std::string_view lowerName);

class EdgarLinkRules {
  public:
    // Pictures are read from `documentFolder`; empty: judged by name only.
    EdgarLinkRules(EdgarFindings& findings, std::string documentFolder)
        : findings_(findings), pictures_(std::move(documentFolder)) {}

    // The href of an <a> (picture false) or the src of an <img>.
    void Address(bool picture, const HtmlAttribute& attribute);
    // url(...) and expression(...) in a style attribute fetch or run things
    // just as href and src do.
    void Style(const HtmlAttribute& attribute);

  private:
    EdgarFindings& findings_;
    EdgarPictureFolder pictures_;
};

}  // namespace tarlo::edgar_rules
