#include "startup/start_settings.h"

#include <charconv>
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

// A whole decimal number and nothing else.
std::optional<int> Number(std::string_view s) {
    int value = 0;
    const char* end = s.data() + s.size();
    const auto [at, error] = std::from_chars(s.data(), end, value);
    if (s.empty() || error != std::errc() || at != end) return std::nullopt;
    return value;
}

// Window sizes and places beyond this are nonsense, not a desktop.
constexpr int kFarthest = 100000;

constexpr std::string_view kSideBySide = "side-by-side";
constexpr std::string_view kStacked = "stacked";

// Up to `most` bytes from the start of the file; empty when it cannot be read.
std::optional<std::string> ReadHead(const std::string& path, std::size_t most) {
    if (path.empty()) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string head(most, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head;
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
    // The flag is on the first line; a huge file is not read whole.
    const std::optional<std::string> head = ReadHead(path, 256);
    return head && ParseShowTipsFlag(*head);
}

RememberedWindow ParseRememberedWindow(std::string_view content) {
    std::optional<int> left, top, width, height, split;
    RememberedWindow out;
    std::size_t start = content.find('\n');
    while (start != std::string_view::npos) {
        const std::size_t end = content.find('\n', start + 1);
        const std::string_view line = content.substr(
            start + 1, end == std::string_view::npos ? std::string_view::npos : end - start - 1);
        start = end;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = Trimmed(line.substr(0, equals));
        const std::string_view value = Trimmed(line.substr(equals + 1));
        auto within = [&](int least, int most) -> std::optional<int> {
            const std::optional<int> n = Number(value);
            if (n && least <= *n && *n <= most) return n;
            return std::nullopt;
        };
        if (key == "left") left = within(-kFarthest, kFarthest);
        if (key == "top") top = within(-kFarthest, kFarthest);
        if (key == "width") width = within(1, kFarthest);
        if (key == "height") height = within(1, kFarthest);
        if (key == "split") split = within(6, 97);
        if (key == "maximized" && (value == "0" || value == "1")) out.maximized = value == "1";
        if (key == "orientation") {
            out.sideBySide = value == kSideBySide ? std::optional<bool>(true)
                             : value == kStacked  ? std::optional<bool>(false)
                                                  : std::nullopt;
        }
    }
    // A place missing any of its four numbers is no place at all.
    if (left && top && width && height) out.place = PixelRect{*left, *top, *width, *height};
    out.split = split;
    return out;
}

std::string SettingsText(bool showTips, const RememberedWindow& window) {
    std::string text = ShowTipsFlagText(showTips);
    if (const auto& p = window.place) {
        text += "left=" + std::to_string(p->left) + "\ntop=" + std::to_string(p->top) +
                "\nwidth=" + std::to_string(p->width) + "\nheight=" + std::to_string(p->height) +
                "\n";
    }
    if (window.split) text += "split=" + std::to_string(*window.split) + "\n";
    if (window.sideBySide) {
        text += "orientation=" + std::string(*window.sideBySide ? kSideBySide : kStacked) + "\n";
    }
    if (window.maximized)
        text += std::string("maximized=") + (*window.maximized ? "1" : "0") + "\n";
    return text;
}

RememberedWindow ReadRememberedWindow(const std::string& path) {
    // A few short lines; a huge file is not read whole.
    const std::optional<std::string> head = ReadHead(path, 4096);
    return head ? ParseRememberedWindow(*head) : RememberedWindow{};
}

}  // namespace tarlo
