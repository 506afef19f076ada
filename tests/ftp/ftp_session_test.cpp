// The FTP session against a real server: login, listings, folders, files
// byte for byte, and what a broken or cancelled transfer leaves behind.
#include "ftp/ftp_session.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>
#include <thread>

#include "ftp_test_server.h"

namespace tarlo::ftp {
namespace {

using test::Exists;
using test::FolderNames;
using test::FtpTestServer;
using test::Leftovers;
using test::MakeTempFolder;
using test::ReadFile;
using test::WhenUploadIsUnderway;
using test::WriteFile;

std::string RandomBytes(size_t n) {
    std::mt19937 gen(1234);
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>(gen());
    // Line ends that a text-mode transfer would rewrite.
    s.replace(100, 6, "\r\n\n\r\r\n");
    return s;
}

void LogIn(FtpSession& s, const FtpTestServer& server, const std::string& path = "") {
    s.SetAddress(server.Url(path));
    s.SetPassword(FtpTestServer::kPassword);
}

TEST(FtpSession, LoginAndListingsWithAndWithoutMlsd) {
    for (const bool mlsd : {true, false}) {
        FtpTestServer server(mlsd ? std::vector<std::string>{}
                                  : std::vector<std::string>{"--no-mlsd"});
        ASSERT_TRUE(server.Running());
        ::mkdir((server.Root() + "/my docs").c_str(), 0755);
        WriteFile(server.Root() + "/a b.htm", "<p>x</p>");
        WriteFile(server.Root() + "/my docs/inner.htm", "");

        FtpSession bad;
        bad.SetAddress(server.Url());
        bad.SetPassword("wrong");
        const FtpResult refused = bad.Execute("DIR");
        EXPECT_FALSE(refused.ok);
        EXPECT_EQ(refused.failure, FtpFailure::LoginFailed);
        EXPECT_NE(refused.message.find("530"), std::string::npos) << refused.message;
        EXPECT_FALSE(bad.Connected());

        std::vector<FtpState> states;
        FtpSession s;
        s.SetStateCallback([&](FtpState st) { states.push_back(st); });
        LogIn(s, server);
        const FtpResult r = s.Execute("DIR");
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_EQ(r.data, "a b.htm\r\nmy docs/\r\n") << "mlsd " << mlsd;
        EXPECT_EQ(s.CurrentFolder(), "/");
        EXPECT_EQ(states, (std::vector<FtpState>{FtpState::Resolving, FtpState::Resolved,
                                                 FtpState::Connecting, FtpState::Connected,
                                                 FtpState::Requesting, FtpState::RequestSent,
                                                 FtpState::Receiving, FtpState::ResponseReceived}));
        EXPECT_FALSE(s.Encrypted());  // this server offers no TLS

        // A start folder in the address, and one that is not there.
        FtpSession inner;
        LogIn(inner, server, "my%20docs/");
        const FtpResult in = inner.Execute("DIR");
        ASSERT_TRUE(in.ok) << in.message;
        EXPECT_EQ(in.data, "inner.htm\r\n");
        EXPECT_EQ(inner.CurrentFolder(), "/my docs");
        // A bare host name is an ftp:// address; other schemes are refused.
        FtpSession bare;
        bare.SetAddress("127.0.0.1:" + std::to_string(server.Port()));
        bare.SetUserName(FtpTestServer::kUser);
        bare.SetPassword(FtpTestServer::kPassword);
        EXPECT_TRUE(bare.Execute("DIR").ok);
        FtpSession scp;
        scp.SetAddress("scp://127.0.0.1:" + std::to_string(server.Port()) + "/");
        const FtpResult other = scp.Execute("DIR");
        EXPECT_FALSE(other.ok);
        EXPECT_EQ(other.failure, FtpFailure::UnsupportedScheme);
        EXPECT_NE(other.message.find("scp://"), std::string::npos) << other.message;

        FtpSession missing;
        LogIn(missing, server, "nope/");
        const FtpResult none = missing.Execute("DIR");
        EXPECT_FALSE(none.ok);
        EXPECT_EQ(none.reply, 550);
        // Asked again, it is still that folder, never the login folder instead.
        const FtpResult again = missing.Execute("DIR");
        EXPECT_FALSE(again.ok);
        EXPECT_EQ(again.data, "");
    }
}

TEST(FtpSession, FoldersFilesAndNamesThatWouldInjectCommands) {
    FtpTestServer server;
    ASSERT_TRUE(server.Running());
    const std::string local = MakeTempFolder("ftp-local");
    FtpSession s;
    LogIn(s, server);

    ASSERT_TRUE(s.Execute("MKDIR \"new dir\"").ok);
    EXPECT_TRUE(Exists(server.Root() + "/new dir"));
    ASSERT_TRUE(s.Execute("CD \"new dir/\"").ok);
    EXPECT_EQ(s.CurrentFolder(), "/new dir");
    const FtpResult nope = s.Execute("CD \"nope/\"");
    EXPECT_FALSE(nope.ok);
    EXPECT_EQ(nope.reply, 550);
    EXPECT_EQ(s.CurrentFolder(), "/new dir");

    // 20 MB out and back, byte for byte.
    const std::string big = RandomBytes(20 * 1024 * 1024);
    WriteFile(local + "/big.bin", big);
    const FtpResult put = s.Execute("PUT \"" + local + "/big.bin\" \"big copy.bin\"");
    ASSERT_TRUE(put.ok) << put.message;
    EXPECT_TRUE(ReadFile(server.Root() + "/new dir/big copy.bin") == big);
    const FtpResult get = s.Execute("GET \"big copy.bin\" \"" + local + "/back.bin\"");
    ASSERT_TRUE(get.ok) << get.message;
    EXPECT_TRUE(ReadFile(local + "/back.bin") == big);

    // GET never replaces a local file; Get(..., true) does, in one step.
    WriteFile(local + "/keep.htm", "mine");
    WriteFile(server.Root() + "/new dir/keep.htm", "theirs");
    const FtpResult again = s.Execute("GET \"keep.htm\" \"" + local + "/keep.htm\"");
    EXPECT_FALSE(again.ok);
    EXPECT_EQ(again.failure, FtpFailure::LocalFileExists);
    EXPECT_EQ(ReadFile(local + "/keep.htm"), "mine");
    EXPECT_TRUE(s.Get("keep.htm", local + "/keep.htm", true).ok);
    EXPECT_EQ(ReadFile(local + "/keep.htm"), "theirs");
    const FtpResult absent = s.Execute("GET \"absent\" \"" + local + "/absent\"");
    EXPECT_FALSE(absent.ok);
    EXPECT_EQ(absent.reply, 550);
    EXPECT_EQ(FolderNames(local), (std::vector<std::string>{"back.bin", "big.bin", "keep.htm"}));

    // A line break in a name would end the command and start another one.
    WriteFile(server.Root() + "/victim.htm", "v");
    CommandText sneaky{Verb::Delete, {"x\r\nDELE /victim.htm"}};
    const FtpResult injected = s.Run(sneaky);
    EXPECT_FALSE(injected.ok);
    EXPECT_EQ(injected.failure, FtpFailure::BadCommand);
    EXPECT_TRUE(Exists(server.Root() + "/victim.htm"));

    ASSERT_TRUE(s.Execute("DELETE \"big copy.bin\"").ok);
    ASSERT_TRUE(s.Execute("DELETE \"keep.htm\"").ok);
    EXPECT_FALSE(s.Execute("DELETE \"keep.htm\"").ok);
    ASSERT_TRUE(s.Execute("CDUP").ok);
    EXPECT_EQ(s.CurrentFolder(), "/");
    ASSERT_TRUE(s.Execute("CDUP").ok);  // the top stays the top
    EXPECT_EQ(s.CurrentFolder(), "/");
    ASSERT_TRUE(s.Execute("RMDIR \"new dir/\"").ok);
    EXPECT_FALSE(Exists(server.Root() + "/new dir"));
    EXPECT_EQ(s.Execute("DIR").data, "victim.htm\r\n");
    ASSERT_TRUE(s.Execute("CLOSE").ok);
    EXPECT_FALSE(s.Connected());
    EXPECT_FALSE(s.Execute("FROB").ok);
}

TEST(FtpSession, BrokenAndCancelledDownloadsLeaveNoFile) {
    const std::string local = MakeTempFolder("ftp-broken");
    {
        FtpTestServer server({"--slow", "65536"});
        ASSERT_TRUE(server.Running());
        WriteFile(server.Root() + "/slow.bin", RandomBytes(4 * 1024 * 1024));
        FtpSession s;
        LogIn(s, server);
        s.SetStateCallback([&](FtpState st) {
            if (st == FtpState::Receiving) server.Kill();
        });
        const FtpResult r = s.Execute("GET \"slow.bin\" \"" + local + "/slow.bin\"");
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.failure, FtpFailure::ConnectionAborted) << r.message;
        EXPECT_FALSE(s.Connected());
    }
    {
        FtpTestServer server({"--slow", "65536"});
        ASSERT_TRUE(server.Running());
        WriteFile(server.Root() + "/slow.bin", RandomBytes(4 * 1024 * 1024));
        FtpSession s;
        LogIn(s, server);
        s.SetStateCallback([&](FtpState st) {
            if (st == FtpState::Receiving) s.RequestCancel();
        });
        const FtpResult r = s.Execute("GET \"slow.bin\" \"" + local + "/slow.bin\"");
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.failure, FtpFailure::Cancelled);
        EXPECT_FALSE(s.Connected());
        // The next command starts afresh.
        s.SetStateCallback({});
        s.ClearCancel();
        EXPECT_TRUE(s.Execute("DIR").ok);
    }
    EXPECT_TRUE(FolderNames(local).empty());
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(FtpSession, UploadsTakeTheirNameOnlyWhenWholeAndTidyUpOtherwise) {
    const std::string local = MakeTempFolder("ftp-put");
    const std::string bytes = RandomBytes(4 * 1024 * 1024);
    WriteFile(local + "/10-K.htm", bytes);
    {
        FtpTestServer server({"--locked", "locked"});
        ASSERT_TRUE(server.Running());
        WriteFile(server.Root() + "/10-K.htm", "old");
        FtpSession s;
        LogIn(s, server);
        // A complete upload replaces the file in one rename.
        FtpResult r = s.Execute("PUT \"" + local + "/10-K.htm\" \"10-K.htm\"");
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_TRUE(ReadFile(server.Root() + "/10-K.htm") == bytes);
        EXPECT_EQ(FolderNames(server.Root()), (std::vector<std::string>{"10-K.htm", "locked"}));
        // The server refuses the upload itself: its answer, and nothing left.
        r = s.Execute("PUT \"" + local + "/10-K.htm\" \"locked/10-K.htm\"");
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.reply, 550);
        EXPECT_TRUE(Has(r.message, "the server answered \"550")) << r.message;
        EXPECT_TRUE(FolderNames(server.Root() + "/locked").empty());
        // Local files that cannot be read send nothing: not a folder, not
        // memory that fails to read, not a file that shrinks on the way.
        for (const std::string& bad : {local, std::string("/proc/self/mem"), local + "/none"}) {
            r = s.Run({Verb::Put, {bad, "bad.htm"}});
            EXPECT_EQ(r.failure, FtpFailure::LocalFileError) << bad;
            EXPECT_TRUE(Has(r.message, "cannot read " + bad)) << r.message;
        }
        EXPECT_EQ(FolderNames(server.Root()), (std::vector<std::string>{"10-K.htm", "locked"}));
        EXPECT_TRUE(s.Connected());
    }
    {
        FtpTestServer server({"--slow", "262144"});
        ASSERT_TRUE(server.Running());
        FtpSession s;
        LogIn(s, server);
        WriteFile(local + "/shrinks.htm", bytes);
        s.SetStateCallback([&](FtpState st) {
            if (st == FtpState::RequestSent) ::truncate((local + "/shrinks.htm").c_str(), 1000);
        });
        FtpResult r = s.Execute("PUT \"" + local + "/shrinks.htm\" \"shrinks.htm\"");
        EXPECT_EQ(r.failure, FtpFailure::LocalFileError);
        EXPECT_TRUE(Has(r.message, "became shorter")) << r.message;
        EXPECT_TRUE(Has(r.message, "was deleted from the server")) << r.message;
        EXPECT_TRUE(FolderNames(server.Root()).empty());
        // Cancelled on the way: the temporary file goes too.
        s.SetStateCallback({});
        std::thread cancel = WhenUploadIsUnderway(server.Root(), [&] { s.RequestCancel(); });
        r = s.Execute("PUT \"" + local + "/10-K.htm\" \"10-K.htm\"");
        cancel.join();
        EXPECT_EQ(r.failure, FtpFailure::Cancelled);
        EXPECT_TRUE(FolderNames(server.Root()).empty()) << r.message;
        // The server goes away: nothing under the real name, and the
        // message names the temporary file it could not delete.
        s.ClearCancel();
        std::thread kill = WhenUploadIsUnderway(server.Root(), [&] { server.Kill(); });
        r = s.Execute("PUT \"" + local + "/10-K.htm\" \"10-K.htm\"");
        kill.join();
        EXPECT_EQ(r.failure, FtpFailure::ConnectionAborted) << r.message;
        const auto left = Leftovers(server.Root());
        EXPECT_EQ(FolderNames(server.Root()), left);
        ASSERT_EQ(left.size(), 1u);
        EXPECT_TRUE(Has(r.message, "the temporary file /" + left[0] + " may be left on the server"))
            << r.message;
    }
    {
        // A server that allows no rename: the old file stays, the upload goes.
        FtpTestServer server({"--perm", "elradmwMT"});
        ASSERT_TRUE(server.Running());
        WriteFile(server.Root() + "/10-K.htm", "old");
        FtpSession s;
        LogIn(s, server);
        const FtpResult r = s.Execute("PUT \"" + local + "/10-K.htm\" \"10-K.htm\"");
        EXPECT_EQ(r.reply, 550);
        EXPECT_TRUE(Has(r.message, "did not let the uploaded file take the name /10-K.htm"))
            << r.message;
        EXPECT_TRUE(Has(r.message, "was deleted from the server")) << r.message;
        EXPECT_EQ(FolderNames(server.Root()), std::vector<std::string>{"10-K.htm"});
        EXPECT_EQ(ReadFile(server.Root() + "/10-K.htm"), "old");
    }
}

TEST(FtpSession, ASilentServerTimesOut) {
    test::SilentServer silent;
    ASSERT_GT(silent.Port(), 0);
    FtpSession s;
    s.SetAddress("ftp://127.0.0.1:" + std::to_string(silent.Port()) + "/");
    s.SetTimeoutSeconds(1);
    const FtpResult r = s.Execute("DIR");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure, FtpFailure::Timeout) << r.message;
    EXPECT_FALSE(s.Connected());
}

TEST(FtpSession, TlsWhenOfferedWithTheCertificateChecked) {
    const std::string cert = MakeTempFolder("ftp-cert") + "/server.pem";
    FtpTestServer server({"--tls", cert});
    ASSERT_TRUE(server.Running());
    const std::string bytes = RandomBytes(300000);
    WriteFile(server.Root() + "/a.bin", bytes);
    const std::string local = MakeTempFolder("ftp-tls");

    FtpSession trusted;
    LogIn(trusted, server);
    trusted.SetCaFile(cert);
    const FtpResult r = trusted.Execute("DIR");
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.data, "a.bin\r\n");
    EXPECT_TRUE(trusted.Encrypted());
    ASSERT_TRUE(trusted.Execute("GET \"a.bin\" \"" + local + "/a.bin\"").ok);
    EXPECT_TRUE(ReadFile(local + "/a.bin") == bytes);

    // The system's store does not know the test's certificate: no silent trust,
    // and nothing is sent in the clear instead.
    FtpSession stranger;
    LogIn(stranger, server);
    const FtpResult refused = stranger.Execute("DIR");
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.failure, FtpFailure::TlsRefused);
    EXPECT_NE(refused.message.find("certificate"), std::string::npos) << refused.message;
    EXPECT_FALSE(stranger.Encrypted());
}

}  // namespace
}  // namespace tarlo::ftp
