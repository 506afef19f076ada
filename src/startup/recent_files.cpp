#include "startup/recent_files.h"

#include <algorithm>

namespace tarlo {

namespace {

bool Keepable(std::string_view path) {
    return !path.empty() && path.front() == '/' &&
           path.find_first_of("\r\n") == std::string_view::npos;
}

}  // namespace

std::vector<std::string> ParseRecentFiles(std::string_view text) {
    std::vector<std::string> files;
    std::size_t start = 0;
    while (start < text.size() && files.size() < kMaxRecentFiles) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        start = end + 1;
        if (!Keepable(line)) continue;
        if (std::find(files.begin(), files.end(), line) != files.end()) continue;
        files.emplace_back(line);
    }
    return files;
}

std::string RecentFilesText(const std::vector<std::string>& files) {
    std::string text;
    for (const std::string& f : files) text += f + "\n";
    return text;
}

void AddRecentFile(std::vector<std::string>& files, const std::string& path) {
    if (!Keepable(path)) return;
    RemoveRecentFile(files, path);
    files.insert(files.begin(), path);
    if (files.size() > kMaxRecentFiles) files.resize(kMaxRecentFiles);
}

void RemoveRecentFile(std::vector<std::string>& files, const std::string& path) {
    files.erase(std::remove(files.begin(), files.end(), path), files.end());
}

std::string RecentFileCaption(std::size_t index, std::string_view path) {
    std::string caption = "&" + std::to_string(index + 1) + " ";
    for (char c : path) {
        if (c == '&') caption += '&';
        caption += c;
    }
    return caption;
}

}  // namespace tarlo
