// The caret tests of the typing aids, the paragraph indent and the undo
// history's slots, sharing and exact restore.
#include <gtest/gtest.h>

#include <string>

#include "cleanup/find_replace.h"
#include "codeview/typing_aids.h"
#include "codeview/undo_history.h"

namespace tarlo {
namespace {

TEST(TypingAids, CaretTests) {
    EXPECT_FALSE(CaretInTag(""));
    EXPECT_TRUE(CaretInTag("<p"));
    EXPECT_TRUE(CaretInTag("<p>x<a href"));
    EXPECT_FALSE(CaretInTag("<p>x"));
    EXPECT_FALSE(CaretInTag("a > b"));
    EXPECT_TRUE(CaretInComment("<!-- x <b"));
    EXPECT_FALSE(CaretInComment("<!-- x -->"));
    EXPECT_FALSE(CaretInComment("<!-"));
    EXPECT_TRUE(CaretInQuotedValue("<p align=\"cen"));
    EXPECT_FALSE(CaretInQuotedValue("<p align=\"center\""));
    EXPECT_FALSE(CaretInQuotedValue("<p align="));
    EXPECT_TRUE(CaretInQuotedValue("<p a=\"1\" b=\"x y"));
    EXPECT_FALSE(CaretInQuotedValue("say \"hi"));
}

TEST(TypingAids, IndentAndCounting) {
    const std::string nbsp10 = "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";
    EXPECT_EQ(IndentFirstLines("<P>Text</P><p>low</p><P class=x>attr</P><P></P>"),
              "<P>" + nbsp10 + "Text</P><p>low</p><P class=x>attr</P>");
    EXPECT_EQ(Occurs("aaaa", "aa"), 2u);
    EXPECT_EQ(Occurs("", "a"), 0u);  // no occurrence in an empty text counts 0
    EXPECT_FALSE(ToggleGivesUpperCase(1));
    EXPECT_TRUE(ToggleGivesUpperCase(2));
}

std::vector<LookRun> OneRun(const std::string& text, WinColor colour) {
    if (text.empty()) return {};
    return {{0, static_cast<int>(text.size()), colour, 8.5}};
}

TEST(UndoHistory, SlotsShiftAndRedoStopsAtTheNewest) {
    UndoHistory h;
    EXPECT_FALSE(h.Undo().has_value());  // nothing recorded yet
    EXPECT_FALSE(h.Redo().has_value());
    h.Record("one", OneRun("one", kWhite));
    std::optional<UndoSnapshot> s = h.Undo();
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->text, "");  // slot 0 holds the empty start
    EXPECT_TRUE(s->runs.empty());
    s = h.Redo();
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->text, "one");
    EXPECT_FALSE(h.Redo().has_value());  // never beyond the newest snapshot

    UndoHistory full;
    for (int n = 1; n <= 60; ++n) {
        const std::string t = "change " + std::to_string(n);
        full.Record(t, OneRun(t, static_cast<WinColor>(n)));
    }
    EXPECT_EQ(full.UndoIndex(), 50);
    int steps = 0;
    std::optional<UndoSnapshot> last;
    while (auto back = full.Undo()) {
        last = back;
        ++steps;
    }
    EXPECT_EQ(steps, 50);
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->text, "change 10");
    ASSERT_EQ(last->runs.size(), 1u);
    EXPECT_EQ(last->runs[0].colour, 10u);
    // A change after undoing drops the undone steps.
    full.Record("branch", OneRun("branch", kBlack));
    EXPECT_EQ(full.UndoIndex(), 1);
    EXPECT_FALSE(full.Redo().has_value());
    ASSERT_TRUE(full.Undo().has_value());
    EXPECT_EQ(full.Redo()->text, "branch");
}

TEST(UndoHistory, RestoresColoursExactlyAndSharesUnchangedText) {
    std::string doc;
    while (doc.size() < 2'000'000)
        doc += "<td width=\"60%\"><font size=\"2\">Line item</font></td>\r\n";
    auto runsOf = [](const std::string& text) {
        std::vector<LookRun> runs;
        for (int at = 0; at < static_cast<int>(text.size()); at += 7) {
            const int len = std::min(7, static_cast<int>(text.size()) - at);
            runs.push_back({at, len, static_cast<WinColor>((at / 7) % 4), at % 2 ? 8.5 : 9.0});
        }
        return runs;
    };
    UndoHistory h;
    std::vector<std::string> texts;
    for (int n = 0; n < 60; ++n) {
        doc.insert(static_cast<std::size_t>(n) * 30011 % doc.size(), "x" + std::to_string(n));
        texts.push_back(doc);
        h.Record(doc, runsOf(doc));
    }
    // Well under three copies of the document, where 51 full copies would be 51.
    EXPECT_LT(h.MemoryBytes(), 3 * doc.size());
    for (int n = 58; n >= 10; --n) {
        const std::optional<UndoSnapshot> s = h.Undo();
        ASSERT_TRUE(s.has_value());
        ASSERT_EQ(s->text, texts[static_cast<std::size_t>(n)]) << n;
        const std::vector<LookRun> expected = runsOf(s->text);
        ASSERT_EQ(s->runs.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); i += 997) {
            EXPECT_EQ(s->runs[i].start, expected[i].start);
            EXPECT_EQ(s->runs[i].colour, expected[i].colour);
            EXPECT_EQ(s->runs[i].pointSize, expected[i].pointSize);
        }
    }
    EXPECT_EQ(h.Redo()->text, texts[11]);
}

}  // namespace
}  // namespace tarlo
