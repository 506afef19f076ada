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

int StateNumber(FtpState state) {
    switch (state) {
        case FtpState::Resolving:
            return kResolving;
        case FtpState::Resolved:
            return kResolved;
        case FtpState::Connecting:
            return kConnecting;
        case FtpState::Connected:
            return kConnected;
        case FtpState::Requesting:
            return kRequesting;
        case FtpState::RequestSent:
            return kRequestSent;
        case FtpState::Receiving:
            return kReceiving;
        case FtpState::ResponseReceived:
            return kResponseReceived;
        case FtpState::Disconnecting:
            return kDisconnecting;
        case FtpState::Disconnected:
            return kDisconnected;
        case FtpState::Error:
            return kError;
        case FtpState::ResponseCompleted:
            return kResponseCompleted;
    }
    return kError;
}

int ResponseCodeOf(const FtpResult& result) {
    if (result.ok) return 0;
    switch (result.failure) {
        case FtpFailure::None:
            return 0;
        case FtpFailure::ServerRefused:
            return result.reply;
        case FtpFailure::Timeout:
            return kCodeTimeout;
        case FtpFailure::BadAddress:
            return kCodeBadAddress;
        case FtpFailure::UnsupportedScheme:
            return kCodeUnsupportedScheme;
        case FtpFailure::HostNotFound:
            return kCodeHostNotFound;
        case FtpFailure::LoginFailed:
            return kCodeLoginFailed;
        case FtpFailure::Cancelled:
            return kCodeCancelled;
        case FtpFailure::CannotConnect:
            return kCodeCannotConnect;
        case FtpFailure::ConnectionAborted:
            return kCodeConnectionAborted;
        case FtpFailure::TlsRefused:
            return kCodeTlsRefused;
        case FtpFailure::LocalFileExists:
            return kCodeLocalFileExists;
        case FtpFailure::LocalFileError:
            return kCodeLocalFileError;
        case FtpFailure::BadCommand:
            return kCodeBadCommand;
    }
    return kCodeConnectionAborted;
}

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
    session_->SetStateCallback([this](FtpState state) {
        QMetaObject::invokeMethod(
            this, [this, number = StateNumber(state)] { emit StateChanged(number); },
            Qt::QueuedConnection);
    });
    FtpSession* session = session_.get();
    session->ClearCancel();
    worker_ = std::thread([this, session, c = *cmd] {
        FtpResult r = session->Run(c);
        const std::string folder = session->CurrentFolder();
        const bool encrypted = session->Encrypted();
        const std::string failure =
            r.ok ? std::string() : DescribeFailure(c, folder, r.failure, r.message);
        QMetaObject::invokeMethod(
            this,
            [this, r = std::move(r), folder, encrypted, failure] {
                Finish(r, folder, encrypted, failure);
            },
            Qt::QueuedConnection);
    });
    return true;
}

void TransferControl::Finish(const FtpResult& result, const std::string& folder, bool encrypted,
                             const std::string& failure) {
    if (worker_.joinable()) worker_.join();
    busy_ = false;
    response_code_ = ResponseCodeOf(result);
    response_info_ = QString::fromStdString(result.message);
    failure_text_ = QString::fromStdString(failure);
    data_ = QString::fromUtf8(result.data.data(), static_cast<qsizetype>(result.data.size()));
    data_pos_ = 0;
    current_folder_ = QString::fromStdString(folder);
    encrypted_ = encrypted;
    emit StateChanged(StateNumber(FinalState(result)));
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
