#pragma once
// The main window's "Clean up" command (button cmdEdgarize, menu entry
// mnuEdgarize): cleans the visual view's HTML and puts the result into the
// code view, which pushes it into the visual view.
#include <QObject>

class QLabel;

namespace tarlo {

class frmMain;

class EdgarizeCommand : public QObject {
    Q_OBJECT
  public:
    // Adds the statistics line `lbltest` to the window's bottom edge.
    explicit EdgarizeCommand(frmMain& window);

    void cmdEdgarize_Click();

    QLabel* lbltest = nullptr;

  private:
    frmMain& window_;
    bool running_ = false;
};

}  // namespace tarlo
