#include "ftp/remote_listing.h"

#include <array>
#include <cctype>

namespace tarlo::ftp {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (const char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// Reads the next blank-separated token from line at pos; pos ends on the
// first blank after it.
std::string_view NextToken(std::string_view line, size_t& pos) {
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    const size_t start = pos;
    while (pos < line.size() && !IsBlank(line[pos])) ++pos;
    return line.substr(start, pos - start);
}

bool IsMonth(std::string_view s) {
    static constexpr std::array<std::string_view, 12> kMonths = {
        "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
    if (s.size() != 3) return false;
    const std::string l = Lower(s);
    for (const auto m : kMonths)
        if (l == m) return true;
    return false;
}

bool IsTimeOrYear(std::string_view s) {
    if (AllDigits(s)) return s.size() == 4;
    const size_t colon = s.find(':');
    return colon != std::string_view::npos && AllDigits(s.substr(0, colon)) &&
           AllDigits(s.substr(colon + 1));
}

std::optional<RemoteEntry> Entry(std::string_view name, bool folder) {
    if (name.empty() || name == "." || name == "..") return std::nullopt;
    return RemoteEntry{std::string(name), folder};
}

// "drwxr-xr-x 2 user group 4096 Jan  1 12:00 name": the name follows the
// time or year after one blank, and keeps any blanks of its own.
std::optional<RemoteEntry> ParseUnixLine(std::string_view line) {
    const char kind = line[0];
    if (kind != 'd' && kind != '-' && kind != 'l') return std::nullopt;
    size_t pos = 0;
    const std::string_view perms = NextToken(line, pos);
    if (perms.size() < 10) return std::nullopt;
    // Owner and group vary in number between servers; the date is the anchor.
    std::string_view prev;
    for (;;) {
        const std::string_view tok = NextToken(line, pos);
        if (tok.empty()) return std::nullopt;
        if (IsMonth(tok) && AllDigits(prev)) {
            size_t look = pos;
            const std::string_view day = NextToken(line, look);
            const std::string_view when = NextToken(line, look);
            if (AllDigits(day) && day.size() <= 2 && IsTimeOrYear(when)) {
                pos = look;
                break;
            }
        }
        prev = tok;
    }
    if (pos >= line.size()) return std::nullopt;
    std::string_view name = line.substr(pos + 1);
    if (kind == 'l') {
        const size_t arrow = name.find(" -> ");
        if (arrow != std::string_view::npos) name = name.substr(0, arrow);
    }
    return Entry(name, kind == 'd');
}

// "01-02-23  10:15AM       <DIR>          name" or "... 1234 name".
std::optional<RemoteEntry> ParseWindowsLine(std::string_view line) {
    size_t pos = 0;
    const std::string_view date = NextToken(line, pos);
    if (date.size() < 8 || !std::isdigit(static_cast<unsigned char>(date[0])) ||
        (date[2] != '-' && date[2] != '/'))
        return std::nullopt;
    const std::string_view time = NextToken(line, pos);
    if (time.find(':') == std::string_view::npos) return std::nullopt;
    const std::string_view what = NextToken(line, pos);
    const bool folder = Lower(what) == "<dir>";
    if (!folder && !AllDigits(what)) return std::nullopt;
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    return Entry(line.substr(pos), folder);
}

template <typename Fn>
void ForEachLine(std::string_view data, Fn fn) {
    size_t start = 0;
    for (size_t i = 0; i < data.size(); ++i) {
        if (data[i] == '\r' || data[i] == '\n') {
            if (i > start) fn(data.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < data.size()) fn(data.substr(start));
}

}  // namespace

std::optional<RemoteEntry> ParseMlsdLine(std::string_view line) {
    // The facts hold no blank; the name follows the first one.
    const size_t space = line.find(' ');
    if (space == std::string_view::npos || space == 0) return std::nullopt;
    const std::string facts = Lower(line.substr(0, space));
    if (facts.find('=') == std::string::npos) return std::nullopt;
    std::string type;
    size_t start = 0;
    while (start < facts.size()) {
        size_t end = facts.find(';', start);
        if (end == std::string::npos) end = facts.size();
        const std::string_view fact = std::string_view(facts).substr(start, end - start);
        if (fact.substr(0, 5) == "type=") type = std::string(fact.substr(5));
        start = end + 1;
    }
    if (type == "cdir" || type == "pdir") return std::nullopt;
    return Entry(line.substr(space + 1), type == "dir");
}

std::optional<RemoteEntry> ParseListLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    if (line.empty()) return std::nullopt;
    if (auto unix_entry = ParseUnixLine(line)) return unix_entry;
    return ParseWindowsLine(line);
}

std::vector<RemoteEntry> ParseListing(std::string_view data, bool mlsd) {
    std::vector<RemoteEntry> entries;
    ForEachLine(data, [&](std::string_view line) {
        auto e = mlsd ? ParseMlsdLine(line) : ParseListLine(line);
        if (e) entries.push_back(std::move(*e));
    });
    return entries;
}

std::string FormatListing(const std::vector<RemoteEntry>& entries) {
    std::string out;
    for (const auto& e : entries) {
        if (e.name.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) continue;
        out += e.name;
        if (e.folder) out += '/';
        out += "\r\n";
    }
    return out;
}

std::vector<std::string> SplitResponseLines(std::string_view data) {
    std::vector<std::string> lines;
    std::string current;
    auto flush = [&] {
        if (current.find_first_not_of(" \t") != std::string::npos) lines.push_back(current);
        current.clear();
    };
    for (const char c : data) {
        if (c == '\r') {
            flush();
        } else if (c != '\n') {
            current += c;
        }
    }
    flush();
    return lines;
}

}  // namespace tarlo::ftp
