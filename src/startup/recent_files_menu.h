#pragma once
// The File menu's recent files: up to eight entries "&1 path" ... "&8 path"
// (`mnuRecent1` ...) before a given entry, newest first, kept in "recent"
// beside Tarlo.ini so that they outlive the run. An entry whose file has gone
// is taken off the list with a message when it is chosen.
#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace tarlo {

class Dialogs;

class RecentFilesMenu : public QObject {
    Q_OBJECT
  public:
    // `open` opens a file as File > Open does (false when nothing was
    // opened); the entries go into `menu` before `before`, with a separator.
    RecentFilesMenu(QMenu* menu, QAction* before, Dialogs& dialogs, QWidget* parent,
                    std::function<bool(const QString&)> open);

    // A document was opened or saved under `path`.
    void Add(const QString& path);
    // Runs the entry at `index` (0-based) as a click on it does.
    void Choose(int index);

    QStringList Files() const;

  private:
    void Load();
    void Save() const;
    void Rebuild();

    QMenu* menu_;
    QAction* before_;
    QAction* separator_ = nullptr;
    Dialogs& dialogs_;
    QWidget* parent_;
    std::function<bool(const QString&)> open_;
    std::vector<std::string> files_;
    std::vector<QAction*> entries_;
};

// The file that keeps the list; empty when no home folder is known.
QString RecentFilesFile();

}  // namespace tarlo
