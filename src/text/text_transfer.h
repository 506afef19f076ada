#pragma once
// How the page's HTML becomes code-view text on a refresh.
#include <string>
#include <string_view>

namespace tarlo {

// The browser engine hands back numeric character references (&#150;) as the
// raw characters they stand for, which EDGAR would then reject. Every
// character outside ASCII is written back as a numeric reference: its
// Windows-1252 number where that lies in 128-159, as the symbol palette
// writes them (&#150;, &#153;, &#128;), else its code point. Bytes that are
// not valid UTF-8 are kept as they are. Without `windows1252Numbers` every
// character is written by its code point (XHTML: in XML, &#150; is a control
// character, not a dash).
std::string EncodeNonAsciiAsReferences(std::string_view utf8, bool windows1252Numbers = true);

// The code view's line break is CR LF: every line feed not already preceded
// by a carriage return gets one.
std::string ToCrLf(std::string_view text);

// The refresh's whole conversion of the engine's outer HTML.
std::string PageHtmlToCode(std::string_view outerHtml);

// Length in characters (code points) of a UTF-8 text; what a person counts.
std::size_t CountCharacters(std::string_view utf8);

}  // namespace tarlo
