// Tarlo, the desktop HTML editor for EDGAR filings.
#include <unistd.h>
#include <QApplication>

#include "app/editor_commands.h"
#include "editor/main_window.h"

int main(int argc, char** argv) {
    // Chromium will not start its sandbox for root; the editor still must run.
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tarlo");
    QApplication::setOrganizationName("Tarlo");
    tarlo::frmMain window;
    tarlo::InstallEditorCommands(window);
    window.show();
    window.Form_Load();
    return QApplication::exec();
}
