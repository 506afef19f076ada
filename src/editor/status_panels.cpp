#include "editor/status_panels.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QTimer>

#include "editor/main_layout.h"

#ifdef TARLO_HAVE_XKB
#include <X11/XKBlib.h>
#endif

namespace tarlo {

LockKeys ReadLockKeys() {
    LockKeys keys;
#ifdef TARLO_HAVE_XKB
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
            if (Display* display = x11->display()) {
                unsigned int state = 0;
                if (XkbGetIndicatorState(display, XkbUseCoreKbd, &state) == Success) {
                    keys.known = true;
                    keys.capsLock = (state & 0x01U) != 0;
                    keys.numLock = (state & 0x02U) != 0;
                }
            }
        }
    }
#endif
    return keys;
}

StatusPanels::StatusPanels(QWidget* parent) : QFrame(parent) {
    setObjectName("SB");
    setAccessibleName("Status bar");
    // A compact face, so that "Document Status: " fits before the status box.
    QFont face = font();
    face.setPixelSize(11);
    setFont(face);
    // Panels 2 to 4 lie under the three check boxes, panel 5 runs under the
    // status box.
    AddPanel("Press F1 for Help", 2100);
    AddPanel(QString(), 2000);
    AddPanel(QString(), 2000);
    AddPanel(QString(), 1960);
    AddPanel("Document Status: ", 4260);
    AddPanel("Line: ", 1500);
    AddPanel("Column: ", 1200);
}

QLabel* StatusPanels::AddPanel(const QString& text, int widthTwips) {
    auto* label = new QLabel(text, this);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setIndent(3);
    label->setObjectName(QStringLiteral("SB_panel%1").arg(panels_.size() + 1));
    panels_.push_back(label);
    widths_.push_back(widthTwips);
    least_.push_back(0);
    // Panels added once the bar is on screen must be shown themselves.
    label->show();
    Relayout();
    return label;
}

QLabel* StatusPanels::panel(int number) const {
    if (number < 1 || number > panels_.size()) return nullptr;
    return panels_[number - 1];
}

bool StatusPanels::SetPanelText(int number, const QString& text) {
    QLabel* p = panel(number);
    if (p == nullptr) return false;
    p->setText(text);
    return true;
}

QString StatusPanels::PanelText(int number) const {
    QLabel* p = panel(number);
    return p != nullptr ? p->text() : QString();
}

void StatusPanels::AddKeyboardAndClockPanels() {
    if (panels_.size() >= kPanelCount) return;
    AddPanel("CAPS", 700);
    AddPanel("NUM", 700);
    AddPanel("INS", 700);
    AddPanel(QString(), 1200);
    AddPanel(QString(), 1500);
    panel(8)->setAlignment(Qt::AlignCenter);
    panel(9)->setAlignment(Qt::AlignCenter);
    panel(10)->setAlignment(Qt::AlignCenter);
    clock_ = new QTimer(this);
    clock_->setInterval(1000);
    connect(clock_, &QTimer::timeout, this, [this] { UpdateIndicators(insertMode_); });
    clock_->start();
    UpdateIndicators(insertMode_);
}

void StatusPanels::UpdateIndicators(bool insertMode) {
    insertMode_ = insertMode;
    if (panels_.size() < kPanelCount) return;
    const LockKeys keys = ReadLockKeys();
    // A lock the system does not report is shown greyed, as when it is off.
    panel(8)->setEnabled(keys.known && keys.capsLock);
    panel(9)->setEnabled(keys.known && keys.numLock);
    panel(10)->setText(insertMode ? "INS" : "OVR");
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    panel(11)->setText(locale.toString(now.time(), QLocale::ShortFormat));
    panel(12)->setText(locale.toString(now.date(), QLocale::ShortFormat));
}

void StatusPanels::SetLeastWidth(int number, int pixels) {
    if (number < 1 || number > least_.size()) return;
    least_[number - 1] = pixels;
    Relayout();
}

int StatusPanels::DesignLeft(int number) const {
    int left = 0;
    for (int i = 0; i < number - 1 && i < widths_.size(); ++i) left += Px(widths_[i]);
    return left;
}

void StatusPanels::Relayout() {
    std::vector<int> design;
    std::vector<int> least;
    for (int i = 0; i < panels_.size(); ++i) {
        design.push_back(Px(widths_[i]));
        const QLabel* p = panels_[i];
        // The text, its indent on both sides and the sunken frame.
        const int textWidth = p->fontMetrics().horizontalAdvance(p->text()) + 2 * p->indent() +
                              2 * p->frameWidth() + 2;
        least.push_back(least_[i] > 0 ? least_[i] : std::min(textWidth, design.back()));
    }
    const std::vector<PanelPlace> places = FitStatusPanels(design, least, width());
    for (int i = 0; i < panels_.size(); ++i) {
        const PanelPlace& place = places[static_cast<std::size_t>(i)];
        panels_[i]->setGeometry(place.left, 0, place.width, height());
        panels_[i]->setVisible(place.visible);
    }
}

void StatusPanels::resizeEvent(QResizeEvent* e) {
    QFrame::resizeEvent(e);
    Relayout();
}

}  // namespace tarlo
