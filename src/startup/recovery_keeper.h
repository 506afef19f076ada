#pragma once
// Keeps a recovery copy of the document while it holds unsaved changes, and
// at start offers the copies of runs that did not end cleanly: "Restore",
// "Discard" or "Later".
//
// The copy is the code text as the code view holds it, or, while the page
// holds edits of its own, the code a refresh would make of the page. The
// page is only ever asked without waiting (VisualView::LookAtPageLater), and
// its HTML is converted and written on a thread of the keeper's own: reading
// a filing of megabytes out of the page must never hold up a key.
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <memory>
#include <optional>
#include <string>

#include "pageview/visual_view.h"
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
    // first. "Restore" opens one as unsaved changes of its file, or of a new
    // document ("Untitled") when it had none (the editor holds one document,
    // so the others wait for the next start), "Discard" deletes it, "Later"
    // (or closing the question) keeps it. Then the locks that dead runs left
    // without a copy are swept away.
    void OfferLeftOvers();
    // What the timer does when it runs out: keeps the document's changes in
    // the copy, or removes the copy when nothing is unsaved. The code is kept
    // at once when the page is about to show exactly the code; otherwise the
    // page is asked first, and the copy follows with its answer.
    void KeepNow();
    // Keeps this text (the code, or the code of the page) as the copy, or
    // removes the copy when the text is what was last opened or saved. True
    // when the changes are safe: written, or none to keep.
    bool KeepText(const std::string& text);
    // A question to the page, or a copy of its answer, is under way.
    bool AskingPage() const { return asking_ || writing_; }

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
    // Any answer the page gives after this is about a page or a document
    // that is no longer shown.
    void ForgetPage();
    void AskPage(int htmlAtEdits);
    void PageAnswered(const std::optional<VisualView::PageLook>& look);
    // The page's HTML at `edits`, or its changed elements, kept until a
    // second look shows the page has not changed since it was read.
    struct PageRead {
        int edits = 0;
        QString html;
        std::optional<std::vector<PageElementEdit>> elements;
    };
    // Converts and writes the page's changes off the GUI thread.
    void KeepPage(PageRead read);
    void PageKept(quint64 generation, int edits, const std::string& code,
                  const std::optional<QString>& failure);
    void PageNeedsReadingWhole(quint64 generation);
    // Nothing is unsaved: the copy goes.
    void DropCopy();
    // After every write: when it failed, says so once.
    bool Written(const std::optional<QString>& failure);
    bool IntervalPassed() const;
    bool Restore(const RecoveryCopy& copy);
    QString QuestionText(const RecoveryCopy& copy, const RecoveryStore::LeftOver& leftOver) const;

    Editor& editor_;
    std::unique_ptr<RecoveryStore> store_;
    RecoveryTiming timing_;
    QElapsedTimer clock_;
    std::optional<qint64> lastWrite_;
    bool warned_ = false;
    // The page's own edits as last seen, and whether a copy still lacks them.
    int seenPageEdits_ = 0;
    bool pageUnkept_ = false;
    // The timer asked for a copy of whatever the document holds.
    bool copyWanted_ = false;
    // The question under way, the generation it belongs to, and when it was
    // asked (an engine that never answers must not stop the copies).
    bool asking_ = false;
    quint64 generation_ = 0;
    QElapsedTimer askedAt_;
    std::optional<PageRead> read_;
    // The page's changed elements could not be laid over the code: the next
    // look reads the page whole.
    bool readWhole_ = false;
    // One copy of the page at a time is converted and written here.
    bool writing_ = false;
    QThreadPool pool_;
};

}  // namespace tarlo
