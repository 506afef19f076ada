// The places the code view keeps in its text (the caret panels' known
// column, the screen readers' known offset) stay right through typing,
// deleting and pasting around its own breaks, which move them too.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QTest>
#include <algorithm>
#include <random>
#include <string>

#include "codeview/code_view.h"

namespace tarlo {
namespace {

bool Lead(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

// A place a caret can stand: never inside a character nor a CR LF.
std::size_t CharStart(const std::string& s, std::size_t pos) {
    while (pos > 0 && pos < s.size() && !Lead(s[pos])) --pos;
    if (pos > 0 && pos < s.size() && s[pos] == '\n' && s[pos - 1] == '\r') --pos;
    return pos;
}

std::size_t PrevChar(const std::string& s, std::size_t pos) {
    if (pos == 0) return 0;
    if (pos >= 2 && s.compare(pos - 2, 2, "\r\n") == 0) return pos - 2;
    return CharStart(s, pos - 1);
}

// Line and column in characters, and the offset in UTF-16 units, of `pos`,
// counted from the start.
struct Counts {
    int line = 0;
    int column = 0;
    int utf16 = 0;
};

Counts CountsAt(const std::string& s, std::size_t pos) {
    Counts c;
    for (std::size_t i = 0; i < pos; ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (Lead(s[i])) {
            ++c.column;
            ++c.utf16;
        }
        if (b >= 0xF0) ++c.utf16;
        if (s[i] == '\n') {
            ++c.line;
            c.column = 0;
        }
    }
    return c;
}

std::string LongLine(int bytes, int seed) {
    std::string out;
    for (int i = 0; static_cast<int>(out.size()) < bytes; ++i) {
        out += "<td>caf\xC3\xA9 " + std::to_string(seed * 1000 + i) + " \xF0\x9F\x93\x88</td>";
    }
    return out;
}

TEST(CodeViewPositions, KnownColumnsAndOffsetsFollowEditsAcrossTheViewsBreaks) {
    CodeView view;
    view.resize(600, 400);
    view.show();
    view.setFocus();
    std::string model = LongLine(20000, 1) + "\r\n<p>x</p>\r\n" + LongLine(9000, 2);
    view.SetTextUtf8(model);
    ASSERT_GT(view.SoftBreakCount(), 0);
    std::mt19937 rng(81226);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (int step = 0; step < 300; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        std::size_t caret =
            CharStart(model, static_cast<std::size_t>(pick(static_cast<int>(model.size()) + 1)));
        view.SetSel(static_cast<int>(caret), 0);
        if (pick(3) == 0) {
            // Right at one of the view's breaks, on either side of it.
            const std::string shown = view.ViewTextUtf8();
            for (std::size_t v = shown.find(
                     '\n', static_cast<std::size_t>(pick(static_cast<int>(shown.size()))));
                 v != std::string::npos; v = shown.find('\n', v + 1)) {
                const int at = static_cast<int>(v);
                if (view.ToDocumentPosition(at) != view.ToDocumentPosition(at + 1)) continue;
                const int side = at + pick(2);
                view.SendScintilla(QsciScintillaBase::SCI_GOTOPOS,
                                   static_cast<unsigned long>(side));
                caret = static_cast<std::size_t>(view.ToDocumentPosition(side));
                break;
            }
        }
        // Known points on both sides of the edit to come.
        const std::size_t later =
            CharStart(model, std::min(model.size(), caret + static_cast<std::size_t>(pick(300))));
        view.LineColumnOf(static_cast<int>(caret));
        view.Utf16OffsetOf(static_cast<int>(later));
        const int op = pick(6);
        if (op <= 1) {
            // Characters beyond the first UTF-16 plane come with the pasted runs.
            const char* keys[] = {"a", ">", "\xC3\xA9"};
            const std::string k = keys[pick(3)];
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                            QString::fromUtf8(k.c_str()));
            QApplication::sendEvent(&view, &press);
            model.insert(caret, k);
            caret += k.size();
        } else if (op == 2) {
            QTest::keyClick(&view, Qt::Key_Return);
            model.insert(caret, "\r\n");
            caret += 2;
        } else if (op == 3) {
            QTest::keyClick(&view, Qt::Key_Backspace);
            const std::size_t prev = PrevChar(model, caret);
            model.erase(prev, caret - prev);
            caret = prev;
        } else if (op == 4) {  // a long run: the breaks around it are laid out again
            const std::string piece = LongLine(pick(7000), step);
            QApplication::clipboard()->setText(QString::fromStdString(piece));
            view.paste();
            model.insert(caret, piece);
            caret += piece.size();
        } else {  // a selection that may take in breaks and a line end
            const std::size_t end = CharStart(
                model, std::min(model.size(), caret + static_cast<std::size_t>(pick(6000))));
            view.SetSel(static_cast<int>(caret), static_cast<int>(end - caret));
            QTest::keyClick(&view, Qt::Key_Delete);
            model.erase(caret, end - caret);
        }
        const std::string text = view.TextUtf8();
        const auto differ = std::mismatch(text.begin(), text.end(), model.begin(), model.end());
        ASSERT_TRUE(text == model)
            << "op " << op << ", first difference at " << (differ.first - text.begin());
        const Counts at = CountsAt(model, caret);
        const CodeView::LineColumn shown = view.LineColumnOf(static_cast<int>(caret));
        EXPECT_EQ(shown.line, at.line);
        EXPECT_EQ(shown.column, at.column);
        EXPECT_EQ(view.Utf16OffsetOf(static_cast<int>(caret)), at.utf16);
        const std::size_t far =
            CharStart(model, static_cast<std::size_t>(pick(static_cast<int>(model.size()) + 1)));
        EXPECT_EQ(view.Utf16OffsetOf(static_cast<int>(far)), CountsAt(model, far).utf16);
        EXPECT_EQ(view.Utf16Length(), CountsAt(model, model.size()).utf16);
    }
}

}  // namespace
}  // namespace tarlo
