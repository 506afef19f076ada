#include "editor/status_panels.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QTimer>

#include "editor/twips.h"

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
    // The design widths are twips. The three check boxes stand over the
    // second to fourth panels, the status box over the fifth.
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
    // Named by number from 1, as the product counts the bar's panels.
    label->setObjectName(QStringLiteral("SB_panel%1").arg(panels_.size() + 1));
    panels_.push_back(label);
    widths_.push_back(Px(widthTwips));
    least_.push_back(0);
    // Panels added once the bar is on screen must be shown themselves.
    label->show();
    Relayout();
    return label;
}

QLabel* StatusPanels::panel(StatusPanel which) const {
    const auto i = static_cast<qsizetype>(IndexOf(which));
    return i < panels_.size() ? panels_[i] : nullptr;
}

bool StatusPanels::SetPanelText(StatusPanel which, const QString& text) {
    QLabel* p = panel(which);
    if (p == nullptr) return false;
    p->setText(text);
    return true;
}

QString StatusPanels::PanelText(StatusPanel which) const {
    QLabel* p = panel(which);
    return p != nullptr ? p->text() : QString();
}

void StatusPanels::AddKeyboardAndClockPanels() {
    if (panels_.size() >= static_cast<qsizetype>(kStatusPanelCount)) return;
    AddPanel("CAPS", 700);
    AddPanel("NUM", 700);
    AddPanel("INS", 700);
    AddPanel(QString(), 1200);
    AddPanel(QString(), 1500);
    panel(StatusPanel::CapsLock)->setAlignment(Qt::AlignCenter);
    panel(StatusPanel::NumLock)->setAlignment(Qt::AlignCenter);
    panel(StatusPanel::Insert)->setAlignment(Qt::AlignCenter);
    clock_ = new QTimer(this);
    clock_->setInterval(1000);
    connect(clock_, &QTimer::timeout, this, [this] { UpdateIndicators(insertMode_); });
    clock_->start();
    UpdateIndicators(insertMode_);
}

void StatusPanels::UpdateIndicators(bool insertMode) {
    insertMode_ = insertMode;
    if (panels_.size() < static_cast<qsizetype>(kStatusPanelCount)) return;
    const LockKeys keys = ReadLockKeys();
    // A lock the system does not report is shown greyed, as when it is off.
    panel(StatusPanel::CapsLock)->setEnabled(keys.known && keys.capsLock);
    panel(StatusPanel::NumLock)->setEnabled(keys.known && keys.numLock);
    panel(StatusPanel::Insert)->setText(insertMode ? "INS" : "OVR");
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    panel(StatusPanel::Time)->setText(locale.toString(now.time(), QLocale::ShortFormat));
    panel(StatusPanel::Date)->setText(locale.toString(now.date(), QLocale::ShortFormat));
}

void StatusPanels::SetLeastWidth(StatusPanel which, int pixels) {
    const auto i = static_cast<qsizetype>(IndexOf(which));
    if (i >= least_.size()) return;
    least_[i] = pixels;
    Relayout();
}

int StatusPanels::DesignLeft(StatusPanel which) const {
    const auto end = static_cast<qsizetype>(IndexOf(which));
    int left = 0;
    for (qsizetype i = 0; i < end && i < widths_.size(); ++i) left += widths_[i];
    return left;
}

void StatusPanels::Relayout() {
    std::vector<int> design;
    std::vector<int> least;
    for (int i = 0; i < panels_.size(); ++i) {
        design.push_back(widths_[i]);
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
