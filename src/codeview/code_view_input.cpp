// What reaches the code view from outside: the component's notices of edits
// (only SC_MOD_BEFOREINSERT and SC_MOD_BEFOREDELETE), the actions that group
// them into one Change, and the keys, the mouse and drops.
#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>

#include "codeview/code_view.h"

namespace tarlo {

ChangeBatch::ChangeBatch(CodeView* view) : view_(view) {
    ++view_->batchDepth_;
}

ChangeBatch::~ChangeBatch() {
    if (--view_->batchDepth_ == 0) view_->Settle();
}

// ---- Edits -------------------------------------------------------------------

void CodeView::onModified(int pos, int mtype, const char*, int len, int, int, int, int, int, int) {
    const bool inserting = (mtype & SC_MOD_BEFOREINSERT) != 0;
    const bool deleting = (mtype & SC_MOD_BEFOREDELETE) != 0;
    if (!inserting && !deleting) return;
    readers_.FinishInsert();
    if (breaks_.MovingOwnBreaks()) {
        // The view's own line feeds: the document stays as it is, only the
        // places kept in the component's text move.
        if (inserting) {
            positions_.Inserted(pos, len);
        } else {
            positions_.Deleted(pos, len);
        }
        return;
    }
    if (inserting) {
        DocumentInserted(pos, len);
    } else {
        DocumentDeleted(pos, len);
    }
    if (batchDepth_ == 0) QueueSettle();
}

void CodeView::DocumentInserted(int viewPos, int length) {
    const int doc = breaks_.Map().ToDoc(viewPos);
    ++editCount_;
    readers_.Inserting(doc, length, ReadersListening());
    const int style = looks_.StyleOfInsertion(viewPos, doc, length);
    positions_.Inserted(viewPos, length);
    if (watcher_ != nullptr) watcher_->Inserted(doc, length);
    readers_.NoteMoves();
    changes_.Cover(doc, doc + length);
    looks_.Pend(viewPos, length, style);
    breaks_.Touched(viewPos, viewPos + length);
    changedInBatch_ = true;
}

void CodeView::DocumentDeleted(int viewPos, int length) {
    const SoftBreakMap& map = breaks_.Map();
    const int doc = map.ToDoc(viewPos);
    const int docLength = map.ToDoc(viewPos + length) - doc;
    CodeViewReaders::Units removed;
    if (docLength > 0) {
        ++editCount_;
        // Readers hear of the deletion while its text is still there.
        removed = readers_.Deleting(doc, docLength, ReadersListening());
        if (watcher_ != nullptr) watcher_->Removing(doc, docLength);
    }
    positions_.Deleted(viewPos, length);
    if (docLength > 0) {
        readers_.NoteMoves();
        readers_.Deleted(removed);
        looks_.Deleted();
        changes_.Cover(doc, doc);
        changedInBatch_ = true;
    }
    breaks_.Touched(viewPos, viewPos);
}

void CodeView::QueueSettle() {
    // An edit outside any of the actions above (the component's own, such
    // as a drag that moves text): settle once the component is done.
    if (settleQueued_) return;
    settleQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        settleQueued_ = false;
        if (batchDepth_ == 0) Settle();
    });
}

void CodeView::Settle() {
    if (settling_) return;
    settling_ = true;
    readers_.FinishInsert();
    looks_.ApplyPending();
    breaks_.Settle();
    settling_ = false;
    if (changedInBatch_) {
        changedInBatch_ = false;
        emit Change();
    }
}

// ---- Events ----------------------------------------------------------------

QMimeData* CodeView::toMimeData(const QByteArray& text, bool rectangular) const {
    // Copy, cut and drag take the selection as the document has it, without
    // the view's own breaks.
    if (!rectangular && !breaks_.Map().Empty()) {
        const int from = static_cast<int>(SendScintilla(SCI_GETSELECTIONSTART));
        const int to = static_cast<int>(SendScintilla(SCI_GETSELECTIONEND));
        if (to - from == text.size() && breaks_.Map().CountIn(from, to) > 0) {
            const std::string doc = TextRange(SelStart(), SelLength());
            return QsciScintilla::toMimeData(
                QByteArray(doc.data(), static_cast<qsizetype>(doc.size())), false);
        }
    }
    return QsciScintilla::toMimeData(text, rectangular);
}

void CodeView::ReleaseKeys(const QList<QKeySequence>& keys) {
    for (const QKeySequence& sequence : keys) {
        // Only a single chord can be one of the component's bindings.
        if (sequence.count() != 1) continue;
        const int key = sequence[0].toCombined();
        for (QsciCommand* cmd : standardCommands()->commands()) {
            if (cmd->key() == key) cmd->setKey(0);
            if (cmd->alternateKey() == key) cmd->setAlternateKey(0);
        }
    }
}

bool CodeView::IsComponentKey(const QKeyEvent& key) const {
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    return standardCommands()->boundTo(key.key() | static_cast<int>(mods)) != nullptr;
}

void CodeView::keyPressEvent(QKeyEvent* e) {
    // A key with Alt belongs to the menus (Alt+E opens Edit): one that opens
    // no menu types nothing either. Ctrl+Alt is left alone, as some
    // keyboards type characters with it.
    const Qt::KeyboardModifiers held = e->modifiers();
    if ((held & Qt::AltModifier) && !(held & Qt::ControlModifier) && !IsComponentKey(*e)) {
        e->ignore();
        return;
    }
    {
        ChangeBatch batch(this);
        // At one of the view's breaks the keys act as if it were not there:
        // Delete and Backspace take the document's next or previous
        // character, and the arrows do not stop on both sides of it.
        const auto caret = static_cast<int>(SendScintilla(SCI_GETCURRENTPOS));
        const bool empty = SendScintilla(SCI_GETSELECTIONEMPTY) != 0;
        const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
        if (empty && !breaks_.Map().Empty()) {
            const bool breakAfter = breaks_.Map().IsBreakAt(caret);
            const bool breakBefore = caret > 0 && breaks_.Map().IsBreakAt(caret - 1);
            const bool plainOrCtrl = mods == Qt::NoModifier || mods == Qt::ControlModifier;
            // In overtype mode a typed character replaces the document's
            // next character, which stands after the break.
            const bool overtyping = overwriteMode() && !e->text().isEmpty() &&
                                    e->text().at(0).isPrint() &&
                                    (mods & (Qt::ControlModifier | Qt::AltModifier)) == 0;
            if (breakAfter &&
                (overtyping || (plainOrCtrl && (e->key() == Qt::Key_Delete ||
                                                (e->key() == Qt::Key_Right && mods == 0))))) {
                SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(caret + 1));
            } else if (breakBefore && plainOrCtrl &&
                       (e->key() == Qt::Key_Backspace || (e->key() == Qt::Key_Left && mods == 0))) {
                SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(caret - 1));
            }
        }
        // The component types a key's text only when it is one UTF-16
        // unit: a character beyond (an emoji, a rare ideograph) would be
        // lost, so it is typed here, over the selection, as a key types.
        const QString typed = e->text();
        if (!typed.isEmpty() && typed.at(0).isHighSurrogate() && !isReadOnly() &&
            (mods & (Qt::ControlModifier | Qt::AltModifier)) == 0) {
            SendScintilla(SCI_REPLACESEL, 0UL, typed.toUtf8().constData());
            e->accept();
        } else {
            QsciScintilla::keyPressEvent(e);
        }
    }
    emit KeyDown();
}

void CodeView::keyReleaseEvent(QKeyEvent* e) {
    QsciScintilla::keyReleaseEvent(e);
    emit KeyUp();
}

void CodeView::inputMethodEvent(QInputMethodEvent* e) {
    ChangeBatch batch(this);
    QsciScintilla::inputMethodEvent(e);
}

void CodeView::mousePressEvent(QMouseEvent* e) {
    {
        // A middle-button press pastes the primary selection.
        ChangeBatch batch(this);
        QsciScintilla::mousePressEvent(e);
    }
    emit MouseDown();
}

void CodeView::mouseMoveEvent(QMouseEvent* e) {
    // A drag that leaves the view may move the selection out of it.
    ChangeBatch batch(this);
    QsciScintilla::mouseMoveEvent(e);
}

void CodeView::mouseReleaseEvent(QMouseEvent* e) {
    {
        ChangeBatch batch(this);
        QsciScintilla::mouseReleaseEvent(e);
    }
    emit MouseUp();
}

void CodeView::contextMenuEvent(QContextMenuEvent* e) {
    ChangeBatch batch(this);
    QsciScintilla::contextMenuEvent(e);
}

namespace {

QList<QUrl> DroppedFiles(const QMimeData* data) {
    QList<QUrl> files;
    if (data == nullptr || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) files.push_back(url);
    }
    return files;
}

}  // namespace

void CodeView::dragEnterEvent(QDragEnterEvent* e) {
    if (!DroppedFiles(e->mimeData()).isEmpty()) {
        e->acceptProposedAction();
        return;
    }
    QsciScintilla::dragEnterEvent(e);
}

void CodeView::dragMoveEvent(QDragMoveEvent* e) {
    if (!DroppedFiles(e->mimeData()).isEmpty()) {
        e->acceptProposedAction();
        return;
    }
    QsciScintilla::dragMoveEvent(e);
}

void CodeView::dropEvent(QDropEvent* e) {
    const QList<QUrl> files = DroppedFiles(e->mimeData());
    if (!files.isEmpty()) {
        e->acceptProposedAction();
        emit FilesDropped(files);
        return;
    }
    ChangeBatch batch(this);
    QsciScintilla::dropEvent(e);
}

void CodeView::cut() {
    ChangeBatch batch(this);
    QsciScintilla::cut();
}

void CodeView::paste() {
    ChangeBatch batch(this);
    QsciScintilla::paste();
}

}  // namespace tarlo
