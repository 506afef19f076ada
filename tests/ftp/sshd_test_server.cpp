#include "sshd_test_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "ftp_test_server.h"

extern char** environ;

namespace tarlo::ftp::test {

namespace {

constexpr const char* kSshd = "/usr/sbin/sshd";
constexpr const char* kKeygen = "/usr/bin/ssh-keygen";
constexpr const char* kSsh = "/usr/bin/ssh";

// Runs argv to its end, its output into `log`; true when it exits 0.
bool RunTool(std::vector<std::string> argv, const std::string& log) {
    std::vector<char*> cargv;
    for (auto& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, cargv[0], &actions, nullptr, cargv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool MakeKey(const std::string& path, const std::string& log) {
    // ssh-keygen would ask before replacing a key of an earlier attempt.
    ::unlink(path.c_str());
    ::unlink((path + ".pub").c_str());
    return RunTool({kKeygen, "-q", "-t", "ed25519", "-N", "", "-C", "tarlo-test", "-f", path}, log);
}

// "ssh-ed25519 AAAA..." from a .pub file: its first two fields.
std::string KeyOf(const std::string& pub) {
    const std::string text = ReadFile(pub);
    const size_t first = text.find(' ');
    if (first == std::string::npos) return {};
    const size_t second = text.find_first_of(" \n", first + 1);
    return text.substr(0, second);
}

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&addr), len) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    if (fd >= 0) ::close(fd);
    return port;
}

}  // namespace

SshdTestServer::SshdTestServer() {
    if (const char* h = std::getenv("HOME")) {
        had_home_ = true;
        old_home_ = h;
    }
    if (const passwd* pw = ::getpwuid(::getuid())) user_ = pw->pw_name;
    if (::access(kSshd, X_OK) != 0 || ::access(kKeygen, X_OK) != 0 || ::access(kSsh, X_OK) != 0) {
        problem_ = std::string(kSshd) + ", " + kKeygen + " or " + kSsh +
                   " is missing (install openssh-server and openssh-client)";
        return;
    }
    base_ = MakeTempFolder("sshd");
    if (base_.empty()) {
        problem_ = "cannot make a temporary folder";
        return;
    }
    // Paths as the server reports them: without symbolic links.
    if (char* real = ::realpath(base_.c_str(), nullptr)) {
        base_ = real;
        std::free(real);
    }
    root_ = base_ + "/root";
    home_ = base_ + "/home";
    ::mkdir(root_.c_str(), 0755);
    ::mkdir(home_.c_str(), 0700);
    ::mkdir((home_ + "/.ssh").c_str(), 0700);
    ::setenv("HOME", home_.c_str(), 1);
    // Another attempt helps when the port was taken before sshd bound it.
    for (int attempt = 0; attempt < 3 && !Running() && !locked_out_; ++attempt) Start();
}

bool SshdTestServer::Start() {
    const std::string log = base_ + "/sshd.log";
    if (!MakeKey(base_ + "/host_key", log) || !MakeKey(base_ + "/other_host_key", log) ||
        !MakeKey(home_ + "/.ssh/id_ed25519", log)) {
        problem_ = "ssh-keygen failed: " + ReadFile(log);
        return false;
    }
    WriteFile(base_ + "/authorized_keys", ReadFile(home_ + "/.ssh/id_ed25519.pub"));
    // sshd started by root wants its privilege separation folder.
    if (::geteuid() == 0) ::mkdir("/run/sshd", 0755);
    const int port = FreePort();
    const std::string config = base_ + "/sshd_config";
    WriteFile(config,
              "ListenAddress 127.0.0.1\n"
              "Port " +
                  std::to_string(port) +
                  "\n"
                  "HostKey " +
                  base_ +
                  "/host_key\n"
                  "PidFile " +
                  base_ +
                  "/sshd.pid\n"
                  "AuthorizedKeysFile " +
                  base_ +
                  "/authorized_keys\n"
                  "PubkeyAuthentication yes\n"
                  "PasswordAuthentication no\n"
                  "KbdInteractiveAuthentication no\n"
                  "PermitRootLogin prohibit-password\n"
                  "UsePAM no\n"
                  "StrictModes no\n"
                  "UseDNS no\n"
                  "Subsystem sftp internal-sftp -d " +
                  root_ + "\n");
    std::vector<std::string> argv = {kSshd, "-D", "-e", "-f", config};
    std::vector<char*> cargv;
    for (auto& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    ::truncate(log.c_str(), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0600);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, cargv[0], &actions, nullptr, cargv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        problem_ = "cannot start sshd";
        return false;
    }
    // Ready once it says it listens; gone if it could not (a port taken in
    // the meantime, a configuration this sshd refuses).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        if (ReadFile(log).find("Server listening on") != std::string::npos) {
            pid_ = pid;
            port_ = port;
            known_line_ =
                "[127.0.0.1]:" + std::to_string(port) + " " + KeyOf(base_ + "/host_key.pub");
            foreign_line_ =
                "[127.0.0.1]:" + std::to_string(port) + " " + KeyOf(base_ + "/other_host_key.pub");
            WriteKnownHosts(known_line_ + "\n");
            // OpenSSH's own client must get in first: an account the system
            // keeps locked (as for "nobody") is this machine's trouble, not
            // the session's.
            const std::string key = home_ + "/.ssh/id_ed25519";
            if (!RunTool({kSsh, "-F", "/dev/null", "-o", "BatchMode=yes", "-o",
                          "StrictHostKeyChecking=yes", "-o",
                          "UserKnownHostsFile=" + home_ + "/.ssh/known_hosts", "-o",
                          "IdentitiesOnly=yes", "-i", key, "-p", std::to_string(port), "-s",
                          user_ + "@127.0.0.1", "sftp"},
                         base_ + "/probe.log")) {
                problem_ = "OpenSSH's own client cannot log in as " + user_ + ": " +
                           ReadFile(base_ + "/probe.log") + ReadFile(log);
                ::kill(pid, SIGKILL);
                ::waitpid(pid, nullptr, 0);
                pid_ = -1;
                port_ = 0;
                locked_out_ = true;
                return false;
            }
            problem_.clear();
            return true;
        }
        if (::waitpid(pid, nullptr, WNOHANG) == pid) {
            problem_ = "sshd stopped: " + ReadFile(log);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    problem_ = "sshd never listened: " + ReadFile(log);
    return false;
}

SshdTestServer::~SshdTestServer() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    if (had_home_)
        ::setenv("HOME", old_home_.c_str(), 1);
    else
        ::unsetenv("HOME");
    if (!base_.empty()) {
        const std::string cmd = "rm -rf '" + base_ + "'";
        [[maybe_unused]] const int rc = std::system(cmd.c_str());
    }
}

std::string SshdTestServer::Url(const std::string& path) const {
    return "sftp://" + user_ + "@127.0.0.1:" + std::to_string(port_) + "/" + path;
}

void SshdTestServer::WriteKnownHosts(const std::string& text, bool remove) const {
    const std::string path = home_ + "/.ssh/known_hosts";
    if (remove)
        ::unlink(path.c_str());
    else
        WriteFile(path, text);
}

}  // namespace tarlo::ftp::test
