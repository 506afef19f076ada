#pragma once
// The lists behind the EDGAR rules check: which elements EDGAR knows and
// which it refuses, in HTML and in Inline XBRL documents, and the named
// character references it accepts. Names are lower case.
#include <cstdint>
#include <string_view>

namespace tarlo::edgar_tables {

// HTML documents (Filer Manual 5.2.2): the elements EDGAR accepts, its own
// additions included (page, r, f1..f99, ...).
bool IsHtmlAllowedElement(std::string_view lowerName);
// HTML documents: the elements EDGAR names as refused.
bool IsHtmlRefusedElement(std::string_view lowerName);
// Inline XBRL documents (5.2.5): the XHTML 1.1 elements.
bool IsXhtmlElement(std::string_view name);
// Inline XBRL documents: the XHTML elements EDGAR blocks.
bool IsXhtmlBlockedElement(std::string_view name);
// Elements written without content in XHTML (<br/>, <img/>, ...).
bool IsXhtmlEmptyElement(std::string_view name);

// The code point of a named character reference EDGAR accepts ("nbsp" ->
// 160), or 0 when the name is not on its list. Case matters.
std::uint32_t EdgarEntityCodePoint(std::string_view name);

}  // namespace tarlo::edgar_tables
