#pragma once
// The settings file "Tarlo.ini": its first line holds whether the tip of the
// day shows at start-up ("1") or not ("0"). The main window's size, place,
// splitter share and orientation follow as "key=value" lines, so that files
// holding only the flag stay valid. The file lives in the user's
// configuration folder, as the program's own folder is not the user's to
// write.
#include <optional>
#include <string>
#include <string_view>

#include "shell/window_placement.h"

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

// The main window as it was when the program last ended. Each part is empty
// when its lines are missing or malformed, and the window then uses its
// default for that part.
struct RememberedWindow {
    std::optional<PixelRect> place;  // the window's own area, frame aside
    std::optional<int> split;        // the first view's share, 6..97 percent
    std::optional<bool> sideBySide;  // false: the views are stacked
    std::optional<bool> maximized;   // `place` is then where it goes back to
};

// The lines after the first; unknown keys are passed over.
RememberedWindow ParseRememberedWindow(std::string_view content);

// The whole file: the flag's line as ShowTipsFlagText writes it, then the
// window's lines for the parts it has.
std::string SettingsText(bool showTips, const RememberedWindow& window);

// Reads the window's lines from the file at `path`; all empty when it cannot
// be read.
RememberedWindow ReadRememberedWindow(const std::string& path);

}  // namespace tarlo
