#pragma once
// Helpers shared by the GUI tests: waiting on the real views without fixed sleeps.
#include <QByteArray>
#include <QString>
#include <functional>
#include <string>
#include <vector>

namespace tarlo {
class Dialogs;
class frmMain;
}  // namespace tarlo

namespace tarlo::test {

// Runs the event loop until pred() holds or timeoutMs passes; returns pred().
bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 10000);

// A main window as the program starts it, for a test suite: scripted
// dialogs, the end of the program reported to `onEnd` instead of ending the
// process, `beforeLoad` and `afterLoad` run around the start-up, shown and
// active.
frmMain* StartTestWindow(Dialogs* dialogs, std::function<void()> onEnd,
                         const std::function<void(frmMain&)>& beforeLoad = {},
                         const std::function<void(frmMain&)>& afterLoad = {});

// What is wrong with the status strip as the window lays it out now: a
// status panel or strip control outside the window, two that overlap, the
// caret's panels hidden, the status caption covered. Empty when all is well.
std::vector<std::string> StripProblems(frmMain& window);

// The bytes of a file; empty when it cannot be read.
QByteArray ReadBytes(const QString& path);

// Writes text to a fresh file in dir and returns its path.
QString WriteFile(const QString& dir, const QString& name, const QByteArray& bytes);

}  // namespace tarlo::test
