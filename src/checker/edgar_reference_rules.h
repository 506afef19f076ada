#pragma once
// The EDGAR rules on characters and character references: characters
// outside EDGAR's set (5.2.1.1), named references EDGAR does not accept
// (5.2.2.6), and the references an XHTML document cannot hold (5.2.5).
#include <cstddef>

#include "checker/edgar_findings.h"

namespace tarlo::edgar_rules {

// Every byte of the text: raw non-ASCII, control characters, "^" and a
// byte-order mark, each run of them one finding.
void CheckCharacters(EdgarFindings& findings);

// Every "&name;" in the text, markup included, whose name is not on EDGAR's
// list.
void CheckNamedReferences(EdgarFindings& findings);

// The references in [from, to) of an XHTML document (text or an attribute
// value): XML knows only &amp; &lt; &gt; &quot; &apos; and numeric
// references; any other "&" makes the document unreadable as XML.
void CheckXmlReferences(EdgarFindings& findings, std::size_t from, std::size_t to);

}  // namespace tarlo::edgar_rules
