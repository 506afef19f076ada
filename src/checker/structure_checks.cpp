#include "checker/structure_checks.h"

#include <algorithm>
#include <vector>

#include "checker/closing_tag_index.h"
#include "cleanup/text_scan.h"

namespace tarlo {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// The checks count the first three of their positions from 1, as a person
// counts characters; 0 means "not found". These turn the 0-based answers of
// the searches into that form and back.
std::int32_t OneBased(std::size_t offset) {
    return offset == npos ? 0 : static_cast<std::int32_t>(offset + 1);
}
std::size_t ZeroBased(std::int32_t position) {
    return position <= 0 ? 0 : static_cast<std::size_t>(position - 1);
}

// Sorted offsets of one character, for searches that jump around.
class Occurrences {
  public:
    Occurrences(std::string_view text, char c) {
        for (std::size_t i = text.find(c); i != npos; i = text.find(c, i + 1)) at_.push_back(i);
    }
    // First 1-based position at or after the 1-based `from`, or 0.
    std::int32_t Find(std::int32_t from) const {
        const auto it = std::lower_bound(at_.begin(), at_.end(), ZeroBased(from));
        return it == at_.end() ? 0 : OneBased(*it);
    }
    bool empty() const { return at_.empty(); }
    std::size_t last() const { return at_.back(); }

  private:
    std::vector<std::size_t> at_;
};

class StructureChecks {
  public:
    StructureChecks(std::string_view text, const std::function<void()>& tick)
        : t_(text), tick_(tick), lt_(text, '<'), gt_(text, '>') {}

    CheckRun Run() {
        NestedFonts();
        Title();
        ImmediateSimilarCodes();
        ParagraphMarks("<o:p>", "<o:p>");
        ParagraphMarks("</o:p>", "</o:p>");
        return std::move(run_);
    }

  private:
    void Tick() {
        if (tick_ && ++turns_ % 256 == 0) tick_();
    }

    void MoveCaret(std::int32_t offset) {
        // A caret before the text cannot be set; the selection stays.
        if (offset >= 0) run_.selection = CodeSelection{offset, 0};
        run_.focusCode = true;
    }

    // Check 1: a FONT start tag followed by another before any FONT end tag.
    // Each pass resumes after the tag it found as the next one, so that tag
    // never serves as the outer tag of a pass. A start tag without ">" ends
    // the check: there is no tag end to search on from.
    void NestedFonts() {
        ForwardFinder font(t_, "<font", true);
        ForwardFinder fontEnd(t_, "</font>", true);
        std::int32_t next = 0;
        while (true) {
            Tick();
            const std::int32_t a = OneBased(font.Next(ZeroBased(next + 1)));
            if (a == 0) break;
            const std::int32_t c = gt_.Find(a + 1);
            if (c == 0) break;
            next = OneBased(font.Next(ZeroBased(c + 1)));
            const std::int32_t e = OneBased(fontEnd.Next(ZeroBased(c + 1)));
            if (e < next) continue;
            if (next == 0) break;
            MoveCaret(a - 1);
            AppendRecord(run_.reportText,
                         {"Nested codes", "<FONT>", "Warning", "Combine nested codes into one", a});
        }
    }

    // Check 2: "<TITLE>" and "</TITLE>" in this order, any letter case.
    void Title() {
        const std::int32_t a = OneBased(FindFolded(t_, "<title>", 0));
        const std::int32_t b = OneBased(FindFolded(t_, "</title>", 0));
        if (a == 0 || b == 0 || b < a) {
            AppendRecord(run_.reportText, {"Improper or missing code", "<TITLE>", "Error",
                                           "Add missing code(s)", a});
            MoveCaret(a - 1);
        }
    }

    // Check 3: a tag whose closing tag is directly followed by the same tag.
    void ImmediateSimilarCodes() {
        if (gt_.empty()) return;
        const ClosingTagIndex closings(t_);
        std::int32_t next = StartOfSimilarCodes() - 1;
        while (true) {
            Tick();
            const std::int32_t a = lt_.Find(next + 1);
            next = gt_.Find(a + 1);
            if (a == 0 || next == 0) break;
            const std::string_view tag =
                t_.substr(ZeroBased(a), static_cast<std::size_t>(next - a + 1));
            std::string closing = "</";
            closing.append(tag.substr(1));
            const std::int32_t e = OneBased(closings.Find(closing, ZeroBased(next + 1)));
            // Without a closing tag (e = 0) this compares with the first tag.
            const std::int32_t f = lt_.Find(e + 1);
            const std::int32_t g = f == 0 ? 0 : gt_.Find(f + 1);
            if (f == 0 || g == 0) continue;
            const std::string_view following =
                t_.substr(ZeroBased(f), static_cast<std::size_t>(g - f + 1));
            if (!EqualsFolded(following, tag)) continue;
            // The tag goes into the report's Code field; a line break or "|"
            // inside it would split the report line, so they show as blanks.
            AppendRecord(run_.reportText,
                         {"Immediate similar codes", CodeFieldOf(AsciiUpperCopy(tag)), "Negligible",
                          "Can be ignored...consolidate codes or leave as is", a});
        }
    }

    // The scan of check 3 starts two characters after the first ">", or at
    // position 2 when an "<IMG" after the first "</TITLE>" is never closed.
    std::int32_t StartOfSimilarCodes() const {
        const std::size_t titleEnd = FindFolded(t_, "</title>", 0);
        std::size_t lastImg = npos;
        for (std::size_t i = FindFolded(t_, "<img", 0); i != npos;
             i = FindFolded(t_, "<img", i + 1))
            lastImg = i;
        const bool afterTitle = lastImg != npos && (titleEnd == npos || lastImg > titleEnd);
        if (afterTitle && lastImg > gt_.last()) return 2;
        return gt_.Find(1) + 2;
    }

    static std::string CodeFieldOf(std::string code) {
        std::string out;
        out.reserve(code.size());
        for (std::size_t i = 0; i < code.size(); ++i) {
            const char c = code[i];
            if (c == '\r' && i + 1 < code.size() && code[i + 1] == '\n') continue;
            out += (c == '\r' || c == '\n' || c == '|') ? ' ' : c;
        }
        return out;
    }

    // Checks 4 and 5: every occurrence, any letter case, at its 0-based offset.
    void ParagraphMarks(std::string_view lowerNeedle, const char* code) {
        for (std::size_t pos = FindFolded(t_, lowerNeedle, 0); pos != npos;
             pos = FindFolded(t_, lowerNeedle, pos + 1)) {
            Tick();
            const auto offset = static_cast<std::int32_t>(pos);
            // The search selects the match; the caret then goes just before it.
            run_.selection = CodeSelection{offset, static_cast<std::int32_t>(lowerNeedle.size())};
            AppendRecord(run_.reportText,
                         {"Unnecessary Microsoft code", code, "Warning",
                          "Remove manually from code or use the Cleanup button to remove", offset});
            MoveCaret(offset - 1);
        }
    }

    std::string_view t_;
    const std::function<void()>& tick_;
    Occurrences lt_;
    Occurrences gt_;
    CheckRun run_;
    std::size_t turns_ = 0;
};

}  // namespace

CheckRun RunStructureChecks(std::string_view text, const std::function<void()>& tick) {
    return StructureChecks(text, tick).Run();
}

}  // namespace tarlo
