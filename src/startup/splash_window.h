#pragma once
// The splash window `frmSplash` that opens first. On its timer's first tick
// it reads the start-up setting, brings up the main window (whose loading
// feeds the progress bar), shows the tip of the day over it when the setting
// asks for it, and closes itself. It stays above the main window until then.
//
// Also here: how the main window comes back where the user left it, from the
// settings file, and how its place is written there when the program ends.
#include <QWidget>
#include <functional>

#include "startup/start_settings.h"

class QLabel;
class QProgressBar;
class QTimer;

namespace tarlo {

class frmMain;

struct StartupSteps {
    // Shows and loads the main window, reporting 0..100 as it goes.
    std::function<void(const std::function<void(int)>& progress)> showMain;
    // Shows the tip of the day.
    std::function<void()> showTip;
    // Whether the tip shows at start-up (the settings file, by default).
    std::function<bool()> showTips;
};

class frmSplash : public QWidget {
    Q_OBJECT
  public:
    explicit frmSplash(StartupSteps steps);
    ~frmSplash() override;

    // Shows the window and starts its timer.
    void Start();
    void Timer1_Timer();

    QLabel* imgSplash = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QTimer* Timer1 = nullptr;

  private:
    void RestorePointer();
    StartupSteps steps_;
    bool busy_ = false;
};

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
