#pragma once
// The FTP window's transfer component (`ITC` on the window): it takes one
// command text at a time ("DIR", "CD \"docs/\"", "GET \"r\" \"l\"", ...), runs
// it on a worker thread, and tells the window how far it got through
// StateChanged with the window's state numbers (1 resolving ... 10
// disconnected, 11 error with ResponseCode, 12 response completed). The GUI
// thread never waits on the network: waiting means an event loop.
#include <QObject>
#include <QString>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace tarlo::ftp {

class FtpSession;

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
    // a connection that broke off, 12002 for a time-out (see ftp_session.h).
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
    void Finish(bool ok, int code, const std::string& message, const std::string& data,
                const std::string& folder, bool encrypted, bool cancelled,
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
