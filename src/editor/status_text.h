#pragma once
// Texts the main window shows about the document and the caret.
#include <cstdint>
#include <string>

#include "document/document.h"
#include "text/colour.h"

namespace tarlo {

struct StatusLook {
    std::string text;
    bool defaultColour;  // true: the box's own text colour
    WinColor colour;
};

StatusLook LookOf(DocumentStatus status);

// "Line: 1,234" from a 1-based line number; "Column: 7" from a 0-based column.
std::string LinePanelText(std::int64_t line);
std::string ColumnPanelText(std::int64_t column);

}  // namespace tarlo
