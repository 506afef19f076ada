#include "editor/private_temp.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace tarlo {

PrivateTempFolder::PrivateTempFolder() = default;
PrivateTempFolder::~PrivateTempFolder() = default;

QString PrivateTempFolder::Path() {
    if (!dir_) {
        // mkdtemp underneath: a new folder, owner-only (0700).
        auto dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/tarlo-XXXXXX");
        if (!dir->isValid()) return QString();
        QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        dir_ = std::move(dir);
    }
    return dir_->path();
}

QString PrivateTempFolder::FilePath(const QString& name) {
    if (name.isEmpty() || name == "." || name == ".." || name.contains('/') ||
        name.contains('\\')) {
        return QString();
    }
    const QString folder = Path();
    if (folder.isEmpty()) return QString();
    return folder + '/' + name;
}

}  // namespace tarlo
