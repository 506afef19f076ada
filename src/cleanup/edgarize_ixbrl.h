#pragma once
// The clean-up's Inline XBRL form. An Inline XBRL filing is an XML document
// whose tagged facts, hidden header and namespace declarations EDGAR reads:
// the plain clean-up would strip what they rely on and leave tags that no
// longer pair. This form removes only what EDGAR refuses and can go without
// loss, and only in ways that keep the document well-formed: comments outside
// the ix: elements (the text before the root element stays as it is), Office
// and smart tags with their end tags, table sections (their rows stay),
// scripts and style sheets with their content, style sheet links, and the
// class attribute of plain XHTML elements outside the ix: elements (a text
// block's markup is its value). Everything else, the tagging, the
// namespace declarations, every style (the header's hidden container,
// -sec-ix-hidden) and every id, goes through byte for byte; characters
// outside ASCII become numeric references and line breaks CR LF.
#include <optional>
#include <string>
#include <string_view>

#include "text/long_work.h"

namespace tarlo {

// True when the text is an XHTML document (an XML declaration, or a root
// that declares the XHTML namespace) that holds an ix: element or declares
// the Inline XBRL namespace, outside comments: the documents cleaned in the
// Inline XBRL form.
bool IsInlineXbrlDocument(std::string_view text);

// The Inline XBRL form of the clean-up on an XHTML document. Where its tags
// do not pair (a document that is not well-formed), no element is removed:
// only comments and class attributes go, which no pairing depends on.
std::string EdgarizeInlineXbrl(std::string_view xhtml, LongWork& work = UnwatchedWork());

// The clean-up of a whole code text when the document it shows (inside an
// EDGAR wrapper, if it has one) is Inline XBRL: that document cleaned in the
// Inline XBRL form, the wrapper around it kept. Nothing for any other text.
std::optional<std::string> CleanUpInlineXbrl(std::string_view code,
                                             LongWork& work = UnwatchedWork());

}  // namespace tarlo
