#pragma once
// Where the start-up windows find their files: the settings file in the
// user's configuration folder, the tips and the help pages inside the
// program's resources.
#include <QString>
#include <QUrl>

class QWidget;

namespace tarlo {

// "$XDG_CONFIG_HOME/Tarlo/Tarlo.ini" (or under ~/.config); empty when no
// home folder is known.
QString SettingsFile();

// Whether the tip of the day shows at start-up; false when the file is
// missing, unreadable or holds anything but 1.
bool ReadShowTips();

// Writes the flag, creating the folder when needed; the old file stays whole
// when the new one cannot be written. False on failure.
bool WriteShowTips(bool show);

// The tips shipped with the program.
inline constexpr const char* kTipsResource = ":/tips.txt";

// The help index inside the program, as the help window loads it.
QUrl HelpIndexUrl();

// The help pages copied out of the program into the user's cache folder, so
// that the desktop browser can show them; the index's file address, or an
// empty address when they cannot be written.
QUrl HelpIndexOnDisk();

// Places a window in the middle of the screen the main window is on.
void CentreOnScreen(QWidget* window, const QWidget* main);

}  // namespace tarlo
