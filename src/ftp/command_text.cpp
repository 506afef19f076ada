#include "ftp/command_text.h"

#include <cctype>

#include "ftp/local_name.h"
#include "ftp/transfer_outcome.h"

namespace tarlo::ftp {

namespace {

struct VerbInfo {
    std::string_view word;
    Verb verb;
    size_t args;
};

constexpr VerbInfo kVerbs[] = {
    {"DIR", Verb::Dir, 0},     {"CD", Verb::Cd, 1},       {"CDUP", Verb::Cdup, 0},
    {"GET", Verb::Get, 2},     {"PUT", Verb::Put, 2},     {"DELETE", Verb::Delete, 1},
    {"RMDIR", Verb::Rmdir, 1}, {"MKDIR", Verb::Mkdir, 1}, {"CLOSE", Verb::Close, 0},
};

}  // namespace

std::optional<CommandText> ParseCommandText(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') ++pos;
    const size_t start = pos;
    while (pos < text.size() && text[pos] != ' ') ++pos;
    std::string word(text.substr(start, pos - start));
    for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const VerbInfo* info = nullptr;
    for (const auto& v : kVerbs)
        if (v.word == word) info = &v;
    if (!info) return std::nullopt;

    CommandText cmd;
    cmd.verb = info->verb;
    for (;;) {
        while (pos < text.size() && text[pos] == ' ') ++pos;
        if (pos >= text.size()) break;
        if (text[pos] == '"') {
            const size_t close = text.find('"', pos + 1);
            if (close == std::string_view::npos) return std::nullopt;
            cmd.args.emplace_back(text.substr(pos + 1, close - pos - 1));
            pos = close + 1;
        } else {
            // An unquoted name runs to the end: a lone name may hold blanks.
            std::string_view rest = text.substr(pos);
            while (!rest.empty() && rest.back() == ' ') rest.remove_suffix(1);
            cmd.args.emplace_back(rest);
            break;
        }
    }
    if (cmd.args.size() != info->args) return std::nullopt;
    return cmd;
}

std::string DescribeFailure(const CommandText& cmd, const std::string& folder, FtpFailure failure,
                            const std::string& reason) {
    const auto name = [&cmd](size_t i) {
        return i < cmd.args.size() ? PrintableName(cmd.args[i]) : std::string();
    };
    std::string text;
    switch (cmd.verb) {
        case Verb::Dir:
            text = "The folder " + PrintableName(folder) + " could not be listed";
            break;
        case Verb::Cd:
            text = "The folder " + name(0) + " could not be opened";
            break;
        case Verb::Cdup:
            text = "The folder above " + PrintableName(folder) + " could not be opened";
            break;
        case Verb::Get:
            text = "The file " + name(0) + " was not downloaded (nothing was saved as " + name(1) +
                   ")";
            break;
        case Verb::Put:
            text = "The file " + name(1) + " was not uploaded";
            break;
        case Verb::Delete:
            text = "The file " + name(0) + " was not deleted";
            break;
        case Verb::Rmdir:
            text = "The folder " + name(0) + " was not deleted";
            break;
        case Verb::Mkdir:
            text = "The folder " + name(0) + " was not created";
            break;
        case Verb::Close:
            text = "The connection was not closed";
            break;
    }
    text += ": " + reason + ".";
    // The window's remote controls stay off until the next login.
    if (failure == FtpFailure::ConnectionAborted) text += " Log in again to go on.";
    return text;
}

}  // namespace tarlo::ftp
