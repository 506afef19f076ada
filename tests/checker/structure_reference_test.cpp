// The structure check against a plain transcription of its loops: every
// pass searches the whole text again, as a person would check by hand. The
// quadratic copy is only usable on short texts, so it runs over thousands of
// short generated ones built from the pieces that steer the loops.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "checker/problem_report.h"
#include "checker/structure_checks.h"

namespace tarlo {
namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

class SlowChecks {
  public:
    explicit SlowChecks(std::string text) : t_(std::move(text)) {}

    CheckRun Run() {
        NestedFonts();
        Title();
        SimilarCodes();
        Marks("<o:p>");
        Marks("</o:p>");
        return run_;
    }

  private:
    // 1-based position of t at or after the 1-based p, or 0.
    int Find(int p, const std::string& t, bool ignoreCase) const {
        const int n = static_cast<int>(t_.size());
        const int m = static_cast<int>(t.size());
        if (p < 1) p = 1;
        for (int i = p - 1; i + m <= n; ++i) {
            bool same = true;
            for (int k = 0; k < m && same; ++k) {
                const char a = t_[static_cast<std::size_t>(i + k)];
                const char b = t[static_cast<std::size_t>(k)];
                same = ignoreCase ? Lower(a) == Lower(b) : a == b;
            }
            if (same) return i + 1;
        }
        return 0;
    }

    // The code view's search: 0-based, ignoring case, selects the match.
    int FindInCode(const std::string& t, int from) {
        if (from < 0) return -1;
        const int at = Find(from + 1, t, true);
        if (at == 0) return -1;
        run_.selection = ByteRange{at - 1, static_cast<int>(t.size())};
        return at - 1;
    }

    void Caret(int offset) {
        if (offset >= 0) run_.selection = ByteRange{offset, 0};
    }

    void Add(const std::string& fields, int position) {
        run_.reportText += fields + std::to_string(position) + "\r\n";
    }

    void NestedFonts() {
        int next = 0;
        for (;;) {
            const int a = Find(next + 1, "<FONT", true);
            if (a == 0) return;
            const int c = Find(a + 1, ">", false);
            if (c == 0) return;  // the tag has no end: nothing left to compare
            next = Find(c + 1, "<FONT", true);
            const int e = Find(c + 1, "</FONT>", true);
            if (e < next) continue;
            if (next == 0) return;
            Caret(a - 1);
            Add("Nested codes|<FONT>|Warning|Combine nested codes into one|", a);
            run_.focusCode = true;
        }
    }

    void Title() {
        const int a = Find(1, "<TITLE>", true);
        const int b = Find(1, "</TITLE>", true);
        if (a == 0 || b == 0 || b < a) {
            Add("Improper or missing code|<TITLE>|Error|Add missing code(s)|", a);
            run_.focusCode = true;
            Caret(a - 1);
        }
    }

    void SimilarCodes() {
        const int firstGt = Find(1, ">", false);
        int start = firstGt == 0 ? 2 : firstGt + 2;
        const int titleEnd = Find(1, "</TITLE>", true);
        for (int img = Find(titleEnd + 1, "<IMG", true); img != 0;
             img = Find(img + 1, "<IMG", true)) {
            if (Find(img + 1, ">", false) == 0) start = 2;
        }
        int next = start - 1;
        for (;;) {
            const int a = Find(next + 1, "<", false);
            next = Find(a + 1, ">", false);
            if (a == 0 || next == 0) return;
            const std::string tag =
                t_.substr(static_cast<std::size_t>(a - 1), static_cast<std::size_t>(next - a + 1));
            const int e = Find(next + 1, "</" + tag.substr(1), true);
            const int f = Find(e + 1, "<", false);
            const int g = Find(f + 1, ">", false);
            if (f == 0 || g == 0) continue;
            std::string following =
                t_.substr(static_cast<std::size_t>(f - 1), static_cast<std::size_t>(g - f + 1));
            std::string lowerTag = tag;
            for (char& ch : following) ch = Lower(ch);
            for (char& ch : lowerTag) ch = Lower(ch);
            if (following != lowerTag) continue;
            std::string code = tag;
            for (char& ch : code) ch = Upper(ch);
            Add("Immediate similar codes|" + code +
                    "|Negligible|Can be ignored...consolidate codes or leave as is|",
                a);
        }
    }

    void Marks(const std::string& mark) {
        int pos = 0;
        const int n = static_cast<int>(t_.size());
        for (int i = 0; i < n; ++i) {
            pos = FindInCode(mark, pos);
            if (pos == -1) continue;
            Add("Unnecessary Microsoft code|" + mark +
                    "|Warning|Remove manually from code or use the Cleanup button to remove|",
                pos);
            run_.focusCode = true;
            Caret(pos - 1);
            pos = pos + 1;
        }
    }

    std::string t_;
    CheckRun run_;
};

// Short texts made of the pieces the loops look for, in any letter case.
std::string Generate(std::mt19937& rng) {
    static const std::vector<std::string> pieces{"<font size=2>",
                                                 "<FONT>",
                                                 "</font>",
                                                 "</FONT>",
                                                 "<font",
                                                 "<b>",
                                                 "</b>",
                                                 "<B>",
                                                 "</B>",
                                                 "<i>",
                                                 "</i>",
                                                 "<p>",
                                                 "</p>",
                                                 "<title>",
                                                 "</TITLE>",
                                                 "<TITLE>",
                                                 "<img src=a",
                                                 "<IMG>",
                                                 "<o:p>",
                                                 "</O:P>",
                                                 "</o:p>",
                                                 "<",
                                                 ">",
                                                 "</",
                                                 "x",
                                                 " ",
                                                 "\r\n",
                                                 "|",
                                                 "<a<b>",
                                                 "</a<b>",
                                                 "<td a=1>",
                                                 "</td a=1>",
                                                 "<br>",
                                                 "</>",
                                                 "<>",
                                                 "<FoNt>",
                                                 "</fOnT>"};
    std::uniform_int_distribution<std::size_t> count(0, 14);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::string text;
    const std::size_t n = count(rng);
    for (std::size_t i = 0; i < n; ++i) text += pieces[pick(rng)];
    return text;
}

TEST(StructureChecks, MatchThePlainTranscriptionOfTheirLoops) {
    std::mt19937 rng(20241207);
    int withRecords = 0;
    for (int i = 0; i < 4000; ++i) {
        const std::string text = Generate(rng);
        const CheckRun fast = RunStructureChecks(text);
        const CheckRun slow = SlowChecks(text).Run();
        ASSERT_EQ(fast.reportText, slow.reportText) << "text: " << text;
        ASSERT_EQ(fast.focusCode, slow.focusCode) << "text: " << text;
        ASSERT_EQ(fast.selection.has_value(), slow.selection.has_value()) << "text: " << text;
        if (fast.selection) {
            EXPECT_EQ(fast.selection->start, slow.selection->start) << "text: " << text;
            EXPECT_EQ(fast.selection->length, slow.selection->length) << "text: " << text;
        }
        // Count the texts that exercise more than the TITLE record.
        if (ReportRows(slow.reportText).size() > 1) ++withRecords;
    }
    // The generator must really reach the loops, not just miss the title.
    EXPECT_GT(withRecords, 1000);
}

}  // namespace
}  // namespace tarlo
