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
#include "pageview/visual_view.h"
#include "shell/dialogs.h"
#include "shell/document_files.h"
#include "shell/editor.h"
#include "text/document_bytes.h"
#include "text/page_patch.h"

namespace tarlo {

namespace {

const QStringList kChoices = {"Restore", "Discard", "Later"};

QString Qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The document's file as it is on disk now, in the code view's form, with
// the form it is written in: what the restored changes are unsaved against,
// and how Save writes them. A new document's, when there is no file.
DocumentRead FileOnDisk(const QString& path) {
    if (path.isEmpty()) return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    return ReadDocumentBytes(std::string_view(bytes.constData(), bytes.size()));
}

}  // namespace

RecoveryKeeper::RecoveryKeeper(Editor& editor, std::unique_ptr<RecoveryStore> store,
                               RecoveryTiming timing, QObject* owner)
    : QObject(owner), editor_(editor), store_(std::move(store)), timing_(timing) {
    setObjectName(QStringLiteral("RecoveryKeeper"));
    clock_.start();
    pool_.setMaxThreadCount(1);
    timRecovery = new QTimer(this);
    timRecovery->setObjectName(QStringLiteral("timRecovery"));
    timRecovery->setSingleShot(true);
    connect(timRecovery, &QTimer::timeout, this, &RecoveryKeeper::KeepNow);
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
    // Another document: what its page was asked belongs to the one before.
    editor_.document().AddReplacedListener([self] {
        if (!self) return;
        self->ForgetPage();
        self->lastWrite_.reset();
        self->seenPageEdits_ = 0;
        self->pageUnkept_ = false;
    });
}

RecoveryKeeper::~RecoveryKeeper() {
    // A copy being written finishes first; the clean end then removes it.
    pool_.waitForDone();
    store_->Close();
}

void RecoveryKeeper::CodeChanged() {
    if (!store_->IsOpen()) return;
    // The page is about to show the new code: what it was asked before no
    // longer holds.
    ForgetPage();
    // Every change starts the quiet time again: a copy is never written
    // while the user types, and never sooner than the interval after the
    // last one.
    const qint64 delay = RecoveryWriteDelay(clock_.elapsed(), lastWrite_, timing_);
    timRecovery->start(static_cast<int>(delay));
}

void RecoveryKeeper::BaselineChanged() {
    if (editor_.document().CodeDiffersFromSaved()) return;
    timRecovery->stop();
    copyWanted_ = false;
    pageUnkept_ = false;
    ForgetPage();
    DropCopy();
}

void RecoveryKeeper::ForgetPage() {
    ++generation_;
    asking_ = false;
    read_.reset();
    readWhole_ = false;
}

void RecoveryKeeper::DropCopy() {
    store_->RemoveCopy();
    // The interval spaces out the rewrites of a copy; with none left, the
    // next change (a new document's first, say) is kept after the quiet time
    // alone, not an interval counted from a copy that is gone.
    lastWrite_.reset();
}

bool RecoveryKeeper::IntervalPassed() const {
    return !lastWrite_ || clock_.elapsed() - *lastWrite_ >= timing_.intervalMs;
}

void RecoveryKeeper::WatchPage() {
    // An engine that never answers (a renderer gone) is asked again.
    if (asking_ && askedAt_.elapsed() > VisualView::kCallTimeoutMs) ForgetPage();
    if (asking_ || writing_) return;
    if (!pageUnkept_ && !editor_.visualView().hasFocusWithin()) {
        timPageWatch->stop();
        return;
    }
    // The page is read only once its edits have stood still since the last
    // look, and no sooner than the interval after the last copy.
    AskPage(pageUnkept_ && IntervalPassed() ? seenPageEdits_ : VisualView::kNoHtml);
}

void RecoveryKeeper::KeepNow() {
    timRecovery->stop();
    if (!store_->IsOpen()) return;
    // A page about to take the code shows exactly the code.
    if (editor_.visualView().pushPending()) {
        KeepText(editor_.document().Text());
        return;
    }
    copyWanted_ = true;
    if (!asking_) AskPage(VisualView::kNoHtml);
}

void RecoveryKeeper::AskPage(int htmlAtEdits) {
    asking_ = true;
    askedAt_.start();
    const quint64 generation = generation_;
    const QPointer<RecoveryKeeper> self = this;
    editor_.visualView().LookAtPageLater(
        htmlAtEdits, readWhole_,
        [self, generation](const std::optional<VisualView::PageLook>& look) {
            if (!self || generation != self->generation_) return;
            self->asking_ = false;
            self->PageAnswered(look);
        });
}

void RecoveryKeeper::PageAnswered(const std::optional<VisualView::PageLook>& look) {
    if (!look) {
        // The page took other content meanwhile; a copy still wanted is
        // asked for again after a quiet time.
        read_.reset();
        if (copyWanted_) timRecovery->start(static_cast<int>(timing_.quietMs));
        return;
    }
    if (read_) {
        // The HTML read before is the copy only when the page has not
        // changed since it was read: the user may have typed on meanwhile.
        PageRead read = std::move(*read_);
        read_.reset();
        if (look->edits == read.edits) {
            KeepPage(std::move(read));
            return;
        }
    }
    if (look->html || look->elements) {
        read_ = PageRead{look->edits, look->html.value_or(QString()), look->elements};
        AskPage(VisualView::kNoHtml);
        return;
    }
    if (look->edits != seenPageEdits_) {
        // Still at work in the page: the copy waits for a pause.
        seenPageEdits_ = look->edits;
        pageUnkept_ = look->edits > 0;
    }
    if (copyWanted_) {
        copyWanted_ = false;
        if (look->edits == 0) {
            KeepText(editor_.document().Text());
        } else {
            // Edits of the page's own since the code last reached it: the
            // watch keeps them once they pause.
            pageUnkept_ = true;
            timPageWatch->start();
        }
    }
}

bool RecoveryKeeper::KeepText(const std::string& text) {
    copyWanted_ = false;
    if (!store_->IsOpen()) return false;
    if (!editor_.document().DiffersFromSaved(text)) {
        DropCopy();
        return true;
    }
    return Written(store_->Write({editor_.document().DocumentPath, text}));
}

bool RecoveryKeeper::Written(const std::optional<QString>& failure) {
    lastWrite_ = clock_.elapsed();
    if (failure && !warned_) {
        // The editor goes on without copies; a message box on every attempt
        // would only stand in the user's way.
        warned_ = true;
        qWarning("Tarlo: the recovery copy could not be written to %s: %s",
                 qPrintable(store_->CopyPath()), qPrintable(*failure));
    }
    return !failure;
}

void RecoveryKeeper::KeepPage(PageRead read) {
    // Only the code view's text is taken here, where the views live; the
    // conversion of megabytes and the write (to the disk, not just its
    // cache) would hold a key up for a tenth of a second or more.
    writing_ = true;
    const quint64 generation = generation_;
    const QString next = store_->NextCopyPath();
    RecoveryCopy copy{editor_.document().DocumentPath, editor_.document().Text()};
    const bool xhtml = editor_.visualView().showsXhtml();
    const LineBreak lineBreak = editor_.document().Form().lineBreak;
    const int edits = read.edits;
    pool_.start([this, generation, edits, read = std::move(read), next, xhtml, lineBreak,
                 copy = std::move(copy)]() mutable {
        if (read.elements) {
            // The changed elements laid over the code, as a refresh lays
            // them: the page need not be read whole for a key.
            const auto patch = PatchCodeFromPage(copy.text, xhtml, lineBreak, *read.elements);
            if (!patch) {
                QMetaObject::invokeMethod(
                    this, [this, generation] { PageNeedsReadingWhole(generation); },
                    Qt::QueuedConnection);
                return;
            }
            const CodeReplacement change = AsOneReplacement(copy.text, *patch);
            copy.text.replace(static_cast<std::size_t>(change.range.start),
                              static_cast<std::size_t>(change.range.length), change.text);
        } else {
            copy.text =
                ViewSync::PageHtmlToCode(read.html.toStdString(), copy.text, xhtml, lineBreak);
        }
        const std::optional<QString> failure =
            RecoveryStore::WriteWhole(next, EncodeRecoveryCopy(copy));
        // The keeper outlives this work (its destructor waits for it).
        QMetaObject::invokeMethod(
            this,
            [this, generation, edits, code = std::move(copy.text), failure] {
                PageKept(generation, edits, code, failure);
            },
            Qt::QueuedConnection);
    });
}

void RecoveryKeeper::PageNeedsReadingWhole(quint64 generation) {
    writing_ = false;
    if (generation != generation_) return;
    // The watch asks again, for the whole page this time.
    readWhole_ = true;
    pageUnkept_ = true;
    timPageWatch->start();
}

void RecoveryKeeper::PageKept(quint64 generation, int edits, const std::string& code,
                              const std::optional<QString>& failure) {
    writing_ = false;
    // The document changed, was saved or replaced while the copy was made:
    // this one would hold the past.
    if (generation != generation_) {
        store_->DropNextCopy();
        return;
    }
    if (!editor_.document().DiffersFromSaved(code)) {
        DropCopy();
    } else if (!Written(failure ? failure : store_->PromoteNextCopy())) {
        store_->DropNextCopy();
        return;
    }
    seenPageEdits_ = edits;
    pageUnkept_ = false;
}

QString RecoveryKeeper::QuestionText(const RecoveryCopy& copy,
                                     const RecoveryStore::LeftOver& leftOver) const {
    // A document that never had a file goes by the name a new document has
    // until it is saved.
    const QString what = copy.path.empty() ? QStringLiteral(
                                                 "\"Untitled\" (a new document "
                                                 "never saved to a file)")
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
    // Every dead run's copy has been asked about (or kept for later, its
    // lock let go): what is left of dead runs are locks with nothing beside
    // them.
    store_->SweepDeadLocks();
}

bool RecoveryKeeper::Restore(const RecoveryCopy& copy) {
    Document& document = editor_.document();
    const QString path = Qs(copy.path);
    document.OpenedFileName = copy.path;
    document.BaseFolder =
        path.isEmpty() ? std::string() : QFileInfo(path).absolutePath().toStdString();
    if (!path.isEmpty()) editor_.visualView().SetDocumentBase(Qs(document.BaseFolder));
    DocumentRead onDisk = FileOnDisk(path);
    // Line breaks typed from now on, and the bytes Save writes, are the
    // file's, as after Open; a new document's when it has none.
    document.SetForm(onDisk.form);
    document.Code().SetTextUtf8(copy.text);
    // Unsaved changes of the file: Save writes them to it, and the editor
    // asks before they could be lost, as for any edit.
    document.SetSavedText(std::move(onDisk.text));
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
    // The page is about to take the restored code: the copy is that code.
    return KeepText(document.Text());
}

}  // namespace tarlo
