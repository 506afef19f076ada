#pragma once
// The Windows-1252 code page: the single-byte encoding of older filings and
// the numbering EDGAR filers use for typographic characters (&#150; for an
// en dash).
#include <optional>

namespace tarlo {

// The Windows-1252 byte of a code point, if the code page has one.
std::optional<unsigned char> ToWindows1252(char32_t cp);

// The code point of a Windows-1252 byte; the five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control code of the same
// value, so that no byte is ever lost.
char32_t FromWindows1252(unsigned char byte);

}  // namespace tarlo
