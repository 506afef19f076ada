#pragma once
// The settings file "Tarlo.ini": its first line holds the one setting, whether
// the tip of the day shows at start-up ("1") or not ("0"). The file lives in
// the user's configuration folder, as the program's own folder is not the
// user's to write.
#include <string>
#include <string_view>

namespace tarlo {

// True only when the first line, blanks and a byte-order mark aside, is "1".
// A missing, empty or nonsense file means no tip.
bool ParseShowTipsFlag(std::string_view content);

// The file's whole content for the flag: "1" or "0" and a line break.
std::string ShowTipsFlagText(bool show);

// The folder that holds Tarlo.ini: "$XDG_CONFIG_HOME/Tarlo", or
// "$HOME/.config/Tarlo" when XDG_CONFIG_HOME is unset, empty or not an
// absolute path (the rule of the XDG base directories). Empty when neither
// gives an absolute folder. Either argument may be null.
std::string SettingsFolder(const char* xdgConfigHome, const char* home);

// The file in that folder, or empty.
std::string SettingsFilePath(const char* xdgConfigHome, const char* home);

// Reads the flag from the file at `path`; false when it cannot be read.
bool ReadShowTipsFlag(const std::string& path);

}  // namespace tarlo
