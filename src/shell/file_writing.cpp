#include "shell/file_writing.h"

#include <unistd.h>
#include <QFileInfo>
#include <QSaveFile>

namespace tarlo {

std::optional<QString> WriteWholeFile(const QString& path, const std::string& bytes,
                                      std::optional<QFileDevice::Permissions> permissions) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (permissions) file.setPermissions(*permissions);
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size())) {
        const QString why = file.errorString();
        file.cancelWriting();
        return why;
    }
    if (!file.commit()) return file.errorString();
    return std::nullopt;
}

std::optional<QString> WriteFileAtomically(const QString& path, const std::string& bytes) {
    // A file the user made read-only stays so: it is refused, never made
    // writable behind their back (as root every file counts as writable, so
    // its permission bits decide). Replacing a file keeps its permissions.
    const QFileInfo existing(path);
    if (existing.exists()) {
        constexpr QFile::Permissions kAnyWrite =
            QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
        const bool writable =
            geteuid() == 0 ? (existing.permissions() & kAnyWrite) != 0 : existing.isWritable();
        if (!writable) return QStringLiteral("the file is read-only (it has no write permission)");
    }
    return WriteWholeFile(path, bytes);
}

}  // namespace tarlo
