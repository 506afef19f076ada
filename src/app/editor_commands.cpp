#include "app/editor_commands.h"

#include "checker/check_commands.h"
#include "cleanup/edgarize_command.h"
#include "codeview/code_commands.h"
#include "editor/document_commands.h"
#include "editor/file_commands.h"
#include "editor/main_window.h"
#include "pageview/page_health.h"
#include "editor/visual_commands.h"
#include "find/find_window.h"
#include "ftp/ftp_window.h"
#include "insert/insert_commands.h"
#include "insert/table_window.h"
#include "startup/recent_files_menu.h"
#include "startup/startup_commands.h"

#include <QMenu>

namespace tarlo {

void InstallEditorCommands(frmMain& window) {
    // Each subsystem registers its own commands; the command objects are
    // children of the window and live as long as it does.
    InstallCodeCommands(window, &window);
    const DocumentCommands documents = InstallDocumentCommands(window, &window);
    InstallVisualCommands(window, &window);
    InstallCleanup(window, &window);
    InstallChecker(window, &window);
    InstallInsertTools(window, &window);
    InstallTableMaker(window, &window);
    InstallFindReplace(window, &window);
    ftp::InstallFtpWindow(window, &window);
    InstallStartupTools(window, &window);
    InstallPageHealth(window, &window);

    // File > recent documents, above Exit; a document counts once it was
    // opened or saved as HTML.
    FileCommands* files = documents.files;
    auto* recent = new RecentFilesMenu(
        window.findChild<QMenu*>(QStringLiteral("mnuFile")), window.menuAction("mnuExit"),
        window.dialogs(), &window,
        [files](const QString& path) { return files && files->OpenDocumentFile(path); });
    recent->setObjectName(QStringLiteral("RecentFilesMenu"));
    QObject::connect(files, &FileCommands::DocumentFiled, recent, &RecentFilesMenu::Add);
}

}  // namespace tarlo
