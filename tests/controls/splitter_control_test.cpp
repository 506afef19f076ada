#include "controls/splitter_control.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>

namespace tarlo {
namespace {

// A hover with no button held, delivered straight to the control; under the
// offscreen platform a real pointer move would land on whichever tile is on top.
void Hover(QWidget* w, QPoint pos) {
    QMouseEvent ev(QEvent::MouseMove, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &ev);
}

Qt::CursorShape Shape(const QWidget* w) {
    return w->cursor().shape();
}

int IndexIn(const QWidget* parent, const QWidget* child) {
    return static_cast<int>(parent->children().indexOf(const_cast<QWidget*>(child)));
}

TEST(SplitterControlTest, TilesFollowAttachDragAndResize) {
    QWidget container;
    container.resize(700, 500);
    auto* a = new QWidget(&container);
    auto* b = new QWidget(&container);
    auto* splitter = new ctlSplitterEx(&container);
    splitter->setGeometry(15, 30, 600, 300);  // 9000 x 4500 twips at (225, 450)
    container.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&container));

    const QList<QLabel*> labels = splitter->findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 2);
    EXPECT_TRUE(labels[0]->isVisibleTo(splitter));
    splitter->TileMode(1);
    splitter->AttachObjects(a, b, true);
    EXPECT_FALSE(labels[1]->isVisibleTo(splitter));
    EXPECT_LT(IndexIn(&container, splitter), IndexIn(&container, a));
    EXPECT_LT(IndexIn(&container, a), IndexIn(&container, b));

    // 30 % of 9000 twips is 2700 (180 px); the bar runs to 2800 twips.
    EXPECT_EQ(a->geometry(), QRect(15, 30, 180, 300));
    EXPECT_EQ(b->geometry(), QRect(202, 30, 413, 300));
    Hover(splitter, {100, 100});
    EXPECT_EQ(Shape(splitter), Qt::ArrowCursor);
    Hover(splitter, {183, 100});
    EXPECT_EQ(Shape(splitter), Qt::SplitHCursor);

    QTest::mousePress(splitter, Qt::LeftButton, {}, {183, 100});
    QTest::mouseMove(splitter, {300, 150});
    EXPECT_EQ(a->geometry(), QRect(15, 30, 300, 300));
    EXPECT_EQ(Shape(splitter), Qt::SplitHCursor);  // far from the bar, still sizing
    QTest::mouseMove(splitter, {597, 150});        // 99.5 % rounds to 100: refused
    EXPECT_EQ(a->width(), 300);
    QTest::mouseMove(splitter, {580, 150});  // 96.7 % -> 97
    EXPECT_EQ(b->geometry(), QRect(604, 30, 11, 300));
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, {580, 150});
    EXPECT_EQ(Shape(splitter), Qt::ArrowCursor);

    // The tiles follow the control when it is resized or moved.
    splitter->setGeometry(45, 60, 300, 200);  // 4365 of 4500 twips
    EXPECT_EQ(a->geometry(), QRect(45, 60, 291, 200));
    splitter->setGeometry(15, 30, 5, 5);  // too small for the bar
    EXPECT_EQ(b->geometry(), QRect(27, 30, 0, 5));

    splitter->setGeometry(15, 30, 600, 300);
    splitter->AttachObjects(a, b, false);
    EXPECT_EQ(splitter->split(), 30);
    splitter->TileMode(0);  // stacked: the bar lies across, 90 px down
    EXPECT_EQ(b->geometry(), QRect(15, 127, 600, 203));
    Hover(splitter, {183, 93});
    EXPECT_EQ(Shape(splitter), Qt::SplitVCursor);
    QTest::mousePress(splitter, Qt::LeftButton, {}, {10, 93});
    QTest::mouseMove(splitter, {400, 150});
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, {400, 150});
    EXPECT_EQ(a->geometry(), QRect(15, 30, 600, 150));
}

TEST(SplitterControlTest, NestedSplitterIsLaidOutInsideItsTile) {
    // Kept hidden: a hidden tile gets no resize event, so only the explicit
    // refresh of a nested splitter places its tiles.
    QWidget container;
    container.resize(600, 400);
    auto* left = new QWidget(&container);
    auto* top = new QWidget(&container);
    auto* bottom = new QWidget(&container);
    auto* inner = new ctlSplitterEx(&container);
    auto* outer = new ctlSplitterEx(&container);
    outer->setGeometry(0, 0, 600, 400);
    inner->setGeometry(0, 0, 50, 50);

    inner->AttachObjects(top, bottom, true);  // mode 0: stacked
    outer->TileMode(1);
    outer->AttachObjects(left, inner, true);

    EXPECT_EQ(inner->geometry(), QRect(187, 0, 413, 400));
    EXPECT_EQ(bottom->geometry(), QRect(187, 127, 413, 273));

    outer->TileMode(2);  // stacked as well
    EXPECT_EQ(inner->geometry(), QRect(0, 127, 600, 273));
    EXPECT_EQ(top->geometry(), QRect(0, 127, 600, 82));
}

}  // namespace
}  // namespace tarlo
