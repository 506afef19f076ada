// The pictures of the main window's tool rows: every button shows a picture
// of our own that draws without any font, and a screen reader can say what
// every button does.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QToolBar>
#include <QToolButton>
#include <vector>

#include "shell/dialogs.h"
#include "editor/main_window.h"
#include "editor/tool_icons.h"
#include "support/gui_test_support.h"

namespace tarlo {
namespace {

// How many pixels of the picture drawn at 16 x 16 are not transparent.
int DrawnPixels(const QIcon& icon) {
    const QImage image = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) drawn += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    }
    return drawn;
}

QString AccessibleName(QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name) : QString();
}

class ToolbarIconsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dialogs = new ScriptedDialogs;
        window = test::StartTestWindow(dialogs, [] {});
    }
    static void TearDownTestSuite() {
        delete window;
        delete dialogs;
    }

    // Every button of the tool rows: the two toolbars' buttons and the
    // command buttons of the strips.
    static std::vector<QToolButton*> Buttons() {
        std::vector<QToolButton*> buttons;
        for (QToolBar* bar : {window->tbIcons, window->tb2}) {
            for (QAction* a : bar->actions()) {
                if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(a))) {
                    buttons.push_back(b);
                }
            }
        }
        for (const char* strip : {"Toolbar1", "tbWeb"}) {
            for (QToolButton* b :
                 window->findChild<QWidget*>(strip)->findChildren<QToolButton*>()) {
                buttons.push_back(b);
            }
        }
        return buttons;
    }
    // The name a button is known by: its action's for a toolbar button.
    static QString NameOf(QToolButton* b) {
        return b->defaultAction() ? b->defaultAction()->objectName() : b->objectName();
    }

    static inline frmMain* window = nullptr;
    static inline ScriptedDialogs* dialogs = nullptr;
};

TEST_F(ToolbarIconsTest, EveryToolButtonShowsAPictureAndHasAName) {
    const std::vector<QToolButton*> buttons = Buttons();
    // 9 + 3 toolbar buttons, 16 in the first strip, 18 in the second.
    ASSERT_EQ(buttons.size(), 46u);
    std::vector<QImage> pictures;
    for (QToolButton* b : buttons) {
        const std::string name = NameOf(b).toStdString();
        ASSERT_FALSE(b->icon().isNull()) << name;
        EXPECT_GE(DrawnPixels(b->icon()), 12) << name << " draws (almost) nothing";
        EXPECT_EQ(b->iconSize(), QSize(14, 14)) << name;
        EXPECT_FALSE(b->accessibleName().isEmpty()) << name;
        EXPECT_FALSE(AccessibleName(b).isEmpty()) << name;
        EXPECT_FALSE(b->toolTip().isEmpty()) << name;
        // The picture is what shows, except on the captioned FTP button.
        if (name != "cmdUpload") {
            EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonIconOnly) << name;
        }
        pictures.push_back(b->icon().pixmap(16, 16).toImage());
    }
    // No two buttons share a picture (a slip in the table of pictures would).
    for (size_t i = 0; i < pictures.size(); ++i) {
        for (size_t j = i + 1; j < pictures.size(); ++j) {
            EXPECT_NE(pictures[i], pictures[j])
                << NameOf(buttons[i]).toStdString() << " and " << NameOf(buttons[j]).toStdString();
        }
    }
}

TEST_F(ToolbarIconsTest, ButtonsKeepTheirTipsTextsAndNames) {
    // Readers name the toolbar buttons by what they do, not by a glyph.
    QAction* format = window->findChild<QAction*>("tb2_1");
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->text(), "{ }");
    EXPECT_EQ(format->toolTip(), "Format Code");
    EXPECT_EQ(AccessibleName(window->tb2->widgetForAction(format)), "Format Code");
    QAction* orientation = window->findChild<QAction*>("tb2_3");
    EXPECT_EQ(AccessibleName(window->tb2->widgetForAction(orientation)),
              "Toggle Window Orientation (F11)");
    QAction* open = window->findChild<QAction*>("tbIcons_3");
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->toolTip(), "Open");
    EXPECT_EQ(AccessibleName(window->tbIcons->widgetForAction(open)), "Open");

    // The two buttons whose glyphs the fonts lacked.
    for (const char* name : {"cmdLeft", "cmdRight"}) {
        auto* b = window->findChild<QToolButton*>(name);
        ASSERT_NE(b, nullptr) << name;
        EXPECT_FALSE(b->icon().isNull()) << name;
    }
    auto* left = window->findChild<QToolButton*>("cmdLeft");
    EXPECT_EQ(left->toolTip(), "Left Align");
    EXPECT_EQ(AccessibleName(left), "Left Align");
    auto* upload = window->findChild<QToolButton*>("cmdUpload");
    EXPECT_EQ(upload->text(), "FTP Files");
    EXPECT_EQ(AccessibleName(upload), "FTP Files");
    EXPECT_TRUE(ToolIcon("no such control").isNull());
}

TEST_F(ToolbarIconsTest, PicturesAreDrawnNotWritten) {
    // A picture that wrote a character would depend on the machine's fonts
    // again: every shape is a path or a plain figure.
    const QDir icons(QStringLiteral(":/icons"));
    const QStringList files = icons.entryList({QStringLiteral("*.svg")}, QDir::Files);
    // One for each button, and the tool windows' own.
    EXPECT_GE(files.size(), 45);
    for (const QString& f : files) {
        QFile file(icons.filePath(f));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << f.toStdString();
        const QByteArray svg = file.readAll();
        EXPECT_FALSE(svg.contains("<text")) << f.toStdString();
        EXPECT_FALSE(svg.contains("<image")) << f.toStdString();
    }
}

}  // namespace
}  // namespace tarlo
