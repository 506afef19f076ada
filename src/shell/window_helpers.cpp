#include "shell/window_helpers.h"

#include <QShortcut>

#include <QEvent>
#include <QPoint>
#include <QWidget>
#include <QWindow>

namespace tarlo {

namespace {

const char kFocusGuardName[] = "tarlo_keep_focus_with_owner";

// Some platforms activate every window that appears, whatever it asked for.
// A window in the band above the main window hands such an activation straight
// back to the window it belongs to, so that typing keeps going there.
class KeepFocusWithOwner : public QObject {
  public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowActivate) {
            const QWidget* window = static_cast<QWidget*>(watched);
            if (QWidget* parent = window->parentWidget()) {
                QWidget* owner = parent->window();
                if (owner->isVisible() && !owner->isMinimized()) owner->activateWindow();
            }
        }
        return false;
    }
};

QObject* FocusGuardOf(QWidget* window) {
    return window->findChild<QObject*>(QLatin1String(kFocusGuardName), Qt::FindDirectChildrenOnly);
}

}  // namespace

QRect TwipRectToPixels(double left, double top, double width, double height) {
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                 TwipsToPixels(height));
}

QSize TwipSizeToPixels(double width, double height) {
    return QSize(TwipsToPixels(width), TwipsToPixels(height));
}

TwipBounds PixelRectToTwips(const QRect& pixels) {
    TwipBounds r;
    r.left = PixelsToTwips(pixels.left());
    r.top = PixelsToTwips(pixels.top());
    r.width = PixelsToTwips(pixels.width());
    r.height = PixelsToTwips(pixels.height());
    return r;
}

void CloseOnEscape(QWidget* window) {
    if (!window) return;
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    escape->setContext(Qt::WindowShortcut);
    QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);
}

void SetTopmost(QWidget* window, bool flag) {
    if (!window) return;
    // A tool window stays above the window it belongs to and keeps out of
    // the task bar. It still takes the keyboard when the user works in it.
    Qt::WindowFlags flags = window->windowFlags() & ~Qt::WindowType_Mask;
    flags |= flag ? Qt::Tool : Qt::Window;

    if (flags != window->windowFlags()) {
        // Changing the flags of a window on screen takes it off the screen;
        // put it back where it was, and without activating it.
        const bool wasVisible = window->isVisible();
        const QPoint at = window->pos();
        const QSize size = window->size();
        window->setWindowFlags(flags);
        if (wasVisible) {
            window->move(at);
            window->resize(size);
            const bool quiet = window->testAttribute(Qt::WA_ShowWithoutActivating);
            window->setAttribute(Qt::WA_ShowWithoutActivating, true);
            window->show();
            window->setAttribute(Qt::WA_ShowWithoutActivating, quiet);
        }
    }

    if (!flag && window->parentWidget()) {
        // A window with a parent is kept above it by the window manager even
        // when it is not a tool window; cut that tie as well.
        window->winId();
        if (QWindow* handle = window->windowHandle()) handle->setTransientParent(nullptr);
    }
}

void KeepFocusWithMain(QWidget* window) {
    if (!window) return;
    // A window nobody operates must never take the keyboard from the main
    // window, not even on platforms that activate every window they show.
    window->setAttribute(Qt::WA_ShowWithoutActivating, true);
    window->setWindowFlag(Qt::WindowDoesNotAcceptFocus, true);
    if (!FocusGuardOf(window)) {
        auto* guard = new KeepFocusWithOwner(window);
        guard->setObjectName(QLatin1String(kFocusGuardName));
        window->installEventFilter(guard);
    }
}

void ShowToFront(QWidget* window, bool activate) {
    if (!window->isVisible()) {
        if (!activate) window->setAttribute(Qt::WA_ShowWithoutActivating, true);
        window->show();
        window->setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
    window->raise();
    if (activate) window->activateWindow();
}

void CentreOverMain(QWidget* window, const QWidget* main) {
    if (!window || !main) return;
    // The frame is known only once the platform has a window for it; on some
    // platforms not before it is on screen, and then the client area is all
    // there is to go by.
    window->winId();
    const TwipBounds over = PixelRectToTwips(main->window()->frameGeometry());
    const QRect own = window->frameGeometry();
    const TwipPoint at = CentreOver(over, PixelsToTwips(own.width()), PixelsToTwips(own.height()));
    // For a window, move() places the outer bounds, frame included.
    window->move(TwipsToPixels(at.left), TwipsToPixels(at.top));
}

}  // namespace tarlo
