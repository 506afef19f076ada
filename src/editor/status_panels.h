#pragma once
// The status bar `SB`: twelve panels side by side. Panels 1 to 7 carry
// design texts (the editor writes the caret into 6 and 7); 8 to 12 show the
// keyboard and the clock.
#include <QFrame>
#include <QVector>

class QLabel;
class QTimer;

namespace tarlo {

class StatusPanels : public QFrame {
    Q_OBJECT
  public:
    explicit StatusPanels(QWidget* parent = nullptr);

    static constexpr int kPanelCount = 12;
    // Panels are numbered from 1; a missing panel is passed over.
    bool SetPanelText(int panel, const QString& text);
    QString PanelText(int panel) const;
    int panelCount() const { return static_cast<int>(panels_.size()); }
    QLabel* panel(int number) const;

    // Adds the caps lock, num lock, insert, time and date panels.
    void AddKeyboardAndClockPanels();
    // Reads the keyboard and the clock again.
    void UpdateIndicators(bool insertMode);

    // The least width panel `number` shows its content in (its text's width
    // unless told otherwise: the panels under the strip's controls).
    void SetLeastWidth(int number, int pixels);
    // The left of panel `number` at its design width, all panels shown.
    int DesignLeft(int number) const;
    // Places the panels in the bar's width; see FitStatusPanels.
    void Relayout();

  private:
    QLabel* AddPanel(const QString& text, int widthTwips);
    void resizeEvent(QResizeEvent* e) override;

    QVector<QLabel*> panels_;
    QVector<int> widths_;  // twips
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
