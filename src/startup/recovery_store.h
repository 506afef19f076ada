#pragma once
// The folder of recovery copies, "$XDG_STATE_HOME/Tarlo/recovery" (mode 0700),
// as one running editor sees it. Each run keeps its own copy "<run>.copy"
// and holds "<run>.lock" (a QLockFile) for as long as it runs, so that
// another run never takes a living editor's copy for a crashed one's: a
// copy is left over from a run that did not end cleanly only when its lock
// is gone or stale. A run's "<run>.next" is a copy still being written. Copies of such runs are
// claimed (their lock taken) before they are offered, so that two editors starting together never
// restore or delete the same copy.
#include <QDateTime>
#include <QLockFile>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "startup/recovery_copy.h"

namespace tarlo {

class RecoveryStore {
  public:
    // A store in `folder` for the run named `run` (RecoveryRunName).
    RecoveryStore(QString folder, QString run);
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    // "$XDG_STATE_HOME/Tarlo/recovery", or "~/.local/state/Tarlo/recovery"
    // when XDG_STATE_HOME is unset or not an absolute path.
    static QString DefaultFolder();
    // This process's run name: its id and the moment it started.
    static QString ThisRun();

    // Makes the folder (mode 0700, made private again when it is not) and
    // takes this run's lock. False when the folder cannot be made private
    // or the lock cannot be had: the store then writes nothing.
    bool Open();
    bool IsOpen() const { return open_; }
    QString Folder() const { return folder_; }
    QString Run() const { return run_; }
    QString CopyPath() const;
    QString LockPath() const;

    // Writes this run's copy whole or not at all (QSaveFile), readable by
    // the user only. The reason for a failure, or nothing.
    std::optional<QString> Write(const RecoveryCopy& copy);
    bool HasCopy() const;
    // Removes this run's copy (and a next one being written); the lock stays.
    void RemoveCopy();

    // A copy made off the GUI thread is written whole beside this run's copy
    // ("<run>.next", never offered), then put in its place on the GUI thread,
    // or dropped when the document changed meanwhile. Writing touches only
    // that file and may run on any thread, one write at a time. The reason
    // for a failure, or nothing.
    QString NextCopyPath() const;
    static std::optional<QString> WriteWhole(const QString& path, const std::string& bytes);
    std::optional<QString> PromoteNextCopy();
    void DropNextCopy();
    // The end of a clean run: the copy goes, then the lock.
    void Close();

    struct LeftOver {
        QString run;
        QString copyPath;
        QDateTime written;
    };
    // The copies of runs that did not end cleanly, newest first, each
    // claimed by this store until it is discarded or released.
    std::vector<LeftOver> ClaimLeftOvers();
    // The copy in a left-over file; nothing when it is not a whole copy.
    static std::optional<RecoveryCopy> Read(const QString& copyPath);
    // Deletes a claimed copy, then its lock.
    void Discard(const LeftOver& leftOver);
    // Lets a claimed copy go: the next start offers it again.
    void Release(const LeftOver& leftOver);
    // Removes the locks that runs which ended without cleaning up left
    // behind with no copy beside them (a run killed while its document held
    // nothing unsaved). A lock is removed only when it can be taken, that is
    // when its process is gone: a living editor's lock, and a lock written on
    // another machine, stay. Copies and their locks are left to
    // ClaimLeftOvers. The number of locks removed.
    int SweepDeadLocks();

  private:
    QString PathOf(const QString& run, std::string_view suffix) const;
    QString folder_;
    QString run_;
    std::unique_ptr<QLockFile> lock_;
    std::map<QString, std::unique_ptr<QLockFile>> claims_;
    bool open_ = false;
};

}  // namespace tarlo
