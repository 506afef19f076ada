#pragma once
// The FTP window's transfer component (`ITC` on the window): it takes one
// command text at a time ("DIR", "CD \"docs/\"", "GET \"r\" \"l\"", ...), runs
// it on a worker thread, and tells the window how far it got through
// StateChanged with the window's state numbers (1 resolving ... 10
// disconnected, 11 error with ResponseCode, 12 response completed). The GUI
// thread never waits on the network: waiting means an event loop. The
// numbers are the window's: the session below speaks in FtpState and
// FtpFailure, and this component turns them into numbers.
#include <QObject>
#include <QString>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace tarlo::ftp {

class FtpSession;
enum class FtpState;
struct FtpResult;

// The window's state numbers, as StateChanged reports them.
constexpr int kResolving = 1;
constexpr int kResolved = 2;
constexpr int kConnecting = 3;
constexpr int kConnected = 4;
constexpr int kRequesting = 5;
constexpr int kRequestSent = 6;
constexpr int kReceiving = 7;
constexpr int kResponseReceived = 8;
constexpr int kDisconnecting = 9;
constexpr int kDisconnected = 10;
constexpr int kError = 11;
constexpr int kResponseCompleted = 12;

int StateNumber(FtpState state);

// ResponseCode's numbers for a failure that is not the server's own reply
// (4xx, 5xx).
constexpr int kCodeTimeout = 12002;
constexpr int kCodeBadAddress = 12005;
constexpr int kCodeUnsupportedScheme = 12006;
constexpr int kCodeHostNotFound = 12007;
constexpr int kCodeLoginFailed = 12014;
constexpr int kCodeCancelled = 12017;
constexpr int kCodeCannotConnect = 12029;
constexpr int kCodeConnectionAborted = 12030;
// The server's identity was refused: its TLS certificate, TLS itself, or its
// SSH host key.
constexpr int kCodeTlsRefused = 12045;
constexpr int kCodeLocalFileExists = 80;
constexpr int kCodeLocalFileError = 29;
constexpr int kCodeBadCommand = 87;

// 0 for a command that was done, the server's reply when the server refused
// it, else the kCode number of its failure.
int ResponseCodeOf(const FtpResult& result);

class TransferControl : public QObject {
    Q_OBJECT
  public:
    explicit TransferControl(QObject* parent = nullptr);
    ~TransferControl() override;

    // "ftp://host[:port][/path]", "ftps://..." or a bare host name.
    void SetURL(const QString& url);
    void SetUserName(const QString& user);
    // Held in memory only, wiped when replaced or when the component goes.
    void SetPassword(const QString& password);
    void SetRequestTimeout(int seconds);
    // Certificates to trust instead of the system's store.
    void SetCaFile(const QString& path);

    // Starts one command; false (and nothing sent) while another runs or when
    // the text is not a command.
    bool Execute(const QString& command);
    // Ends the running command within a second and closes the connection.
    void Cancel();
    bool StillExecuting() const { return busy_; }
    // The code of the last failure: the server's reply (550, ...), 12030 for
    // a connection that broke off, 12002 for a time-out (ResponseCodeOf).
    int ResponseCode() const { return response_code_; }
    // The last failure in words, with the server's answer.
    QString ResponseInfo() const { return response_info_; }
    // The last failure as a sentence for the user: which command, on which
    // file or folder, and why.
    QString FailureText() const { return failure_text_; }
    // The next piece of the last response's data, empty when there is none.
    QString GetChunk(int size = 4096);
    QString CurrentFolder() const { return current_folder_; }
    bool Encrypted() const { return encrypted_; }

    // Runs an event loop until the running command is done (at once when
    // none runs).
    void WaitUntilReady();

  signals:
    void StateChanged(int state);
    void Finished();

  private:
    void Finish(const FtpResult& result, const std::string& folder, bool encrypted,
                const std::string& failure);
    void RetireSession();
    void ApplySettings();

    std::unique_ptr<FtpSession> session_;
    std::thread worker_;
    bool busy_ = false;
    bool settings_changed_ = true;
    std::string url_;
    std::string user_;
    std::string password_;
    std::string ca_file_;
    long timeout_ = 40;
    int response_code_ = 0;
    QString response_info_;
    QString failure_text_;
    QString data_;
    int data_pos_ = 0;
    QString current_folder_;
    bool encrypted_ = false;
};

}  // namespace tarlo::ftp
