#include "checker/install_cleanup_and_checker.h"

#include <QPointer>

#include "checker/check_commands.h"
#include "checker/report_window.h"
#include "cleanup/edgarize_command.h"
#include "editor/main_window.h"

namespace tarlo {

void InstallCleanupAndChecker(frmMain& window) {
    const QPointer<EdgarizeCommand> edgarize = new EdgarizeCommand(window);
    const QPointer<CheckCommands> checks = new CheckCommands(window);
    window.SetCommand(QStringLiteral("cmdEdgarize_Click"), [edgarize] {
        if (edgarize) edgarize->cmdEdgarize_Click();
    });
    window.SetCommand(QStringLiteral("cmdCheck_Click"), [checks] {
        if (checks) checks->cmdCheck_Click();
    });
    window.SetCommand(QStringLiteral("cmdCheck2_Click"), [checks] {
        if (checks) checks->cmdCheck2_Click();
    });
}

}  // namespace tarlo
