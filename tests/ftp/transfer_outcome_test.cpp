// How a finished transfer is reported, from the facts libcurl and the
// callbacks left, without a server: which failure, which reply, the words a
// person reads, whether the connection stays and the state the command ends in.
#include "ftp/transfer_outcome.h"

#include <gtest/gtest.h>

namespace tarlo::ftp {
namespace {

TransferEnd Ended(CURLcode code, long reply = 0, std::string error_text = {},
                  std::string refusal = {}) {
    TransferEnd end;
    end.code = code;
    end.reply = reply;
    end.error_text = std::move(error_text);
    end.refusal = std::move(refusal);
    return end;
}

TEST(TransferOutcome, EachWayATransferEndsIsReportedWithItsReason) {
    TransferEnd bad_certificate =
        Ended(CURLE_PEER_FAILED_VERIFICATION, 0, "SSL certificate problem");
    bad_certificate.certificate = {"files.example.com", "files.example.com",
                                   "self-signed certificate"};
    TransferEnd handshake = Ended(CURLE_SSL_CONNECT_ERROR, 0, "TLS alert");
    TransferEnd unknown_key = Ended(CURLE_PEER_FAILED_VERIFICATION, 0, "host key");
    unknown_key.sftp = true;
    unknown_key.host_key_refusal = "The server's host key for h:22 is not known (...)";
    TransferEnd disk_full = Ended(CURLE_WRITE_ERROR, 0, "Failure writing output");
    disk_full.write_failed = true;
    TransferEnd file_shrank = Ended(CURLE_ABORTED_BY_CALLBACK, 0, "", "550 Aborted");
    file_shrank.read_failure = "cannot read a.htm: it became shorter while it was sent";

    struct Case {
        const char* what;
        TransferEnd end;
        FtpFailure failure;
        int reply;
        std::string message;
        bool keep;
        FtpState final_state;
    };
    const Case cases[] = {
        {"refused login",
         Ended(CURLE_LOGIN_DENIED, 530, "Access denied: 530", "530 Login incorrect."),
         FtpFailure::LoginFailed, 0,
         "Access denied: 530 (the server answered \"530 Login incorrect.\")", false,
         FtpState::Error},
        {"missing file",
         Ended(CURLE_REMOTE_FILE_NOT_FOUND, 550, "RETR failed", "550 No such file."),
         FtpFailure::ServerRefused, 550, "the server answered \"550 No such file.\"", true,
         FtpState::Error},
        {"refusal without a code", Ended(CURLE_QUOTE_ERROR, 0, "QUOT failed"),
         FtpFailure::ServerRefused, 550, "QUOT failed", true, FtpState::Error},
        {"broken connection", Ended(CURLE_RECV_ERROR, 226, "Connection reset by peer"),
         FtpFailure::ConnectionAborted, 0,
         "the connection to the server was lost (Connection reset by peer)", false,
         FtpState::Error},
        {"refused certificate", bad_certificate, FtpFailure::TlsRefused, 0,
         "the server's TLS certificate, issued to files.example.com by itself, is not trusted "
         "(self-signed certificate), so nothing was sent to the server: not the user name, the "
         "password or any file",
         false, FtpState::Error},
        {"failed handshake", handshake, FtpFailure::TlsRefused, 0,
         "the server's TLS connection failed: TLS alert", false, FtpState::Error},
        {"unknown host key", unknown_key, FtpFailure::TlsRefused, 0, unknown_key.host_key_refusal,
         false, FtpState::Error},
        {"timeout", Ended(CURLE_OPERATION_TIMEDOUT, 0, ""), FtpFailure::Timeout, 0,
         curl_easy_strerror(CURLE_OPERATION_TIMEDOUT), false, FtpState::Error},
        {"cancelled", Ended(CURLE_ABORTED_BY_CALLBACK, 0, "", "426 Transfer aborted"),
         FtpFailure::Cancelled, 0, "cancelled", false, FtpState::Disconnected},
        {"local disk full", disk_full, FtpFailure::LocalFileError, 0,
         "the local file could not be written", true, FtpState::Error},
        {"local file shrank", file_shrank, FtpFailure::LocalFileError, 0, file_shrank.read_failure,
         false, FtpState::Error},
    };
    for (const Case& c : cases) {
        const TransferOutcome o = OutcomeOf(c.end);
        EXPECT_FALSE(o.result.ok) << c.what;
        EXPECT_EQ(o.result.failure, c.failure) << c.what;
        EXPECT_EQ(o.result.reply, c.reply) << c.what;
        EXPECT_EQ(o.result.message, c.message) << c.what;
        EXPECT_EQ(o.keep_connection, c.keep) << c.what;
        EXPECT_EQ(FinalState(o.result), c.final_state) << c.what;
        EXPECT_TRUE(o.states.empty()) << c.what;
    }

    // A listing: the response states follow, Receiving only when no data
    // came (an empty folder); connecting and side commands report none.
    TransferEnd listing = Ended(CURLE_OK);
    TransferOutcome o = OutcomeOf(listing);
    EXPECT_TRUE(o.result.ok);
    EXPECT_TRUE(o.keep_connection);
    EXPECT_EQ(FinalState(o.result), FtpState::ResponseCompleted);
    EXPECT_EQ(o.states, (std::vector<FtpState>{FtpState::Receiving, FtpState::ResponseReceived}));
    listing.receiving = true;
    EXPECT_EQ(OutcomeOf(listing).states, std::vector<FtpState>{FtpState::ResponseReceived});
    listing.connect_only = true;
    EXPECT_TRUE(OutcomeOf(listing).states.empty());
}

}  // namespace
}  // namespace tarlo::ftp
