#include "gui_test_support.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include "editor/main_window.h"

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

QString WriteFile(const QString& dir, const QString& name, const QByteArray& bytes) {
    const QString path = QDir(dir).filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
    return path;
}

}  // namespace tarlo::test
