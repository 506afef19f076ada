#pragma once
// A real OpenSSH server on 127.0.0.1 and a free port, for as long as the
// object lives: its own temporary host key and configuration, public-key
// logins only (a client key made for the test), and SFTP starting in a fresh
// temporary folder. HOME points at a temporary home whose .ssh holds that
// client key and a known_hosts line for the server; the previous HOME comes
// back when the object goes.
#include <string>

namespace tarlo::ftp::test {

class SshdTestServer {
  public:
    SshdTestServer();
    ~SshdTestServer();
    SshdTestServer(const SshdTestServer&) = delete;
    SshdTestServer& operator=(const SshdTestServer&) = delete;

    bool Running() const { return port_ > 0; }
    // Why the server could not run (no sshd on this machine, ...).
    const std::string& Problem() const { return problem_; }
    int Port() const { return port_; }
    // The SFTP login folder.
    const std::string& Root() const { return root_; }
    const std::string& Home() const { return home_; }
    // The user running the test: the only one the server lets in.
    const std::string& User() const { return user_; }
    // "sftp://USER@127.0.0.1:PORT/" + path
    std::string Url(const std::string& path = "") const;
    // The known_hosts line for this server's own key, and for a key that is
    // not its own.
    std::string KnownHostsLine() const { return known_line_; }
    std::string ForeignKnownHostsLine() const { return foreign_line_; }
    // Replaces HOME/.ssh/known_hosts; removes it when `remove` is set.
    void WriteKnownHosts(const std::string& text, bool remove = false) const;

  private:
    bool Start();
    int pid_ = -1;
    int port_ = 0;
    std::string base_;
    std::string root_;
    std::string home_;
    std::string user_;
    std::string old_home_;
    bool had_home_ = false;
    std::string known_line_;
    std::string foreign_line_;
    std::string problem_;
    bool locked_out_ = false;
};

}  // namespace tarlo::ftp::test
