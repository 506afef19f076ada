// The caret tests of the typing aids, the paragraph indent and the undo
// history's slots, sharing and exact restore.
#include <gtest/gtest.h>

#include <string>

#include "codeview/typing_aids.h"
#include "document/undo_history.h"
#include "text/find_replace.h"

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
    EXPECT_FALSE(CaretInComment("<!-->"));  // the closer starts after the opener
    EXPECT_FALSE(CaretInComment("<!--->x"));
    EXPECT_TRUE(CaretInComment("<!-- a --> b <!-- c"));
    EXPECT_TRUE(CaretInComment("a --> <!--"));
    EXPECT_TRUE(CaretInComment("<!-- a --"));  // "-->" not yet whole
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
    EXPECT_EQ(Occurs("aaaa", "aa"), 2);
    EXPECT_EQ(Occurs("", "a"), -1);  // an empty text splits into no pieces
    EXPECT_FALSE(ToggleGivesUpperCase(1));
    EXPECT_TRUE(ToggleGivesUpperCase(2));
}

std::vector<StyleRun> OneRun(const std::string& text, WinColor colour) {
    if (text.empty()) return {};
    return {{0, static_cast<int>(text.size()), colour, 8.5}};
}

TEST(UndoHistory, SlotsShiftAndRedoStopsAtTheNewest) {
    UndoHistory h;
    EXPECT_FALSE(h.Undo().has_value());  // nothing recorded yet
    EXPECT_FALSE(h.Redo().has_value());
    h.Record("one", OneRun("one", kWhite));
    std::optional<UndoStep> s = h.Undo();
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(h.Current().text, "");  // slot 0 holds the empty start
    EXPECT_TRUE(h.Current().runs.empty());
    EXPECT_EQ(s->start, 0u);
    EXPECT_EQ(s->removed, 3u);
    EXPECT_EQ(s->text, "");
    s = h.Redo();
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->text, "one");
    ASSERT_EQ(s->runs.size(), 1u);
    EXPECT_EQ(s->runs[0].length, 3);
    EXPECT_EQ(h.Current().text, "one");
    EXPECT_FALSE(h.Redo().has_value());  // never beyond the newest snapshot

    UndoHistory full;
    for (int n = 1; n <= 60; ++n) {
        const std::string t = "change " + std::to_string(n);
        full.Record(t, OneRun(t, static_cast<WinColor>(n)));
    }
    EXPECT_EQ(full.UndoIndex(), 50);
    int steps = 0;
    while (full.Undo()) ++steps;
    EXPECT_EQ(steps, 50);
    const UndoSnapshot last = full.Current();
    EXPECT_EQ(last.text, "change 10");
    ASSERT_EQ(last.runs.size(), 1u);
    EXPECT_EQ(last.runs[0].colour, 10u);
    // A change after undoing drops the undone steps.
    full.Record("branch", OneRun("branch", kBlack));
    EXPECT_EQ(full.UndoIndex(), 1);
    EXPECT_FALSE(full.Redo().has_value());
    ASSERT_TRUE(full.Undo().has_value());
    ASSERT_TRUE(full.Redo().has_value());
    EXPECT_EQ(full.Current().text, "branch");
}

TEST(UndoHistory, RestoresColoursExactlyAndSharesUnchangedText) {
    std::string doc;
    while (doc.size() < 2'000'000)
        doc += "<td width=\"60%\"><font size=\"2\">Line item</font></td>\r\n";
    // Tags in one look, the rest in another: the looks move with the text,
    // as they do in the view.
    auto runsOf = [](const std::string& text) {
        std::vector<StyleRun> runs;
        bool inTag = false;
        for (int at = 0; at < static_cast<int>(text.size()); ++at) {
            const char c = text[static_cast<std::size_t>(at)];
            if (c == '<') inTag = true;
            const WinColor colour = inTag ? 1 : 2;
            const double size = inTag ? 8.5 : 9.0;
            if (!runs.empty() && runs.back().colour == colour) {
                ++runs.back().length;
            } else {
                runs.push_back({at, 1, colour, size});
            }
            if (c == '>') inTag = false;
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
        ASSERT_TRUE(h.Undo().has_value());
        const UndoSnapshot s = h.Current();
        ASSERT_EQ(s.text, texts[static_cast<std::size_t>(n)]) << n;
        const std::vector<StyleRun> expected = runsOf(s.text);
        ASSERT_EQ(s.runs.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); i += 997) {
            EXPECT_EQ(s.runs[i].start, expected[i].start);
            EXPECT_EQ(s.runs[i].colour, expected[i].colour);
            EXPECT_EQ(s.runs[i].pointSize, expected[i].pointSize);
        }
    }
    ASSERT_TRUE(h.Redo().has_value());
    EXPECT_EQ(h.Current().text, texts[11]);
}

// A change described by its stretch is recorded as the whole content would
// be; a stretch that does not fit is refused, and more looks than one byte
// numbers keep every recorded slot exact.
TEST(UndoHistory, StretchesAndManyLooks) {
    UndoHistory h;
    h.Record("<b>bold</b>", {{0, 3, 1, 8.5}, {3, 4, 2, 8.5}, {7, 4, 1, 8.5}});
    // "bold" becomes "big" in another colour: the stretch [3, 6) of 10 bytes.
    ASSERT_TRUE(h.RecordSpan(3, 6, 10, "big", {{3, 3, 3, 9.0}}));
    UndoSnapshot s = h.Current();
    EXPECT_EQ(s.text, "<b>big</b>");
    ASSERT_EQ(s.runs.size(), 3u);
    EXPECT_EQ(s.runs[1].start, 3);
    EXPECT_EQ(s.runs[1].colour, 3u);
    EXPECT_EQ(s.runs[2].start, 6);
    EXPECT_EQ(s.runs[2].length, 4);
    EXPECT_FALSE(h.RecordSpan(3, 6, 40, "big", {{3, 3, 3, 9.0}}));  // longer than the slot
    EXPECT_FALSE(h.RecordSpan(3, 6, 10, "big", {{3, 2, 3, 9.0}}));  // runs short of the end
    EXPECT_EQ(h.UndoIndex(), 2);
    const std::optional<UndoStep> back = h.Undo();
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->start, 4u);  // "b" and "</b>" were common
    EXPECT_EQ(back->removed, 2u);
    EXPECT_EQ(back->text, "old");
    ASSERT_EQ(back->runs.size(), 1u);
    EXPECT_EQ(back->runs[0].start, 3);
    EXPECT_EQ(h.Current().runs[1].colour, 2u);

    // 300 colours, one per change: the history keeps every slot it holds exact.
    UndoHistory many;
    for (int n = 0; n < 300; ++n) {
        many.Record("abc", {{0, 1, static_cast<WinColor>(n), 8.5},
                            {1, 2, static_cast<WinColor>(1000 + n % 3), 8.5}});
    }
    int steps = 0;
    while (many.Undo()) {
        ++steps;
        const UndoSnapshot slot = many.Current();
        ASSERT_EQ(slot.runs.size(), 2u);
        EXPECT_EQ(slot.runs[0].colour, static_cast<WinColor>(299 - steps));
        EXPECT_EQ(slot.runs[1].colour, static_cast<WinColor>(1000 + (299 - steps) % 3));
    }
    EXPECT_EQ(steps, 50);
}

}  // namespace
}  // namespace tarlo
