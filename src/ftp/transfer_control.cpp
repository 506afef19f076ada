#include "ftp/transfer_control.h"

#include <QEventLoop>
#include <QMetaObject>

#include "ftp/ftp_session.h"

namespace tarlo::ftp {

namespace {

void Wipe(std::string& s) {
    volatile char* p = s.data();
    for (size_t i = 0; i < s.size(); ++i) p[i] = 0;
    s.clear();
}

}  // namespace

TransferControl::TransferControl(QObject* parent)
    : QObject(parent), session_(std::make_unique<FtpSession>()) {}

TransferControl::~TransferControl() {
    if (worker_.joinable()) {
        session_->RequestCancel();
        worker_.join();
    }
    RetireSession();
    Wipe(password_);
}

void TransferControl::SetURL(const QString& url) {
    url_ = url.trimmed().toStdString();
    settings_changed_ = true;
}

void TransferControl::SetUserName(const QString& user) {
    user_ = user.toStdString();
    settings_changed_ = true;
}

void TransferControl::SetPassword(const QString& password) {
    Wipe(password_);
    password_ = password.toStdString();
    settings_changed_ = true;
}

void TransferControl::SetRequestTimeout(int seconds) {
    timeout_ = seconds;
    settings_changed_ = true;
}

void TransferControl::SetCaFile(const QString& path) {
    ca_file_ = path.toStdString();
    settings_changed_ = true;
}

void TransferControl::ApplySettings() {
    if (!settings_changed_) return;
    settings_changed_ = false;
    // A new server or login starts a new connection.
    RetireSession();
    session_->SetUserName(user_);
    session_->SetAddress(url_);
    session_->SetPassword(password_);
    session_->SetTimeoutSeconds(timeout_);
    session_->SetCaFile(ca_file_);
}

void TransferControl::RetireSession() {
    // Closing sends QUIT and waits for the answer: a server that has gone
    // quiet must not hold the window, so that happens on a thread of its own.
    if (session_ && session_->Connected()) {
        std::thread([s = session_.release()] { delete s; }).detach();
    }
    if (!session_) session_ = std::make_unique<FtpSession>();
}

bool TransferControl::Execute(const QString& command) {
    if (busy_) return false;
    const auto cmd = ParseCommandText(command.toStdString());
    if (!cmd) return false;
    if (worker_.joinable()) worker_.join();
    ApplySettings();
    busy_ = true;
    data_.clear();
    data_pos_ = 0;
    session_->SetStateCallback([this](int state) {
        QMetaObject::invokeMethod(
            this, [this, state] { emit StateChanged(state); }, Qt::QueuedConnection);
    });
    FtpSession* session = session_.get();
    session->ClearCancel();
    worker_ = std::thread([this, session, c = *cmd] {
        FtpResult r = session->Run(c);
        const bool cancelled = r.code == kCodeCancelled;
        const std::string folder = session->CurrentFolder();
        const bool encrypted = session->Encrypted();
        const std::string failure =
            r.ok ? std::string() : DescribeFailure(c, folder, r.code, r.message);
        QMetaObject::invokeMethod(
            this,
            [this, r = std::move(r), folder, encrypted, cancelled, failure] {
                Finish(r.ok, r.code, r.message, r.data, folder, encrypted, cancelled, failure);
            },
            Qt::QueuedConnection);
    });
    return true;
}

void TransferControl::Finish(bool ok, int code, const std::string& message, const std::string& data,
                             const std::string& folder, bool encrypted, bool cancelled,
                             const std::string& failure) {
    if (worker_.joinable()) worker_.join();
    busy_ = false;
    response_code_ = ok ? 0 : code;
    response_info_ = QString::fromStdString(message);
    failure_text_ = QString::fromStdString(failure);
    data_ = QString::fromUtf8(data.data(), static_cast<qsizetype>(data.size()));
    data_pos_ = 0;
    current_folder_ = QString::fromStdString(folder);
    encrypted_ = encrypted;
    if (cancelled)
        emit StateChanged(kDisconnected);
    else
        emit StateChanged(ok ? kResponseCompleted : kError);
    emit Finished();
}

void TransferControl::Cancel() {
    if (busy_) {
        // The worker sees the flag within a second and drops the connection.
        session_->RequestCancel();
        return;
    }
    if (session_->Connected()) {
        RetireSession();
        settings_changed_ = true;
        encrypted_ = false;
    }
}

QString TransferControl::GetChunk(int size) {
    if (size <= 0 || data_pos_ >= data_.size()) return {};
    qsizetype n = std::min<qsizetype>(size, data_.size() - data_pos_);
    // A piece never ends between the two halves of a surrogate pair.
    if (n > 1 && data_.at(data_pos_ + n - 1).isHighSurrogate()) --n;
    const QString piece = data_.mid(data_pos_, n);
    data_pos_ += static_cast<int>(n);
    return piece;
}

void TransferControl::WaitUntilReady() {
    if (!busy_) return;
    QEventLoop loop;
    connect(this, &TransferControl::Finished, &loop, &QEventLoop::quit);
    if (busy_) loop.exec();
}

}  // namespace tarlo::ftp
