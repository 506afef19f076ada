#pragma once
// Writing a file whole or not at all: the old file stays whole until the new
// one is complete on disk, so a full disk or a crash mid-write never leaves a
// filer's document (or a recovery copy) cut short.
#include <QFileDevice>
#include <QString>
#include <optional>
#include <string>

namespace tarlo {

// Writes the bytes in place of the file; a new file gets the permissions
// given, a replaced one keeps its own. The reason for a failure, or nothing.
std::optional<QString> WriteWholeFile(const QString& path, const std::string& bytes,
                                      std::optional<QFileDevice::Permissions> permissions = {});

// As WriteWholeFile, but a file the user made read-only is refused.
std::optional<QString> WriteFileAtomically(const QString& path, const std::string& bytes);

}  // namespace tarlo
