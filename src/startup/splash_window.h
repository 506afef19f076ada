#pragma once
// The splash window `frmSplash` that opens first. On its timer's first tick
// it reads the start-up setting, brings up the main window (whose loading
// feeds the progress bar), shows the tip of the day over it when the setting
// asks for it, and closes itself. It stays above the main window until then.
#include <QWidget>
#include <functional>

class QLabel;
class QProgressBar;
class QTimer;

namespace tarlo {

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

}  // namespace tarlo
