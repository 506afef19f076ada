#include "startup/recent_files_menu.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <cstdlib>

#include "shell/dialogs.h"
#include "shell/file_writing.h"
#include "startup/recent_files.h"
#include "startup/start_settings.h"

namespace tarlo {

QString RecentFilesFile() {
    const std::string folder = SettingsFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    return folder.empty() ? QString() : QString::fromStdString(folder) + QStringLiteral("/recent");
}

RecentFilesMenu::RecentFilesMenu(QMenu* menu, QAction* before, Dialogs& dialogs, QWidget* parent,
                                 std::function<bool(const QString&)> open)
    : QObject(menu),
      menu_(menu),
      before_(before),
      dialogs_(dialogs),
      parent_(parent),
      open_(std::move(open)) {
    setObjectName(QStringLiteral("RecentFilesMenu"));
    Load();
    Rebuild();
}

void RecentFilesMenu::Load() {
    QFile file(RecentFilesFile());
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray bytes = file.readAll();
    files_ = ParseRecentFiles(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void RecentFilesMenu::Save() const {
    const QString path = RecentFilesFile();
    if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).path())) return;
    // A list that cannot be kept still serves this run.
    WriteFileAtomically(path, RecentFilesText(files_));
}

void RecentFilesMenu::Add(const QString& path) {
    // Another Tarlo may have changed the list since it was read.
    Load();
    AddRecentFile(files_, QFileInfo(path).absoluteFilePath().toStdString());
    Save();
    Rebuild();
}

void RecentFilesMenu::Choose(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= files_.size()) return;
    const QString path = QString::fromStdString(files_[static_cast<std::size_t>(index)]);
    if (!QFileInfo(path).isFile()) {
        RemoveRecentFile(files_, path.toStdString());
        Save();
        Rebuild();
        dialogs_.Message(parent_,
                         QStringLiteral("The file %1 no longer exists. It has been taken off "
                                        "the list of recent files.")
                             .arg(path),
                         QStringLiteral("Tarlo"), Buttons::Ok, Icon::Information);
        return;
    }
    if (open_ && open_(path)) Add(path);
}

QStringList RecentFilesMenu::Files() const {
    QStringList list;
    for (const std::string& f : files_) list << QString::fromStdString(f);
    return list;
}

void RecentFilesMenu::Rebuild() {
    for (QAction* a : entries_) {
        menu_->removeAction(a);
        a->deleteLater();
    }
    entries_.clear();
    if (!separator_) {
        separator_ = menu_->insertSeparator(before_);
        separator_->setObjectName(QStringLiteral("mnuRecentSeparator"));
    }
    separator_->setVisible(!files_.empty());
    for (std::size_t i = 0; i < files_.size(); ++i) {
        auto* a = new QAction(QString::fromStdString(RecentFileCaption(i, files_[i])), menu_);
        a->setObjectName(QStringLiteral("mnuRecent%1").arg(i + 1));
        a->setToolTip(QString::fromStdString(files_[i]));
        const int index = static_cast<int>(i);
        connect(a, &QAction::triggered, this, [this, index] { Choose(index); });
        menu_->insertAction(separator_, a);
        entries_.push_back(a);
    }
}

}  // namespace tarlo
