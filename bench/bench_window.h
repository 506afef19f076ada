#pragma once
// The editor's main window as the window benchmarks measure it: every command
// installed, started as the program starts it, shown, and kept from ending
// the process when it closes.
#include "app/editor_commands.h"
#include "editor/main_window.h"

namespace tarlo::bench {

inline void StartBenchWindow(frmMain& w) {
    InstallEditorCommands(w);
    w.SetEndProgram([] {});
    w.show();
    w.Form_Load();
}

}  // namespace tarlo::bench
