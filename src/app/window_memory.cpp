#include "app/window_memory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include "controls/splitter_control.h"
#include "shell/file_writing.h"
#include "editor/main_window.h"
#include "startup/startup_files.h"

namespace tarlo {

namespace {

// Before the window manager has framed the main window its frame cannot be
// measured; a title bar of this height is allowed for, so that the bottom
// edge stays on the screen.
constexpr int kAssumedTitleBar = 32;

// Where the line between the views is, as a drag of the bar would leave it.
// The splitter takes its share only from the user's drag, so the remembered
// share is given to it the same way: a press on the bar, a move, a release.
void DragSplitTo(ctlSplitterEx& splitter, int percent) {
    const QWidget* first = splitter.firstTile();
    const QWidget* second = splitter.secondTile();
    if (first == nullptr || second == nullptr || splitter.split() == percent) return;
    const bool across = splitter.tileMode() == 1;
    const double barStart = across ? first->x() + first->width() - splitter.x()
                                   : first->y() + first->height() - splitter.y();
    const double barEnd = across ? second->x() - splitter.x() : second->y() - splitter.y();
    const double total = across ? splitter.width() : splitter.height();
    const double to = total * percent / 100.0;
    auto at = [across](double along) { return across ? QPointF(along, 1) : QPointF(1, along); };
    auto send = [&splitter](QEvent::Type type, QPointF local, Qt::MouseButtons buttons) {
        QMouseEvent e(type, local, splitter.mapToGlobal(local), Qt::LeftButton, buttons,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(&splitter, &e);
    };
    send(QEvent::MouseButtonPress, at((barStart + barEnd) / 2), Qt::LeftButton);
    send(QEvent::MouseMove, at(to), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, at(to), Qt::NoButton);
}

PixelRect ToPixelRect(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

}  // namespace

void PlaceMainWindow(frmMain& window, const RememberedWindow& remembered) {
    QScreen* primary = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (primary != nullptr) {
        const QRect own = window.geometry();
        const QRect outer = window.frameGeometry();
        FrameMargins frame{own.left() - outer.left(), own.top() - outer.top(),
                           outer.right() - own.right(), outer.bottom() - own.bottom()};
        if (frame.top <= 0) frame.top = kAssumedTitleBar;
        const PixelRect available = ToPixelRect(primary->availableGeometry());
        PixelRect place = FitStartWindow(available, frame);
        if (remembered.place) {
            std::vector<PixelRect> screens;
            for (const QScreen* screen : QGuiApplication::screens()) {
                screens.push_back(ToPixelRect(screen->availableGeometry()));
            }
            place = RestoreStartWindow(*remembered.place, screens, available, frame);
        }
        window.setGeometry(place.left, place.top, place.width, place.height);
        // Maximised over the place it goes back to when the user restores it.
        if (remembered.maximized.value_or(false)) window.showMaximized();
    }
    // Turning the views resets the splitter's share, so the share comes last.
    if (remembered.sideBySide &&
        *remembered.sideBySide != (window.ctlSplitterEx1->tileMode() == 1)) {
        window.ToggleOrientation();
    }
    if (remembered.split) DragSplitTo(*window.ctlSplitterEx1, *remembered.split);
}

RememberedWindow MainWindowNow(const frmMain& window) {
    RememberedWindow now;
    now.maximized = window.isMaximized();
    now.place = ToPixelRect(now.maximized.value() ? window.normalGeometry() : window.geometry());
    now.split = window.ctlSplitterEx1->split();
    now.sideBySide = window.ctlSplitterEx1->tileMode() == 1;
    return now;
}

void RestoreMainWindow(frmMain& window) {
    PlaceMainWindow(window, ReadRememberedWindow(SettingsFile().toStdString()));
}

bool RememberMainWindow(const frmMain& window) {
    const QString path = SettingsFile();
    if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).path())) return false;
    const std::string text = SettingsText(ReadShowTips(), MainWindowNow(window));
    return !WriteFileAtomically(path, text).has_value();
}

}  // namespace tarlo
