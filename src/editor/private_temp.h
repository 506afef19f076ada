#pragma once
// The editor's own temporary folder: the preview file and e-mail attachments
// are written here. It is created on first use with mode 0700 under a fresh
// random name, so no other user can read the document or plant a link in its
// place, and it is removed with everything in it when the editor ends (a mail
// client may still be reading an attachment until then).
#include <QString>
#include <memory>

class QTemporaryDir;

namespace tarlo {

class PrivateTempFolder {
  public:
    PrivateTempFolder();
    ~PrivateTempFolder();
    PrivateTempFolder(const PrivateTempFolder&) = delete;
    PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;

    // The folder's path, created on first use; empty when it cannot be made.
    QString Path();
    // The path of a file of that name inside the folder; empty when the
    // folder cannot be made or the name is not a plain file name.
    QString FilePath(const QString& name);

  private:
    std::unique_ptr<QTemporaryDir> dir_;
};

}  // namespace tarlo
