#include "startup/recovery_keeper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPointer>
#include <QTimer>

#include "codeview/code_view.h"
#include "document/document.h"
#include "document/view_sync.h"
#include "editor/dialogs.h"
#include "editor/document_files.h"
#include "editor/editor.h"
#include "editor/visual_view.h"

namespace tarlo {

namespace {

const QStringList kChoices = {"Restore", "Discard", "Later"};

QString Qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The document's file as it is on disk now, in the code view's form: what
// the restored changes are unsaved against. Empty when there is none.
std::string TextOnDisk(const QString& path) {
    if (path.isEmpty()) return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    return DocumentTextFromBytes(std::string_view(bytes.constData(), bytes.size()));
}

}  // namespace

RecoveryKeeper::RecoveryKeeper(Editor& editor, std::unique_ptr<RecoveryStore> store,
                               RecoveryTiming timing, QObject* owner)
    : QObject(owner), editor_(editor), store_(std::move(store)), timing_(timing) {
    setObjectName(QStringLiteral("RecoveryKeeper"));
    clock_.start();
    timRecovery = new QTimer(this);
    timRecovery->setObjectName(QStringLiteral("timRecovery"));
    timRecovery->setSingleShot(true);
    connect(timRecovery, &QTimer::timeout, this, [this] { KeepNow(); });
    store_->Open();
    connect(&editor_.codeView(), &CodeView::Change, this, &RecoveryKeeper::CodeChanged);
    // Typing in the page changes no code until a refresh: while the page has
    // the focus, or holds edits no copy has, it is looked at every quiet
    // interval, and a copy follows once its edit count stands still.
    timPageWatch = new QTimer(this);
    timPageWatch->setObjectName(QStringLiteral("timPageWatch"));
    timPageWatch->setInterval(static_cast<int>(timing_.quietMs));
    connect(timPageWatch, &QTimer::timeout, this, &RecoveryKeeper::WatchPage);
    connect(&editor_.visualView(), &VisualView::gotFocus, this, [this] {
        if (store_->IsOpen() && !timPageWatch->isActive()) timPageWatch->start();
    });
    // Open, Save, Save As and New each set what the document is compared
    // against; whenever that leaves nothing unsaved, the copy has served.
    const QPointer<RecoveryKeeper> self = this;
    editor_.document().AddSavedListener([self] {
        if (self) self->BaselineChanged();
    });
}

RecoveryKeeper::~RecoveryKeeper() {
    store_->Close();
}

void RecoveryKeeper::CodeChanged() {
    if (!store_->IsOpen()) return;
    // Every change starts the quiet time again: a copy is never written
    // while the user types, and never sooner than the interval after the
    // last one.
    const qint64 delay = RecoveryWriteDelay(clock_.elapsed(), lastWrite_, timing_);
    timRecovery->start(static_cast<int>(delay));
}

void RecoveryKeeper::BaselineChanged() {
    if (editor_.document().CodeDiffersFromSaved()) return;
    timRecovery->stop();
    store_->RemoveCopy();
}

void RecoveryKeeper::WatchPage() {
    const std::optional<int> edits = editor_.visualView().PageEditCount();
    if (!edits) return;  // the page did not answer: look again next time
    if (*edits != seenPageEdits_) {
        // Still at work in the page: the copy waits for a pause.
        seenPageEdits_ = *edits;
        pageUnkept_ = *edits > 0;
        return;
    }
    const bool due = !lastWrite_ || clock_.elapsed() - *lastWrite_ >= timing_.intervalMs;
    if (pageUnkept_ && due) {
        KeepNow();
        pageUnkept_ = false;
    }
    if (!pageUnkept_ && !editor_.visualView().hasFocusWithin()) timPageWatch->stop();
}

bool RecoveryKeeper::KeepNow() {
    timRecovery->stop();
    if (!store_->IsOpen()) return false;
    Document& document = editor_.document();
    // The page's own edits are part of the work: the copy holds the code a
    // refresh would make of the page, without touching the code view.
    std::optional<std::string> text = editor_.sync().CodeWithPageEdits();
    if (!text) text = document.Text();
    if (!document.DiffersFromSaved(*text)) {
        store_->RemoveCopy();
        return true;
    }
    const auto why = store_->Write({document.DocumentPath, *text});
    lastWrite_ = clock_.elapsed();
    if (why && !warned_) {
        // The editor goes on without copies; a message box on every attempt
        // would only stand in the user's way.
        warned_ = true;
        qWarning("Tarlo: the recovery copy could not be written to %s: %s",
                 qPrintable(store_->CopyPath()), qPrintable(*why));
    }
    return !why;
}

QString RecoveryKeeper::QuestionText(const RecoveryCopy& copy,
                                     const RecoveryStore::LeftOver& leftOver) const {
    const QString what = copy.path.empty() ? QStringLiteral("a new document")
                                           : QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(
                                                 QFileInfo(Qs(copy.path)).absoluteFilePath()));
    return QStringLiteral(
               "Tarlo did not end cleanly while %1 had unsaved changes. A copy of "
               "those changes was kept at %2.\n\nRestore opens the changes, Discard "
               "deletes them, Later keeps them for the next start.")
        .arg(what, QLocale().toString(leftOver.written, QLocale::ShortFormat));
}

void RecoveryKeeper::OfferLeftOvers() {
    if (!store_->IsOpen()) return;
    bool restored = false;
    for (const RecoveryStore::LeftOver& leftOver : store_->ClaimLeftOvers()) {
        const std::optional<RecoveryCopy> copy = RecoveryStore::Read(leftOver.copyPath);
        // A file that is not a whole copy is not offered as the user's work,
        // nor deleted: it stays where it is.
        if (restored || !copy) {
            store_->Release(leftOver);
            continue;
        }
        const int choice = editor_.dialogs().Choose(
            editor_.mainWindow(), QuestionText(*copy, leftOver), "Tarlo", kChoices, Icon::Question);
        if (choice == 0) {
            // The old copy goes only once this run holds the changes in its
            // own copy: a crash in between must not lose them.
            if (Restore(*copy)) {
                store_->Discard(leftOver);
            } else {
                store_->Release(leftOver);
            }
            restored = true;
        } else if (choice == 1) {
            store_->Discard(leftOver);
        } else {
            store_->Release(leftOver);
        }
    }
}

bool RecoveryKeeper::Restore(const RecoveryCopy& copy) {
    Document& document = editor_.document();
    const QString path = Qs(copy.path);
    document.OpenedFileName = copy.path;
    document.BaseFolder =
        path.isEmpty() ? std::string() : QFileInfo(path).absolutePath().toStdString();
    if (!path.isEmpty()) editor_.visualView().SetDocumentBase(Qs(document.BaseFolder));
    document.Code().SetTextUtf8(copy.text);
    // Unsaved changes of the file: Save writes them to it, and the editor
    // asks before they could be lost, as for any edit.
    document.SetSavedText(TextOnDisk(path));
    if (!path.isEmpty() && IsHtmlDocumentName(copy.path)) {
        document.DocumentPath = copy.path;
    } else {
        document.DocumentPath.clear();
    }
    editor_.SetCaption(path.isEmpty()
                           ? Qs(kNewCaption)
                           : QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    editor_.sync().PaintCodePlain();
    editor_.sync().ApplyCodeFontSize();
    document.StartAnotherDocument();
    return KeepNow();
}

}  // namespace tarlo
