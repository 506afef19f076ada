// Figures for publishing over FTP on 127.0.0.1: sending and receiving a
// 100 MB file through the FTP window's transfer component beside the `curl`
// command moving the same file to the same server in the same run, and how
// late a 10 ms timer on the GUI thread fires while the transfer runs (the
// window must stay responsive: the transfer lives on a worker thread).
//   tarlo_ftp_bench [megabytes]
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "ftp/transfer_control.h"
#include "ftp_test_server.h"

using tarlo::bench::Median;
using tarlo::ftp::TransferControl;
using tarlo::ftp::test::FtpTestServer;

namespace {

struct Lateness {
    std::vector<double> ms;
    double Max() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
    double P99() const {
        if (ms.empty()) return 0;
        std::vector<double> v = ms;
        std::sort(v.begin(), v.end());
        return v[std::min(v.size() - 1, static_cast<size_t>(v.size() * 0.99))];
    }
};

// Runs one command to its end while a 10 ms timer on this thread records
// how late each of its ticks comes. Milliseconds, or -1 when it failed.
double RunTimed(TransferControl& itc, const QString& command, Lateness& late) {
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(10);
    QElapsedTimer since;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        late.ms.push_back(std::max(0.0, since.nsecsElapsed() / 1e6 - 10.0));
        since.restart();
    });
    QElapsedTimer t;
    t.start();
    if (!itc.Execute(command)) return -1;
    since.start();
    tick.start();
    itc.WaitUntilReady();
    const double ms = t.nsecsElapsed() / 1e6;
    tick.stop();
    return itc.ResponseCode() == 0 ? ms : -1;
}

// One run of the curl command, logged in as the test user; -1 when it fails
// or is not installed.
double CurlMs(const QString& curl, QStringList args, const QString& login) {
    if (curl.isEmpty()) return -1;
    args = QStringList{"-s", "-S", "--user", login} + args;
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(curl, args);
    const bool ok = p.waitForFinished(600000) && p.exitCode() == 0;
    return ok ? t.nsecsElapsed() / 1e6 : -1;
}

void Print(const char* what, double mine, double peer) {
    std::printf("%-28s tarlo %9.1f ms   curl %9.1f ms   ratio %5.2fx\n", what, mine, peer,
                peer > 0 && mine > 0 ? mine / peer : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long megabytes = argc > 1 ? std::max(1L, std::atol(argv[1])) : 100;
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));

    FtpTestServer server;
    if (!server.Running()) {
        std::fprintf(stderr, "the test FTP server did not start\n");
        return 1;
    }
    const std::string local = tarlo::ftp::test::MakeTempFolder("ftp-bench");
    const std::string source = local + "/source.bin";
    {
        std::string block(1 << 20, '\0');
        for (size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<char>((i * 2654435761u) >> 13);
        FILE* f = std::fopen(source.c_str(), "wb");
        for (long i = 0; i < megabytes && f; ++i) std::fwrite(block.data(), 1, block.size(), f);
        if (f) std::fclose(f);
    }
    const QString base = QStringLiteral("ftp://127.0.0.1:%1/").arg(server.Port());
    const QString login =
        QStringLiteral("%1:%2").arg(FtpTestServer::kUser, FtpTestServer::kPassword);

    TransferControl itc;
    itc.SetURL(base);
    itc.SetUserName(FtpTestServer::kUser);
    itc.SetPassword(FtpTestServer::kPassword);
    itc.SetRequestTimeout(40);
    Lateness warm;
    RunTimed(itc, QStringLiteral("DIR"), warm);  // logged in before the clock runs

    // The two programs take turns, so that whatever else the machine does
    // weighs on both alike.
    constexpr int kRounds = 5;
    std::printf(
        "FTP over 127.0.0.1, %ld MB, median of %d alternating rounds (pyftpdlib serves "
        "both)\n",
        megabytes, kRounds);
    Lateness late;
    std::vector<double> up, down, curlUp, curlDown;
    const std::string target = local + "/down.bin";
    for (int i = 0; i < kRounds; ++i) {
        up.push_back(
            RunTimed(itc, QString::fromStdString("PUT \"" + source + "\" \"up.bin\""), late));
        curlUp.push_back(
            CurlMs(curl, {"-T", QString::fromStdString(source), base + "curl-up.bin"}, login));
        std::remove(target.c_str());
        down.push_back(
            RunTimed(itc, QString::fromStdString("GET \"up.bin\" \"" + target + "\""), late));
        curlDown.push_back(
            CurlMs(curl, {"-o", QString::fromStdString(local + "/curl-down.bin"), base + "up.bin"},
                   login));
    }
    const auto failedIn = [](const std::vector<double>& v) {
        return std::find(v.begin(), v.end(), -1.0) != v.end();
    };
    const bool failed = failedIn(up) || failedIn(down);
    const bool curlFailed = failedIn(curlUp) || failedIn(curlDown);
    Print("upload (PUT)", failed ? -1 : Median(up), curlFailed ? -1 : Median(curlUp));
    Print("download (GET)", failed ? -1 : Median(down), curlFailed ? -1 : Median(curlDown));
    std::printf("%-28s max %6.1f ms   99th percentile %6.1f ms   (%zu ticks; target < 50 ms)\n",
                "GUI timer lateness", late.Max(), late.P99(), late.ms.size());
    if (curl.isEmpty()) std::printf("curl is not installed: no peer figures\n");
    if (failed) std::printf("a transfer failed: %s\n", qPrintable(itc.ResponseInfo()));

    const std::string cleanup = "rm -rf '" + local + "'";
    return std::system(cleanup.c_str()) == 0 && !failed ? 0 : 1;
}
