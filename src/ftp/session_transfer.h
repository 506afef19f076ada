#pragma once
// One libcurl transfer of an FtpSession: what it sends or receives and what
// its callbacks learned on the way. Shared by the session's files only.
#include <curl/curl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ftp/ftp_session.h"
#include "ftp/transfer_outcome.h"

namespace tarlo::ftp {

inline CURL* Handle(void* p) {
    return static_cast<CURL*>(p);
}

struct FtpSession::Transfer {
    FtpSession* self = nullptr;
    std::string url;
    bool nobody = false;
    bool quiet = false;         // no request states (connecting, or asking again)
    bool connect_only = false;  // no response states either
    std::vector<std::string> quote;
    const char* custom = nullptr;
    std::string* sink = nullptr;
    FILE* out = nullptr;
    FILE* in = nullptr;
    std::string in_path;  // the local file `in` reads, for messages
    curl_off_t in_size = -1;
    curl_off_t in_done = 0;
    bool connecting = false;
    bool requested = false;
    bool sent = false;
    // What the callbacks and the TLS handshake saw, for OutcomeOf.
    TransferEnd seen;
};

}  // namespace tarlo::ftp
