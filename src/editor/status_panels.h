#pragma once
// The status bar `SB`: twelve panels side by side (SB_panel1 to SB_panel12).
// The first seven carry design texts (the editor writes the caret into Line
// and Column); the last five show the keyboard and the clock.
#include <QFrame>
#include <QVector>

#include "editor/main_layout.h"

class QLabel;
class QTimer;

namespace tarlo {

class StatusPanels : public QFrame {
    Q_OBJECT
  public:
    explicit StatusPanels(QWidget* parent = nullptr);

    // A panel not added yet is passed over.
    bool SetPanelText(StatusPanel panel, const QString& text);
    QString PanelText(StatusPanel panel) const;
    int panelCount() const { return static_cast<int>(panels_.size()); }
    QLabel* panel(StatusPanel panel) const;

    // Adds the caps lock, num lock, insert, time and date panels.
    void AddKeyboardAndClockPanels();
    // Reads the keyboard and the clock again.
    void UpdateIndicators(bool insertMode);

    // The least width the panel shows its content in (its text's width
    // unless told otherwise: the panels under the strip's controls).
    void SetLeastWidth(StatusPanel panel, int pixels);
    // The panel's left with every panel at its design width.
    int DesignLeft(StatusPanel panel) const;
    // Places the panels in the bar's width; see FitStatusPanels.
    void Relayout();

  private:
    QLabel* AddPanel(const QString& text, int widthTwips);
    void resizeEvent(QResizeEvent* e) override;

    QVector<QLabel*> panels_;
    QVector<int> widths_;  // design widths, pixels
    QVector<int> least_;   // pixels; 0: the text's width
    QTimer* clock_ = nullptr;
    bool insertMode_ = true;
};

// Caps Lock and Num Lock as the window system reports them; empty when it
// does not tell (no X keyboard, headless).
struct LockKeys {
    bool known = false;
    bool capsLock = false;
    bool numLock = false;
};
LockKeys ReadLockKeys();

}  // namespace tarlo
