#pragma once
// The "Tip of the Day" window `frmTip`: a random tip from the tips file, the
// next one on "&Next Tip", and the start-up setting in its check box: the box
// shows the setting when the window opens, and the setting takes the box
// whenever the window closes.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <random>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;

namespace tarlo {

class Editor;

class frmTip : public QWidget {
    Q_OBJECT
  public:
    // Reads the tips from `tipsFile` (a resource or a file on disk).
    frmTip(Editor& editor, const QString& tipsFile);

    void cmdNext_Click();
    void Command2_Click();

    // The tips read when the window loaded.
    const std::vector<std::string>& tips() const { return tips_; }

    QLabel* lblHeading = nullptr;
    QLabel* imgTip = nullptr;
    QLabel* lblTipText = nullptr;
    QCheckBox* chkLoadTipsAtStartup = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* Command2 = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void ShowRandomTip();

    std::vector<std::string> tips_;
    std::mt19937 random_;
};

// The window's command: one window at most; a new opening after a close
// reads the tips again and starts with a fresh tip.
class TipCommand : public QObject {
    Q_OBJECT
  public:
    TipCommand(Editor& editor, QObject* owner);
    void Show();
    frmTip* window() const { return window_; }
    // Tests read their own tips files.
    void SetTipsFile(const QString& path) { tipsFile_ = path; }

  private:
    Editor& editor_;
    QString tipsFile_;
    QPointer<frmTip> window_;
};

}  // namespace tarlo
