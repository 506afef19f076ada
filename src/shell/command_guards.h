#pragma once
// Small guards shared by the long commands of the clean-up and the checker:
// the code brought up to date before they read it, and whatever way a command
// ends, the clean-up progress window closes and the command's running flag
// clears.
#include <QPointer>
#include <QWidget>

#include "document/view_sync.h"
#include "shell/editor.h"
#include "shell/progress_windows.h"

namespace tarlo {

// Closes the clean-up progress window when the command is left.
class ProgressCloser {
  public:
    explicit ProgressCloser(Editor& editor) : editor_(editor), window_(editor.mainWindow()) {}
    ~ProgressCloser() {
        if (window_) editor_.progress().CloseEdgProgress();
    }
    ProgressCloser(const ProgressCloser&) = delete;
    ProgressCloser& operator=(const ProgressCloser&) = delete;

  private:
    Editor& editor_;
    QPointer<QWidget> window_;  // the editor's window, while it lives
};

// Brings the code up to date with the page before a long command reads it:
// Auto-Refresh stops (the command runs once, on this text) and the page's
// edits come in. False when the command's owner went away meanwhile.
template <class Owner>
bool RefreshForLongCommand(Editor& editor, const QPointer<Owner>& owner) {
    editor.StopAutoRefresh();
    editor.sync().Refresh();
    return !owner.isNull();
}

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
