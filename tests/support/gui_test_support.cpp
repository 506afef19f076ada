#include "gui_test_support.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <QLabel>
#include <QLineEdit>

#include "editor/main_window.h"
#include "editor/status_panels.h"

namespace tarlo::test {

bool WaitUntil(const std::function<bool()>& pred, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!pred()) {
        if (deadline.hasExpired()) return pred();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

frmMain* StartTestWindow(Dialogs* dialogs, std::function<void()> onEnd,
                         const std::function<void(frmMain&)>& beforeLoad,
                         const std::function<void(frmMain&)>& afterLoad) {
    auto* window = new frmMain(dialogs);
    window->SetEndProgram(std::move(onEnd));
    if (beforeLoad) beforeLoad(*window);
    window->show();
    window->Form_Load();
    if (afterLoad) afterLoad(*window);
    QApplication::setActiveWindow(window);
    return window;
}

std::vector<std::string> StripProblems(frmMain& window) {
    std::vector<std::string> problems;
    const QRect inside = window.rect();
    auto place = [&window](QWidget* w) {
        return QRect(w->mapTo(&window, QPoint(0, 0)), w->size());
    };
    std::vector<std::pair<std::string, QRect>> panels;
    for (int n = 1; n <= window.SB->panelCount(); ++n) {
        const auto which = static_cast<StatusPanel>(n - 1);
        QLabel* p = window.SB->panel(which);
        const std::string name = "status panel " + std::to_string(n);
        if (!p->isVisible()) {
            if (which == StatusPanel::Line || which == StatusPanel::Column)
                problems.push_back(name + " is hidden");
            continue;
        }
        const QRect r = place(p);
        if (r.width() <= 0 || !inside.contains(r)) problems.push_back(name + " is not inside");
        for (const auto& [other, o] : panels) {
            if (o.intersects(r)) problems.push_back(name + " overlaps " + other);
        }
        panels.emplace_back(name, r);
    }
    std::vector<std::pair<std::string, QRect>> controls;
    const std::pair<const char*, StatusPanel> strip[] = {
        {"chkAuto", StatusPanel::AutoRefresh},
        {"chkFormat", StatusPanel::AutoFormat},
        {"chkColorize", StatusPanel::AutoColorize},
        {"txtStatus", StatusPanel::DocumentStatus}};
    for (const auto& [name, panel] : strip) {
        auto* w = window.findChild<QWidget*>(name);
        // A check box gives way with its panel in a narrow window; the
        // document status never does.
        const bool gaveWay = panel != StatusPanel::DocumentStatus && w != nullptr &&
                             !w->isVisible() && !window.SB->panel(panel)->isVisible();
        if (gaveWay) continue;
        if (w == nullptr || !w->isVisible()) {
            problems.push_back(std::string(name) + " is not shown");
            continue;
        }
        const QRect r = place(w);
        if (r.width() <= 0 || !inside.contains(r))
            problems.push_back(std::string(name) + " is not inside");
        for (const auto& [other, o] : controls) {
            if (o.intersects(r)) problems.push_back(std::string(name) + " overlaps " + other);
        }
        controls.emplace_back(name, r);
    }
    QLabel* caption = window.SB->panel(StatusPanel::DocumentStatus);
    const int captionEnd = place(caption).x() + caption->indent() +
                           caption->fontMetrics().horizontalAdvance(caption->text());
    if (captionEnd > place(window.txtStatus).x())
        problems.push_back("the status box covers its caption");
    return problems;
}

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString WriteFile(const QString& dir, const QString& name, const QByteArray& bytes) {
    const QString path = QDir(dir).filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
    return path;
}

}  // namespace tarlo::test
