// FtpSession's commands: the address, the remote folder, and each command
// text as one or more transfers (session_handle.cpp runs them; uploads are in
// ftp_upload.cpp).
#include "ftp/ftp_session.h"

#include <curl/curl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "ftp/session_transfer.h"

namespace tarlo::ftp {

namespace {

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

// 500 to 504: the server does not know the command, or not with these
// arguments.
bool CommandNotTaken(const FtpResult& r) {
    return r.failure == FtpFailure::ServerRefused && r.reply >= 500 && r.reply <= 504;
}

void Wipe(std::string& s) {
    volatile char* p = s.data();
    for (size_t i = 0; i < s.size(); ++i) p[i] = 0;
    s.clear();
}

}  // namespace

FtpSession::FtpSession() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

FtpSession::~FtpSession() {
    if (curl_) curl_easy_cleanup(Handle(curl_));
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

void FtpSession::Emit(FtpState state) {
    if (on_state_) on_state_(state);
}

void FtpSession::Drop() {
    // Closing says QUIT and waits for the answer; after a cancel or a broken
    // connection nobody should wait for a server that may never answer.
    if (curl_) std::thread([h = Handle(curl_)] { curl_easy_cleanup(h); }).detach();
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

FtpResult FtpSession::Connect() {
    if (curl_) return Succeeded();
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
    curl_easy_getinfo(Handle(curl_), CURLINFO_FTP_ENTRY_PATH, &entry);
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
        if (!r.ok && mlsd && mlsd_ == -1 && CommandNotTaken(r)) {
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
    if (HasLineBreakOrNul(remote) || HasLineBreakOrNul(local) || local.empty())
        return Failed(FtpFailure::BadCommand, "a name holds a line break");
    struct stat st {};
    if (!overwrite && ::lstat(local.c_str(), &st) == 0)
        return Failed(FtpFailure::LocalFileExists, local + " already exists");
    FtpResult r = Connect();
    if (!r.ok) return r;
    // Into a temporary file beside the target, renamed into place only when
    // complete: a broken transfer leaves nothing under the real name.
    const size_t slash = local.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : local.substr(0, slash + 1);
    std::string temp = folder + (slash == std::string::npos ? "/" : "") + ".tarlo-part-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return Failed(FtpFailure::LocalFileError,
                      "cannot write into " + folder + ": " + std::strerror(errno));
    }
    ::fchmod(fd, 0644);
    FILE* out = ::fdopen(fd, "wb");
    Transfer t;
    t.url = UrlFor(Resolve(remote));
    t.out = out;
    r = Perform(t);
    const bool written = std::fflush(out) == 0 && ::fsync(fd) == 0;
    std::fclose(out);
    if (r.ok && !written)
        r = Failed(FtpFailure::LocalFileError, "the local file could not be written");
    if (r.ok) {
        int placed = overwrite ? std::rename(temp.c_str(), local.c_str())
                               : ::link(temp.c_str(), local.c_str());
        if (placed != 0 && errno == EEXIST) {
            r = Failed(FtpFailure::LocalFileExists, local + " already exists");
        } else if (placed != 0) {
            r = Failed(FtpFailure::LocalFileError, local + ": " + std::strerror(errno));
        }
    }
    ::unlink(temp.c_str());
    return r;
}

FtpResult FtpSession::Close() {
    if (curl_) {
        Emit(FtpState::Disconnecting);
        curl_easy_cleanup(Handle(curl_));
        curl_ = nullptr;
        encrypted_ = false;
        Emit(FtpState::Disconnected);
    }
    return Succeeded();
}

FtpResult FtpSession::Execute(const std::string& text) {
    const auto cmd = ParseCommandText(text);
    if (!cmd) {
        return Failed(FtpFailure::BadCommand,
                      "not a command: " + text.substr(0, text.find_first_of("\r\n")));
    }
    return Run(*cmd);
}

FtpResult FtpSession::Run(const CommandText& cmd) {
    for (const auto& a : cmd.args) {
        // A line break in a name would end the command and start another.
        if (HasLineBreakOrNul(a))
            return Failed(FtpFailure::BadCommand, "a name holds a line break");
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
