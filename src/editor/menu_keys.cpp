#include "editor/menu_keys.h"

#include <QAction>
#include <QActionEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QWebEnginePage>

#include "codeview/code_view.h"
#include "pageview/visual_view.h"

namespace tarlo {

namespace {

// The key as a menu names it: the keypad's keys count as the main ones.
QKeySequence Pressed(const QKeyEvent& key) {
    return QKeySequence(
        QKeyCombination(key.modifiers() & ~Qt::KeypadModifier, static_cast<Qt::Key>(key.key())));
}

// Alt and the first letter of a title.
QKeySequence FirstLetterKey(const QString& title) {
    for (const QChar c : title) {
        if (c.isLetter()) {
            return QKeySequence(
                QKeyCombination(Qt::AltModifier, static_cast<Qt::Key>(c.toUpper().unicode())));
        }
    }
    return {};
}

bool Holds(const QAction* action, const QKeySequence& key) {
    return action != nullptr && action->shortcuts().contains(key);
}

}  // namespace

MenuKeys::MenuKeys(QMenuBar* bar, CodeView* code, VisualView* page, QAction* undo, QAction* redo,
                   QObject* owner)
    : QObject(owner), bar_(bar), code_(code), page_(page), undo_(undo), redo_(redo) {
    setObjectName(QStringLiteral("MenuKeys"));
    Watch(bar);
    if (page != nullptr) WatchPageWidgets(page);
    Update();
}

QList<QKeySequence> MenuKeys::Keys() const {
    QList<QKeySequence> keys = titleKeys_;
    for (const Entry& e : entries_) {
        if (!keys.contains(e.key)) keys.push_back(e.key);
    }
    return keys;
}

void MenuKeys::Watch(QObject* menuOrBar) {
    // Installing twice is harmless: Qt keeps one filter per object.
    menuOrBar->installEventFilter(this);
}

void MenuKeys::WatchPageWidgets(QObject* parent) {
    // The engine's widget that takes the keys is created, and may be
    // replaced, inside the view after it is built.
    parent->installEventFilter(this);
    for (QObject* child : parent->children()) WatchPageWidgets(child);
}

void MenuKeys::Update() {
    if (updating_ || !bar_) return;
    updating_ = true;
    std::vector<Entry> entries;
    std::vector<QMenu*> menus;
    for (QAction* a : bar_->actions()) {
        if (a->menu() != nullptr) menus.push_back(a->menu());
    }
    // Breadth first through the submenus.
    for (std::size_t i = 0; i < menus.size(); ++i) {
        Watch(menus[i]);
        for (QAction* a : menus[i]->actions()) {
            if (a->menu() != nullptr) menus.push_back(a->menu());
            for (const QKeySequence& key : a->shortcuts()) {
                if (!key.isEmpty()) entries.push_back({key, a});
            }
        }
    }
    entries_ = std::move(entries);
    UpdateTitleKeys();
    if (code_) code_->ReleaseKeys(Keys());
    updating_ = false;
}

void MenuKeys::UpdateTitleKeys() {
    struct Title {
        QAction* action;
        QKeySequence marked;  // the title's own access key, if it has one
    };
    std::vector<Title> titles;
    QList<QKeySequence> keys;
    for (QAction* a : bar_->actions()) {
        if (a->menu() == nullptr || !a->isVisible()) continue;
        titles.push_back({a, QKeySequence::mnemonic(a->text())});
        if (!titles.back().marked.isEmpty()) keys.push_back(titles.back().marked);
    }
    std::vector<std::pair<QKeySequence, QAction*>> unmarked;
    for (const Title& t : titles) {
        if (!t.marked.isEmpty()) continue;
        const QKeySequence key = FirstLetterKey(t.action->text());
        // A letter another title marks, or that an earlier title took, stays
        // with that title.
        if (key.isEmpty() || keys.contains(key)) continue;
        keys.push_back(key);
        unmarked.emplace_back(key, t.action);
    }
    if (keys == titleKeys_) return;
    titleKeys_ = keys;
    for (QShortcut* s : titleShortcuts_) delete s;
    titleShortcuts_.clear();
    for (const auto& [key, action] : unmarked) {
        auto* s = new QShortcut(key, bar_->window());
        s->setContext(Qt::WindowShortcut);
        const QPointer<QAction> title(action);
        connect(s, &QShortcut::activated, this, [this, title] {
            if (bar_ && title) bar_->setActiveAction(title);
        });
        titleShortcuts_.push_back(s);
    }
}

QAction* MenuKeys::EntryOf(const QKeySequence& key) const {
    for (const Entry& e : entries_) {
        if (e.action && e.key == key && e.action->isEnabled()) return e.action;
    }
    return nullptr;
}

bool MenuKeys::PageKey(QObject* watched, QKeyEvent* key) {
    if (!page_ || (watched != page_ && !page_->isAncestorOf(qobject_cast<QWidget*>(watched)))) {
        return false;
    }
    const QKeySequence pressed = Pressed(*key);
    const bool undo = Holds(undo_, pressed);
    const bool redo = Holds(redo_, pressed);
    if (undo || redo) {
        // The page keeps the key: the code's history knows nothing of the
        // page's edits.
        if (key->type() == QEvent::ShortcutOverride) {
            key->accept();
        } else {
            page_->page()->triggerAction(undo ? QWebEnginePage::Undo : QWebEnginePage::Redo);
        }
        return true;
    }
    if (key->type() == QEvent::ShortcutOverride &&
        (EntryOf(pressed) != nullptr || titleKeys_.contains(pressed))) {
        // Left unclaimed, so the menu's entry runs rather than the engine's
        // own binding of the key (Shift+Ins would paste).
        key->ignore();
        return true;
    }
    return false;
}

bool MenuKeys::eventFilter(QObject* watched, QEvent* e) {
    switch (e->type()) {
        case QEvent::ActionAdded:
        case QEvent::ActionChanged:
        case QEvent::ActionRemoved:
            if (qobject_cast<QMenu*>(watched) != nullptr || watched == bar_) Update();
            break;
        case QEvent::ChildAdded:
            if (page_ &&
                (watched == page_ || page_->isAncestorOf(qobject_cast<QWidget*>(watched)))) {
                WatchPageWidgets(static_cast<QChildEvent*>(e)->child());
            }
            break;
        case QEvent::ShortcutOverride:
        case QEvent::KeyPress:
            if (PageKey(watched, static_cast<QKeyEvent*>(e))) return true;
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, e);
}

MenuKeys* InstallMenuKeys(QMenuBar* bar, CodeView* code, VisualView* page, QAction* undo,
                          QAction* redo) {
    return new MenuKeys(bar, code, page, undo, redo, bar);
}

}  // namespace tarlo
