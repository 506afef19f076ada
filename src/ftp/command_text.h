#pragma once
// The command texts the FTP window sends to the transfer component, as in
// "GET \"index.htm\" \"/home/ann/index.htm\"": a verb, then its names, each
// in double quotes.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarlo::ftp {

enum class FtpFailure;  // transfer_outcome.h

enum class Verb { Dir, Cd, Cdup, Get, Put, Delete, Rmdir, Mkdir, Close };

struct CommandText {
    Verb verb = Verb::Dir;
    std::vector<std::string> args;
};

// Nothing when the verb is unknown, a quote is left open or the number of
// names does not fit the verb (CD, DELETE, RMDIR and MKDIR take one; GET and
// PUT two; the others none). The verb's case does not matter; a single name
// may also come without quotes ("CD docs/").
std::optional<CommandText> ParseCommandText(std::string_view text);

// What the FTP window tells the user when `cmd` failed: which file or folder,
// what was not done, and `reason` (the session's message, with the server's
// answer). `folder` is the remote folder the command ran in. A lost
// connection adds that the user must log in again.
std::string DescribeFailure(const CommandText& cmd, const std::string& folder, FtpFailure failure,
                            const std::string& reason);

}  // namespace tarlo::ftp
