#pragma once
// The "Special Symbols" palette's cells: characters EDGAR filings need but
// must not hold as raw 8-bit bytes. Each cell inserts a numeric reference
// numbered by the Windows-1252 code page (the euro is "&#128;", not
// "&#8364;"), which is what EDGAR's filers use and what the error checker's
// fix texts suggest. The two check boxes are not characters: they insert
// markup that draws a Wingdings letter.
#include <array>
#include <cstddef>
#include <string_view>

namespace tarlo {

struct SymbolCell {
    std::string_view control;   // the cell's control name, e.g. "LabelEuro"
    int row;                    // 1 is the top row
    int column;                 // 1 is the leftmost cell
    char32_t glyph;             // the character shown; 0 for the two boxes
    std::string_view name;      // the cell in words, for screen readers
    std::string_view inserted;  // exactly what a click inserts
    // For the boxes: the Wingdings letter that draws them ('o' empty, 'x'
    // crossed).
    char wingdings = 0;
};

inline constexpr std::size_t kSymbolCount = 33;
inline constexpr int kSymbolRows = 3;
inline constexpr int kSymbolColumns = 11;

// Row by row, each row from left to right.
const std::array<SymbolCell, kSymbolCount>& SymbolCells();

}  // namespace tarlo
