#pragma once
// Keeps a recovery copy of the document while it holds unsaved changes, and
// at start offers the copies of runs that did not end cleanly: "Restore",
// "Discard" or "Later".
//
// The copy is the code text as the code view holds it, or, while the page
// holds edits of its own, the code a refresh would make of the page.
#include <QElapsedTimer>
#include <QObject>
#include <memory>
#include <optional>

#include "startup/recovery_copy.h"
#include "startup/recovery_store.h"

class QTimer;

namespace tarlo {

class Editor;

class RecoveryKeeper : public QObject {
    Q_OBJECT
  public:
    // Takes the store and opens it; without a private folder the editor
    // runs as before, only without copies.
    RecoveryKeeper(Editor& editor, std::unique_ptr<RecoveryStore> store, RecoveryTiming timing,
                   QObject* owner);
    // The window goes away only when the program ends cleanly (a crash runs
    // no destructor): the copy goes with it.
    ~RecoveryKeeper() override;

    // Asks about each copy left by a run that did not end cleanly, newest
    // first. "Restore" opens one as unsaved changes of its file (the editor
    // holds one document, so the others wait for the next start), "Discard"
    // deletes it, "Later" (or closing the question) keeps it.
    void OfferLeftOvers();
    // What the timer does when it runs out: writes the copy while the
    // document holds unsaved changes, removes it when it does not. True when
    // the changes are safe: written, or none to keep.
    bool KeepNow();

    RecoveryStore& store() { return *store_; }
    const RecoveryTiming& timing() const { return timing_; }
    // The quiet timer; running while a copy is due.
    QTimer* timRecovery = nullptr;
    // Looks at the page's edits while it has the focus or holds edits that
    // no copy has yet.
    QTimer* timPageWatch = nullptr;

  private:
    void CodeChanged();
    void WatchPage();
    void BaselineChanged();
    bool Restore(const RecoveryCopy& copy);
    QString QuestionText(const RecoveryCopy& copy, const RecoveryStore::LeftOver& leftOver) const;

    Editor& editor_;
    std::unique_ptr<RecoveryStore> store_;
    RecoveryTiming timing_;
    QElapsedTimer clock_;
    std::optional<qint64> lastWrite_;
    bool warned_ = false;
    int seenPageEdits_ = 0;
    bool pageUnkept_ = false;
};

}  // namespace tarlo
