// Uploads of FtpSession. The file travels under a temporary name beside its
// target and takes the target's name only when it arrived whole, so that a
// broken connection, a file that cannot be read to its end or a refused
// rename never leaves a cut-short file under the name a web site serves.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "ftp/ftp_session.h"
#include "ftp/session_transfer.h"

namespace tarlo::ftp {

namespace {

// Seconds a clean-up after a cancelled upload may take: the user who
// cancelled is waiting for it.
constexpr long kCleanupTimeout = 5;

// A hidden name no user file has: a word saying what it is, this program
// run's process id and a random part, so that two runs (or two users) never
// share one.
std::string TemporaryName(const char* what) {
    static const unsigned long long run = [] {
        std::random_device device;
        return (static_cast<unsigned long long>(device()) << 32) ^ device();
    }();
    static std::atomic<unsigned> count{0};
    char name[80];
    std::snprintf(name, sizeof name, ".tarlo-%s-%ld-%012llx-%u", what,
                  static_cast<long>(::getpid()), run & 0xffffffffffffULL, ++count);
    return name;
}

std::string Beside(const std::string& abs_path, const std::string& name) {
    const size_t slash = abs_path.rfind('/');
    return abs_path.substr(0, slash == std::string::npos ? 0 : slash + 1) + name;
}

}  // namespace

std::string LocalFileProblem(const std::string& path) {
    // Not blocking: a named pipe must not hold the program before it is refused.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return "cannot read " + path + ": " + std::strerror(errno);
    struct stat st {};
    std::string problem;
    char first = 0;
    if (::fstat(fd, &st) != 0) {
        problem = std::strerror(errno);
    } else if (S_ISDIR(st.st_mode)) {
        problem = "it is a folder";
    } else if (!S_ISREG(st.st_mode)) {
        problem = "it is not a regular file";
    } else if (::pread(fd, &first, 1, 0) < 0) {
        problem = std::strerror(errno);
    }
    ::close(fd);
    return problem.empty() ? std::string() : "cannot read " + path + ": " + problem;
}

FtpResult FtpSession::Put(const std::string& local, const std::string& remote) {
    FtpResult r = Failed(FtpFailure::LocalFileError, LocalFileProblem(local));
    if (!r.message.empty()) return r;
    FILE* in = std::fopen(local.c_str(), "rb");
    struct stat st {};
    if (!in || ::fstat(::fileno(in), &st) != 0) {
        r.message = "cannot read " + local + ": " + std::strerror(errno);
        if (in) std::fclose(in);
        return r;
    }
    r = Connect();
    if (!r.ok) {
        std::fclose(in);
        return r;
    }
    const std::string target = Resolve(remote);
    const std::string temp = Beside(target, TemporaryName("upload"));
    Transfer t;
    t.url = UrlFor(temp);
    t.in = in;
    t.in_path = local;
    t.in_size = static_cast<curl_off_t>(st.st_size);
    r = Perform(t);
    std::fclose(in);
    if (!r.ok) {
        // A server that refused the upload outright may have made no file.
        r.message += RemoveTemporary(temp, r.failure == FtpFailure::ServerRefused);
        return r;
    }
    return PlaceUpload(temp, target);
}

FtpResult FtpSession::PlaceUpload(const std::string& temp, const std::string& target) {
    FtpResult r = Rename(temp, target);
    if (r.ok) return r;
    // Some servers (SFTP version 3 among them) will not rename onto a file
    // that exists: the old file steps aside first, and comes back when the
    // new one cannot take its place.
    const std::string aside = Beside(target, TemporaryName("old"));
    std::string restored;
    if (Connected() && Rename(target, aside).ok) {
        FtpResult again = Rename(temp, target);
        if (again.ok) {
            RemoveFile(aside);
            return again;
        }
        r = again;
        // The old file gets its name back even when the user cancelled.
        const bool cancelled = cancel_.exchange(false);
        if (!Rename(aside, target).ok)
            restored = "; the file that was there is now named " + aside + " on the server";
        if (cancelled) cancel_ = true;
    }
    r.message = "the server did not let the uploaded file take the name " + target + ": " +
                r.message + restored + RemoveTemporary(temp, false);
    return r;
}

std::string FtpSession::RemoveTemporary(const std::string& temp, bool may_be_missing) {
    // A cancelled upload is tidied up too, on a connection of its own if the
    // old one went, within a short time: the user is waiting.
    const bool cancelled = cancel_.exchange(false);
    const long timeout = timeout_;
    if (cancelled) timeout_ = std::min(timeout_, kCleanupTimeout);
    FtpResult removed = Connect();
    if (removed.ok) removed = RemoveFile(temp);
    timeout_ = timeout;
    if (removed.ok) return "; the temporary file " + temp + " was deleted from the server";
    if (may_be_missing && removed.failure == FtpFailure::ServerRefused) return {};
    return "; the temporary file " + temp +
           " may be left on the server (deleting it failed: " + removed.message + ")";
}

}  // namespace tarlo::ftp
