#include "checker/structure_checks.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "checker/closing_tag_index.h"
#include "text/byte_block.h"
#include "text/text_scan.h"

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

// A search over sorted offsets where something occurs. The checks' searches
// mostly move forward, so each search site keeps its own cursor: a search
// gallops on from the previous answer, and only one that goes back looks
// through the whole list.
class Cursor {
  public:
    explicit Cursor(const std::vector<std::size_t>& at) : at_(at) {}

    // First 1-based position at or after the 1-based `from`, or 0.
    std::int32_t Find(std::int32_t from) {
        const std::size_t z = ZeroBased(from);
        const std::size_t n = at_.size();
        if (cursor_ > 0 && at_[cursor_ - 1] >= z) {
            cursor_ =
                static_cast<std::size_t>(std::lower_bound(at_.begin(), at_.end(), z) - at_.begin());
        } else if (cursor_ < n && at_[cursor_] < z) {
            std::size_t lo = cursor_;  // at_[lo] < z: the answer lies after it
            std::size_t step = 1;
            while (lo + step < n && at_[lo + step] < z) {
                lo += step;
                step *= 2;
            }
            const std::size_t hi = std::min(lo + step, n);
            cursor_ = static_cast<std::size_t>(
                std::lower_bound(at_.begin() + static_cast<std::ptrdiff_t>(lo + 1),
                                 at_.begin() + static_cast<std::ptrdiff_t>(hi), z) -
                at_.begin());
        }
        return cursor_ == n ? 0 : OneBased(at_[cursor_]);
    }

  private:
    const std::vector<std::size_t>& at_;
    std::size_t cursor_ = 0;
};

// Every offset of "<" and of ">", in one reading of the text.
void OffsetsOfAngleBrackets(std::string_view text, std::vector<std::size_t>& lessThan,
                            std::vector<std::size_t>& greaterThan) {
    const char* const t = text.data();
    const std::size_t size = text.size();
    std::size_t i = 0;
    for (; i + ByteBlock::kSize <= size; i += ByteBlock::kSize) {
        const ByteBlock block(t + i);
        ForEachBit(block.Is('<').Bits(), [&](std::size_t bit) { lessThan.push_back(i + bit); });
        ForEachBit(block.Is('>').Bits(), [&](std::size_t bit) { greaterThan.push_back(i + bit); });
    }
    for (; i < size; ++i) {
        if (t[i] == '<') lessThan.push_back(i);
        if (t[i] == '>') greaterThan.push_back(i);
    }
}

struct AngleBrackets {
    std::vector<std::size_t> lessThan, greaterThan;
    explicit AngleBrackets(std::string_view text) {
        OffsetsOfAngleBrackets(text, lessThan, greaterThan);
    }
};

// The tags the checks look for by name, any letter case, found in one
// reading of the text's "<" characters.
struct MarkupTags {
    std::vector<std::size_t> font, fontEnd, title, titleEnd, img, paragraph, paragraphEnd;

    MarkupTags(std::string_view text, const std::vector<std::size_t>& lessThan) {
        for (const std::size_t p : lessThan) {
            const std::string_view front = text.substr(p, 8);
            if (front.size() < 4) continue;
            switch (AsciiLower(front[1])) {
                case 'f':
                    if (EqualsFolded(front.substr(0, 5), "<font")) font.push_back(p);
                    break;
                case 't':
                    if (EqualsFolded(front.substr(0, 7), "<title>")) title.push_back(p);
                    break;
                case 'i':
                    if (EqualsFolded(front.substr(0, 4), "<img")) img.push_back(p);
                    break;
                case 'o':
                    if (EqualsFolded(front.substr(0, 5), "<o:p>")) paragraph.push_back(p);
                    break;
                case '/':
                    if (EqualsFolded(front.substr(0, 7), "</font>")) fontEnd.push_back(p);
                    if (EqualsFolded(front.substr(0, 8), "</title>")) titleEnd.push_back(p);
                    if (EqualsFolded(front.substr(0, 6), "</o:p>")) paragraphEnd.push_back(p);
                    break;
                default:
                    break;
            }
        }
    }
};

class StructureChecks {
  public:
    StructureChecks(std::string_view text, LongWork& work)
        : t_(text),
          work_(work),
          brackets_(text),
          lt_(std::move(brackets_.lessThan)),
          gt_(std::move(brackets_.greaterThan)),
          tags_(text, lt_) {}

    CheckRun Run() {
        NestedFonts();
        Title();
        ImmediateSimilarCodes();
        ParagraphMarks(tags_.paragraph, "<o:p>");
        ParagraphMarks(tags_.paragraphEnd, "</o:p>");
        return std::move(run_);
    }

  private:
    void Tick() {
        if (++turns_ % 256 == 0) work_.Tick();
    }

    void MoveCaret(std::int32_t offset) {
        // A caret before the text cannot be set; the selection stays.
        if (offset >= 0) run_.selection = ByteRange{offset, 0};
        run_.focusCode = true;
    }

    // Check 1: a FONT start tag followed by another before any FONT end tag.
    // Each pass resumes after the tag it found as the next one, so that tag
    // never serves as the outer tag of a pass. A start tag without ">" ends
    // the check: there is no tag end to search on from.
    void NestedFonts() {
        Cursor font(tags_.font);
        Cursor fontEnd(tags_.fontEnd);
        Cursor tagEnd(gt_);
        std::int32_t next = 0;
        while (true) {
            Tick();
            const std::int32_t a = font.Find(next + 1);
            if (a == 0) break;
            const std::int32_t c = tagEnd.Find(a + 1);
            if (c == 0) break;
            next = font.Find(c + 1);
            const std::int32_t e = fontEnd.Find(c + 1);
            if (e < next) continue;
            if (next == 0) break;
            MoveCaret(a - 1);
            run_.Add({"Nested codes", "<FONT>", "Warning", "Combine nested codes into one", a});
        }
    }

    // Check 2: "<TITLE>" and "</TITLE>" in this order, any letter case.
    void Title() {
        const std::int32_t a = tags_.title.empty() ? 0 : OneBased(tags_.title.front());
        const std::int32_t b = tags_.titleEnd.empty() ? 0 : OneBased(tags_.titleEnd.front());
        if (a == 0 || b == 0 || b < a) {
            run_.Add({"Improper or missing code", "<TITLE>", "Error", "Add missing code(s)", a});
            MoveCaret(a - 1);
        }
    }

    // Check 3: a tag whose closing tag is directly followed by the same tag.
    void ImmediateSimilarCodes() {
        if (gt_.empty()) return;
        const ClosingTagIndex closings(t_, lt_, gt_);
        // The tags the passes walk, and the tags after their closing tags.
        Cursor tagStart(lt_), tagEnd(gt_), followStart(lt_), followEnd(gt_);
        std::int32_t next = StartOfSimilarCodes() - 1;
        std::optional<std::pair<std::int32_t, std::int32_t>> firstTag;
        while (true) {
            Tick();
            const std::int32_t a = tagStart.Find(next + 1);
            next = tagEnd.Find(a + 1);
            if (a == 0 || next == 0) break;
            const std::string_view tag =
                t_.substr(ZeroBased(a), static_cast<std::size_t>(next - a + 1));
            const std::int32_t e = OneBased(closings.FindClosingOf(tag, ZeroBased(next + 1)));
            // Without a closing tag (e = 0) this compares with the first tag,
            // which is worked out once rather than by sending the cursors back.
            std::int32_t f = 0;
            std::int32_t g = 0;
            if (e == 0) {
                if (!firstTag) {
                    Cursor start(lt_), end(gt_);
                    const std::int32_t first = start.Find(1);
                    firstTag = {first, first == 0 ? 0 : end.Find(first + 1)};
                }
                f = firstTag->first;
                g = firstTag->second;
            } else {
                f = followStart.Find(e + 1);
                g = f == 0 ? 0 : followEnd.Find(f + 1);
            }
            if (f == 0 || g == 0) continue;
            const std::string_view following =
                t_.substr(ZeroBased(f), static_cast<std::size_t>(g - f + 1));
            if (!EqualsFolded(following, tag)) continue;
            // The tag goes into the Code field as it stands, in upper case;
            // the report text reads a "|" in it as one more field (the report
            // window, fed the records, shows it whole).
            run_.Add({"Immediate similar codes", AsciiUpperCopy(tag), "Negligible",
                      "Can be ignored...consolidate codes or leave as is", a});
        }
    }

    // The scan of check 3 starts two characters after the first ">", or at
    // position 2 when an "<IMG" after the first "</TITLE>" is never closed.
    std::int32_t StartOfSimilarCodes() const {
        const std::size_t titleEnd = tags_.titleEnd.empty() ? npos : tags_.titleEnd.front();
        const std::size_t lastImg = tags_.img.empty() ? npos : tags_.img.back();
        const bool afterTitle = lastImg != npos && (titleEnd == npos || lastImg > titleEnd);
        if (afterTitle && lastImg > gt_.back()) return 2;
        return OneBased(gt_.front()) + 2;
    }

    // Checks 4 and 5: every occurrence, any letter case, at its 0-based offset.
    void ParagraphMarks(const std::vector<std::size_t>& found, std::string_view code) {
        for (const std::size_t pos : found) {
            Tick();
            const auto offset = static_cast<std::int32_t>(pos);
            // The search selects the match; the caret then goes just before it.
            run_.selection = ByteRange{offset, static_cast<std::int32_t>(code.size())};
            run_.Add({"Unnecessary Microsoft code", std::string(code), "Warning",
                      "Remove manually from code or use the Cleanup button to remove", offset});
            MoveCaret(offset - 1);
        }
    }

    std::string_view t_;
    LongWork& work_;
    AngleBrackets brackets_;             // read into the two lists below
    const std::vector<std::size_t> lt_;  // every "<"
    const std::vector<std::size_t> gt_;  // every ">"
    const MarkupTags tags_;
    CheckRun run_;
    std::size_t turns_ = 0;
};

}  // namespace

CheckRun RunStructureChecks(std::string_view text, LongWork& work) {
    return StructureChecks(text, work).Run();
}

}  // namespace tarlo
