#pragma once
// The File menu's recent files: the last documents opened or saved, newest
// first, kept one path a line in "recent" beside Tarlo.ini.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarlo {

inline constexpr std::size_t kMaxRecentFiles = 8;

// The list in the file's text: one absolute path a line, blank lines and
// repeats passed over, at most kMaxRecentFiles.
std::vector<std::string> ParseRecentFiles(std::string_view text);

// The file's text for the list: each path and a line break.
std::string RecentFilesText(const std::vector<std::string>& files);

// Puts `path` first, taking out an earlier mention, and keeps at most
// kMaxRecentFiles. A path with a line break cannot be kept in the file and
// leaves the list as it was, as does a relative path.
void AddRecentFile(std::vector<std::string>& files, const std::string& path);

void RemoveRecentFile(std::vector<std::string>& files, const std::string& path);

// The menu entry's caption for the entry at `index` (0-based): "&1 " and the
// path, with any "&" in the path doubled so that it shows as written.
std::string RecentFileCaption(std::size_t index, std::string_view path);

}  // namespace tarlo
