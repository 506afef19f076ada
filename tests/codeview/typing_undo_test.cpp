// The caret tests of the typing aids, the paragraph indent and the undo
// history's slots, sharing and exact restore.
#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <random>
#include <string>
#include <vector>

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

// The code view in plain terms: text and one look per byte, telling the
// history of each change as the view does.
struct Look {
    WinColor colour;
    double size;
    bool operator==(const Look& o) const { return colour == o.colour && size == o.size; }
};

struct ModelView : UndoSource {
    std::string text;
    std::vector<Look> looks;
    UndoHistory* history = nullptr;

    std::string Text(std::size_t start, std::size_t length) const override {
        return text.substr(start, length);
    }
    std::vector<StyleRun> Looks(std::size_t start, std::size_t length) const override {
        std::vector<StyleRun> runs;
        for (std::size_t i = start; i < start + length && i < looks.size(); ++i) {
            if (!runs.empty() && runs.back().colour == looks[i].colour &&
                runs.back().pointSize == looks[i].size) {
                ++runs.back().length;
            } else {
                runs.push_back({static_cast<int>(i), 1, looks[i].colour, looks[i].size});
            }
        }
        return runs;
    }
    void Insert(std::size_t at, const std::string& s, Look look) {
        text.insert(at, s);
        looks.insert(looks.begin() + static_cast<long>(at), s.size(), look);
        history->Inserted(at, s.size());
    }
    void Remove(std::size_t at, std::size_t n) {
        history->Removing(*this, at, n);
        text.erase(at, n);
        looks.erase(looks.begin() + static_cast<long>(at),
                    looks.begin() + static_cast<long>(at + n));
    }
    void Paint(std::size_t at, std::size_t n, Look look) {
        history->Restyling(*this, at, n);
        std::fill(looks.begin() + static_cast<long>(at), looks.begin() + static_cast<long>(at + n),
                  look);
    }
    // What the code commands do with a step: the new text first takes
    // whatever look (here one no step ever uses), then the step's looks.
    void Load(const UndoStep& step) {
        text.replace(step.start, step.removed, step.text);
        looks.erase(looks.begin() + static_cast<long>(step.start),
                    looks.begin() + static_cast<long>(step.start + step.removed));
        looks.insert(looks.begin() + static_cast<long>(step.start), step.text.size(),
                     Look{0xBADBAD, 1});
        for (const StyleRun& r : step.runs) {
            for (int i = r.start; i < r.start + r.length; ++i) {
                looks[static_cast<std::size_t>(i)] = Look{r.colour, r.pointSize};
            }
        }
    }
};

struct Slot {
    std::string text;
    std::vector<Look> looks;
    bool operator==(const Slot& o) const { return text == o.text && looks == o.looks; }
    static Slot Of(const ModelView& v) { return {v.text, v.looks}; }
};

// Random edits (insert, delete, replace, repaint, now and then the whole
// text), one to three per step, on a plain model: undoing all the way and
// redoing all the way shows every recorded slot exactly, looks included.
TEST(UndoHistory, RandomEditsComeBackExactly) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        const auto pick = [&rng](std::size_t n) { return n == 0 ? 0 : rng() % n; };
        const auto look = [&] { return Look{static_cast<WinColor>(pick(5)), pick(2) ? 8.5 : 9.0}; };
        UndoHistory h;
        ModelView v;
        v.history = &h;
        v.text = "<p>Net revenues <b>increased</b> &#150; see below.</p>\r\n<td>1,234</td>";
        v.looks.assign(v.text.size(), Look{kWhite, 9});
        h.Begin();
        std::vector<Slot> slots = {{v.text, v.looks}};
        const int steps = 20 + static_cast<int>(pick(30));
        for (int n = 0; n < steps; ++n) {
            for (std::size_t k = 0, ops = 1 + pick(3); k < ops; ++k) {
                const std::size_t at = pick(v.text.size() + 1);
                const std::size_t n = std::min(pick(12), v.text.size() - at);
                switch (pick(6)) {
                    case 0:
                        v.Insert(at, std::string(1 + pick(5), "<a>x"[pick(4)]), look());
                        break;
                    case 1:
                        if (n > 0) v.Remove(at, n);
                        break;
                    case 2:  // a replacement, as a paste over a selection
                        if (n > 0) v.Remove(at, n);
                        v.Insert(at, "td", look());
                        break;
                    case 3:
                    case 4:
                        if (n > 0) v.Paint(at, n, look());
                        break;
                    default:
                        if (pick(4) == 0) {  // the whole text, as Format or a refresh
                            const std::string whole = v.text.substr(pick(3)) + "\r\n";
                            v.Remove(0, v.text.size());
                            v.Insert(0, whole, look());
                        }
                }
            }
            h.Record(v);
            slots.push_back({v.text, v.looks});
        }
        ASSERT_EQ(h.UndoIndex(), steps);
        // Repaints after the last step are not a step: they go with the undo.
        v.Paint(0, v.text.size() / 2, Look{77, 12});
        ASSERT_TRUE(h.CanUndo());
        if (std::optional<UndoStep> back = h.TakeBackUnrecorded(v)) v.Load(*back);
        ASSERT_EQ(Slot::Of(v), slots.back());
        for (int i = steps - 1; i >= 0; --i) {
            const std::optional<UndoStep> s = h.Undo();
            ASSERT_TRUE(s.has_value());
            v.Load(*s);
            ASSERT_EQ(Slot::Of(v), slots[static_cast<std::size_t>(i)]) << i;
        }
        EXPECT_FALSE(h.Undo().has_value());  // never back past the document as it began
        for (int i = 1; i <= steps; ++i) {
            const std::optional<UndoStep> s = h.Redo();
            ASSERT_TRUE(s.has_value());
            v.Load(*s);
            ASSERT_EQ(Slot::Of(v), slots[static_cast<std::size_t>(i)]) << i;
        }
        EXPECT_FALSE(h.Redo().has_value());
    }
}

// Fifty steps back at most, a new change drops what was undone, and a
// history of more looks than the table keeps stays exact.
TEST(UndoHistory, FiftyStepsAndANewChangeDropsRedo) {
    UndoHistory h;
    ModelView v;
    v.history = &h;
    v.text = "abc";
    v.looks.assign(3, Look{kWhite, 9});
    h.Begin();
    std::deque<Slot> slots = {{v.text, v.looks}};
    // A thousand looks and more: the table is compacted within the last
    // fifty steps, which must still come back exactly.
    for (int n = 1; n <= 1040; ++n) {
        v.Paint(0, 1, Look{static_cast<WinColor>(n), 8.5});
        v.Insert(v.text.size(), n % 2 ? "x" : "y", Look{kBlack, 9});
        h.Record(v);
        slots.push_back({v.text, v.looks});
        if (slots.size() > 60) slots.pop_front();
    }
    EXPECT_EQ(h.UndoIndex(), 50);
    int steps = 0;
    while (std::optional<UndoStep> s = h.Undo()) {
        v.Load(*s);
        ++steps;
        ASSERT_EQ(Slot::Of(v), slots[slots.size() - 1 - steps]) << steps;
    }
    EXPECT_EQ(steps, 50);
    // Two forward, then a change: redo is gone, undo goes back through it.
    v.Load(*h.Redo());
    v.Load(*h.Redo());
    v.Remove(0, 1);
    h.Record(v);
    EXPECT_EQ(h.UndoIndex(), 3);
    EXPECT_FALSE(h.CanRedo());
    EXPECT_FALSE(h.Redo().has_value());
    v.Load(*h.Undo());
    EXPECT_EQ(Slot::Of(v), slots[slots.size() - 49]);
}

// The history holds the edits, never the document: a large filing costs
// nothing until edited, keys cost keys, and a colour pass costs its runs.
TEST(UndoHistory, HoldsEditsNotTheDocument) {
    UndoHistory h;
    ModelView v;
    v.history = &h;
    while (v.text.size() < 4'000'000)
        v.text += "<td width=\"60%\"><font size=\"2\">Item</font></td>\r\n";
    v.looks.assign(v.text.size(), Look{kWhite, 9});
    h.Begin();
    EXPECT_LT(h.MemoryBytes(), 1024u);
    for (int n = 0; n < 40; ++n) {
        v.Insert(static_cast<std::size_t>(n) * 97'001 % v.text.size(), "q", Look{kWhite, 9});
        h.Record(v);
    }
    EXPECT_LT(h.MemoryBytes(), 40u * 512);
    // The whole filing in one look, then back to plain: two runs each way.
    v.Paint(0, v.text.size(), Look{0x800000, 8.5});
    v.Insert(0, "<", Look{0x800000, 8.5});
    h.Record(v);
    EXPECT_LT(h.MemoryBytes(), 50u * 512);
}

}  // namespace
}  // namespace tarlo
