#include "shell/progress_windows.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLineEdit>
#include <QLabel>
#include <QMovie>
#include <QPointer>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QWindow>
#include <cmath>
#include <memory>

#include "shell/window_helpers.h"
#include "support/gui_test_support.h"

namespace tarlo {
namespace {

using test::WaitUntil;

class ProgressWindowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        main_ = std::make_unique<QWidget>();
        main_->setWindowTitle(QStringLiteral("Tarlo"));
        main_->setGeometry(100, 80, 600, 400);
        main_->show();
        main_->activateWindow();
        ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == main_.get(); }));
    }

    void TearDown() override {
        main_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Gives the platform a moment to hand the focus around, if it would.
    static void Settle() {
        WaitUntil([] { return false; }, 100);
    }

    std::unique_ptr<QWidget> main_;
};

TEST_F(ProgressWindowsTest, CleaningAndCheckingShareOneWindowThatStartsAfreshAfterClose) {
    ProgressWindows progress(main_.get());
    EXPECT_EQ(progress.edgProgress(), nullptr);
    progress.CloseEdgProgress();  // nothing to close

    frmEdgProgress* cleaning = progress.ShowCleaningProgress();
    ASSERT_NE(cleaning, nullptr);
    EXPECT_EQ(progress.edgProgress(), cleaning);
    EXPECT_TRUE(cleaning->isVisible());
    EXPECT_EQ(cleaning->windowTitle(), "Working, please wait...");
    EXPECT_EQ(cleaning->Label1->text(), "Code is being cleaned.");
    EXPECT_EQ(cleaning->findChild<QLabel*>("Label1"), cleaning->Label1);
    EXPECT_EQ(cleaning->findChild<QLabel*>("lblitem"), cleaning->lblitem);
    EXPECT_EQ(cleaning->findChild<QLabel*>("WebBrowser1"), cleaning->WebBrowser1);
    EXPECT_EQ(cleaning->findChild<QProgressBar*>("EdgProgress"), cleaning->EdgProgress);

    // What a run does to the window: a bar over its items, an item line.
    cleaning->EdgProgress->setRange(1, 12);
    cleaning->EdgProgress->setValue(5);
    cleaning->lblitem->setText(QStringLiteral("Replacing codes..."));

    frmEdgProgress* checking = progress.ShowCheckingProgress();
    EXPECT_EQ(checking, cleaning);
    EXPECT_EQ(main_->findChildren<frmEdgProgress*>().size(), 1);
    EXPECT_EQ(checking->Label1->text(), "Code is being error-checked.");
    EXPECT_EQ(checking->lblitem->text(), "Replacing codes...");
    EXPECT_EQ(checking->EdgProgress->minimum(), 1);
    EXPECT_EQ(checking->EdgProgress->maximum(), 12);
    EXPECT_EQ(checking->EdgProgress->value(), 5);

    const QPointer<frmEdgProgress> old(checking);
    progress.CloseEdgProgress();
    EXPECT_EQ(progress.edgProgress(), nullptr);
    ASSERT_FALSE(old.isNull());
    EXPECT_FALSE(old->isVisible());

    // Shown again before the old window is even gone: a new window with the
    // design values, not the old one brought back.
    frmEdgProgress* fresh = progress.ShowCheckingProgress();
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh, old.data());
    EXPECT_EQ(fresh->Label1->text(), "Code is being error-checked.");
    EXPECT_EQ(fresh->lblitem->text(), "Working...");
    EXPECT_EQ(fresh->EdgProgress->value(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(main_->findChildren<frmEdgProgress*>().size(), 1);
}

TEST_F(ProgressWindowsTest, CodeProgressTakesTheCaptionItIsGiven) {
    ProgressWindows progress(main_.get());
    EXPECT_EQ(progress.codeProgress(), nullptr);

    frmCodeProgress* window = progress.ShowCodeProgress(QStringLiteral("Code is being colorized."));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Working, please wait...");
    EXPECT_EQ(window->findChild<QLabel*>("Label1"), window->Label1);
    EXPECT_EQ(window->Label1->text(), "Code is being colorized.");
    EXPECT_EQ(window->size(), QSize(175, 54));  // 2625 x 810 twips

    EXPECT_EQ(progress.ShowCodeProgress(QStringLiteral("Code is being formatted.")), window);
    EXPECT_EQ(window->Label1->text(), "Code is being formatted.");
    EXPECT_EQ(main_->findChildren<frmCodeProgress*>().size(), 1);

    progress.CloseCodeProgress();
    EXPECT_EQ(progress.codeProgress(), nullptr);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(ProgressWindowsTest, WindowsStayInFrontOfMainWithoutTakingFocus) {
    ProgressWindows progress(main_.get());
    const QList<QWidget*> windows = {progress.ShowCodeProgress(QStringLiteral("x")),
                                     progress.ShowCleaningProgress()};
    Settle();
    for (QWidget* window : windows) {
        SCOPED_TRACE(window->objectName().toStdString());
        EXPECT_EQ(window->windowType(), Qt::Tool);
        EXPECT_EQ(window->parentWidget(), main_.get());
        EXPECT_EQ(window->cursor().shape(), Qt::WaitCursor);
        EXPECT_TRUE(window->testAttribute(Qt::WA_ShowWithoutActivating));
        EXPECT_TRUE(window->isVisible());
    }
    EXPECT_EQ(QApplication::activeWindow(), main_.get());

    // Owners show the window over and over during a run.
    progress.ShowCheckingProgress();
    progress.ShowCodeProgress(QStringLiteral("y"));
    Settle();
    EXPECT_EQ(QApplication::activeWindow(), main_.get());
}

// Where the outer bounds of `window` belong over those of the main window,
// worked out in pixels, halves rounded away from zero.
QPoint MiddleOver(const QWidget* main, const QWidget* window) {
    const QRect m = main->frameGeometry();
    const QSize own = window->frameGeometry().size();
    return QPoint(static_cast<int>(std::lround(m.x() + m.width() / 2.0 - own.width() / 2.0)),
                  static_cast<int>(std::lround(m.y() + m.height() / 2.0 - own.height() / 2.0)));
}

TEST_F(ProgressWindowsTest, WindowsOpenInTheMiddleOfTheMainWindow) {
    ProgressWindows progress(main_.get());

    frmEdgProgress* edg = progress.ShowCleaningProgress();
    EXPECT_EQ(edg->size(), QSize(280, 100));  // 4200 x 1500 twips
    EXPECT_EQ(edg->frameGeometry().topLeft(), MiddleOver(main_.get(), edg));

    // The frame counts, not just the client area: the offscreen platform
    // draws one, and leaving it out would put the window two pixels off.
    frmCodeProgress* code = progress.ShowCodeProgress(QStringLiteral("x"));
    EXPECT_EQ(code->frameGeometry().topLeft(), MiddleOver(main_.get(), code));

    // Each new window follows the main window to where it is now; one that
    // is merely shown again stays put.
    progress.CloseEdgProgress();
    main_->move(400, 300);
    ASSERT_TRUE(WaitUntil([&] { return main_->frameGeometry().topLeft() == QPoint(400, 300); }));
    edg = progress.ShowCheckingProgress();
    EXPECT_EQ(edg->frameGeometry().topLeft(), MiddleOver(main_.get(), edg));
    const QPoint codeAt = code->frameGeometry().topLeft();
    progress.ShowCodeProgress(QStringLiteral("y"));
    EXPECT_EQ(code->frameGeometry().topLeft(), codeAt);
}

TEST_F(ProgressWindowsTest, AnimationComesFromTheProgramFolderAndIsOptional) {
    {
        // The build puts code.gif beside the test program.
        ProgressWindows progress(main_.get());
        QMovie* movie = progress.ShowCleaningProgress()->WebBrowser1->movie();
        ASSERT_NE(movie, nullptr);
        EXPECT_TRUE(movie->isValid());
        EXPECT_EQ(movie->frameCount(), 8);
        EXPECT_EQ(movie->state(), QMovie::Running);
        ASSERT_NE(progress.ShowCodeProgress(QStringLiteral("x"))->WebBrowser1->movie(), nullptr);
    }

    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    ProgressWindows missing(main_.get(), empty.path());
    frmEdgProgress* edg = missing.ShowCheckingProgress();
    EXPECT_EQ(edg->WebBrowser1->movie(), nullptr);
    EXPECT_TRUE(edg->isVisible());
    EXPECT_EQ(edg->cursor().shape(), Qt::WaitCursor);

    QTemporaryDir broken;
    ASSERT_TRUE(broken.isValid());
    test::WriteFile(broken.path(), QStringLiteral("code.gif"), "not a picture");
    ProgressWindows unreadable(main_.get(), broken.path());
    frmCodeProgress* code = unreadable.ShowCodeProgress(QStringLiteral("x"));
    EXPECT_EQ(code->WebBrowser1->movie(), nullptr);
    EXPECT_TRUE(code->isVisible());
}

TEST_F(ProgressWindowsTest, SetTopmostKeepsAShownWindowWhereItIs) {
    QWidget window(main_.get(), Qt::Window);
    window.setGeometry(50, 60, 200, 120);
    window.show();
    main_->activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == main_.get(); }));
    const QRect where = window.geometry();

    auto* field = new QLineEdit(&window);
    field->show();
    SetTopmost(&window, true);
    Settle();
    EXPECT_EQ(window.windowType(), Qt::Tool);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.geometry(), where);
    // A tool window that people work in still takes the keyboard.
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    window.activateWindow();
    field->setFocus();
    EXPECT_TRUE(WaitUntil([&] { return field->hasFocus(); }));

    SetTopmost(&window, false);
    Settle();
    EXPECT_EQ(window.windowType(), Qt::Window);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.geometry(), where);
    ASSERT_NE(window.windowHandle(), nullptr);
    EXPECT_EQ(window.windowHandle()->transientParent(), nullptr);
}

}  // namespace
}  // namespace tarlo
