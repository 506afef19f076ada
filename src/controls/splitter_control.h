#pragma once
// ctlSplitterEx: shares an area between two attached tiles, side by side or
// stacked, with a drag bar between them.
//
// The control lies behind its two tiles, as a sibling in the same container,
// and covers the whole area they share; only the bar strip between the tiles
// leaves it visible, so presses reach it only on the bar. Lengths are kept in
// twips (15 to a pixel) and converted at the edges.

#include <QPointer>
#include <QWidget>

#include "controls/splitter_layout.h"

class QLabel;

namespace tarlo {

class ctlSplitterEx : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kTwipsPerPixel = 15;

    explicit ctlSplitterEx(QWidget* parent = nullptr);

    // Bounds on the first tile's share while dragging. Values outside 6..97,
    // or that would cross the other bound, are ignored.
    void MaxTilePercent(int mt);
    void MinTilePercent(int mt);
    int maxTilePercent() const { return layout_.maxTilePercent(); }
    int minTilePercent() const { return layout_.minTilePercent(); }

    // 1 puts the tiles side by side; any other value stacks them.
    void TileMode(int tm);
    int tileMode() const { return layout_.tileMode(); }

    // The first tile's share in percent.
    int split() const { return layout_.split(); }
    bool attached() const { return layout_.attached(); }
    bool dragging() const { return layout_.dragging(); }

    // Takes the two tiles and lays them out with the first at 30 percent.
    // With initZOrder the tiles are brought to the front, first then second,
    // so that they cover this control everywhere but the bar.
    void AttachObjects(QWidget* oLeft, QWidget* oRight, bool InitZOrder);
    void Refresh();

    QWidget* firstTile() const { return oLeft_; }
    QWidget* secondTile() const { return oRight_; }

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void ArrangeTiles();
    void PlaceLabels();
    TwipRect SelfTwips() const;
    // The bar strip in this control's own pixel coordinates.
    QRect BarRect() const;
    void ShowSizingPointer(bool sizing);

    SplitterLayout layout_;
    QPointer<QWidget> oLeft_;
    QPointer<QWidget> oRight_;
    QLabel* behindLabel_ = nullptr;
    QLabel* nameLabel_ = nullptr;
    bool arranging_ = false;
};

}  // namespace tarlo
