#include "insert/symbol_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

#include "shell/editor.h"
#include "shell/window_helpers.h"
#include "insert/special_symbols.h"
#include "text/byte_range.h"

namespace tarlo {

namespace {

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

// Times New Roman as the cells are drawn; where it is missing, the fonts
// with its metrics come first so the glyphs keep their size.
QFont GlyphFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                      QStringLiteral("Tinos"), QStringLiteral("Nimbus Roman"),
                      QStringLiteral("serif")});
    font.setPointSize(12);
    return font;
}

// The check boxes as Wingdings draws them (an empty and a crossed square),
// for systems without that font.
QPixmap DrawBox(bool crossed, const QColor& ink, qreal ratio) {
    const int side = 12;
    QPixmap pixmap(QSize(side, side) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(ink);
    pen.setWidthF(1.5);
    p.setPen(pen);
    p.drawRect(QRectF(1, 1, side - 2.5, side - 2.5));
    if (crossed) {
        p.drawLine(QPointF(3, 3), QPointF(side - 3.5, side - 3.5));
        p.drawLine(QPointF(side - 3.5, 3), QPointF(3, side - 3.5));
    }
    return pixmap;
}

}  // namespace

SymbolLabel::SymbolLabel(const SymbolCell& cell, QWidget* parent) : QLabel(parent), cell_(cell) {
    setObjectName(FromView(cell.control));
    setAccessibleName(FromView(cell.name));
    setToolTip(FromView(cell.inserted));
    setAccessibleDescription(toolTip());
    setFocusPolicy(Qt::TabFocus);
    setAlignment(Qt::AlignCenter);
    setCursor(Qt::PointingHandCursor);
    if (cell.wingdings == 0) {
        setFont(GlyphFont());
        setText(QString::fromUcs4(&cell.glyph, 1));
    } else if (QFontDatabase::hasFamily(QStringLiteral("Wingdings"))) {
        setFont(QFont(QStringLiteral("Wingdings"), 12));
        setText(QString(QChar::fromLatin1(cell.wingdings)));
    } else {
        setPixmap(DrawBox(cell.wingdings == 'x', palette().color(QPalette::WindowText),
                          devicePixelRatioF()));
    }
}

void SymbolLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) pressed_ = true;
    QLabel::mousePressEvent(event);
}

void SymbolLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click) emit clicked();
}

void SymbolLabel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

frmSpecial::frmSpecial(Editor& editor) : QWidget(editor.mainWindow(), Qt::Window), editor_(editor) {
    setObjectName(QStringLiteral("frmSpecial"));
    CloseOnEscape(this);
    setWindowTitle(QStringLiteral("Special Symbols"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, false);

    lblInstruction = new QLabel(
        QStringLiteral("Place the cursor in the code window where you want to place a symbol "
                       "then click a symbol."),
        this);
    lblInstruction->setObjectName(QStringLiteral("Label4"));
    lblInstruction->setAccessibleName(lblInstruction->text());
    lblInstruction->setWordWrap(true);
    QFont small = lblInstruction->font();
    small.setPointSize(8);
    lblInstruction->setFont(small);
    // The instruction gets the lines it needs in the font the system has;
    // the grid and the window move down rather than cut it off.
    const QRect textArea = TwipRectToPixels(60, 0, 3420, 480);
    lblInstruction->setGeometry(
        textArea.x(), textArea.y(), textArea.width(),
        std::max(textArea.height(), lblInstruction->heightForWidth(textArea.width()) + 2));
    const int push = lblInstruction->height() - textArea.height();

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    Frame1->setGeometry(TwipRectToPixels(60, 480, 3420, 1125).translated(0, push));

    // Cells are 315 twips square on a 300-twip pitch, so neighbours share
    // their edge line.
    for (const SymbolCell& cell : SymbolCells()) {
        auto* label = new SymbolLabel(cell, Frame1);
        label->setGeometry(TwipRectToPixels(60 + (cell.column - 1) * 300.0,
                                            60 + (cell.row - 1) * 300.0, 315, 315));
        connect(label, &SymbolLabel::clicked, this, [this, label] { Symbol_Click(label->cell()); });
        cells.push_back(label);
    }

    txtSymbol = new QLineEdit(this);
    txtSymbol->setObjectName(QStringLiteral("txtSymbol"));
    txtSymbol->setAccessibleName(QStringLiteral("Last chosen symbol code"));
    txtSymbol->setFocusPolicy(Qt::NoFocus);
    txtSymbol->hide();

    setFixedSize(TwipSizeToPixels(3540, 1665) + QSize(0, push));
    SetTopmost(this, true);
    CentreOverMain(this, editor.mainWindow());
}

void frmSpecial::Symbol_Click(const SymbolCell& cell) {
    txtSymbol->setText(FromView(cell.inserted));
    InsertSymbol();
}

void frmSpecial::InsertSymbol() {
    const ByteRange selection = editor_.Selection();
    editor_.SetSelection(ByteRange{selection.start, 0});
    // Typing goes on in the code view, after the symbol.
    if (QWidget* main = editor_.mainWindow()) main->activateWindow();
    editor_.FocusCode();
    const QByteArray code = txtSymbol->text().toUtf8();
    if (code.isEmpty()) return;
    editor_.InsertAtCaret(
        std::string_view(code.constData(), static_cast<std::size_t>(code.size())));
}

void frmSpecial::closeEvent(QCloseEvent* event) {
    if (QWidget* main = editor_.mainWindow()) main->activateWindow();
    editor_.FocusPage();
    QWidget::closeEvent(event);
}

}  // namespace tarlo
