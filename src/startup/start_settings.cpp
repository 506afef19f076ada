#include "startup/start_settings.h"

#include <fstream>
#include <iterator>

namespace tarlo {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view FirstLine(std::string_view content) {
    const std::size_t end = content.find('\n');
    return end == std::string_view::npos ? content : content.substr(0, end);
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

bool ParseShowTipsFlag(std::string_view content) {
    // A text editor may have saved the file with a byte-order mark.
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (content.substr(0, kBom.size()) == kBom) content.remove_prefix(kBom.size());
    return Trimmed(FirstLine(content)) == "1";
}

std::string ShowTipsFlagText(bool show) {
    return show ? "1\n" : "0\n";
}

std::string SettingsFolder(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
        return std::string(xdgConfigHome) + "/Tarlo";
    }
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.config/Tarlo";
    return {};
}

std::string SettingsFilePath(const char* xdgConfigHome, const char* home) {
    const std::string folder = SettingsFolder(xdgConfigHome, home);
    return folder.empty() ? folder : folder + "/Tarlo.ini";
}

bool ReadShowTipsFlag(const std::string& path) {
    if (path.empty()) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    // The flag is on the first line; a huge file is not read whole.
    std::string head(256, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return ParseShowTipsFlag(head);
}

}  // namespace tarlo
