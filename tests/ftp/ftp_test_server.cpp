#include "ftp_test_server.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

extern char** environ;

namespace tarlo::ftp::test {

std::string MakeTempFolder(const std::string& tag) {
    const char* base = std::getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/tarlo-" + tag + "-XXXXXX";
    const char* made = ::mkdtemp(templ.data());
    return made ? std::string(made) : std::string();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..") names.push_back(n);
        }
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> Leftovers(const std::string& folder) {
    std::vector<std::string> out;
    for (const auto& n : FolderNames(folder))
        if (n.rfind(".tarlo-", 0) == 0) out.push_back(n);
    return out;
}

std::thread WhenUploadIsUnderway(const std::string& folder, std::function<void()> act) {
    return std::thread([folder, act = std::move(act)] {
        // Waits at most a minute; the transfer's own time-out is 40 seconds.
        for (int i = 0; i < 6000; ++i) {
            const auto left = Leftovers(folder);
            struct stat st {};
            if (!left.empty() && ::stat((folder + "/" + left[0]).c_str(), &st) == 0 &&
                st.st_size > 0)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        act();
    });
}

FtpTestServer::FtpTestServer(std::vector<std::string> options) {
    root_ = MakeTempFolder("ftp-root");
    int fds[2];
    if (root_.empty() || ::pipe(fds) != 0) return;
    std::vector<std::string> argv = {FTP_TEST_PYTHON, FTP_TEST_SERVER, "--root",     root_,
                                     "--user",        kUser,           "--password", kPassword};
    argv.insert(argv.end(), options.begin(), options.end());
    std::vector<char*> cargv;
    for (auto& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, cargv[0], &actions, nullptr, cargv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        return;
    }
    pid_ = pid;
    // The server prints its port once it listens.
    std::string line;
    char c;
    while (::read(fds[0], &c, 1) == 1 && c != '\n') line += c;
    ::close(fds[0]);
    port_ = std::atoi(line.c_str());
}

FtpTestServer::~FtpTestServer() {
    Kill();
    if (!root_.empty()) {
        const std::string cmd = "rm -rf '" + root_ + "'";
        [[maybe_unused]] const int rc = std::system(cmd.c_str());
    }
}

void FtpTestServer::Kill() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}

SilentServer::SilentServer() {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
        ::listen(fd_, 8) != 0 || ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        return;
    port_ = ntohs(addr.sin_port);
}

SilentServer::~SilentServer() {
    if (fd_ >= 0) ::close(fd_);
}

std::string FtpTestServer::Url(const std::string& path) const {
    return "ftp://" + std::string(kUser) + "@127.0.0.1:" + std::to_string(port_) + "/" + path;
}

}  // namespace tarlo::ftp::test
