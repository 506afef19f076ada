#pragma once
// The application's wiring: every subsystem's commands installed on the
// main window, as the editor starts.
namespace tarlo {

class frmMain;

void InstallEditorCommands(frmMain& window);

}  // namespace tarlo
