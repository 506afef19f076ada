#include "ftp/ftp_session.h"

#include "ftp/session_transfer.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace tarlo::ftp {

namespace {

constexpr long kTransferBuffer = 256 * 1024;

CURL* H(void* p) {
    return static_cast<CURL*>(p);
}

bool HasLineBreakOrNul(const std::string& s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos;
}

// "/a/./b/../c/" -> "/a/c"; never climbs above "/".
std::string NormalisePath(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out;
    for (const auto& p : parts) out += "/" + p;
    return out.empty() ? "/" : out;
}

std::string Decode(const std::string& s) {
    int len = 0;
    char* d = curl_easy_unescape(nullptr, s.c_str(), static_cast<int>(s.size()), &len);
    if (!d) return s;
    std::string out(d, static_cast<size_t>(len));
    curl_free(d);
    return out;
}

std::string Escape(const std::string& s) {
    char* e = curl_easy_escape(nullptr, s.c_str(), static_cast<int>(s.size()));
    std::string out = e ? e : "";
    curl_free(e);
    return out;
}

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

// A path as SFTP's quote commands read it: in double quotes, with the
// backslashes and quotes inside escaped, so that blanks and quotes in a
// folder's name stay part of the name.
std::string SftpQuotedPath(const std::string& path) {
    std::string out = "\"";
    for (const char c : path) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
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

void Wipe(std::string& s) {
    volatile char* p = s.data();
    for (size_t i = 0; i < s.size(); ++i) p[i] = 0;
    s.clear();
}

// What the TLS handshake learned of the server's certificate, for the
// message that says why it was refused.
struct CertificateSeen {
    std::string subject;  // who the server's own certificate was issued to
    std::string issuer;   // who issued it
    std::string reason;   // the first reason it was not trusted
};

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

}  // namespace

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

struct SessionCallbacks {
    using T = FtpSession::Transfer;

    static size_t Write(char* data, size_t size, size_t n, void* p) {
        auto* t = static_cast<T*>(p);
        const size_t bytes = size * n;
        if (!t->receiving) {
            t->receiving = true;
            t->self->Emit(kReceiving);
        }
        if (t->sink) t->sink->append(data, bytes);
        if (t->out && std::fwrite(data, 1, bytes, t->out) != bytes) {
            t->write_failed = true;
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
        if (got == 0 && std::ferror(t->in)) {
            t->read_failure = "cannot read " + t->in_path + ": " + std::strerror(errno);
            return CURL_READFUNC_ABORT;
        }
        if (got == 0 && t->in_done < t->in_size) {
            t->read_failure = "cannot read " + t->in_path + ": it became shorter while it was sent";
            return CURL_READFUNC_ABORT;
        }
        if (t->in_size >= 0 && t->in_done > t->in_size) {
            t->read_failure = "cannot read " + t->in_path + ": it grew while it was sent";
            return CURL_READFUNC_ABORT;
        }
        return got;
    }

    static size_t Header(char* data, size_t size, size_t n, void* p) {
        auto* t = static_cast<T*>(p);
        std::string line(data, size * n);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        if (line.size() >= 3 && (line[0] == '4' || line[0] == '5')) t->refusal = line;
        if (line.rfind("234", 0) == 0) t->self->encrypted_ = true;  // AUTH accepted
        return size * n;
    }

    static int Progress(void* p, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
        auto* t = static_cast<T*>(p);
        if (t->requested && !t->sent && !t->quiet) {
            t->sent = true;
            t->self->Emit(kRequestSent);
        }
        return t->self->cancel_ ? 1 : 0;
    }

    static curl_socket_t OpenSocket(void* p, curlsocktype, struct curl_sockaddr* a) {
        auto* t = static_cast<T*>(p);
        if (t->connecting && !t->requested) {
            t->self->Emit(kResolved);
            t->self->Emit(kConnecting);
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
            t->host_key_refusal =
                "The server's host key for " + where +
                " differs from the one in ~/.ssh/known_hosts (it offered a key of type " + kind +
                "); the server may have been replaced or someone may be "
                "in between. Ask its administrator before you connect.";
        } else {
            t->host_key_refusal =
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
            t->self->Emit(kConnected);
        }
        t->requested = true;
        if (!t->quiet) t->self->Emit(kRequesting);
        return CURL_PREREQFUNC_OK;
    }
};

FtpSession::FtpSession() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

FtpSession::~FtpSession() {
    if (curl_) curl_easy_cleanup(H(curl_));
    Wipe(password_);
}

void FtpSession::SetPassword(const std::string& password) {
    Wipe(password_);
    password_ = password;
}

void FtpSession::SetAddress(const std::string& address) {
    Drop();
    cwd_.clear();
    address_error_.clear();
    std::string rest = address;
    const size_t sep = rest.find("://");
    scheme_ = "ftp";
    if (sep != std::string::npos) {
        scheme_ = rest.substr(0, sep);
        for (char& c : scheme_) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        rest = rest.substr(sep + 3);
        if (scheme_ != "ftp" && scheme_ != "ftps" && scheme_ != "sftp")
            address_error_ =
                "only ftp://, ftps:// and sftp:// addresses are supported, not " + scheme_ + "://";
    }
    const size_t slash = rest.find('/');
    host_ = rest.substr(0, slash);
    start_path_ = slash == std::string::npos ? "" : Decode(rest.substr(slash + 1));
    const size_t at = host_.rfind('@');
    if (at != std::string::npos) {
        // A password written into the address is not taken: it would sit in
        // shell histories and process lists.
        const std::string userinfo = host_.substr(0, at);
        if (user_.empty()) user_ = Decode(userinfo.substr(0, userinfo.find(':')));
        host_ = host_.substr(at + 1);
    }
    if (host_.empty() && address_error_.empty()) address_error_ = "the address names no server";
    if (HasLineBreakOrNul(start_path_)) address_error_ = "the address holds a line break";
}

void FtpSession::Emit(int state) {
    if (on_state_) on_state_(state);
}

void FtpSession::Drop() {
    // Closing says QUIT and waits for the answer; after a cancel or a broken
    // connection nobody should wait for a server that may never answer.
    if (curl_) std::thread([h = H(curl_)] { curl_easy_cleanup(h); }).detach();
    curl_ = nullptr;
    encrypted_ = false;
}

std::string FtpSession::UrlFor(const std::string& abs_path) const {
    if (Sftp()) {
        // An sftp:// path is absolute as it stands: each name escaped, the
        // slashes between them kept.
        std::string url = scheme_ + "://" + host_;
        size_t start = 0;
        for (;;) {
            const size_t slash = abs_path.find('/', start);
            url += Escape(abs_path.substr(start, slash - start));
            if (slash == std::string::npos) break;
            url += '/';
            start = slash + 1;
        }
        return url;
    }
    // The whole path escaped, its first "/" too: with no CWD between the
    // commands every name the server sees is absolute.
    return scheme_ + "://" + host_ + "/" + Escape(abs_path);
}

std::string FtpSession::Resolve(const std::string& name) const {
    if (!name.empty() && name[0] == '/') return NormalisePath(name);
    return NormalisePath(cwd_ + "/" + name);
}

FtpResult FtpSession::Perform(Transfer& t) {
    FtpResult r;
    if (cancel_) {
        Drop();
        r.code = kCodeCancelled;
        r.message = "cancelled";
        return r;
    }
    if (!address_error_.empty()) {
        r.code = scheme_ == "ftp" || scheme_ == "ftps" || Sftp() ? kCodeBadAddress
                                                                 : kCodeUnsupportedScheme;
        r.message = address_error_;
        return r;
    }
    t.self = this;
    if (!curl_) {
        curl_ = curl_easy_init();
        t.connecting = true;
        encrypted_ = false;
        Emit(kResolving);
    }
    CURL* c = H(curl_);
    curl_easy_reset(c);
    char errbuf[CURL_ERROR_SIZE] = {0};
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errbuf);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, Sftp() ? "sftp" : "ftp,ftps");
    curl_easy_setopt(c, CURLOPT_URL, t.url.c_str());
    curl_easy_setopt(c, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    // Plain ftp:// asks for TLS and uses it when the server has it.
    if (scheme_ == "ftp") curl_easy_setopt(c, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
    if (!ca_file_.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, ca_file_.c_str());
    CertificateSeen certificate;
    if (!Sftp()) {
        curl_easy_setopt(c, CURLOPT_SSL_CTX_FUNCTION, &WatchCertificate);
        curl_easy_setopt(c, CURLOPT_SSL_CTX_DATA, &certificate);
    }
    if (!user_.empty()) curl_easy_setopt(c, CURLOPT_USERNAME, user_.c_str());
    if (!password_.empty()) {
        curl_easy_setopt(c, CURLOPT_PASSWORD, password_.c_str());
    } else if (use_netrc_) {
        curl_easy_setopt(c, CURLOPT_NETRC, static_cast<long>(CURL_NETRC_OPTIONAL));
    }
    if (Sftp()) {
        const std::string home = HomeFolder();
        const std::string known_hosts = home + "/.ssh/known_hosts";
        curl_easy_setopt(c, CURLOPT_SSH_KNOWNHOSTS, known_hosts.c_str());
        curl_easy_setopt(c, CURLOPT_SSH_KEYFUNCTION, &SessionCallbacks::HostKey);
        curl_easy_setopt(c, CURLOPT_SSH_KEYDATA, &t);
        // The user's own key first, as ssh does; the password when the
        // server does not take the key.
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
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, timeout_);
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeout_);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, timeout_);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &SessionCallbacks::Progress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &t);
    curl_easy_setopt(c, CURLOPT_OPENSOCKETFUNCTION, &SessionCallbacks::OpenSocket);
    curl_easy_setopt(c, CURLOPT_OPENSOCKETDATA, &t);
    curl_easy_setopt(c, CURLOPT_PREREQFUNCTION, &SessionCallbacks::Prereq);
    curl_easy_setopt(c, CURLOPT_PREREQDATA, &t);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &SessionCallbacks::Header);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &SessionCallbacks::Write);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &t);
    if (t.nobody) curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
    if (t.custom) curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, t.custom);
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> quote(nullptr,
                                                                      &curl_slist_free_all);
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
        curl_easy_setopt(c, CURLOPT_READFUNCTION, &SessionCallbacks::Read);
        curl_easy_setopt(c, CURLOPT_READDATA, &t);
        curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, t.in_size);
    }

    const CURLcode rc = curl_easy_perform(c);
    // The connection outlives `certificate`: its context must not point at it.
    curl_tlssessioninfo* tls = nullptr;
    if (curl_easy_getinfo(c, CURLINFO_TLS_SSL_PTR, &tls) == CURLE_OK && tls &&
        tls->backend == CURLSSLBACKEND_OPENSSL && tls->internals) {
        SSL_CTX_set_ex_data(SSL_get_SSL_CTX(static_cast<SSL*>(tls->internals)),
                            CertificateSeenIndex(), nullptr);
    }
    if (rc == CURLE_OK) {
        if (!t.connect_only) {
            if (!t.receiving) Emit(kReceiving);
            Emit(kResponseReceived);
        }
        r.ok = true;
        return r;
    }
    long reply = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &reply);
    r.message = errbuf[0] ? errbuf : curl_easy_strerror(rc);
    bool drop = true;
    switch (rc) {
        case CURLE_ABORTED_BY_CALLBACK:
            r.code = kCodeCancelled;
            r.message = "cancelled";
            break;
        case CURLE_OPERATION_TIMEDOUT:
            r.code = kCodeTimeout;
            break;
        case CURLE_COULDNT_RESOLVE_HOST:
            r.code = kCodeHostNotFound;
            break;
        case CURLE_COULDNT_CONNECT:
            r.code = kCodeCannotConnect;
            break;
        case CURLE_LOGIN_DENIED:
            r.code = kCodeLoginFailed;
            break;
        case CURLE_URL_MALFORMAT:
            r.code = kCodeBadAddress;
            break;
        case CURLE_UNSUPPORTED_PROTOCOL:
            r.code = kCodeUnsupportedScheme;
            break;
        case CURLE_PEER_FAILED_VERIFICATION:
            if (Sftp()) {
                r.code = kCodeTlsRefused;
                r.message = t.host_key_refusal.empty()
                                ? "the server's host key was refused: " + r.message
                                : t.host_key_refusal;
                break;
            }
            [[fallthrough]];
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_USE_SSL_FAILED:
            r.code = kCodeTlsRefused;
            if (rc == CURLE_PEER_FAILED_VERIFICATION || !certificate.reason.empty()) {
                r.message =
                    CertificateRefusal(certificate.subject, certificate.issuer,
                                       certificate.reason.empty() ? r.message : certificate.reason);
            } else {
                r.message = "the server's TLS connection failed: " + r.message;
            }
            break;
        case CURLE_WRITE_ERROR:
            r.code = kCodeLocalFileError;
            r.message = "the local file could not be written";
            drop = !t.write_failed;
            break;
        case CURLE_REMOTE_ACCESS_DENIED:
        case CURLE_REMOTE_FILE_NOT_FOUND:
        case CURLE_QUOTE_ERROR:
        case CURLE_UPLOAD_FAILED:
        case CURLE_FTP_COULDNT_RETR_FILE:
        case CURLE_REMOTE_DISK_FULL:
        case CURLE_REMOTE_FILE_EXISTS:
            r.code = reply >= 400 ? static_cast<int>(reply) : 550;
            drop = false;
            break;
        default:
            // The connection broke off (reset, closed, cut short).
            r.code = kCodeConnectionAborted;
            r.message = "the connection to the server was lost (" + r.message + ")";
            break;
    }
    if (!t.read_failure.empty()) {
        // Aborted by the read callback, not by the user.
        r.code = kCodeLocalFileError;
        r.message = t.read_failure;
        drop = true;
    } else if (!t.refusal.empty() && r.code >= 400 && r.code < 600) {
        // The server's own words say more than libcurl's.
        r.message = "the server answered \"" + t.refusal + "\"";
    } else if (!t.refusal.empty() && r.code != kCodeCancelled) {
        r.message += " (the server answered \"" + t.refusal + "\")";
    }
    if (drop) Drop();
    return r;
}

FtpResult FtpSession::Connect() {
    if (curl_) return FtpResult{true, 0, {}, {}, {}};
    Transfer t;
    t.url = scheme_ + "://" + host_ + "/";
    t.nobody = true;
    t.quiet = true;
    t.connect_only = true;
    bool absolute = !start_path_.empty() && start_path_[0] == '/';
    std::string start = start_path_;
    if (Sftp()) {
        // "sftp://host/docs" is /docs; "sftp://host/~/docs" and a bare
        // "sftp://host/" are under the login folder.
        if (start == "~" || start.rfind("~/", 0) == 0) {
            start.erase(0, 1);
        } else if (!start.empty()) {
            absolute = true;
        }
    } else if (!start.empty()) {
        t.quote.push_back("CWD " + start);
    }
    FtpResult r = Perform(t);
    if (!r.ok) {
        // The start folder was refused on a connection that is otherwise
        // fine; kept, its next command would act in the login folder instead.
        Drop();
        return r;
    }
    if (scheme_ == "ftps" || Sftp()) encrypted_ = true;
    const char* entry = nullptr;
    curl_easy_getinfo(H(curl_), CURLINFO_FTP_ENTRY_PATH, &entry);
    const std::string home = entry && entry[0] == '/' ? entry : "/";
    const std::string folder =
        absolute ? NormalisePath("/" + start) : NormalisePath(home + "/" + start);
    if (Sftp() && folder != home) {
        r = SftpEnter(folder, true);
        if (!r.ok) {
            Drop();
            return r;
        }
    }
    cwd_ = folder;
    return r;
}

FtpResult FtpSession::List() {
    for (bool again = false;; again = true) {
        std::string data;
        Transfer t;
        t.quiet = again;
        t.url = UrlFor(cwd_ == "/" ? "/" : cwd_ + "/");
        t.sink = &data;
        const bool mlsd = mlsd_ != 0 && !Sftp();
        if (mlsd) t.custom = "MLSD";
        FtpResult r = Perform(t);
        if (!r.ok && mlsd && mlsd_ == -1 && r.code >= 500 && r.code <= 504) {
            mlsd_ = 0;  // an older server: LIST it is
            continue;
        }
        if (!r.ok) return r;
        if (mlsd) mlsd_ = 1;
        r.entries = ParseListing(data, mlsd);
        std::sort(r.entries.begin(), r.entries.end(),
                  [](const RemoteEntry& a, const RemoteEntry& b) { return a.name < b.name; });
        r.data = FormatListing(r.entries);
        return r;
    }
}

FtpResult FtpSession::Quote(const std::string& line) {
    Transfer t;
    t.url = scheme_ + "://" + host_ + "/";
    t.nobody = true;
    t.quote.push_back(line);
    return Perform(t);
}

FtpResult FtpSession::SftpQuote(const std::string& verb, const std::string& abs_path) {
    Transfer t;
    t.url = scheme_ + "://" + host_ + "/";
    t.nobody = true;
    t.quote.push_back(verb + " " + SftpQuotedPath(abs_path));
    return Perform(t);
}

FtpResult FtpSession::Commands(const std::vector<std::string>& lines) {
    Transfer t;
    t.url = scheme_ + "://" + host_ + "/";
    t.nobody = true;
    t.quiet = true;
    t.connect_only = true;
    t.quote = lines;
    return Perform(t);
}

FtpResult FtpSession::Rename(const std::string& from, const std::string& to) {
    if (Sftp()) return Commands({"rename " + SftpQuotedPath(from) + " " + SftpQuotedPath(to)});
    return Commands({"RNFR " + from, "RNTO " + to});
}

FtpResult FtpSession::RemoveFile(const std::string& abs_path) {
    return Commands({Sftp() ? "rm " + SftpQuotedPath(abs_path) : "DELE " + abs_path});
}

FtpResult FtpSession::SftpEnter(const std::string& abs_path, bool connecting) {
    // Reading the folder proves it is one and may be read; its entries are
    // not needed here.
    Transfer t;
    t.quiet = connecting;
    t.connect_only = connecting;
    t.url = UrlFor(abs_path == "/" ? "/" : abs_path + "/");
    return Perform(t);
}

FtpResult FtpSession::Get(const std::string& remote, const std::string& local, bool overwrite) {
    FtpResult r;
    if (HasLineBreakOrNul(remote) || HasLineBreakOrNul(local) || local.empty()) {
        r.code = kCodeBadCommand;
        r.message = "a name holds a line break";
        return r;
    }
    struct stat st {};
    if (!overwrite && ::lstat(local.c_str(), &st) == 0) {
        r.code = kCodeLocalFileExists;
        r.message = local + " already exists";
        return r;
    }
    r = Connect();
    if (!r.ok) return r;
    // Into a temporary file beside the target, renamed into place only when
    // complete: a broken transfer leaves nothing under the real name.
    const size_t slash = local.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : local.substr(0, slash + 1);
    std::string temp = folder + (slash == std::string::npos ? "/" : "") + ".tarlo-part-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        r.ok = false;
        r.code = kCodeLocalFileError;
        r.message = "cannot write into " + folder + ": " + std::strerror(errno);
        return r;
    }
    ::fchmod(fd, 0644);
    FILE* out = ::fdopen(fd, "wb");
    Transfer t;
    t.url = UrlFor(Resolve(remote));
    t.out = out;
    r = Perform(t);
    const bool written = std::fflush(out) == 0 && ::fsync(fd) == 0;
    std::fclose(out);
    if (r.ok && !written) {
        r.ok = false;
        r.code = kCodeLocalFileError;
        r.message = "the local file could not be written";
    }
    if (r.ok) {
        int placed = overwrite ? std::rename(temp.c_str(), local.c_str())
                               : ::link(temp.c_str(), local.c_str());
        if (placed != 0) {
            r.ok = false;
            r.code = errno == EEXIST ? kCodeLocalFileExists : kCodeLocalFileError;
            r.message = local + (errno == EEXIST ? " already exists"
                                                 : ": " + std::string(std::strerror(errno)));
        }
    }
    ::unlink(temp.c_str());
    return r;
}

FtpResult FtpSession::Close() {
    if (curl_) {
        Emit(kDisconnecting);
        curl_easy_cleanup(H(curl_));
        curl_ = nullptr;
        encrypted_ = false;
        Emit(kDisconnected);
    }
    return FtpResult{true, 0, {}, {}, {}};
}

FtpResult FtpSession::Execute(const std::string& text) {
    const auto cmd = ParseCommandText(text);
    if (!cmd) {
        FtpResult r;
        r.code = kCodeBadCommand;
        r.message = "not a command: " + text.substr(0, text.find_first_of("\r\n"));
        return r;
    }
    return Run(*cmd);
}

FtpResult FtpSession::Run(const CommandText& cmd) {
    for (const auto& a : cmd.args) {
        // A line break in a name would end the command and start another.
        if (HasLineBreakOrNul(a)) {
            FtpResult r;
            r.code = kCodeBadCommand;
            r.message = "a name holds a line break";
            return r;
        }
    }
    if (cmd.verb == Verb::Close) return Close();
    if (cmd.verb == Verb::Get) return Get(cmd.args[0], cmd.args[1], false);
    if (cmd.verb == Verb::Put) return Put(cmd.args[0], cmd.args[1]);
    FtpResult r = Connect();
    if (!r.ok) return r;
    switch (cmd.verb) {
        case Verb::Dir:
            return List();
        case Verb::Cd:
        case Verb::Cdup: {
            const std::string target = Resolve(cmd.verb == Verb::Cd ? cmd.args[0] : "..");
            r = Sftp() ? SftpEnter(target, false) : Quote("CWD " + target);
            if (r.ok) cwd_ = target;
            return r;
        }
        case Verb::Delete:
            return Sftp() ? SftpQuote("rm", Resolve(cmd.args[0]))
                          : Quote("DELE " + Resolve(cmd.args[0]));
        case Verb::Rmdir:
            return Sftp() ? SftpQuote("rmdir", Resolve(cmd.args[0]))
                          : Quote("RMD " + Resolve(cmd.args[0]));
        case Verb::Mkdir:
            return Sftp() ? SftpQuote("mkdir", Resolve(cmd.args[0]))
                          : Quote("MKD " + Resolve(cmd.args[0]));
        default:
            return r;
    }
}

}  // namespace tarlo::ftp
