// The FTP window's transfer component: states in order, data in pieces, one
// command at a time, and broken, cancelled or abandoned transfers.
#include "ftp/transfer_control.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include "ftp/ftp_session.h"
#include "ftp_test_server.h"

namespace tarlo::ftp {
namespace {

using test::FolderNames;
using test::FtpTestServer;
using test::MakeTempFolder;
using test::WriteFile;

void LogIn(TransferControl& itc, const FtpTestServer& server) {
    itc.SetURL(QString::fromStdString(server.Url()));
    itc.SetUserName(FtpTestServer::kUser);
    itc.SetPassword(FtpTestServer::kPassword);
    itc.SetRequestTimeout(40);
}

std::vector<int> States(const QSignalSpy& spy) {
    std::vector<int> out;
    for (const auto& args : spy) out.push_back(args.at(0).toInt());
    return out;
}

TEST(TransferControl, StatesPiecesAndOneCommandAtATime) {
    FtpTestServer server;
    ASSERT_TRUE(server.Running());
    std::string expected;
    for (int i = 0; i < 300; ++i) {
        const std::string name = "filing number " + std::to_string(1000 + i) + " of the year.htm";
        WriteFile(server.Root() + "/" + name, "");
        expected += name + "\r\n";
    }
    TransferControl itc;
    LogIn(itc, server);
    QSignalSpy states(&itc, &TransferControl::StateChanged);
    ASSERT_TRUE(itc.Execute("DIR"));
    EXPECT_TRUE(itc.StillExecuting());
    EXPECT_FALSE(itc.Execute("DIR"));  // still busy: nothing sent
    itc.WaitUntilReady();
    EXPECT_FALSE(itc.StillExecuting());
    EXPECT_EQ(States(states), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 12}));
    EXPECT_EQ(itc.ResponseCode(), 0);
    EXPECT_EQ(itc.CurrentFolder(), "/");

    QString joined;
    int pieces = 0;
    for (QString piece = itc.GetChunk(4096); !piece.isEmpty(); piece = itc.GetChunk(4096)) {
        EXPECT_LE(piece.size(), 4096);
        joined += piece;
        ++pieces;
    }
    EXPECT_GT(pieces, 2);
    EXPECT_EQ(joined.toStdString(), expected);
    EXPECT_TRUE(itc.GetChunk(4096).isEmpty());

    // A refused command: state 11 with the server's code, no data.
    states.clear();
    ASSERT_TRUE(itc.Execute("CD \"nope/\""));
    itc.WaitUntilReady();
    EXPECT_EQ(States(states), (std::vector<int>{5, 6, 11}));
    EXPECT_EQ(itc.ResponseCode(), 550);
    EXPECT_TRUE(itc.GetChunk(4096).isEmpty());
    EXPECT_FALSE(itc.Execute("NOT A COMMAND"));

    states.clear();
    ASSERT_TRUE(itc.Execute("CLOSE"));
    itc.WaitUntilReady();
    EXPECT_EQ(States(states), (std::vector<int>{9, 10, 12}));
}

TEST(TransferControl, BrokenCancelledAndAbandonedTransfers) {
    const std::string local = MakeTempFolder("itc-local");
    {
        FtpTestServer server({"--slow", "65536"});
        ASSERT_TRUE(server.Running());
        WriteFile(server.Root() + "/slow.bin", std::string(4 * 1024 * 1024, 'x'));
        TransferControl itc;
        LogIn(itc, server);
        QSignalSpy states(&itc, &TransferControl::StateChanged);
        QObject::connect(&itc, &TransferControl::StateChanged, [&](int s) {
            if (s == kReceiving) server.Kill();
        });
        ASSERT_TRUE(
            itc.Execute(QString::fromStdString("GET \"slow.bin\" \"" + local + "/a.bin\"")));
        itc.WaitUntilReady();
        EXPECT_EQ(States(states).back(), kError);
        EXPECT_EQ(itc.ResponseCode(), kCodeConnectionAborted);
    }
    {
        FtpTestServer server({"--slow", "65536"});
        ASSERT_TRUE(server.Running());
        WriteFile(server.Root() + "/slow.bin", std::string(4 * 1024 * 1024, 'x'));
        TransferControl itc;
        LogIn(itc, server);
        QSignalSpy states(&itc, &TransferControl::StateChanged);
        auto cancel = QObject::connect(&itc, &TransferControl::StateChanged, [&](int s) {
            if (s == kReceiving) itc.Cancel();
        });
        ASSERT_TRUE(
            itc.Execute(QString::fromStdString("GET \"slow.bin\" \"" + local + "/b.bin\"")));
        itc.WaitUntilReady();
        EXPECT_EQ(States(states).back(), kDisconnected);
        QObject::disconnect(cancel);
        // The next command connects again.
        states.clear();
        ASSERT_TRUE(itc.Execute("DIR"));
        itc.WaitUntilReady();
        EXPECT_EQ(States(states).front(), kResolving);
        EXPECT_EQ(States(states).back(), kResponseCompleted);

        // Closing the window mid-transfer: the component goes, the transfer ends.
        auto doomed = std::make_unique<TransferControl>();
        LogIn(*doomed, server);
        QSignalSpy receiving(doomed.get(), &TransferControl::StateChanged);
        ASSERT_TRUE(
            doomed->Execute(QString::fromStdString("GET \"slow.bin\" \"" + local + "/c.bin\"")));
        while (!receiving.contains(QList<QVariant>{kReceiving})) receiving.wait(1000);
        doomed.reset();
    }
    {
        // A server that has hung: Cancel ends the wait long before the
        // 40 s time-out would (which would end in state 11 instead).
        test::SilentServer silent;
        TransferControl itc;
        itc.SetURL(QString("ftp://127.0.0.1:%1/").arg(silent.Port()));
        QSignalSpy states(&itc, &TransferControl::StateChanged);
        QObject::connect(&itc, &TransferControl::StateChanged, [&](int s) {
            if (s == kConnecting) itc.Cancel();
        });
        ASSERT_TRUE(itc.Execute("DIR"));
        itc.WaitUntilReady();
        EXPECT_EQ(States(states), (std::vector<int>{1, 2, 3, 10}));
        EXPECT_EQ(itc.ResponseCode(), kCodeCancelled);
    }
    EXPECT_TRUE(FolderNames(local).empty());
}

}  // namespace
}  // namespace tarlo::ftp
