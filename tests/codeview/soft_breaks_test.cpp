// Long lines shown in pieces: where the pieces break, and a real code view
// holding a long-line document through a thousand random edits, compared
// with the same edits applied to a plain string.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QTest>
#include <random>
#include <string>

#include "codeview/code_view.h"
#include "codeview/soft_breaks.h"

namespace tarlo {
namespace {

// A filing line: table cells with a non-ASCII character now and then.
std::string LongLine(int bytes, int seed) {
    std::string out;
    for (int i = 0; static_cast<int>(out.size()) < bytes; ++i) {
        out += "<td style=\"width:" + std::to_string((i * 7 + seed) % 90) + "%\">cell " +
               std::to_string(i) + ((i % 5) == 0 ? " caf\xC3\xA9" : "") + "</td>";
    }
    return out;
}

TEST(SoftBreakPoints, LongLinesBreakAfterATagEndAndEveryPieceStaysShort) {
    EXPECT_TRUE(SoftBreakPoints(LongLine(3000, 1)).empty());  // short enough as it is
    const std::string text = LongLine(50000, 2) + "\r\nshort\r\n" + LongLine(9000, 3);
    const std::vector<int> points = SoftBreakPoints(text);
    ASSERT_GT(points.size(), 10u);
    int start = 0;
    for (const int p : points) {
        // A piece starts at the last break or the last line start before it.
        const std::size_t lineStart = text.rfind('\n', static_cast<std::size_t>(p));
        if (lineStart != std::string::npos)
            start = std::max(start, static_cast<int>(lineStart) + 1);
        EXPECT_EQ(text[static_cast<std::size_t>(p) - 1], '>') << p;
        EXPECT_GE(p - start, kSoftBreakTarget - 1);
        EXPECT_LE(p - start, kSoftBreakMaxPiece);
        start = p;
    }
    // Every piece between breaks or line ends is at most the longest piece.
    std::vector<int> cuts = points;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') cuts.push_back(static_cast<int>(i) + 1);
    }
    std::sort(cuts.begin(), cuts.end());
    int prev = 0;
    for (const int c : cuts) {
        EXPECT_LE(c - prev, kSoftBreakMaxPiece + 2);
        prev = c;
    }
    EXPECT_LE(static_cast<int>(text.size()) - prev, kSoftBreakMaxPiece);
}

TEST(SoftBreakPoints, WithoutTagEndsABlankOrACharacterBoundaryIsUsed) {
    std::string words;
    while (words.size() < 12000) words += "word ";
    for (const int p : SoftBreakPoints(words)) {
        EXPECT_EQ(words[static_cast<std::size_t>(p) - 1], ' ');
    }
    std::string letters;
    while (letters.size() < 12000) letters += "\xC3\xA9\xE2\x82\xAC";  // é€, no blanks
    const std::vector<int> points = SoftBreakPoints(letters);
    ASSERT_FALSE(points.empty());
    for (const int p : points) {
        EXPECT_NE(static_cast<unsigned char>(letters[static_cast<std::size_t>(p)]) & 0xC0, 0x80)
            << "break inside a character at " << p;
    }
}

TEST(SoftBreakPoints, BreaksThatStillFitAreKept) {
    const std::string text = LongLine(20000, 4);
    std::vector<int> points = SoftBreakPoints(text);
    ASSERT_GE(points.size(), 3u);
    // A break moved a little (as typing before it does) stays where it is.
    std::vector<int> moved = points;
    moved[1] -= 3;
    while (text[static_cast<std::size_t>(moved[1]) - 1] == '>' ||
           (static_cast<unsigned char>(text[static_cast<std::size_t>(moved[1])]) & 0xC0) == 0x80) {
        --moved[1];
    }
    const std::vector<int> again = SoftBreakPoints(text, moved);
    EXPECT_EQ(again[0], points[0]);
    EXPECT_EQ(again[1], moved[1]);
}

TEST(SoftBreakMap, ConvertsBetweenViewAndDocumentPositions) {
    // Document "abcdef", view "ab\ncd\nef".
    SoftBreakMap map;
    map.Assign({2, 5});
    EXPECT_EQ(map.ToView(0), 0);
    EXPECT_EQ(map.ToView(2), 2);  // before the break
    EXPECT_EQ(map.ToView(3), 4);
    EXPECT_EQ(map.ToView(4), 5);
    EXPECT_EQ(map.ToView(6), 8);
    EXPECT_EQ(map.ToDoc(3), 2);  // just after the break
    EXPECT_EQ(map.ToDoc(8), 6);
    EXPECT_EQ(map.CountIn(0, 8), 2);
    map.Inserted(2, 3);  // typed before the first break
    EXPECT_EQ(map.ViewPositions(), (std::vector<int>{5, 8}));
    EXPECT_EQ(map.Deleted(4, 3), 1);  // takes the first break with it
    EXPECT_EQ(map.ViewPositions(), (std::vector<int>{5}));
    EXPECT_EQ(WithoutBreaks("ab\ncd\nef", {2, 5}), "abcdef");
}

// ---- A real code view -------------------------------------------------------

std::size_t NextChar(const std::string& s, std::size_t pos) {
    if (pos >= s.size()) return s.size();
    if (s[pos] == '\r' && pos + 1 < s.size() && s[pos + 1] == '\n') return pos + 2;
    std::size_t next = pos + 1;
    while (next < s.size() && (static_cast<unsigned char>(s[next]) & 0xC0) == 0x80) ++next;
    return next;
}

std::size_t PrevChar(const std::string& s, std::size_t pos) {
    if (pos == 0) return 0;
    if (pos >= 2 && s[pos - 1] == '\n' && s[pos - 2] == '\r') return pos - 2;
    std::size_t prev = pos - 1;
    while (prev > 0 && (static_cast<unsigned char>(s[prev]) & 0xC0) == 0x80) --prev;
    return prev;
}

std::size_t CharStart(const std::string& s, std::size_t pos) {
    while (pos > 0 && pos < s.size() && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80) --pos;
    if (pos > 0 && pos < s.size() && s[pos] == '\n' && s[pos - 1] == '\r') --pos;
    return pos;
}

class CodeViewBreaks : public ::testing::Test {
  protected:
    void SetUp() override {
        view = new CodeView;
        view->resize(600, 400);
        view->show();
        view->setFocus();
    }
    void TearDown() override { delete view; }

    // Every break the view holds is a line feed carrying the hidden mark,
    // and every shown line is at most a piece long.
    void ExpectSoundBreaks() {
        const std::string shown = view->ViewTextUtf8();
        int marked = 0;
        for (int p = 0; p < static_cast<int>(shown.size()); ++p) {
            if (view->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, 8UL,
                                    static_cast<long>(p)) != 0) {
                ++marked;
                EXPECT_EQ(shown[static_cast<std::size_t>(p)], '\n') << p;
            }
        }
        EXPECT_EQ(marked, view->SoftBreakCount());
        const auto lines =
            static_cast<int>(view->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT));
        for (int l = 0; l < lines; ++l) {
            const auto line = static_cast<unsigned long>(l);
            EXPECT_LE(view->SendScintilla(QsciScintillaBase::SCI_LINELENGTH, line),
                      kSoftBreakMaxPiece + 2)
                << "line " << l;
            // The margin mark shows exactly the lines that go on in the next.
            const long end = view->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, line);
            const bool continues =
                view->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, 8UL, end) != 0;
            const bool marked =
                (view->SendScintilla(QsciScintillaBase::SCI_MARKERGET, line) & 2) != 0;
            EXPECT_EQ(marked, continues) << "line " << l;
        }
    }

    CodeView* view = nullptr;
};

TEST_F(CodeViewBreaks, TheDocumentReadsBackAsWrittenWithBreaksOnlyInTheView) {
    const std::string doc = LongLine(40000, 5) + "\r\n<p>x</p>\r\n" + LongLine(12000, 6);
    view->SetTextUtf8(doc);
    EXPECT_GT(view->SoftBreakCount(), 10);
    EXPECT_EQ(view->TextUtf8(), doc);
    EXPECT_EQ(view->Length(), static_cast<int>(doc.size()));
    EXPECT_EQ(view->ViewTextUtf8().size(),
              doc.size() + static_cast<std::size_t>(view->SoftBreakCount()));
    ExpectSoundBreaks();
    // Lines and columns are the document's: the second line starts after the
    // first CR LF whatever the view shows.
    const int second = static_cast<int>(doc.find("<p>"));
    EXPECT_EQ(view->LineOfPosition(second), 1);
    EXPECT_EQ(view->LineStartOf(1), second);
    EXPECT_EQ(view->LineStartOf(2), static_cast<int>(doc.find("\r\n", second)) + 2);
    const int deep = 30001;
    EXPECT_EQ(view->LineOfPosition(deep), 0);
    const int chars = QString::fromUtf8(doc.data(), deep).size();
    EXPECT_EQ(view->ColumnInCharacters(deep), chars);
    EXPECT_EQ(view->LineColumnOf(deep).column, chars);
    EXPECT_EQ(view->LineColumnOf(deep + 5).column, QString::fromUtf8(doc.data(), deep + 5).size());
    EXPECT_EQ(view->LineColumnOf(100).column, QString::fromUtf8(doc.data(), 100).size());
    // Looks are the document's too.
    view->SetRangeColour(deep - 10, 4000, RgbColor(0, 0, 255));
    const std::vector<StyleRun> runs = view->RunsIn(deep - 20, 4100);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[1].start, deep - 10);
    EXPECT_EQ(runs[1].length, 4000);
}

TEST_F(CodeViewBreaks, CopyAndFindSeeTheDocumentAcrossABreak) {
    const std::string doc = LongLine(30000, 7);
    view->SetTextUtf8(doc);
    const std::string shown = view->ViewTextUtf8();
    const std::size_t firstBreak = shown.find('\n');
    ASSERT_NE(firstBreak, std::string::npos);
    // A selection that spans the break copies without it.
    const int docBreak = static_cast<int>(firstBreak);
    view->SetSel(docBreak - 6, 12);
    view->copy();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), doc.substr(docBreak - 6, 12));
    // The text that runs across the break is found, and found only once.
    const std::string across = doc.substr(docBreak - 4, 9);
    const int first = static_cast<int>(doc.find(across));
    EXPECT_EQ(view->FindInCode(across, 0, CodeView::kMatchCase), first);
    EXPECT_EQ(view->SelStart(), first);
    EXPECT_EQ(view->SelLength(), 9);
    EXPECT_EQ(view->FindInCode(across, first + 1, CodeView::kMatchCase),
              static_cast<int>(doc.find(across, first + 1)) >= 0
                  ? static_cast<int>(doc.find(across, first + 1))
                  : -1);
    // Case-blind and whole-word searches across it follow the same rules as
    // anywhere else.
    std::string upper = across;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(view->FindInCode(upper, 0, CodeView::kNoHighlight), first);
    EXPECT_EQ(view->FindInCode(upper, 0, CodeView::kMatchCase | CodeView::kNoHighlight), -1);
}

TEST_F(CodeViewBreaks, KeysAtABreakActOnTheDocument) {
    const std::string doc = LongLine(20000, 8);
    view->SetTextUtf8(doc);
    const std::string shown = view->ViewTextUtf8();
    const int at = static_cast<int>(shown.find('\n'));  // document offset of the first break
    ASSERT_GT(at, 0);
    // The caret at the end of the shown line: Delete takes the next
    // character of the document, not the break.
    int changes = 0;
    QObject::connect(view, &CodeView::Change, [&changes] { ++changes; });
    view->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(at));
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(changes, 1);
    std::string expected = doc;
    expected.erase(static_cast<std::size_t>(at), 1);
    EXPECT_EQ(view->TextUtf8(), expected);
    // At the start of the next shown line Backspace takes the '>' before it.
    view->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(at + 1));
    if (view->ToDocumentPosition(at + 1) == at) {
        QTest::keyClick(view, Qt::Key_Backspace);
        expected.erase(static_cast<std::size_t>(at) - 1, 1);
        EXPECT_EQ(view->TextUtf8(), expected);
    }
    // Overtyping at the end of a shown piece replaces the document's next
    // character.
    const int next = static_cast<int>(view->ViewTextUtf8().find('\n'));
    view->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(next));
    view->setOverwriteMode(true);
    QTest::keyClick(view, Qt::Key_Z);
    view->setOverwriteMode(false);
    expected[static_cast<std::size_t>(next)] = 'z';
    EXPECT_EQ(view->TextUtf8(), expected);
    ExpectSoundBreaks();
    // Typing enough at one place makes the view move and add its own breaks
    // around it: still one change per key, and the span the undo history
    // records is the key's alone.
    view->SetSel(at - 10, 0);
    view->TakeChangedSpan();
    changes = 0;
    const int breaksBefore = view->SoftBreakCount();
    for (int i = 0; i < 2500; ++i) {
        QTest::keyClick(view, Qt::Key_Greater);
        const CodeView::ChangedSpan span = view->TakeChangedSpan();
        ASSERT_EQ(span.end - span.start, 1);
    }
    EXPECT_EQ(changes, 2500);
    EXPECT_GT(view->SoftBreakCount(), breaksBefore);
    ExpectSoundBreaks();
}

TEST_F(CodeViewBreaks, AKeyTypesCharactersBeyondOneUtf16UnitToo) {
    // An emoji or a rare ideograph arrives from a key as two UTF-16 units;
    // it is typed like any other character, replacing the selection.
    view->SetTextUtf8("<p>ab</p>");
    view->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 4UL);
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, smile);
    QApplication::sendEvent(view, &press);
    EXPECT_EQ(view->TextUtf8(),
              "<p>a\xF0\x9F\x98\x80"
              "b</p>");
    view->SetSel(3, 1);
    QKeyEvent again(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, smile);
    QApplication::sendEvent(view, &again);
    EXPECT_EQ(view->TextUtf8(),
              "<p>\xF0\x9F\x98\x80\xF0\x9F\x98\x80"
              "b</p>");
}

TEST_F(CodeViewBreaks, AThousandRandomEditsMatchTheSameEditsOnAString) {
    std::string model = LongLine(30000, 9) + "\r\n<p>middle</p>\r\n" + LongLine(15000, 10);
    // A line with no tag end at all.
    for (int i = 0; i < 2000; ++i) model += "w\xC3\xA9";
    view->SetTextUtf8(model);
    std::mt19937 rng(20261208);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const std::vector<std::string> needles = {"</td>", "cell 1", "%\">", "caf\xC3\xA9",
                                              "w\xC3\xA9w"};
    for (int step = 0; step < 1000; ++step) {
        // The caret goes somewhere (on a character boundary), as a click would.
        std::size_t caret =
            CharStart(model, static_cast<std::size_t>(pick(static_cast<int>(model.size()) + 1)));
        view->SetSel(static_cast<int>(caret), 0);
        if (pick(3) == 0 && view->SoftBreakCount() > 0) {
            // Often right at one of the view's breaks, on either side of it.
            const std::string shown = view->ViewTextUtf8();
            std::vector<int> breaks;
            for (int p = 0; p < static_cast<int>(shown.size()); ++p) {
                if (view->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, 8UL,
                                        static_cast<long>(p)) != 0) {
                    breaks.push_back(p);
                }
            }
            const int b = breaks[static_cast<std::size_t>(pick(static_cast<int>(breaks.size())))];
            const int side = b + pick(2);
            view->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(side));
            caret = static_cast<std::size_t>(view->ToDocumentPosition(side));
        }
        ASSERT_EQ(view->SelStart(), static_cast<int>(caret)) << "step " << step;
        const int op = pick(10);
        SCOPED_TRACE("step " + std::to_string(step) + " op " + std::to_string(op));
        if (op <= 2) {  // typing
            const char* keys[] = {"a", ">", "<", " ", "\xC3\xA9"};
            const std::string k = keys[pick(5)];
            // A key with its text, as a keyboard layout delivers it.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                            QString::fromUtf8(k.c_str()));
            QApplication::sendEvent(view, &press);
            model.insert(caret, k);
            caret += k.size();
        } else if (op == 3) {  // Enter
            QTest::keyClick(view, Qt::Key_Return);
            model.insert(caret, "\r\n");
            caret += 2;
        } else if (op == 4) {  // Backspace
            QTest::keyClick(view, Qt::Key_Backspace);
            const std::size_t prev = PrevChar(model, caret);
            model.erase(prev, caret - prev);
            caret = prev;
        } else if (op == 5) {  // Delete
            QTest::keyClick(view, Qt::Key_Delete);
            model.erase(caret, NextChar(model, caret) - caret);
        } else if (op == 6) {  // cut a selection, then paste it elsewhere
            const std::size_t end = CharStart(
                model, std::min(model.size(), caret + static_cast<std::size_t>(pick(9000))));
            view->SetSel(static_cast<int>(caret), static_cast<int>(end - caret));
            view->cut();
            const std::string cut = model.substr(caret, end - caret);
            ASSERT_EQ(QApplication::clipboard()->text().toStdString(), cut);
            model.erase(caret, end - caret);
            const std::size_t to = CharStart(
                model, static_cast<std::size_t>(pick(static_cast<int>(model.size()) + 1)));
            view->SetSel(static_cast<int>(to), 0);
            view->paste();
            model.insert(to, cut);
            caret = to + cut.size();
        } else if (op == 7) {  // paste a long run without line ends
            const std::string piece = LongLine(pick(6000), step);
            QApplication::clipboard()->setText(QString::fromStdString(piece));
            view->paste();
            model.insert(caret, piece);
            caret += piece.size();
        } else if (op == 8) {  // find and replace
            const std::string& needle = needles[static_cast<std::size_t>(pick(5))];
            const std::size_t hit = model.find(needle, caret);
            const int found =
                view->FindInCode(needle, static_cast<int>(caret), CodeView::kMatchCase);
            ASSERT_EQ(found, hit == std::string::npos ? -1 : static_cast<int>(hit));
            if (found >= 0) {
                view->ReplaceSelection("<b>");
                model.replace(hit, needle.size(), "<b>");
                caret = hit + 3;
            }
        } else {  // arrows: one character of the document each
            const bool right = pick(2) == 0;
            QTest::keyClick(view, right ? Qt::Key_Right : Qt::Key_Left);
            caret = right ? NextChar(model, caret) : PrevChar(model, caret);
            ASSERT_EQ(view->SelStart(), static_cast<int>(caret));
        }
        ASSERT_EQ(view->Length(), static_cast<int>(model.size()));
        ASSERT_EQ(view->TextUtf8(), model);
        if (op != 9) {
            ASSERT_EQ(view->SelStart(), static_cast<int>(caret));
        }
        if (step % 10 == 0) ExpectSoundBreaks();
    }
    ExpectSoundBreaks();
}

}  // namespace
}  // namespace tarlo
