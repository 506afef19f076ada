#pragma once
// The product gives the main window's sizes and places in twips (1/1440 inch,
// 15 to a pixel). The window's files turn them into pixels with Px as they
// place their controls; the layout logic behind them works in pixels only.
namespace tarlo {

constexpr int kTwipsPerPixel = 15;

// Twips to whole pixels, rounded half away from zero.
constexpr int Px(int twips) {
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

}  // namespace tarlo
