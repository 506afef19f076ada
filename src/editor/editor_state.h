#pragma once
// What the main window keeps about its one document. There is no separate
// document object: the document is the code view's text and the visual view's
// page, and the document status says which of the two is current.
#include <cstdint>
#include <string>

namespace tarlo {

// A Windows colour value 0x00BBGGRR, red in the low byte, as the product
// stores its colours.
using WinColor = std::uint32_t;

constexpr WinColor RgbColor(int r, int g, int b) {
    return static_cast<WinColor>(r) | (static_cast<WinColor>(g) << 8) |
           (static_cast<WinColor>(b) << 16);
}
constexpr int RedOf(WinColor c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(WinColor c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(WinColor c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

constexpr WinColor kWhite = 16777215;
constexpr WinColor kBlack = 0;

// The colorizer's palette; the plain colour follows the window mode.
struct ColourSettings {
    WinColor plain = kWhite;
    WinColor tag = RgbColor(0, 0, 255);
    WinColor attributeName = RgbColor(255, 0, 0);
    WinColor attributeValue = RgbColor(0, 128, 0);
    WinColor spare = RgbColor(128, 128, 128);
};

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
