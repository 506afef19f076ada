// The libcurl side of FtpSession: one handle per connection, set up afresh
// for every transfer (address, TLS, login, time-outs, the callbacks that
// report the states), then run. What the run comes to is decided in
// transfer_outcome.cpp from the facts gathered here.
#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "ftp/ftp_session.h"
#include "ftp/session_transfer.h"
#include "ftp/transfer_outcome.h"

namespace tarlo::ftp {

namespace {

constexpr long kTransferBuffer = 256 * 1024;

using QuoteList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return {};
}

bool IsFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The user's own key, as ssh would pick it: the first of these that exists.
std::string SshPrivateKey(const std::string& home) {
    if (home.empty()) return {};
    for (const char* name : {"id_ed25519", "id_ecdsa", "id_rsa"}) {
        const std::string path = home + "/.ssh/" + name;
        if (IsFile(path)) return path;
    }
    return {};
}

const char* KeyTypeName(int type) {
    switch (type) {
        case CURLKHTYPE_RSA:
            return "RSA";
        case CURLKHTYPE_DSS:
            return "DSA";
        case CURLKHTYPE_ECDSA:
            return "ECDSA";
        case CURLKHTYPE_ED25519:
            return "ED25519";
        default:
            return "SSH";
    }
}

std::string NameText(const X509_NAME* name) {
    if (!name) return {};
    char cn[256] = {0};
    if (X509_NAME_get_text_by_NID(const_cast<X509_NAME*>(name), NID_commonName, cn, sizeof cn) > 0)
        return cn;
    char line[512] = {0};
    X509_NAME_oneline(name, line, sizeof line);
    return line;
}

int CertificateSeenIndex() {
    static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
    return index;
}

// Watches the verification OpenSSL does anyway; its verdict stands.
int WatchVerify(int preverify_ok, X509_STORE_CTX* store) {
    auto* ssl =
        static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
    auto* seen = ssl ? static_cast<CertificateSeen*>(
                           SSL_CTX_get_ex_data(SSL_get_SSL_CTX(ssl), CertificateSeenIndex()))
                     : nullptr;
    if (!seen) return preverify_ok;
    if (const X509* leaf = X509_STORE_CTX_get0_cert(store); leaf && seen->subject.empty()) {
        seen->subject = NameText(X509_get_subject_name(leaf));
        seen->issuer = NameText(X509_get_issuer_name(leaf));
    }
    if (!preverify_ok && seen->reason.empty())
        seen->reason = X509_verify_cert_error_string(X509_STORE_CTX_get_error(store));
    return preverify_ok;
}

CURLcode WatchCertificate(CURL*, void* ctx, void* p) {
    auto* ssl_ctx = static_cast<SSL_CTX*>(ctx);
    SSL_CTX_set_ex_data(ssl_ctx, CertificateSeenIndex(), p);
    SSL_CTX_set_verify(ssl_ctx, SSL_CTX_get_verify_mode(ssl_ctx), &WatchVerify);
    return CURLE_OK;
}

// The connection outlives the transfer whose certificate record the TLS
// context points at: it must not point there any more.
void ForgetCertificate(CURL* c) {
    curl_tlssessioninfo* tls = nullptr;
    if (curl_easy_getinfo(c, CURLINFO_TLS_SSL_PTR, &tls) == CURLE_OK && tls &&
        tls->backend == CURLSSLBACKEND_OPENSSL && tls->internals) {
        SSL_CTX_set_ex_data(SSL_get_SSL_CTX(static_cast<SSL*>(tls->internals)),
                            CertificateSeenIndex(), nullptr);
    }
}

}  // namespace

struct SessionHandle {
    using T = FtpSession::Transfer;

    static size_t Write(char* data, size_t size, size_t n, void* p) {
        auto* t = static_cast<T*>(p);
        const size_t bytes = size * n;
        if (!t->seen.receiving) {
            t->seen.receiving = true;
            t->self->Emit(FtpState::Receiving);
        }
        if (t->sink) t->sink->append(data, bytes);
        if (t->out && std::fwrite(data, 1, bytes, t->out) != bytes) {
            t->seen.write_failed = true;
            return 0;
        }
        return bytes;
    }

    // The local file of an upload. A read error, or a file whose size
    // changes while it is sent (someone is still writing it), aborts the
    // transfer: what the server got so far is not the file.
    static size_t Read(char* buffer, size_t size, size_t n, void* p) {
        auto* t = static_cast<T*>(p);
        const size_t got = std::fread(buffer, 1, size * n, t->in);
        t->in_done += static_cast<curl_off_t>(got);
        std::string& failure = t->seen.read_failure;
        if (got == 0 && std::ferror(t->in)) {
            failure = "cannot read " + t->in_path + ": " + std::strerror(errno);
            return CURL_READFUNC_ABORT;
        }
        if (got == 0 && t->in_done < t->in_size) {
            failure = "cannot read " + t->in_path + ": it became shorter while it was sent";
            return CURL_READFUNC_ABORT;
        }
        if (t->in_size >= 0 && t->in_done > t->in_size) {
            failure = "cannot read " + t->in_path + ": it grew while it was sent";
            return CURL_READFUNC_ABORT;
        }
        return got;
    }

    static size_t Header(char* data, size_t size, size_t n, void* p) {
        auto* t = static_cast<T*>(p);
        std::string line(data, size * n);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        if (line.size() >= 3 && (line[0] == '4' || line[0] == '5')) t->seen.refusal = line;
        if (line.rfind("234", 0) == 0) t->self->encrypted_ = true;  // AUTH accepted
        return size * n;
    }

    static int Progress(void* p, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
        auto* t = static_cast<T*>(p);
        if (t->requested && !t->sent && !t->quiet) {
            t->sent = true;
            t->self->Emit(FtpState::RequestSent);
        }
        return t->self->cancel_ ? 1 : 0;
    }

    static curl_socket_t OpenSocket(void* p, curlsocktype, struct curl_sockaddr* a) {
        auto* t = static_cast<T*>(p);
        if (t->connecting && !t->requested) {
            t->self->Emit(FtpState::Resolved);
            t->self->Emit(FtpState::Connecting);
        }
        return socket(a->family, a->socktype, a->protocol);
    }

    // The SSH server's host key against ~/.ssh/known_hosts. Only a key found
    // there and equal passes: an unknown key is not taken on first use, since
    // nobody is asked to compare fingerprints, and a changed one may be
    // someone in between.
    static int HostKey(CURL*, const curl_khkey*, const curl_khkey* found, curl_khmatch match,
                       void* p) {
        auto* t = static_cast<T*>(p);
        if (match == CURLKHMATCH_OK) return CURLKHSTAT_FINE;
        std::string where = t->self->host_;
        if (where.rfind(']') == std::string::npos ? where.find(':') == std::string::npos
                                                  : where.back() == ']')
            where += ":22";
        const bool have_file = IsFile(HomeFolder() + "/.ssh/known_hosts");
        const std::string kind = KeyTypeName(found ? static_cast<int>(found->keytype) : -1);
        if (match == CURLKHMATCH_MISMATCH) {
            t->seen.host_key_refusal =
                "The server's host key for " + where +
                " differs from the one in ~/.ssh/known_hosts (it offered a key of type " + kind +
                "); the server may have been replaced or someone may be "
                "in between. Ask its administrator before you connect.";
        } else {
            t->seen.host_key_refusal =
                "The server's host key for " + where + " is not known (" +
                (have_file ? "not in ~/.ssh/known_hosts" : "there is no ~/.ssh/known_hosts") +
                "); connect once with ssh to check and accept it.";
        }
        return CURLKHSTAT_REJECT;
    }

    static int Prereq(void* p, char*, char*, int, int) {
        auto* t = static_cast<T*>(p);
        if (t->connecting) {
            t->connecting = false;
            t->self->Emit(FtpState::Connected);
        }
        t->requested = true;
        if (!t->quiet) t->self->Emit(FtpState::Requesting);
        return CURL_PREREQFUNC_OK;
    }

    // The callbacks that report the states, watch the server's replies and
    // move the data.
    static void SetUpCallbacks(CURL* c, T& t) {
        curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &Progress);
        curl_easy_setopt(c, CURLOPT_XFERINFODATA, &t);
        curl_easy_setopt(c, CURLOPT_OPENSOCKETFUNCTION, &OpenSocket);
        curl_easy_setopt(c, CURLOPT_OPENSOCKETDATA, &t);
        curl_easy_setopt(c, CURLOPT_PREREQFUNCTION, &Prereq);
        curl_easy_setopt(c, CURLOPT_PREREQDATA, &t);
        curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &Header);
        curl_easy_setopt(c, CURLOPT_HEADERDATA, &t);
        curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Write);
        curl_easy_setopt(c, CURLOPT_WRITEDATA, &t);
        if (t.in) {
            curl_easy_setopt(c, CURLOPT_READFUNCTION, &Read);
            curl_easy_setopt(c, CURLOPT_READDATA, &t);
        }
    }

    // What this transfer asks of the server: the commands before it, a listing
    // command of its own, a file to send, or nothing beyond the commands.
    static QuoteList SetUpRequest(CURL* c, const T& t) {
        if (t.nobody) curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
        if (t.custom) curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, t.custom);
        QuoteList quote(nullptr, &curl_slist_free_all);
        for (const auto& q : t.quote) quote.reset(curl_slist_append(quote.release(), q.c_str()));
        if (quote) curl_easy_setopt(c, CURLOPT_QUOTE, quote.get());
        if (t.out || t.in) {
            // Larger pieces than libcurl's default: a filing of many megabytes
            // moves in fewer passes through the callbacks and the disk.
            curl_easy_setopt(c, CURLOPT_BUFFERSIZE, kTransferBuffer);
            curl_easy_setopt(c, CURLOPT_UPLOAD_BUFFERSIZE, kTransferBuffer);
        }
        if (t.in) {
            curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
            curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, t.in_size);
        }
        return quote;
    }
};

void FtpSession::SetUpConnection(void* handle, Transfer& t) {
    CURL* c = Handle(handle);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, Sftp() ? "sftp" : "ftp,ftps");
    curl_easy_setopt(c, CURLOPT_URL, t.url.c_str());
    curl_easy_setopt(c, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    // Plain ftp:// asks for TLS and uses it when the server has it.
    if (scheme_ == "ftp") curl_easy_setopt(c, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
    if (!ca_file_.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, ca_file_.c_str());
    if (!Sftp()) {
        curl_easy_setopt(c, CURLOPT_SSL_CTX_FUNCTION, &WatchCertificate);
        curl_easy_setopt(c, CURLOPT_SSL_CTX_DATA, &t.seen.certificate);
    }
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, timeout_);
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeout_);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, timeout_);
}

void FtpSession::SetUpLogin(void* handle, Transfer& t) {
    CURL* c = Handle(handle);
    if (!user_.empty()) curl_easy_setopt(c, CURLOPT_USERNAME, user_.c_str());
    if (!password_.empty()) {
        curl_easy_setopt(c, CURLOPT_PASSWORD, password_.c_str());
    } else if (use_netrc_) {
        curl_easy_setopt(c, CURLOPT_NETRC, static_cast<long>(CURL_NETRC_OPTIONAL));
    }
    if (!Sftp()) return;
    const std::string home = HomeFolder();
    const std::string known_hosts = home + "/.ssh/known_hosts";
    curl_easy_setopt(c, CURLOPT_SSH_KNOWNHOSTS, known_hosts.c_str());
    curl_easy_setopt(c, CURLOPT_SSH_KEYFUNCTION, &SessionHandle::HostKey);
    curl_easy_setopt(c, CURLOPT_SSH_KEYDATA, &t);
    // The user's own key first, as ssh does; the password when the server
    // does not take the key.
    long auth = 0;
    const std::string key = SshPrivateKey(home);
    if (!key.empty()) {
        const std::string pub = key + ".pub";
        curl_easy_setopt(c, CURLOPT_SSH_PRIVATE_KEYFILE, key.c_str());
        // Empty: libssh2 takes the public half from the private key.
        curl_easy_setopt(c, CURLOPT_SSH_PUBLIC_KEYFILE, IsFile(pub) ? pub.c_str() : "");
        auth |= CURLSSH_AUTH_PUBLICKEY;
    }
    if (!password_.empty() || use_netrc_ || auth == 0)
        auth |= CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD;
    curl_easy_setopt(c, CURLOPT_SSH_AUTH_TYPES, auth);
}

FtpResult FtpSession::Perform(Transfer& t) {
    if (cancel_) {
        Drop();
        return Failed(FtpFailure::Cancelled, "cancelled");
    }
    if (!address_error_.empty()) {
        const bool known = scheme_ == "ftp" || scheme_ == "ftps" || Sftp();
        return Failed(known ? FtpFailure::BadAddress : FtpFailure::UnsupportedScheme,
                      address_error_);
    }
    t.self = this;
    if (!curl_) {
        curl_ = curl_easy_init();
        t.connecting = true;
        encrypted_ = false;
        Emit(FtpState::Resolving);
    }
    CURL* c = Handle(curl_);
    curl_easy_reset(c);
    char errbuf[CURL_ERROR_SIZE] = {0};
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errbuf);
    SetUpConnection(c, t);
    SetUpLogin(c, t);
    SessionHandle::SetUpCallbacks(c, t);
    const QuoteList quote = SessionHandle::SetUpRequest(c, t);

    t.seen.code = curl_easy_perform(c);
    ForgetCertificate(c);
    if (t.seen.code != CURLE_OK) curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &t.seen.reply);
    t.seen.error_text = errbuf;
    t.seen.sftp = Sftp();
    t.seen.connect_only = t.connect_only;
    const TransferOutcome outcome = OutcomeOf(t.seen);
    for (const FtpState state : outcome.states) Emit(state);
    if (!outcome.keep_connection) Drop();
    return outcome.result;
}

}  // namespace tarlo::ftp
