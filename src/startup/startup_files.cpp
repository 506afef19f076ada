#include "startup/startup_files.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>
#include <cstdlib>

#include "shell/file_writing.h"
#include "startup/start_settings.h"

namespace tarlo {

QString SettingsFile() {
    return QString::fromStdString(
        SettingsFilePath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")));
}

bool ReadShowTips() {
    return ReadShowTipsFlag(SettingsFile().toStdString());
}

bool WriteShowTips(bool show) {
    const QString path = SettingsFile();
    if (path.isEmpty()) return false;
    if (!QDir().mkpath(QFileInfo(path).path())) return false;
    // The window's lines after the flag stay as the last clean exit wrote them.
    const RememberedWindow window = ReadRememberedWindow(path.toStdString());
    return !WriteFileAtomically(path, SettingsText(show, window)).has_value();
}

QUrl HelpIndexUrl() {
    return QUrl(QStringLiteral("qrc:/help/index.html"));
}

QUrl HelpIndexOnDisk() {
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty()) return {};
    const QString folder = cache + QStringLiteral("/Tarlo/help");
    if (!QDir().mkpath(folder)) return {};
    // Written afresh each time, so the pages always match this program.
    QDirIterator pages(QStringLiteral(":/help"), QDir::Files);
    while (pages.hasNext()) {
        const QString from = pages.next();
        QFile in(from);
        if (!in.open(QIODevice::ReadOnly)) return {};
        const QByteArray bytes = in.readAll();
        const QString to = folder + QLatin1Char('/') + QFileInfo(from).fileName();
        if (WriteFileAtomically(to, bytes.toStdString())) return {};
    }
    return QUrl::fromLocalFile(folder + QStringLiteral("/index.html"));
}

void CentreOnScreen(QWidget* window, const QWidget* main) {
    QScreen* screen = main ? main->screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    window->winId();
    const QRect area = screen->availableGeometry();
    const QRect own = window->frameGeometry();
    window->move(area.left() + (area.width() - own.width()) / 2,
                 area.top() + (area.height() - own.height()) / 2);
}

}  // namespace tarlo
