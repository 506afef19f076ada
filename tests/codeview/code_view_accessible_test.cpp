// What a screen reader reads of the code view, through the accessibility
// layer the platform bridge uses: the document's text (not the view's own
// breaks), the caret, the selection, lines, and the events of typing.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <string>
#include <vector>

#include "codeview/code_view.h"

namespace tarlo {
namespace {

std::string Filing(int bytes) {
    std::string out = "<html><body>";
    for (int i = 0; static_cast<int>(out.size()) < bytes; ++i) {
        out += "<td>caf\xC3\xA9 " + std::to_string(i) + " \xF0\x9F\x93\x88</td>";  // é and 📈
    }
    return out + "</body></html>";
}

struct Seen {
    QAccessible::Event type;
    int offset;
    QString text;
};

class CodeViewReader : public ::testing::Test {
  protected:
    void SetUp() override {
        view = new CodeView;
        view->setAccessibleName("HTML code");
        view->resize(600, 400);
        view->show();
        view->setFocus();
        doc = Filing(30000);
        view->SetTextUtf8(doc);
        whole = QString::fromUtf8(doc.data(), static_cast<qsizetype>(doc.size()));
    }
    void TearDown() override { delete view; }
    QAccessibleTextInterface* Text() {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(view);
        return iface != nullptr ? iface->textInterface() : nullptr;
    }

    CodeView* view = nullptr;
    std::string doc;
    QString whole;
};

TEST_F(CodeViewReader, ReadsTheDocumentTextCaretAndSelection) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(view);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::EditableText);
    EXPECT_EQ(iface->text(QAccessible::Name), "HTML code");
    ASSERT_NE(iface->editableTextInterface(), nullptr);
    QAccessibleTextInterface* text = Text();
    ASSERT_NE(text, nullptr);
    ASSERT_GT(view->SoftBreakCount(), 3);
    // Counts and pieces in UTF-16 units, the view's breaks nowhere.
    EXPECT_EQ(text->characterCount(), whole.size());
    EXPECT_EQ(text->text(0, whole.size()), whole);
    EXPECT_EQ(text->text(5000, 9000), whole.mid(5000, 4000));
    EXPECT_EQ(text->text(8000, 7000 + 3000), whole.mid(8000, 2000));
    // The caret and the selection, set from the code and from the reader.
    const int pos = static_cast<int>(doc.find("</td>", 20000));
    view->SetSel(pos, 0);
    EXPECT_EQ(text->cursorPosition(), QString::fromUtf8(doc.data(), pos).size());
    text->setCursorPosition(100);
    EXPECT_EQ(view->SelStart(), QString(whole.left(100)).toUtf8().size());
    text->setSelection(0, 200, 260);
    int start = 0;
    int end = 0;
    text->selection(0, &start, &end);
    EXPECT_EQ(start, 200);
    EXPECT_EQ(end, 260);
    EXPECT_EQ(text->selectionCount(), 1);
    // A character, a word and a shown line at an offset.
    const int euro = static_cast<int>(whole.indexOf(QStringLiteral("caf\u00e9 7 ")));
    EXPECT_EQ(text->textAtOffset(euro + 3, QAccessible::CharBoundary, &start, &end), "\u00e9");
    EXPECT_EQ(text->textAtOffset(euro + 1, QAccessible::WordBoundary, &start, &end),
              QStringLiteral("caf\u00e9"));
    EXPECT_EQ(start, euro);
    const QString line = text->textAtOffset(15000, QAccessible::LineBoundary, &start, &end);
    EXPECT_FALSE(line.contains('\n'));
    EXPECT_LE(line.size(), 4000);
    EXPECT_EQ(line, whole.mid(start, end - start));
    EXPECT_LE(start, 15000);
    EXPECT_GT(end, 15000);
    const QString next = text->textAfterOffset(15000, QAccessible::LineBoundary, &start, &end);
    EXPECT_FALSE(next.isEmpty());
    EXPECT_EQ(next, whole.mid(start, end - start));
}

TEST_F(CodeViewReader, EditsThroughTheReaderAreDocumentEdits) {
    QAccessibleEditableTextInterface* edit =
        QAccessible::queryAccessibleInterface(view)->editableTextInterface();
    edit->insertText(10, QStringLiteral("\u00e9!"));
    QString expected = whole;
    expected.insert(10, QStringLiteral("\u00e9!"));
    EXPECT_EQ(QString::fromStdString(view->TextUtf8()), expected);
    edit->deleteText(10, 12);
    EXPECT_EQ(view->TextUtf8(), doc);
    edit->replaceText(20000, 20010, QStringLiteral("X"));
    expected = whole;
    expected.replace(20000, 10, QStringLiteral("X"));
    EXPECT_EQ(QString::fromStdString(view->TextUtf8()), expected);
}

TEST_F(CodeViewReader, TypingTellsTheReaderWhereAndWhat) {
    // The platform bridge is not running headless: the view is told a
    // reader listens, and what it would send is caught on its way out.
    std::vector<Seen> events;
    view->TellReaders(true);
    QObject::connect(view, &CodeView::TextChangedForReaders,
                     [&events](int offset, const QString& removed, const QString& inserted) {
                         if (!removed.isEmpty())
                             events.push_back({QAccessible::TextRemoved, offset, removed});
                         if (!inserted.isEmpty())
                             events.push_back({QAccessible::TextInserted, offset, inserted});
                     });
    QObject::connect(view, &CodeView::CaretMoved, [this, &events] {
        events.push_back({QAccessible::TextCaretMoved, Text()->cursorPosition(), {}});
    });
    const int pos = static_cast<int>(doc.find("<td>", 15000));
    view->SetSel(pos, 0);
    QApplication::processEvents();
    events.clear();
    QTest::keyClick(view, Qt::Key_Q);
    QApplication::processEvents();
    const int offset = QString::fromUtf8(doc.data(), pos).size();
    bool inserted = false;
    bool moved = false;
    for (const Seen& e : events) {
        if (e.type == QAccessible::TextInserted && e.offset == offset && e.text == "q")
            inserted = true;
        if (e.type == QAccessible::TextCaretMoved && e.offset == offset + 1) moved = true;
    }
    EXPECT_TRUE(inserted);
    EXPECT_TRUE(moved);
    events.clear();
    QTest::keyClick(view, Qt::Key_Backspace);
    QApplication::processEvents();
    bool removed = false;
    for (const Seen& e : events) {
        if (e.type == QAccessible::TextRemoved && e.offset == offset && e.text == "q")
            removed = true;
    }
    EXPECT_TRUE(removed);
    // A change far before the caret keeps the counts right.
    QAccessible::queryAccessibleInterface(view)->editableTextInterface()->insertText(
        3, "\u00e9\u00e9");
    EXPECT_EQ(Text()->characterCount(), whole.size() + 2);
    EXPECT_EQ(Text()->cursorPosition(), offset + 2);
    EXPECT_EQ(Text()->text(offset, offset + 4), whole.mid(offset - 2, 4));
}

}  // namespace
}  // namespace tarlo
