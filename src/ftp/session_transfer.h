#pragma once
// One libcurl transfer of an FtpSession: what it sends or receives and what
// its callbacks learned on the way. Shared by the session's files only.
#include <curl/curl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ftp/ftp_session.h"

namespace tarlo::ftp {

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
    bool receiving = false;
    bool write_failed = false;
    std::string read_failure;      // why the local file could not be read to its end
    std::string refusal;           // the server's last 4xx/5xx reply line
    std::string host_key_refusal;  // why the SSH server's host key was refused
};

}  // namespace tarlo::ftp
