// The session over SFTP against a real OpenSSH server: listings, folders,
// files byte for byte, the folder commands with awkward names, host keys that
// are not trusted and logins that are refused, and tarlo-cli ftp as the
// program a script runs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "ftp/ftp_session.h"
#include "ftp_test_server.h"
#include "sshd_test_server.h"

extern char** environ;

namespace tarlo::ftp {
namespace {

using test::Exists;
using test::FolderNames;
using test::MakeTempFolder;
using test::ReadFile;
using test::SshdTestServer;
using test::WriteFile;

#define START_SSHD(server) \
    SshdTestServer server; \
    if (!server.Running()) GTEST_SKIP() << "no SSH server: " << server.Problem()

std::string RandomBytes(size_t n) {
    std::mt19937 gen(99);
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>(gen());
    s.replace(10, 6, "\r\n\n\r\r\n");
    return s;
}

void LogIn(FtpSession& s, const SshdTestServer& server, const std::string& path = "") {
    s.SetAddress(server.Url(path));
    // The server takes keys only: the password is offered and refused, the
    // key then lets the user in.
    s.SetPassword("not-this-one");
}

TEST(SftpSession, ListsFoldersAndWalksThemFromTheLoginFolder) {
    START_SSHD(server);
    const std::string root = server.Root();
    ASSERT_EQ(::mkdir((root + "/old filings").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((root + "/old filings/2025").c_str(), 0755), 0);
    WriteFile(root + "/annual report.htm", "<p>x</p>");
    WriteFile(root + "/old filings/10-Q.htm", "q");

    std::vector<FtpState> states;
    FtpSession s;
    s.SetStateCallback([&](FtpState st) { states.push_back(st); });
    LogIn(s, server);
    FtpResult r = s.Execute("DIR");
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.data, "annual report.htm\r\nold filings/\r\n");
    EXPECT_EQ(s.CurrentFolder(), root);
    EXPECT_TRUE(s.Encrypted());
    EXPECT_EQ(states, (std::vector<FtpState>{FtpState::Resolving, FtpState::Resolved,
                                             FtpState::Connecting, FtpState::Connected,
                                             FtpState::Requesting, FtpState::RequestSent,
                                             FtpState::Receiving, FtpState::ResponseReceived}));

    r = s.Execute("CD \"old filings/\"");
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(s.CurrentFolder(), root + "/old filings");
    EXPECT_EQ(s.Execute("DIR").data, "10-Q.htm\r\n2025/\r\n");
    // Neither a missing folder nor a file can be entered; the folder stays.
    for (const char* bad : {"CD \"nothing/\"", "CD \"10-Q.htm/\""}) {
        r = s.Execute(bad);
        EXPECT_FALSE(r.ok) << bad;
        EXPECT_EQ(s.CurrentFolder(), root + "/old filings") << bad;
    }
    EXPECT_TRUE(s.Execute("CD \"2025/\"").ok);
    EXPECT_TRUE(s.Execute("CDUP").ok);
    EXPECT_TRUE(s.Execute("CDUP").ok);
    EXPECT_EQ(s.CurrentFolder(), root);
    EXPECT_EQ(s.Execute("DIR").data, "annual report.htm\r\nold filings/\r\n");

    // A start folder under the login folder, and one named from the top.
    FtpSession home;
    LogIn(home, server, "~/old%20filings/");
    r = home.Execute("DIR");
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.data, "10-Q.htm\r\n2025/\r\n");
    FtpSession top;
    LogIn(top, server, root.substr(1) + "/old%20filings/2025/");
    r = top.Execute("DIR");
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.data, "");
    EXPECT_EQ(top.CurrentFolder(), root + "/old filings/2025");

    // A start folder that is not there fails every time, never listing
    // another folder in its place.
    FtpSession missing;
    LogIn(missing, server, "~/nope/");
    EXPECT_FALSE(missing.Execute("DIR").ok);
    r = missing.Execute("DIR");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.data, "");
}

TEST(SftpSession, FilesByteForByteAndFolderCommandsOnAwkwardNames) {
    START_SSHD(server);
    const std::string root = server.Root();
    const std::string local = MakeTempFolder("sftp-local");
    const std::string bytes = RandomBytes(700000);
    WriteFile(local + "/10-K.htm", bytes);
    FtpSession s;
    LogIn(s, server);

    // SFTP will not rename onto a file that exists: the old one steps aside
    // and the new one takes its name, with nothing left beside it.
    WriteFile(root + "/filing copy.htm", "old");
    FtpResult r = s.Execute("PUT \"" + local + "/10-K.htm\" \"filing copy.htm\"");
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(ReadFile(root + "/filing copy.htm"), bytes);
    EXPECT_EQ(FolderNames(root), std::vector<std::string>{"filing copy.htm"});
    r = s.Execute("PUT \"/proc/self/mem\" \"memory.htm\"");
    EXPECT_EQ(r.failure, FtpFailure::LocalFileError);
    EXPECT_EQ(FolderNames(root), std::vector<std::string>{"filing copy.htm"});

    // Names with blanks, quotes and a backslash reach the server whole (the
    // command texts cannot carry a quote; tarlo-cli and the session can).
    const std::string odd = "Q1 \"draft\" back\\slash";
    r = s.Run({Verb::Mkdir, {odd}});
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_TRUE(Exists(root + "/" + odd));
    ASSERT_TRUE(s.Run({Verb::Cd, {odd + "/"}}).ok);
    r = s.Execute("PUT \"" + local + "/10-K.htm\" \"inner.htm\"");
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(ReadFile(root + "/" + odd + "/inner.htm"), bytes);
    EXPECT_EQ(s.Execute("DIR").data, "inner.htm\r\n");

    // Downloads arrive whole under their name and never replace a local file.
    r = s.Execute("GET \"inner.htm\" \"" + local + "/back.htm\"");
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(ReadFile(local + "/back.htm"), bytes);
    WriteFile(local + "/mine.htm", "mine");
    r = s.Execute("GET \"inner.htm\" \"" + local + "/mine.htm\"");
    EXPECT_EQ(r.failure, FtpFailure::LocalFileExists);
    EXPECT_EQ(ReadFile(local + "/mine.htm"), "mine");
    r = s.Execute("GET \"missing.htm\" \"" + local + "/missing.htm\"");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.reply, 550) << r.message;
    EXPECT_EQ(FolderNames(local), (std::vector<std::string>{"10-K.htm", "back.htm", "mine.htm"}));

    // A folder that is not empty stays; emptied, it goes.
    r = s.Execute("CDUP");
    ASSERT_TRUE(r.ok);
    EXPECT_FALSE(s.Run({Verb::Rmdir, {odd + "/"}}).ok);
    EXPECT_TRUE(Exists(root + "/" + odd + "/inner.htm"));
    ASSERT_TRUE(s.Run({Verb::Delete, {odd + "/inner.htm"}}).ok);
    r = s.Run({Verb::Rmdir, {odd + "/"}});
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_FALSE(Exists(root + "/" + odd));
    // Blanks alone travel in command texts too.
    ASSERT_TRUE(s.Execute("MKDIR \"exhibit folder\"").ok);
    EXPECT_TRUE(Exists(root + "/exhibit folder"));
    ASSERT_TRUE(s.Execute("RMDIR \"exhibit folder/\"").ok);
    EXPECT_FALSE(Exists(root + "/exhibit folder"));

    // A refused delete says so, and the connection goes on.
    r = s.Execute("DELETE \"not there.htm\"");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.reply, 550) << r.message;
    EXPECT_TRUE(s.Connected());
    ASSERT_TRUE(s.Execute("DELETE \"filing copy.htm\"").ok);
    EXPECT_EQ(FolderNames(root), std::vector<std::string>{});
}

TEST(SftpSession, HostKeysNotInKnownHostsAreRefusedWithTheirReason) {
    START_SSHD(server);
    const std::string where = "127.0.0.1:" + std::to_string(server.Port());
    struct Case {
        const char* what;
        std::string known_hosts;
        bool remove;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"empty known_hosts", "", false,
         "for " + where + " is not known (not in ~/.ssh/known_hosts)"},
        {"no known_hosts", "", true,
         "for " + where + " is not known (there is no ~/.ssh/known_hosts)"},
        {"another key", server.ForeignKnownHostsLine() + "\n", false,
         "for " + where +
             " differs from the one in ~/.ssh/known_hosts (it offered a key of type ED25519)"},
        {"the key of another port",
         "[127.0.0.1]:" + std::to_string(server.Port() + 1) +
             server.KnownHostsLine().substr(server.KnownHostsLine().find(' ')) + "\n",
         false, "is not known"},
    };
    for (const Case& c : cases) {
        server.WriteKnownHosts(c.known_hosts, c.remove);
        FtpSession s;
        LogIn(s, server);
        const FtpResult r = s.Execute("DIR");
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_EQ(r.failure, FtpFailure::TlsRefused) << c.what;
        EXPECT_NE(r.message.find(c.expected), std::string::npos) << c.what << ": " << r.message;
        EXPECT_FALSE(s.Connected()) << c.what;
        EXPECT_EQ(r.data, "") << c.what;
    }
    server.WriteKnownHosts("# other servers\n" + server.KnownHostsLine() + "\n");
    FtpSession s;
    LogIn(s, server);
    EXPECT_TRUE(s.Execute("DIR").ok);
}

TEST(SftpSession, LoginsTheServerDoesNotTakeAreRefused) {
    START_SSHD(server);
    FtpSession stranger;
    stranger.SetUserName("nobody-here");
    stranger.SetPassword("x");
    stranger.SetAddress("sftp://127.0.0.1:" + std::to_string(server.Port()) + "/");
    FtpResult r = stranger.Execute("DIR");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure, FtpFailure::LoginFailed) << r.message;
    EXPECT_FALSE(stranger.Connected());

    // Without the key a password is all there is, and this server takes none.
    ::rename((server.Home() + "/.ssh/id_ed25519").c_str(), (server.Home() + "/.ssh/kept").c_str());
    FtpSession no_key;
    LogIn(no_key, server);
    r = no_key.Execute("DIR");
    EXPECT_EQ(r.failure, FtpFailure::LoginFailed) << r.message;
    ::rename((server.Home() + "/.ssh/kept").c_str(), (server.Home() + "/.ssh/id_ed25519").c_str());
    // The key alone, with no password set at all, is enough.
    FtpSession key_only;
    key_only.SetAddress(server.Url());
    r = key_only.Execute("DIR");
    EXPECT_TRUE(r.ok) << r.message;
}

struct ProgramRun {
    int code = -1;
    std::string out;
    std::string err;
};

// tarlo-cli itself, with HOME and no password in its environment.
ProgramRun RunProgram(std::vector<std::string> args, const std::string& home) {
    const std::string folder = MakeTempFolder("sftp-cli-run");
    std::vector<std::string> argv = {TARLO_CLI};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargv;
    for (auto& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    std::vector<std::string> env = {"HOME=" + home, "PATH=/usr/bin:/bin"};
    std::vector<char*> cenv;
    for (auto& e : env) cenv.push_back(e.data());
    cenv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, (folder + "/out").c_str(),
                                     O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (folder + "/err").c_str(),
                                     O_WRONLY | O_CREAT, 0600);
    pid_t pid = -1;
    ProgramRun run;
    if (posix_spawn(&pid, cargv[0], &actions, nullptr, cargv.data(), cenv.data()) == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = ReadFile(folder + "/out");
    run.err = ReadFile(folder + "/err");
    return run;
}

TEST(SftpCli, TheProgramListsSendsAndFetchesWithTheUsersKey) {
    START_SSHD(server);
    ASSERT_EQ(::mkdir((server.Root() + "/exhibits").c_str(), 0755), 0);
    WriteFile(server.Root() + "/ex 21.htm", "subsidiaries");
    const std::string local = MakeTempFolder("sftp-cli");
    WriteFile(local + "/10-K.htm", "<html>filing</html>");

    ProgramRun put = RunProgram({"ftp", "put", local + "/10-K.htm", server.Url()}, server.Home());
    EXPECT_EQ(put.code, 0) << put.err;
    EXPECT_EQ(ReadFile(server.Root() + "/10-K.htm"), "<html>filing</html>");
    const ProgramRun ls = RunProgram({"ftp", "ls", server.Url()}, server.Home());
    EXPECT_EQ(ls.code, 0) << ls.err;
    EXPECT_EQ(ls.out, "10-K.htm\nex 21.htm\nexhibits/\n");
    const ProgramRun get =
        RunProgram({"ftp", "get", server.Url("ex%2021.htm"), local}, server.Home());
    EXPECT_EQ(get.code, 0) << get.err;
    EXPECT_EQ(ReadFile(local + "/ex 21.htm"), "subsidiaries");

    server.WriteKnownHosts("");
    const ProgramRun refused = RunProgram({"ftp", "ls", server.Url()}, server.Home());
    EXPECT_EQ(refused.code, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("is not known"), std::string::npos) << refused.err;
}

}  // namespace
}  // namespace tarlo::ftp
