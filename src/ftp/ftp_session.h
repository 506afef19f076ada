#pragma once
// One FTP or SFTP connection driven by command texts, on libcurl. Run() blocks until
// the command is done: the FTP window's transfer component calls it on its
// worker thread, tarlo-cli directly. Only RequestCancel() may be called from
// another thread while Run() is busy.
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "ftp/command_text.h"
#include "ftp/transfer_outcome.h"

namespace tarlo::ftp {

// Why the local file at `path` cannot be sent ("cannot read PATH: REASON"),
// or empty when it is a regular file whose first bytes can be read. Asked
// before connecting, so that nothing reaches the server for a file that
// cannot be read.
std::string LocalFileProblem(const std::string& path);

class FtpSession {
  public:
    using StateFn = std::function<void(FtpState state)>;

    FtpSession();
    ~FtpSession();
    FtpSession(const FtpSession&) = delete;
    FtpSession& operator=(const FtpSession&) = delete;

    void SetStateCallback(StateFn fn) { on_state_ = std::move(fn); }
    // "ftp://host[:port][/path]", "ftps://..." (TLS from the start),
    // "sftp://host[:port][/path]" (SSH) or a bare host name (ftp). A user name
    // in the address is used when none is set. An sftp:// path is absolute,
    // as SSH addresses are; none, or "/~/..." starts in the login folder.
    void SetAddress(const std::string& address);
    void SetUserName(const std::string& user) { user_ = user; }
    // Kept in memory only, and wiped when the session ends.
    void SetPassword(const std::string& password);
    // Look the password up in ~/.netrc when none is set.
    void SetUseNetrc(bool on) { use_netrc_ = on; }
    void SetTimeoutSeconds(long seconds) { timeout_ = seconds; }
    // Trust these certificates instead of the system's store.
    void SetCaFile(const std::string& path) { ca_file_ = path; }

    // Runs one command text ("DIR", "GET \"r\" \"l\"", ...) to its end.
    FtpResult Execute(const std::string& text);
    FtpResult Run(const CommandText& cmd);
    // GET with a choice to replace an existing local file (the command text
    // never replaces one).
    FtpResult Get(const std::string& remote, const std::string& local, bool overwrite);

    void RequestCancel() { cancel_ = true; }
    // Called before a command that may be cancelled is handed to a thread.
    void ClearCancel() { cancel_ = false; }
    // The remote folder, absolute ("/" at the top); empty before the first
    // connection.
    const std::string& CurrentFolder() const { return cwd_; }
    bool Connected() const { return curl_ != nullptr; }
    // The control connection runs over TLS, or the whole session over SSH.
    bool Encrypted() const { return encrypted_; }

  private:
    struct Transfer;
    FtpResult Connect();
    // Runs one transfer on the connection, opening it first when there is
    // none; see session_handle.cpp.
    FtpResult Perform(Transfer& t);
    void SetUpConnection(void* handle, Transfer& t);
    void SetUpLogin(void* handle, Transfer& t);
    FtpResult List();
    // Uploads under a temporary name beside the target and renames it onto
    // the target (replacing it) only when complete; see ftp_upload.cpp.
    FtpResult Put(const std::string& local, const std::string& remote);
    FtpResult PlaceUpload(const std::string& temp, const std::string& target);
    // "; the temporary file T was deleted ..." or why it could not be, for
    // the end of a failed upload's message; empty when `may_be_missing` and
    // the server says there is no such file.
    std::string RemoveTemporary(const std::string& temp, bool may_be_missing);
    FtpResult Rename(const std::string& from, const std::string& to);
    FtpResult RemoveFile(const std::string& abs_path);
    // Raw commands on the control connection ("RNFR x", or SFTP's
    // "rename", "rm"), with no states reported.
    FtpResult Commands(const std::vector<std::string>& lines);
    FtpResult Quote(const std::string& line);
    FtpResult Close();
    std::string UrlFor(const std::string& abs_path) const;
    bool Sftp() const { return scheme_ == "sftp"; }
    // SFTP's own commands ("rm", "mkdir", ...) on one absolute path.
    FtpResult SftpQuote(const std::string& verb, const std::string& abs_path);
    // SFTP has no CWD: a folder is entered by reading it.
    FtpResult SftpEnter(const std::string& abs_path, bool connecting);
    std::string Resolve(const std::string& name) const;
    void Emit(FtpState state);
    void Drop();

    StateFn on_state_;
    std::string scheme_ = "ftp";
    std::string host_;
    std::string start_path_;
    std::string user_;
    std::string password_;
    std::string ca_file_;
    std::string address_error_;
    bool use_netrc_ = false;
    long timeout_ = 40;
    void* curl_ = nullptr;
    std::string cwd_;
    bool encrypted_ = false;
    int mlsd_ = -1;  // -1 not tried yet, 0 the server has no MLSD, 1 it has
    std::atomic<bool> cancel_{false};

    // The libcurl callbacks and set-up (session_handle.cpp).
    friend struct SessionHandle;
};

}  // namespace tarlo::ftp
