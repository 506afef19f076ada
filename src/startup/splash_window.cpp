#include "startup/splash_window.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "shell/window_helpers.h"
#include "startup/startup_files.h"

namespace tarlo {

frmSplash::frmSplash(StartupSteps steps)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      steps_(std::move(steps)) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Tarlo"));
    setAttribute(Qt::WA_DeleteOnClose);
    if (!steps_.showTips) steps_.showTips = [] { return ReadShowTips(); };

    imgSplash = new QLabel(this);
    imgSplash->setObjectName(QStringLiteral("imgSplash"));
    imgSplash->setAccessibleName(QStringLiteral("Tarlo"));
    imgSplash->setAlignment(Qt::AlignCenter);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setAccessibleName(QStringLiteral("Loading"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(imgSplash, 1);
    layout->addWidget(ProgressBar1);

    const QSize size = TwipSizeToPixels(6255, 3735);
    setFixedSize(size);
    imgSplash->setPixmap(
        QIcon(QStringLiteral(":/splash.svg")).pixmap(QSize(size.width(), size.height() - 12)));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1);
    connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
}

frmSplash::~frmSplash() {
    RestorePointer();
}

void frmSplash::Start() {
    CentreOnScreen(this, nullptr);
    show();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    busy_ = true;
    Timer1->start();
}

void frmSplash::Timer1_Timer() {
    // The work is done on the first tick only.
    Timer1->stop();
    // A missing or nonsense settings file means no tip; nothing here asks or
    // tells the user anything.
    const bool tip = steps_.showTips();
    const QPointer<QProgressBar> bar = ProgressBar1;
    const QPointer<frmSplash> self = this;
    if (steps_.showMain) {
        steps_.showMain([bar, self, raised = false](int percent) mutable {
            // The main window has just come up, over this one.
            if (!raised && self) self->raise();
            raised = true;
            const int value = std::clamp(percent, 0, 100);
            if (!bar || bar->value() == value) return;
            bar->setValue(value);
            // The main window loads without letting events run: paint now.
            bar->repaint();
        });
    }
    // The tip goes over the main window, which it is centred on.
    if (tip && steps_.showTip) steps_.showTip();
    RestorePointer();
    close();
}

void frmSplash::RestorePointer() {
    if (!busy_) return;
    busy_ = false;
    QApplication::restoreOverrideCursor();
}

}  // namespace tarlo
