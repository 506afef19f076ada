#include "ftp/command_text.h"

#include <cctype>

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

}  // namespace tarlo::ftp
