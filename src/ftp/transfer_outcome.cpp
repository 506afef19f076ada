#include "ftp/transfer_outcome.h"

#include <utility>

namespace tarlo::ftp {

namespace {

// A refused identity: the SSH host key, or the TLS certificate (or a TLS
// handshake that failed) of an FTP server.
std::string IdentityRefusal(const TransferEnd& end, const std::string& words) {
    if (end.sftp && end.code == CURLE_PEER_FAILED_VERIFICATION) {
        return end.host_key_refusal.empty() ? "the server's host key was refused: " + words
                                            : end.host_key_refusal;
    }
    const CertificateSeen& seen = end.certificate;
    if (end.code == CURLE_PEER_FAILED_VERIFICATION || !seen.reason.empty())
        return CertificateRefusal(seen.subject, seen.issuer,
                                  seen.reason.empty() ? words : seen.reason);
    return "the server's TLS connection failed: " + words;
}

// Failure, message and whether the connection stays, from libcurl's code
// alone.
TransferOutcome ByCode(const TransferEnd& end, const std::string& words) {
    TransferOutcome o;
    o.keep_connection = false;
    FtpResult& r = o.result;
    r.message = words;
    switch (end.code) {
        case CURLE_ABORTED_BY_CALLBACK:
            r.failure = FtpFailure::Cancelled;
            r.message = "cancelled";
            break;
        case CURLE_OPERATION_TIMEDOUT:
            r.failure = FtpFailure::Timeout;
            break;
        case CURLE_COULDNT_RESOLVE_HOST:
            r.failure = FtpFailure::HostNotFound;
            break;
        case CURLE_COULDNT_CONNECT:
            r.failure = FtpFailure::CannotConnect;
            break;
        case CURLE_LOGIN_DENIED:
            r.failure = FtpFailure::LoginFailed;
            break;
        case CURLE_URL_MALFORMAT:
            r.failure = FtpFailure::BadAddress;
            break;
        case CURLE_UNSUPPORTED_PROTOCOL:
            r.failure = FtpFailure::UnsupportedScheme;
            break;
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_USE_SSL_FAILED:
            r.failure = FtpFailure::TlsRefused;
            r.message = IdentityRefusal(end, words);
            break;
        case CURLE_WRITE_ERROR:
            r.failure = FtpFailure::LocalFileError;
            r.message = "the local file could not be written";
            // The local disk refused, not the connection: it can go on.
            o.keep_connection = end.write_failed;
            break;
        case CURLE_REMOTE_ACCESS_DENIED:
        case CURLE_REMOTE_FILE_NOT_FOUND:
        case CURLE_QUOTE_ERROR:
        case CURLE_UPLOAD_FAILED:
        case CURLE_FTP_COULDNT_RETR_FILE:
        case CURLE_REMOTE_DISK_FULL:
        case CURLE_REMOTE_FILE_EXISTS:
            // The server refused this one command; the connection stands.
            r.failure = FtpFailure::ServerRefused;
            r.reply = end.reply >= 400 ? static_cast<int>(end.reply) : kReplyFileUnavailable;
            o.keep_connection = true;
            break;
        default:
            // The connection broke off (reset, closed, cut short).
            r.failure = FtpFailure::ConnectionAborted;
            r.message = "the connection to the server was lost (" + words + ")";
            break;
    }
    return o;
}

}  // namespace

FtpResult Succeeded() {
    FtpResult r;
    r.ok = true;
    return r;
}

FtpResult Failed(FtpFailure failure, std::string message) {
    FtpResult r;
    r.failure = failure;
    r.message = std::move(message);
    return r;
}

FtpState FinalState(const FtpResult& result) {
    if (result.ok) return FtpState::ResponseCompleted;
    // A cancelled command closed its connection and reports no error.
    return result.failure == FtpFailure::Cancelled ? FtpState::Disconnected : FtpState::Error;
}

TransferOutcome OutcomeOf(const TransferEnd& end) {
    if (end.code == CURLE_OK) {
        TransferOutcome o;
        o.result = Succeeded();
        if (!end.connect_only) {
            if (!end.receiving) o.states.push_back(FtpState::Receiving);
            o.states.push_back(FtpState::ResponseReceived);
        }
        return o;
    }
    TransferOutcome o =
        ByCode(end, end.error_text.empty() ? curl_easy_strerror(end.code) : end.error_text);
    FtpResult& r = o.result;
    if (!end.read_failure.empty()) {
        // Aborted by the read callback, not by the user.
        r.failure = FtpFailure::LocalFileError;
        r.reply = 0;
        r.message = end.read_failure;
        o.keep_connection = false;
    } else if (!end.refusal.empty() && r.failure == FtpFailure::ServerRefused) {
        // The server's own words say more than libcurl's.
        r.message = "the server answered \"" + end.refusal + "\"";
    } else if (!end.refusal.empty() && r.failure != FtpFailure::Cancelled) {
        r.message += " (the server answered \"" + end.refusal + "\")";
    }
    return o;
}

std::string CertificateRefusal(const std::string& subject, const std::string& issuer,
                               const std::string& reason) {
    std::string text = "the server's TLS certificate";
    if (!subject.empty()) {
        text += ", issued to " + subject;
        if (!issuer.empty()) text += issuer == subject ? " by itself" : " by " + issuer;
        text += ",";
    }
    text += " is not trusted (" + reason +
            "), so nothing was sent to the server: not the user name, the password or any file";
    return text;
}

}  // namespace tarlo::ftp
