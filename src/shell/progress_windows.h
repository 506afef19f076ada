#pragma once
// The two "Working, please wait..." windows. Formatting, colorizing, cleaning
// and error-checking run to the end on the GUI thread; meanwhile one of these
// small modeless windows sits in front of the main window with a busy
// animation and a line or two of text. The user cannot operate them: their
// owner shows them, rewrites their text and closes them.
//
// Each window exists at most once. It is created when first shown and
// destroyed when closed, so every showing after a close starts again from the
// window's design values.
#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;

namespace tarlo {

// Shown while code is formatted or colorized.
class frmCodeProgress : public QWidget {
    Q_OBJECT

  public:
    // `pictureFolder` is where code.gif is looked for.
    frmCodeProgress(QWidget* main, const QString& pictureFolder);

    // Puts the window in front of the main window and in its middle, sets the
    // wait pointer and starts the animation. Run once, before first showing.
    void Load();

    QLabel* Label1;       // what is being done
    QLabel* WebBrowser1;  // busy animation

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QPointer<QWidget> main_;
    QString pictureFolder_;
};

// Shown while code is cleaned or error-checked, with the item in hand and a
// bar for how far the run has got.
class frmEdgProgress : public QWidget {
    Q_OBJECT

  public:
    frmEdgProgress(QWidget* main, const QString& pictureFolder);

    // As frmCodeProgress::Load.
    void Load();

    QLabel* Label1;       // what is being done
    QLabel* lblitem;      // the item in hand; owners write it directly
    QLabel* WebBrowser1;  // busy animation
    QProgressBar* EdgProgress;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QPointer<QWidget> main_;
    QString pictureFolder_;
};

// Shows, updates and closes the progress windows of one main window.
class ProgressWindows {
  public:
    // Animations come from code.gif in `pictureFolder`, by default the
    // program's own folder.
    explicit ProgressWindows(QWidget* main, const QString& pictureFolder = QString());
    ~ProgressWindows();
    ProgressWindows(const ProgressWindows&) = delete;
    ProgressWindows& operator=(const ProgressWindows&) = delete;

    // Shows frmEdgProgress with "Code is being cleaned." / "Code is being
    // error-checked." and returns at once. Owners call these again and again
    // during a run; a window already on screen is brought to the front.
    frmEdgProgress* ShowCleaningProgress();
    frmEdgProgress* ShowCheckingProgress();
    void CloseEdgProgress();
    frmEdgProgress* edgProgress() const { return edg_; }

    // Shows frmCodeProgress with `caption` as its text line ("Code is being
    // formatted." or "Code is being colorized.").
    frmCodeProgress* ShowCodeProgress(const QString& caption);
    void CloseCodeProgress();
    frmCodeProgress* codeProgress() const { return code_; }

  private:
    frmEdgProgress* ShowEdgProgress(const QString& caption);

    QPointer<QWidget> main_;
    QString pictureFolder_;
    QPointer<frmEdgProgress> edg_;
    QPointer<frmCodeProgress> code_;
};

}  // namespace tarlo
