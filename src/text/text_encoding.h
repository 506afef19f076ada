#pragma once
// How documents are read from and written to disk. Inside the editor every
// text is UTF-8; on disk a document is UTF-8 when it is valid UTF-8, else
// Windows-1252 (older filings). No character is ever dropped or replaced.
#include <string>
#include <string_view>

namespace tarlo {

bool IsValidUtf8(std::string_view bytes);

// Length of the valid UTF-8 sequence that starts at bytes[i], with its code
// point in `cp`; 0 when the bytes there are not a character.
std::size_t NextUtf8(std::string_view bytes, std::size_t i, char32_t& cp);

// The bytes of a file as UTF-8 text: unchanged when they are valid UTF-8
// (a leading byte-order mark is dropped), else read as Windows-1252.
std::string DecodeDocumentBytes(std::string_view bytes);

// The bytes to write for a UTF-8 text: Windows-1252 when every character has
// a byte there, else the UTF-8 text itself.
std::string EncodeDocumentBytes(std::string_view utf8);

// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace tarlo
