#include "insert/tag_reference_window.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "shell/editor.h"
#include "shell/window_helpers.h"
#include "insert/tag_reference.h"
#include "text/byte_range.h"

namespace tarlo {

namespace {

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

}  // namespace

frmHTML::frmHTML(Editor& editor) : QWidget(editor.mainWindow(), Qt::Window), editor_(editor) {
    setObjectName(QStringLiteral("frmHTML"));
    CloseOnEscape(this);
    setWindowTitle(QStringLiteral("Common HTML codes"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, false);

    listHTML = new QListWidget(this);
    listHTML->setObjectName(QStringLiteral("listHTML"));
    listHTML->setAccessibleName(QStringLiteral("HTML codes"));
    listHTML->setAccessibleDescription(
        QStringLiteral("Double-click codes to insert into code window."));
    listHTML->setSelectionMode(QAbstractItemView::SingleSelection);
    listHTML->setSortingEnabled(false);
    listHTML->setGeometry(TwipRectToPixels(60, 60, 1935, 4545));
    // The list speaks for itself through its entries; the hover text stays
    // empty until the user picks one.
    listHTML->setToolTip(QString());
    for (const TagEntry& e : TagReferenceEntries()) listHTML->addItem(FromView(e.text));
    listHTML->setCurrentRow(-1);
    listHTML->clearSelection();
    connect(listHTML, &QListWidget::itemSelectionChanged, this, [this] { listHTML_Click(); });
    listViewport_ = listHTML->viewport();
    listViewport_->installEventFilter(this);
    listHTML->installEventFilter(this);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::StyledPanel);
    const QRect noteArea = TwipRectToPixels(60, 4665, 1935, 555);
    lblNote = new QLabel(QStringLiteral("Double-click codes to insert into code window."), frame);
    lblNote->setObjectName(QStringLiteral("Label1"));
    lblNote->setAccessibleName(lblNote->text());
    lblNote->setWordWrap(true);
    lblNote->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(lblNote);
    // The note gets the lines it needs in the font the system has; the
    // window grows rather than cut it off.
    const int noteHeight =
        std::max(noteArea.height(), layout->totalHeightForWidth(noteArea.width()));
    frame->setGeometry(noteArea.x(), noteArea.y(), noteArea.width(), noteHeight);

    setFixedSize(TwipSizeToPixels(2055, 5280) + QSize(0, noteHeight - noteArea.height()));
    SetTopmost(this, true);
    CentreOverMain(this, editor.mainWindow());
}

void frmHTML::listHTML_Click() {
    const QList<QListWidgetItem*> selected = listHTML->selectedItems();
    if (selected.isEmpty()) return;
    const QByteArray entry = selected.first()->text().toUtf8();
    if (const auto description = DescribeTag(
            std::string_view(entry.constData(), static_cast<std::size_t>(entry.size())))) {
        listHTML->setToolTip(FromView(*description));
    }
}

void frmHTML::listHTML_DblClick(const QListWidgetItem* entry) {
    const ByteRange selection = editor_.Selection();
    editor_.SetSelection(ByteRange{selection.start, 0});
    // The user goes on typing in the code view after the tag.
    if (QWidget* main = editor_.mainWindow()) main->activateWindow();
    editor_.FocusCode();
    if (!entry) return;
    const QByteArray text = entry->text().toUtf8();
    if (text.isEmpty()) return;
    editor_.InsertAtCaret(
        std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
}

bool frmHTML::eventFilter(QObject* watched, QEvent* event) {
    // The event's type is looked at first: the list may be half torn down
    // when the window closes, and only input events touch it.
    if (event->type() == QEvent::MouseButtonDblClick && watched == listViewport_) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            // Only the entry under the pointer goes in: a double-click on the
            // empty space below the last entry inserts nothing.
            listHTML_DblClick(listHTML->itemAt(mouse->position().toPoint()));
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && watched == listHTML) {
        // Enter does what a double-click does, for those who pick by keyboard.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const QList<QListWidgetItem*> selected = listHTML->selectedItems();
            listHTML_DblClick(selected.isEmpty() ? nullptr : selected.first());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmHTML::closeEvent(QCloseEvent* event) {
    if (QWidget* main = editor_.mainWindow()) main->activateWindow();
    QWidget::closeEvent(event);
}

}  // namespace tarlo
