#pragma once
// What the main window keeps about its one document. There is no separate
// document object: the document is the code view's text and the visual view's
// page, and the document status says which of the two is current.
#include <cstdint>
#include <string>

#include "text/colour.h"

namespace tarlo {

struct EditorState {
    bool AutoFormat = false;
    bool AutoColorize = false;
    // Decimal text of the code view's plain colour (16777215 = white).
    std::string ForegroundColor = "16777215";
    // Uses of the window-colour toggle: even = dark, odd = light.
    std::int16_t WindowColorCount = 0;
    std::int16_t CodeFontSize = 9;
    std::string DocumentPath;
    std::string OpenedFileName;
    // Set while the undo history loads a snapshot back into the code view, so
    // that the load itself is not recorded as a new step.
    bool RestoringUndo = false;
    ColourSettings Colours;
    // Parity of the orientation toggle: odd = side by side, code on the left.
    int OrientationCount = 0;

    // The plain colour as a number; a malformed text falls back to white, the
    // start value, rather than painting the code invisible.
    WinColor ForegroundColorValue() const;
};

}  // namespace tarlo
