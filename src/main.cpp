// Tarlo, the desktop HTML editor for EDGAR filings.
#include <unistd.h>
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "app/editor_commands.h"
#include "app/window_memory.h"
#include "shell/command_table.h"
#include "editor/file_commands.h"
#include "editor/main_window.h"
#include "startup/command_line.h"
#include "startup/recovery_keeper.h"
#include "startup/splash_window.h"

int main(int argc, char** argv) {
    // --help and --version answer without starting a window.
    const tarlo::CommandLine line =
        tarlo::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (line.action) {
        case tarlo::CommandLine::Action::Help:
            std::fputs(tarlo::HelpText().c_str(), stdout);
            return 0;
        case tarlo::CommandLine::Action::Version:
            std::fputs(tarlo::VersionText().c_str(), stdout);
            return 0;
        case tarlo::CommandLine::Action::Error:
            std::fprintf(stderr, "tarlo: %s\nTry 'tarlo --help'.\n", line.message.c_str());
            return 2;
        case tarlo::CommandLine::Action::Run:
            break;
    }
    // Chromium will not start its sandbox for root; the editor still must run.
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tarlo");
    QApplication::setOrganizationName("Tarlo");
    tarlo::frmMain window;
    tarlo::InstallEditorCommands(window);
    // The splash window loads the main window, then shows the tip of the day
    // when the settings ask for it, then opens a file named on the command line.
    const QString file = QString::fromLocal8Bit(line.file.c_str());
    auto* splash = new tarlo::frmSplash(
        {[&window, file](const std::function<void(int)>& progress) {
             window.SetLoadProgress(progress);
             window.show();
             window.Form_Load();
             window.SetLoadProgress({});
             // Back where the user left it, or fitted into the screen.
             tarlo::RestoreMainWindow(window);
             if (!file.isEmpty()) {
                 if (auto* files = window.findChild<tarlo::FileCommands*>("FileCommands")) {
                     files->OpenDocumentFile(file);
                 }
             }
             // Changes a crashed run left behind are offered once the window
             // and its file are up, after the splash has gone.
             QTimer::singleShot(0, &window, [&window] {
                 if (auto* recovery = window.findChild<tarlo::RecoveryKeeper*>("RecoveryKeeper")) {
                     recovery->OfferLeftOvers();
                 }
             });
         },
         [&window] { window.commands().Run(tarlo::CommandId::TipOfTheDay); },
         {}});
    splash->Start();
    const int code = QApplication::exec();
    // Every clean end, the exit prompt's included, comes back here with the
    // window still whole, only hidden: its place is remembered for next time.
    tarlo::RememberMainWindow(window);
    return code;
}
