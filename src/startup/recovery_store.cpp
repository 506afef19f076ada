#include "startup/recovery_store.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "shell/file_writing.h"

namespace tarlo {

namespace {

constexpr QFile::Permissions kPrivateFolder =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
constexpr QFile::Permissions kPrivateFile = QFile::ReadOwner | QFile::WriteOwner;

QString Qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A folder of ours that no one else can read: made if missing, its mode set
// to 0700 if it is wider. A folder that is someone else's, or a link to
// somewhere else, is never used for the user's documents.
bool MakePrivateFolder(const QString& path) {
    QFileInfo info(path);
    if (!info.exists()) {
        const QString parent = info.absolutePath();
        if (!QFileInfo::exists(parent) && !MakePrivateFolder(parent)) return false;
        if (!QDir().mkdir(path, kPrivateFolder)) return false;
        info.refresh();
    }
    if (info.isSymLink() || !info.isDir() || info.ownerId() != geteuid()) return false;
    constexpr QFile::Permissions kOthers = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                           QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    if ((info.permissions() & kOthers) != QFile::Permissions()) {
        if (!QFile::setPermissions(path, kPrivateFolder)) return false;
    }
    return true;
}

}  // namespace

RecoveryStore::RecoveryStore(QString folder, QString run)
    : folder_(std::move(folder)), run_(std::move(run)) {}

RecoveryStore::~RecoveryStore() = default;

QString RecoveryStore::DefaultFolder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state)) {
        state = QDir::homePath() + QStringLiteral("/.local/state");
    }
    return QDir::cleanPath(state + QStringLiteral("/Tarlo/recovery"));
}

QString RecoveryStore::ThisRun() {
    static const qint64 started = QDateTime::currentMSecsSinceEpoch();
    return Qs(RecoveryRunName(QCoreApplication::applicationPid(), started));
}

QString RecoveryStore::PathOf(const QString& run, std::string_view suffix) const {
    return folder_ + QLatin1Char('/') + run + Qs(suffix);
}

QString RecoveryStore::CopyPath() const {
    return PathOf(run_, kRecoveryCopySuffix);
}

QString RecoveryStore::LockPath() const {
    return PathOf(run_, kRecoveryLockSuffix);
}

bool RecoveryStore::Open() {
    if (open_) return true;
    // Tarlo's own state folder is private as well: only the copies' folder
    // is checked on every start, but nothing of the user's lies above it.
    const QString parent = QFileInfo(folder_).absolutePath();
    if (!QFileInfo::exists(parent) && !MakePrivateFolder(parent)) return false;
    if (!MakePrivateFolder(folder_)) return false;
    lock_ = std::make_unique<QLockFile>(LockPath());
    // Never stale by age: an editor may run for weeks. A lock is stale
    // only when its process is gone (or the machine was restarted).
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        lock_.reset();
        return false;
    }
    open_ = true;
    return true;
}

std::optional<QString> RecoveryStore::Write(const RecoveryCopy& copy) {
    if (!open_) return QStringLiteral("the recovery folder is not open");
    const std::string bytes = EncodeRecoveryCopy(copy);
    return WriteWholeFile(CopyPath(), bytes, kPrivateFile);
}

bool RecoveryStore::HasCopy() const {
    return QFileInfo::exists(CopyPath());
}

void RecoveryStore::RemoveCopy() {
    QFile::remove(CopyPath());
    DropNextCopy();
}

QString RecoveryStore::NextCopyPath() const {
    return PathOf(run_, kRecoveryNextSuffix);
}

std::optional<QString> RecoveryStore::WriteWhole(const QString& path, const std::string& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return file.errorString();
    file.setPermissions(kPrivateFile);
    const bool written = file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                             static_cast<qint64>(bytes.size()) &&
                         file.flush();
    const QString why = file.errorString();
    // On the disk before it takes the copy's place: a power cut must not
    // leave an empty copy where a whole one was.
    const bool synced = written && ::fsync(file.handle()) == 0;
    file.close();
    if (!written) return why;
    if (!synced) return QStringLiteral("it could not be flushed to the disk");
    return std::nullopt;
}

std::optional<QString> RecoveryStore::PromoteNextCopy() {
    // rename() replaces the old copy in one step, as QSaveFile does.
    if (::rename(QFile::encodeName(NextCopyPath()).constData(),
                 QFile::encodeName(CopyPath()).constData()) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        DropNextCopy();
        return why;
    }
    return std::nullopt;
}

void RecoveryStore::DropNextCopy() {
    QFile::remove(NextCopyPath());
}

void RecoveryStore::Close() {
    if (!open_) return;
    RemoveCopy();
    for (auto& [run, claim] : claims_) claim->unlock();
    claims_.clear();
    lock_->unlock();
    lock_.reset();
    open_ = false;
}

std::vector<RecoveryStore::LeftOver> RecoveryStore::ClaimLeftOvers() {
    std::vector<LeftOver> found;
    if (!open_) return found;
    const QFileInfoList files =
        QDir(folder_).entryInfoList({QStringLiteral("*") + Qs(kRecoveryCopySuffix)}, QDir::Files);
    for (const QFileInfo& info : files) {
        const auto run = RecoveryRunOfCopy(info.fileName().toStdString());
        if (!run) continue;
        const QString name = Qs(*run);
        if (name == run_) continue;
        if (claims_.count(name) == 0) {
            // A lock that can be taken was absent or stale: its run ended
            // without cleaning up. Taking it also keeps any other editor
            // that starts now from offering the same copy.
            auto claim = std::make_unique<QLockFile>(PathOf(name, kRecoveryLockSuffix));
            claim->setStaleLockTime(0);
            if (!claim->tryLock(0)) continue;
            // The run may have ended cleanly between the listing and the lock.
            if (!QFileInfo::exists(info.filePath())) {
                claim->unlock();
                continue;
            }
            claims_[name] = std::move(claim);
        }
        found.push_back({name, info.filePath(), info.lastModified()});
    }
    std::sort(found.begin(), found.end(),
              [](const LeftOver& a, const LeftOver& b) { return a.written > b.written; });
    return found;
}

std::optional<RecoveryCopy> RecoveryStore::Read(const QString& copyPath) {
    QFile file(copyPath);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.readAll();
    return DecodeRecoveryCopy(std::string_view(bytes.constData(), bytes.size()));
}

void RecoveryStore::Discard(const LeftOver& leftOver) {
    const auto it = claims_.find(leftOver.run);
    if (it == claims_.end()) return;
    QFile::remove(leftOver.copyPath);
    QFile::remove(PathOf(leftOver.run, kRecoveryNextSuffix));
    it->second->unlock();
    claims_.erase(it);
}

void RecoveryStore::Release(const LeftOver& leftOver) {
    const auto it = claims_.find(leftOver.run);
    if (it == claims_.end()) return;
    it->second->unlock();
    claims_.erase(it);
}

int RecoveryStore::SweepDeadLocks() {
    if (!open_) return 0;
    int swept = 0;
    const QFileInfoList locks =
        QDir(folder_).entryInfoList({QStringLiteral("*") + Qs(kRecoveryLockSuffix)}, QDir::Files);
    for (const QFileInfo& info : locks) {
        const auto run = RecoveryRunOfLock(info.fileName().toStdString());
        if (!run) continue;
        const QString name = Qs(*run);
        // Our own lock, and the locks of copies claimed for the question.
        if (name == run_ || claims_.count(name) > 0) continue;
        if (QFileInfo::exists(PathOf(name, kRecoveryCopySuffix))) continue;
        QLockFile lock(info.filePath());
        lock.setStaleLockTime(0);
        // Taken only when its process is gone (a dead run writes no copy
        // after this); the lock is then ours, and letting it go deletes it.
        if (!lock.tryLock(0)) continue;
        QFile::remove(PathOf(name, kRecoveryNextSuffix));
        lock.unlock();
        ++swept;
    }
    return swept;
}

}  // namespace tarlo
