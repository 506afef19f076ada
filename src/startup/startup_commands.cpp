#include "startup/startup_commands.h"

#include <QPointer>
#include <cstdlib>
#include <memory>

#include "shell/command_table.h"
#include "shell/editor.h"
#include "startup/about_window.h"
#include "startup/help_window.h"
#include "startup/recovery_keeper.h"
#include "startup/tip_window.h"

namespace tarlo {

StartupTools InstallStartupTools(Editor& editor, QObject* owner) {
    const QPointer<HelpCommand> help = new HelpCommand(editor, owner);
    const QPointer<TipCommand> tip = new TipCommand(editor, owner);
    const QPointer<AboutCommand> about = new AboutCommand(editor, owner);
    editor.commands().Set(CommandId::Help, [help] {
        if (help) help->Show();
    });
    editor.commands().Set(CommandId::TipOfTheDay, [tip] {
        if (tip) tip->Show();
    });
    editor.commands().Set(CommandId::About, [about] {
        if (about) about->Show();
    });
    auto* recovery = new RecoveryKeeper(
        editor,
        std::make_unique<RecoveryStore>(RecoveryStore::DefaultFolder(), RecoveryStore::ThisRun()),
        ParseRecoveryTiming(std::getenv("TARLO_RECOVERY_TIMING")), owner);
    return {help, tip, about, recovery};
}

}  // namespace tarlo
