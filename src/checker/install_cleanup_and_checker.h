#pragma once
// Wires the clean-up and the two error checks into a main window.
namespace tarlo {

class frmMain;

// Registers "cmdEdgarize_Click" (also run by the menu entry mnuEdgarize),
// "cmdCheck_Click" and "cmdCheck2_Click" with the window. The commands'
// objects are children of the window.
void InstallCleanupAndChecker(frmMain& window);

}  // namespace tarlo
