#include "startup/startup_commands.h"

#include <QPointer>

#include "editor/command_table.h"
#include "editor/editor.h"
#include "startup/about_window.h"
#include "startup/help_window.h"
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
    return {help, tip, about};
}

}  // namespace tarlo
