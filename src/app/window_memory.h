#pragma once
// How the main window comes back where the user left it, from the settings
// file, and how its place is written there when the program ends. The
// application's wiring, beside the main window it places.
#include "startup/start_settings.h"

namespace tarlo {

class frmMain;

// Puts the loaded main window where `remembered` says, each missing part at
// its default: the design size fitted into the screen's free area, the
// views side by side at the splitter's own share, not maximised. A place on
// no screen any more counts as missing.
void PlaceMainWindow(frmMain& window, const RememberedWindow& remembered);

// The main window's size, place, splitter share and orientation as they are.
RememberedWindow MainWindowNow(const frmMain& window);

// PlaceMainWindow with what the settings file remembers.
void RestoreMainWindow(frmMain& window);

// Writes the main window's lines to the settings file, keeping its tip
// flag. False when the file cannot be written; the old one then stays whole.
bool RememberMainWindow(const frmMain& window);

}  // namespace tarlo
