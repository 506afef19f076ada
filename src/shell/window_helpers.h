#pragma once
// Small window chores shared by the editor's tool windows: keeping a window
// in front of the main window and placing it in the middle of it. Layouts
// are drawn in twips (see window_placement.h); these helpers convert to and
// from the screen's pixels.
#include <QPointer>
#include <QRect>
#include <QSize>

#include "shell/window_placement.h"

class QWidget;

namespace tarlo {

// Whole-pixel rectangle of a rectangle given in twips.
QRect TwipRectToPixels(double left, double top, double width, double height);
QSize TwipSizeToPixels(double width, double height);
TwipBounds PixelRectToTwips(const QRect& pixels);

// flag true: puts `window` into the band above the main window, as a tool
// window of its parent (which must be the main window). flag false: makes it
// an ordinary window again. Neither moves, resizes nor activates the window;
// a window that was on screen stays on screen.
void SetTopmost(QWidget* window, bool flag);

// Escape closes `window` (as its close box does) while the keyboard is in it.
void CloseOnEscape(QWidget* window);

// For windows nobody operates (progress windows): they show without taking
// the focus, and hand any activation straight back to the main window.
void KeepFocusWithMain(QWidget* window);

// Shows a tool window that may already be on screen: one already there is
// only raised, never moved or made anew. `activate` false leaves the keyboard
// where it is (a palette the user works beside).
void ShowToFront(QWidget* window, bool activate);

// The editor keeps one window of each tool: made by `make` on first use,
// then shown again and brought to the front.
template <class Window, class Make>
Window* ShowToolWindow(QPointer<Window>& window, Make make, bool activate = true) {
    if (!window) window = make();
    ShowToFront(window, activate);
    return window;
}

// Moves `window` so that its outer bounds are centred over those of `main`.
// Nothing happens when either is missing.
void CentreOverMain(QWidget* window, const QWidget* main);

}  // namespace tarlo
