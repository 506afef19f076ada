#pragma once
// The keys of the main window's menus, whichever view has the keyboard.
//
// Both views have key bindings of their own that would take a menu's key
// before the menu sees it: in the code view Ctrl+T swaps two lines, Ctrl+L
// cuts one and Shift+Ins pastes; in the page Shift+Ins pastes too. The keys
// are read from the menus as they are now (an entry added or given a key
// later is covered too), so:
// - the code component's bindings of a menu key are taken off, and an Alt
//   key that opens no menu types nothing there;
// - in the page a menu key runs its entry, except the keys of Undo and Redo,
//   which undo and redo the page's own edits (the code's history knows
//   nothing of them);
// - a menu title without a marked letter opens with Alt and its first
//   letter ("Edit" with Alt+E, "Tools" with Alt+T), as menu bars do on the
//   desktop Tarlo's users come from.
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>
#include <vector>

class QAction;
class QKeyEvent;
class QMenu;
class QMenuBar;
class QShortcut;

namespace tarlo {

class CodeView;
class VisualView;

class MenuKeys : public QObject {
    Q_OBJECT
  public:
    // `undo` and `redo` are the menu entries whose keys the page keeps for
    // its own history.
    MenuKeys(QMenuBar* bar, CodeView* code, VisualView* page, QAction* undo, QAction* redo,
             QObject* owner);

    // Every key of the menus now: the entries' shortcuts and the titles'
    // Alt keys.
    QList<QKeySequence> Keys() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void Watch(QObject* menuOrBar);
    void WatchPageWidgets(QObject* parent);
    // Reads the menus again after one of them changed.
    void Update();
    void UpdateTitleKeys();
    bool PageKey(QObject* watched, QKeyEvent* key);
    // The enabled entry whose shortcut is this key, if any.
    QAction* EntryOf(const QKeySequence& key) const;

    QPointer<QMenuBar> bar_;
    QPointer<CodeView> code_;
    QPointer<VisualView> page_;
    QPointer<QAction> undo_;
    QPointer<QAction> redo_;
    struct Entry {
        QKeySequence key;
        QPointer<QAction> action;
    };
    std::vector<Entry> entries_;
    QList<QKeySequence> titleKeys_;
    std::vector<QShortcut*> titleShortcuts_;
    bool updating_ = false;
};

// Keeps the menus' keys working in both views of the window that owns `bar`.
MenuKeys* InstallMenuKeys(QMenuBar* bar, CodeView* code, VisualView* page, QAction* undo,
                          QAction* redo);

}  // namespace tarlo
