#pragma once
// Colours as the product stores them: Windows colour values 0x00BBGGRR, red
// in the low byte, and the colorizer's palette.
#include <cstdint>

namespace tarlo {

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

}  // namespace tarlo
