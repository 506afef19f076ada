#pragma once
// A real FTP server (tests/ftp/ftp_server.py on pyftpdlib) on 127.0.0.1 and a
// free port, serving a fresh temporary folder, for as long as the object lives.
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tarlo::ftp::test {

class FtpTestServer {
  public:
    // options are ftp_server.py's flags ("--no-mlsd", "--hostile", "--slow", "N").
    explicit FtpTestServer(std::vector<std::string> options = {});
    ~FtpTestServer();
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    bool Running() const { return port_ > 0; }
    int Port() const { return port_; }
    const std::string& Root() const { return root_; }
    // "ftp://ann@127.0.0.1:PORT/" + path
    std::string Url(const std::string& path = "") const;
    // Ends the server at once, as a crash or a cut cable would.
    void Kill();

    static constexpr const char* kUser = "ann";
    static constexpr const char* kPassword = "secret";

  private:
    int pid_ = -1;
    int port_ = 0;
    std::string root_;
};

// A port on 127.0.0.1 that takes connections and never says a word, as a
// server that has hung does.
class SilentServer {
  public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    int Port() const { return port_; }

  private:
    int fd_ = -1;
    int port_ = 0;
};

// A fresh private folder (0700) under the test's temporary folder.
std::string MakeTempFolder(const std::string& tag);
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
// Names in folder, sorted, without "." and "..".
std::vector<std::string> FolderNames(const std::string& folder);
// The names in folder an upload left under its temporary name.
std::vector<std::string> Leftovers(const std::string& folder);
// Runs `act` on a thread of its own once an upload's temporary file in
// folder holds data, so that the transfer is truly under way.
std::thread WhenUploadIsUnderway(const std::string& folder, std::function<void()> act);

}  // namespace tarlo::ftp::test
