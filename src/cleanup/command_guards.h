#pragma once
// Small guards shared by the long commands of the clean-up and the checker:
// whatever way a command ends, the busy pointer goes and the progress window
// closes; while it runs, pending window events run at most every ~15 ms.
#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>

#include "editor/long_operation.h"
#include "editor/main_window.h"
#include "editor/progress_windows.h"

namespace tarlo {

// Closes the clean-up progress window when the command is left.
class ProgressCloser {
  public:
    explicit ProgressCloser(frmMain* window) : window_(window) {}
    ~ProgressCloser() {
        if (window_ && window_->progressWindows()) window_->progressWindows()->CloseEdgProgress();
    }
    ProgressCloser(const ProgressCloser&) = delete;
    ProgressCloser& operator=(const ProgressCloser&) = delete;

  private:
    QPointer<frmMain> window_;
};

// Clears a flag when the command is left.
class RunningFlag {
  public:
    explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningFlag() { flag_ = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

  private:
    bool& flag_;
};

}  // namespace tarlo
