#pragma once
// The Help menu's windows: help, the tip of the day and About.
#include <QObject>

namespace tarlo {

class AboutCommand;
class Editor;
class HelpCommand;
class TipCommand;

struct StartupTools {
    HelpCommand* help = nullptr;
    TipCommand* tip = nullptr;
    AboutCommand* about = nullptr;
};

// Creates the three commands (children of `owner`) and registers Help,
// TipOfTheDay and About.
StartupTools InstallStartupTools(Editor& editor, QObject* owner);

}  // namespace tarlo
