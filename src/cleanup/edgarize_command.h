#pragma once
// The "Clean up" command (button cmdEdgarize, menu entry mnuEdgarize):
// cleans the visual view's HTML and puts the result into the code view,
// which pushes it into the visual view.
#include <QObject>

class QLabel;

namespace tarlo {

class Editor;

class EdgarizeCommand : public QObject {
    Q_OBJECT
  public:
    // Adds the statistics line `lbltest` to the window's bottom edge.
    EdgarizeCommand(Editor& editor, QObject* owner);

    // Runs the clean-up on the page's HTML (cmdEdgarize, mnuEdgarize).
    void CleanUp();
    // The same, with the look the style sheet gave each element written
    // into its style attribute first (cmdEdgarizeLayout, mnuEdgarizeLayout).
    void CleanUpKeepingLayout();

    QLabel* lbltest = nullptr;

  private:
    void Run(bool keepLayout);
    void TellNoLayout();

    Editor& editor_;
    bool running_ = false;
};

// Creates the clean-up command (a child of `owner`) and registers it.
EdgarizeCommand* InstallCleanup(Editor& editor, QObject* owner);

}  // namespace tarlo
