#pragma once
// Helpers shared by the GUI tests: waiting on the real views without fixed sleeps.
#include <QString>
#include <functional>

namespace tarlo::test {

// Runs the event loop until pred() holds or timeoutMs passes; returns pred().
bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 10000);

// Writes text to a fresh file in dir and returns its path.
QString WriteFile(const QString& dir, const QString& name, const QByteArray& bytes);

}  // namespace tarlo::test
