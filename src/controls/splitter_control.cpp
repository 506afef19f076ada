#include "controls/splitter_control.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace tarlo {

namespace {

constexpr int kLabelMargin = 4;

int PixelsFromTwips(int twips) {
    return RoundHalfEven(static_cast<double>(twips) / ctlSplitterEx::kTwipsPerPixel);
}

// Edges are converted rather than sizes, so that a tile ends on the very pixel
// where the bar begins and the bar keeps its width wherever it lies. A size
// that came out negative leaves the tile empty.
QRect PixelRectFromTwips(const TwipRect& r) {
    const int left = PixelsFromTwips(r.left);
    const int top = PixelsFromTwips(r.top);
    const int right = PixelsFromTwips(r.left + r.width);
    const int bottom = PixelsFromTwips(r.top + r.height);
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

}  // namespace

ctlSplitterEx::ctlSplitterEx(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("Splitter"));
    // Moves with no button held are needed to switch the pointer over the bar.
    setMouseTracking(true);

    // Shown until tiles are attached, as a reminder of where the control
    // belongs in the z-order of its container.
    behindLabel_ = new QLabel(tr("(must be behind its attached objects)"), this);
    nameLabel_ = new QLabel(tr("SplitterEx"), this);
    PlaceLabels();
}

void ctlSplitterEx::MaxTilePercent(int mt) {
    layout_.SetMaxTilePercent(mt);
}

void ctlSplitterEx::MinTilePercent(int mt) {
    layout_.SetMinTilePercent(mt);
}

void ctlSplitterEx::TileMode(int tm) {
    layout_.SetTileMode(tm);
    Refresh();
}

void ctlSplitterEx::AttachObjects(QWidget* oLeft, QWidget* oRight, bool InitZOrder) {
    oLeft_ = oLeft;
    oRight_ = oRight;
    layout_.Attach();
    behindLabel_->hide();
    nameLabel_->hide();
    if (InitZOrder) {
        if (oLeft_) oLeft_->raise();
        if (oRight_) oRight_->raise();
    }
    Refresh();
}

void ctlSplitterEx::Refresh() {
    ArrangeTiles();
}

TwipRect ctlSplitterEx::SelfTwips() const {
    const QRect g = geometry();
    return TwipRect{g.x() * kTwipsPerPixel, g.y() * kTwipsPerPixel, g.width() * kTwipsPerPixel,
                    g.height() * kTwipsPerPixel};
}

void ctlSplitterEx::ArrangeTiles() {
    // Before any attach there is nothing to place. The guard stops a splitter
    // that was (wrongly) given itself or an ancestor as a tile from laying
    // itself out without end.
    if (!layout_.attached() || arranging_) return;
    arranging_ = true;

    const TileRects rects = layout_.Arrange(SelfTwips());
    if (oLeft_) oLeft_->setGeometry(PixelRectFromTwips(rects.a));
    if (oRight_) oRight_->setGeometry(PixelRectFromTwips(rects.b));

    // A tile that is itself a splitter lays out its own tiles in the area it
    // was just given. A hidden one gets no resize event, so this is explicit.
    if (auto* inner = qobject_cast<ctlSplitterEx*>(oLeft_.data())) inner->Refresh();
    if (auto* inner = qobject_cast<ctlSplitterEx*>(oRight_.data())) inner->Refresh();

    arranging_ = false;
    update();
}

QRect ctlSplitterEx::BarRect() const {
    const int start = PixelsFromTwips(layout_.firstExtent());
    const int end = PixelsFromTwips(layout_.firstExtent() + SplitterLayout::kBarTwips);
    if (layout_.sideBySide()) return QRect(start, 0, end - start, height());
    return QRect(0, start, width(), end - start);
}

void ctlSplitterEx::ShowSizingPointer(bool sizing) {
    if (sizing) {
        setCursor(layout_.sideBySide() ? Qt::SplitHCursor : Qt::SplitVCursor);
    } else {
        unsetCursor();
    }
}

void ctlSplitterEx::PlaceLabels() {
    behindLabel_->adjustSize();
    nameLabel_->adjustSize();
    behindLabel_->move(kLabelMargin, kLabelMargin);
    nameLabel_->move(kLabelMargin, behindLabel_->geometry().bottom() + 1 + kLabelMargin);
}

void ctlSplitterEx::mousePressEvent(QMouseEvent* event) {
    const QPointF p = event->position() * kTwipsPerPixel;
    layout_.Press(p.x(), p.y());
    event->accept();
}

void ctlSplitterEx::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = event->position() * kTwipsPerPixel;
    const MoveResult result = layout_.Move(p.x(), p.y(), SelfTwips());
    ShowSizingPointer(result.sizingPointer);
    if (result.rearrange) ArrangeTiles();
    event->accept();
}

void ctlSplitterEx::mouseReleaseEvent(QMouseEvent* event) {
    layout_.Release();
    ShowSizingPointer(false);
    event->accept();
}

void ctlSplitterEx::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ArrangeTiles();
}

void ctlSplitterEx::moveEvent(QMoveEvent* event) {
    // The tiles are placed in the container's coordinates, so they follow
    // the control when it moves as well as when it is resized.
    QWidget::moveEvent(event);
    ArrangeTiles();
}

void ctlSplitterEx::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (!layout_.attached()) {
        // Outline the area the control will share out, so it can be found
        // in its container before tiles are attached.
        painter.fillRect(rect(), palette().window());
        painter.setPen(QPen(palette().color(QPalette::Mid), 1, Qt::DashLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        return;
    }

    const QRect bar = BarRect();
    painter.fillRect(bar, palette().mid());

    // A few dots in the middle of the bar as a grip.
    constexpr int kDots = 3;
    constexpr int kDotSize = 2;
    constexpr int kDotGap = 4;
    const QPoint centre = bar.center();
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().dark());
    for (int i = 0; i < kDots; ++i) {
        const int offset = (i - kDots / 2) * (kDotSize + kDotGap);
        const QPoint at = layout_.sideBySide() ? QPoint(centre.x(), centre.y() + offset)
                                               : QPoint(centre.x() + offset, centre.y());
        painter.drawRect(QRect(at.x() - kDotSize / 2, at.y() - kDotSize / 2, kDotSize, kDotSize));
    }
}

}  // namespace tarlo
