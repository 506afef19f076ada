#pragma once
// What a finished transfer of an FtpSession comes to. The session sets up a
// libcurl handle and runs it; the plain facts the run leaves (libcurl's code,
// the server's reply code and last refusal, what the callbacks saw of the
// local file, the certificate or host key) become here the outcome the FTP
// window and tarlo-cli report: done or why not, in words that name the
// server's answer and what was not sent. No handle and no server are
// involved, so every way a transfer can end is tried on its own.
#include <curl/curl.h>

#include <string>
#include <vector>

#include "ftp/remote_listing.h"

namespace tarlo::ftp {

// How far a command got, in the order the transfer component reports it.
// The session reports Resolving to Disconnected; a command ends in
// ResponseCompleted, Error, or Disconnected when it was cancelled.
enum class FtpState {
    Resolving,
    Resolved,
    Connecting,
    Connected,
    Requesting,
    RequestSent,
    Receiving,
    ResponseReceived,
    Disconnecting,
    Disconnected,
    Error,
    ResponseCompleted,
};

// Why a command failed.
enum class FtpFailure {
    None,
    ServerRefused,      // the server said no; FtpResult::reply holds its code
    Timeout,            // the server stopped answering
    BadAddress,         // the address names no server, or holds a line break
    UnsupportedScheme,  // not ftp://, ftps:// or sftp://
    HostNotFound,
    LoginFailed,
    Cancelled,
    CannotConnect,
    ConnectionAborted,  // the connection broke off; the session is closed
    // The server's identity was refused: its TLS certificate is not trusted,
    // TLS failed, or its SSH host key is unknown or differs from
    // ~/.ssh/known_hosts.
    TlsRefused,
    LocalFileExists,
    LocalFileError,
    BadCommand,
};

// The server's reply when it refused a file or folder and gave no code of
// its own: the file is not there or may not be had.
constexpr int kReplyFileUnavailable = 550;

struct FtpResult {
    bool ok = false;
    FtpFailure failure = FtpFailure::None;
    int reply = 0;                     // ServerRefused: the server's code (4xx, 5xx)
    std::string message;               // one line for a person: what failed, the server's answer
    std::string data;                  // DIR: the listing, one entry and CR LF per line
    std::vector<RemoteEntry> entries;  // DIR: the entries themselves
};

FtpResult Succeeded();
FtpResult Failed(FtpFailure failure, std::string message);

// The state a command of the transfer component ends in.
FtpState FinalState(const FtpResult& result);

// What the TLS handshake learned of the server's certificate, for the
// message that says why it was refused.
struct CertificateSeen {
    std::string subject;  // who the server's own certificate was issued to
    std::string issuer;   // who issued it
    std::string reason;   // the first reason it was not trusted
};

// The facts one finished libcurl transfer left behind.
struct TransferEnd {
    CURLcode code = CURLE_OK;
    long reply = 0;          // the server's last response code
    std::string error_text;  // libcurl's error buffer; empty: its stock words for `code`
    bool sftp = false;
    bool connect_only = false;     // connecting or asking on the side: no response states
    bool receiving = false;        // data arrived (Receiving was reported)
    bool write_failed = false;     // the local file took no more bytes
    std::string read_failure;      // why the local file could not be read to its end
    std::string refusal;           // the server's last 4xx/5xx reply line
    std::string host_key_refusal;  // why the SSH server's host key was refused
    CertificateSeen certificate;
};

struct TransferOutcome {
    FtpResult result;
    std::vector<FtpState> states;  // still to report, in order
    bool keep_connection = true;   // false: the connection is closed
};

TransferOutcome OutcomeOf(const TransferEnd& end);

// Why the server's TLS certificate was refused, for a person: who it was
// issued to (and by whom, when the handshake showed it), the reason, and that
// the login was never sent. Begins in lower case, as the session's messages do.
std::string CertificateRefusal(const std::string& subject, const std::string& issuer,
                               const std::string& reason);

}  // namespace tarlo::ftp
