#pragma once
// The Help menu's windows (help, the tip of the day and About) and the
// keeping of recovery copies.
#include <QObject>

namespace tarlo {

class AboutCommand;
class Editor;
class HelpCommand;
class RecoveryKeeper;
class TipCommand;

struct StartupTools {
    HelpCommand* help = nullptr;
    TipCommand* tip = nullptr;
    AboutCommand* about = nullptr;
    RecoveryKeeper* recovery = nullptr;
};

// Creates the three commands (children of `owner`) and registers Help,
// TipOfTheDay and About; starts keeping recovery copies in the user's
// state folder, at the pace TARLO_RECOVERY_TIMING sets (recovery_copy.h).
StartupTools InstallStartupTools(Editor& editor, QObject* owner);

}  // namespace tarlo
