#include "cleanup/edgarize.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>

#include "cleanup/edgarize_rules.h"
#include "text/byte_block.h"
#include "text/find_replace.h"
#include "text/line_breaks.h"
#include "text/page_source.h"
#include "text/text_scan.h"
#include "text/text_transfer.h"

namespace tarlo {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t npos = std::string_view::npos;

using namespace edgarize_rules;

// The cleaned document's one root tag, a plain one, with its line feed.
constexpr std::string_view kRoot = "<html>\n";

// Room the output buffer keeps beyond the input's size.
constexpr std::size_t kSlack = 4096;

void CollapseLineBreaksInPlace(std::string& text, const std::vector<KeptRange>& kept);

// The clean-up reads tags with its own literal rules, not through
// HtmlTokenizer: a tag runs from "<" to the first ">" after it, a comment to
// the first "-->" after its "<", a script to the first "</script" after its
// "<script", and text to the next "<", whatever quotes or comments surround
// them. The tokenizer reads as a browser does, which would drop more than
// the clean-up always has: <span title="a>b">x</span> cleans to b">x, not x;
// in <!-->y--> only "<!-->" goes; <script title="</script>">s()</script>z
// cleans to ">s()z, not z. A cleaned filing must come out the same as before.
class Cleaner {
  public:
    // `rootInFront`: the plain root tag goes out before the input, which does
    // not hold it.
    Cleaner(std::string_view input, bool rootInFront, std::size_t sizeBefore, LongWork& work)
        : in_(input),
          rootInFront_(rootInFront),
          work_(work),
          gt_(input, ">"),
          lt_(input, "<"),
          commentEnd_(input, "-->"),
          scriptEnd_(input, "</script", true),
          styleEnd_(input, "</style", true),
          lastApostrophe_(input.rfind('\'')),
          start_(Clock::now()) {
        stats_.sizeBefore = sizeBefore;
        // The line-break pass and the replacements work in this buffer too;
        // the slack lets the few replacements that lengthen the text do so
        // in place. Memory that is never written costs nothing.
        out_.reserve(input.size() + kRoot.size() + kSlack);
    }

    std::string Run() {
        Report();
        work_.LetEventsRun();
        // The plain root tag put in front goes straight out: it is copied
        // unchanged, and the line feed after it is text that joins whatever
        // text begins the input.
        if (rootInFront_) out_.append(kRoot);
        std::size_t turns = 0;
        while (pos_ < in_.size()) {
            if (++turns % 64 == 0 && work_.Tick()) Report();
            if (!Step()) break;
        }
        if (inPre_) kept_.push_back({preStart_, out_.size()});
        CollapseLineBreaksInPlace(out_, kept_);
        work_.Advance();
        work_.Stage("Replacing codes...");
        std::string replaced = ApplyFixedReplacements(std::move(out_), [this] { work_.Advance(); });
        // EDGAR takes ASCII only: every other character is written as the
        // number the symbol palette writes for it, which shows the same.
        return EncodeNonAsciiAsReferences(replaced);
    }

  private:
    // One classification of the front; false when the loop ends.
    bool Step() {
        // Every rule but the last starts with "<": text goes straight out.
        if (in_[pos_] != '<') {
            CopyText();
            return true;
        }
        std::array<char, kFrontLength> buffer;
        const std::size_t n = std::min(kFrontLength, in_.size() - pos_);
        for (std::size_t i = 0; i < n; ++i) buffer[i] = AsciiLower(in_[pos_ + i]);
        const std::string_view front(buffer.data(), n);

        switch (Classify(front)) {
            case Rule::DropTag:
                return DropTag();
            case Rule::PlainRow:
                return WritePlainRow();
            case Rule::DropComment:
                DropComment();
                return true;
            case Rule::StripTag:
                return CopyStrippedTag(front);
            case Rule::ClosingTag:
                return CopyClosingTag(front);
            case Rule::MetaTag:
                if (HoldsHttpEquiv()) return DropTag();
                break;
            case Rule::DropScript:
                return DropElement(scriptEnd_);
            case Rule::DropStyle:
                return DropElement(styleEnd_);
            case Rule::Text:
                break;
        }
        CopyText();
        return true;
    }

    // A tag with no ">" after it cannot be consumed: the rest goes out as it is.
    bool CopyRest() {
        out_.append(in_.substr(pos_));
        pos_ = in_.size();
        return false;
    }

    // What follows a consumed tag or comment: a run of blanks becomes one
    // blank, so that words on either side of a tag stay apart. Inside
    // preformatted text every blank is kept.
    void AfterConsume() {
        if (inPre_) return;
        std::size_t blanks = 0;
        while (pos_ + blanks < in_.size() && in_[pos_ + blanks] == ' ') ++blanks;
        if (blanks > 1) pos_ += blanks - 1;
    }

    bool DropTag() {
        const std::size_t gt = gt_.Next(pos_);
        if (gt == npos) return CopyRest();
        pos_ = gt + 1;
        AfterConsume();
        return true;
    }

    // A row start whose height or style goes: the row itself stays, as a
    // plain start tag, so that its closing tag still has a row to close.
    bool WritePlainRow() {
        const std::size_t gt = gt_.Next(pos_);
        if (gt == npos) return CopyRest();
        out_ += "<tr>";
        pos_ = gt + 1;
        AfterConsume();
        return true;
    }

    // A meta tag whose attributes (in any order) include http-equiv.
    bool HoldsHttpEquiv() {
        const std::size_t gt = gt_.Next(pos_);
        if (gt == npos) return false;
        const std::size_t at = FindFolded(in_.substr(0, gt), "http-equiv", pos_);
        return at != npos;
    }

    // A script or style sheet goes with its content, through its closing tag
    // (found by `end`). Without one, only the opening tag goes: the text after
    // it is the reader's.
    bool DropElement(ForwardFinder& end) {
        const std::size_t close = end.Next(pos_);
        if (close == npos) return DropTag();
        const std::size_t gt = in_.find('>', close);
        if (gt == npos) return CopyRest();
        pos_ = gt + 1;
        AfterConsume();
        return true;
    }

    void DropComment() {
        const std::size_t end = commentEnd_.Next(pos_);
        if (end == npos) {
            pos_ += 2;  // only "<!" goes; the rest is read as text
            return;
        }
        pos_ = end + 3;
        AfterConsume();
    }

    bool CopyClosingTag(std::string_view front) {
        const std::size_t gt = gt_.Next(pos_);
        if (gt == npos) return CopyRest();
        const bool endsPre = inPre_ && StartsWith(front, "</pre>");
        out_.append(in_.substr(pos_, gt + 1 - pos_));
        pos_ = gt + 1;
        if (endsPre) {
            inPre_ = false;
            kept_.push_back({preStart_, out_.size()});
        }
        AfterConsume();
        return true;
    }

    bool CopyStrippedTag(std::string_view front) {
        const std::size_t gt = gt_.Next(pos_);
        if (gt == npos) return CopyRest();
        // One buffer serves every tag: most tags are too long for a string's
        // own small buffer.
        tag_.assign(in_.data() + pos_, gt - pos_);
        StripAttributes(tag_, gt);
        const std::size_t at = out_.size();
        out_ += tag_;
        out_ += '>';
        pos_ = gt + 1;
        if (!inPre_ && OpensPreformatted(front)) {
            inPre_ = true;
            preStart_ = at;
        }
        AfterConsume();
        return true;
    }

    // Text, or a tag no rule names: copied up to the next "<".
    void CopyText() {
        const std::size_t lt = lt_.Next(pos_ + 1);
        if (lt == npos) {
            CopyRest();
            return;
        }
        out_.append(in_.substr(pos_, lt - pos_));
        pos_ = lt;
    }

    // `tag` runs from "<" up to, not including, its ">" at `gt` in the input.
    // Each attribute is removed once, only when it lies inside the tag, and
    // whole: a value in quotes goes through its closing quote, so a link
    // target or a cell span after it stays, and no half value is left to
    // cut the tag. Where the attribute has no "=" after its name, or its
    // quote is not closed inside the tag, the plain text rules apply. Until
    // something has been removed the tag is as it came, and where each
    // attribute text first occurs is known from one reading of it.
    void StripAttributes(std::string& tag, std::size_t gt) const {
        const std::array<std::size_t, kAttributeTexts.size()> first = FirstAttributeTexts(tag);
        bool changed = false;
        auto find = [&](std::size_t which) {
            return changed ? FindExact(tag, kAttributeTexts[which]) : first[which];
        };
        for (std::size_t which = kClass; which <= kXStr; ++which) {
            const std::size_t k = find(which);
            if (k == npos) continue;
            const std::size_t value = ValueStart(tag, k, kAttributeTexts[which]);
            std::size_t end = QuotedValueEnd(tag, value);
            if (end != npos) {
                // The blank after the value goes with it, as after a bare value.
                if (end < tag.size() && tag[end] == ' ') ++end;
            } else {
                // A bare value runs to the next blank; blanks between its
                // "=" and the value do not end it.
                const std::size_t blank = tag.find(' ', value == npos ? k : value);
                end = blank == npos ? tag.size() : blank + 1;
            }
            tag.erase(k, end - k);
            changed = true;
        }
        if (const std::size_t k = find(kStyleText); k != npos) {
            std::size_t end = WholeValueEnd(tag, ValueStart(tag, k, kAttributeTexts[kStyleText]));
            if (end == npos) end = LiteralStyleEnd(tag, k, gt);
            tag.erase(k, end - k);  // the blank after the value stays
            changed = true;
        }
        if (const std::size_t k = find(kIdText); k != npos) {
            std::size_t end =
                WholeValueEnd(tag, PastBlanks(tag, k + kAttributeTexts[kIdText].size()));
            if (end == npos) end = ClosingDoubleQuote(tag, k);
            tag.erase(k, end - k);
        }
    }

    // Where the value of the attribute text found at k begins: after its
    // "=", which the texts "name=" and " id=" hold themselves, with blanks
    // on either side of the "=" skipped, as a browser reads it ("class ="
    // goes whole, never leaving its "=" and value behind). npos when no "="
    // follows the name.
    static std::size_t ValueStart(const std::string& tag, std::size_t k, std::string_view text) {
        std::size_t after = k + text.size();
        if (text.back() != '=') {
            after = PastBlanks(tag, after);
            if (after >= tag.size() || tag[after] != '=') return npos;
            ++after;
        }
        return PastBlanks(tag, after);
    }

    static std::size_t PastBlanks(const std::string& tag, std::size_t at) {
        while (at < tag.size() &&
               (tag[at] == ' ' || tag[at] == '\t' || tag[at] == '\r' || tag[at] == '\n')) {
            ++at;
        }
        return at;
    }

    static bool IsQuote(char c) { return c == '"' || c == '\''; }

    // Just past the quote that closes a value opening with a quote at `at`,
    // when that quote lies inside the tag; npos otherwise.
    static std::size_t QuotedValueEnd(const std::string& tag, std::size_t at) {
        if (at == npos || at >= tag.size() || !IsQuote(tag[at])) return npos;
        const std::size_t close = tag.find(tag[at], at + 1);
        return close == npos ? npos : close + 1;
    }

    // The end of a style or id value beginning at `at`: through its closing
    // quote, or for a bare value up to the next blank or the tag's end. npos
    // when there is no value or its quote is not closed inside the tag.
    static std::size_t WholeValueEnd(const std::string& tag, std::size_t at) {
        if (at == npos) return npos;
        if (at < tag.size() && IsQuote(tag[at])) return QuotedValueEnd(tag, at);
        const std::size_t blank = tag.find(' ', at);
        return blank == npos ? tag.size() : blank;
    }

    // The style text's own rule, for a style with no value to take whole: the
    // quote kind is an apostrophe when one occurs anywhere ahead in the
    // document, and the span ends at the tag's end when that quote does not.
    std::size_t LiteralStyleEnd(const std::string& tag, std::size_t k, std::size_t gt) const {
        if (const std::size_t open = tag.find('\'', k); open != npos) {
            const std::size_t close = tag.find('\'', open + 1);
            return close == npos ? tag.size() : close + 1;
        }
        if (lastApostrophe_ != npos && lastApostrophe_ > gt) return tag.size();
        // No apostrophe anywhere ahead: the value is in double quotes.
        return ClosingDoubleQuote(tag, k);
    }

    // Just past the second double quote at or after k, or the end of the tag.
    static std::size_t ClosingDoubleQuote(const std::string& tag, std::size_t k) {
        const std::size_t open = tag.find('"', k);
        if (open == npos) return tag.size();
        const std::size_t close = tag.find('"', open + 1);
        return close == npos ? tag.size() : close + 1;
    }

    void Report() {
        stats_.sizeNow = out_.size();
        stats_.minutes =
            std::chrono::duration_cast<std::chrono::minutes>(Clock::now() - start_).count();
        work_.Figures(StatisticsLine(stats_));
    }

    std::string_view in_;
    bool rootInFront_;
    LongWork& work_;
    std::size_t pos_ = 0;
    std::string out_;
    std::string tag_;
    ForwardFinder gt_;
    ForwardFinder lt_;
    ForwardFinder commentEnd_;
    ForwardFinder scriptEnd_;
    ForwardFinder styleEnd_;
    std::size_t lastApostrophe_;
    bool inPre_ = false;
    std::size_t preStart_ = 0;
    std::vector<KeptRange> kept_;
    CleaningStatistics stats_;
    Clock::time_point start_;
};

}  // namespace

std::string StatisticsLine(const CleaningStatistics& s) {
    return "Code Size : Before " + std::to_string(s.sizeBefore) + " -> Now " +
           std::to_string(s.sizeNow) + " Bytes , " + std::to_string(s.minutes) + " Minutes Passed";
}

namespace {

// True for the bytes the line-break pass acts on: line breaks, and ">",
// before which a blank goes.
bool IsBreakPassByte(char c) {
    return c == '\r' || c == '\n' || c == '>';
}

// The offset of the first line break or ">" in [from, to), or `to`. The
// stretches in between are copied from `from` down to `w` (w <= from) on the
// way, so that the caller only deals with the bytes found.
std::size_t CopyToBreakPassByte(char* d, std::size_t& w, std::size_t from, std::size_t to) {
    std::size_t i = from;
    while (i + ByteBlock::kSize <= to) {
        const ByteBlock block(d + i);
        const unsigned mask = (block.Is('\r') | block.Is('\n') | block.Is('>')).Bits();
        if (mask != 0) {
            const auto n = static_cast<std::size_t>(__builtin_ctz(mask));
            if (w != i) std::memmove(d + w, d + i, n);
            w += n;
            return i + n;
        }
        // The block was read whole before it is written: storing it below
        // its place is safe.
        if (w != i) block.StoreTo(d + w);
        w += ByteBlock::kSize;
        i += ByteBlock::kSize;
    }
    std::size_t end = i;
    while (end < to && !IsBreakPassByte(d[end])) ++end;
    if (w != i) std::memmove(d + w, d + i, end - i);
    w += end - i;
    return end;
}

// The line-break pass on the text itself: every byte it keeps moves down or
// stays, so the result is written over what has already been read. The
// bytes written so far are the result so far: its last byte is what the
// line breaks compare with.
void CollapseLineBreaksInPlace(std::string& text, const std::vector<KeptRange>& kept) {
    char* const d = text.data();
    std::size_t w = 0;  // the result's length; never beyond the byte being read
    auto collapse = [&](std::size_t from, std::size_t to) {
        std::size_t i = from;
        while (i < to) {
            const std::size_t start = w;
            i = CopyToBreakPassByte(d, w, i, to);
            if (i == to) break;
            if (d[i] == '>') {
                // The blank right before ">" goes: it is the last byte of
                // the stretch just copied.
                if (w > start && d[w - 1] == ' ') --w;
                d[w++] = '>';
            } else if (w == 0 || d[w - 1] != '\r') {
                d[w++] = '\r';
            }
            ++i;
        }
    };
    std::size_t at = 0;
    for (const KeptRange& r : kept) {
        if (r.start < at || r.end > text.size() || r.start > r.end) continue;
        collapse(at, r.start);
        if (w != r.start) std::memmove(d + w, d + r.start, r.end - r.start);
        w += r.end - r.start;
        at = r.end;
    }
    collapse(at, text.size());
    text.resize(w);
}

}  // namespace

std::string CollapseLineBreaks(std::string_view text, const std::vector<KeptRange>& kept) {
    std::string out(text);
    CollapseLineBreaksInPlace(out, kept);
    return out;
}

std::string ApplyFixedReplacements(std::string text, const std::function<void()>& after) {
    // A replacement that removes text can join the pieces of a later text,
    // so the survey is taken again after every replacement that changed
    // something. Most filings hold few of these texts: the rest cost nothing.
    std::array<bool, kReplacements.size()> occurring = Occurring(text);
    // The empty title is for a document that has none: a second title is
    // one too many.
    if (occurring[0] && FindStartTag(text, "<title") != npos) occurring[0] = false;
    for (std::size_t r = 0; r < kReplacements.size(); ++r) {
        if (occurring[r]) {
            FindReplaceInPlace(text, kReplacements[r].first, kReplacements[r].second);
            // The empty title goes in after the root tag and cannot complete
            // any other text; every other change may.
            if (r > 0 && r + 1 < kReplacements.size()) occurring = Occurring(text);
        }
        if (after) after();
    }
    return text;
}

bool IsInlineXbrl(std::string_view html) {
    return FindFolded(html, "<ix:", 0) != npos ||
           FindExact(html, "http://www.xbrl.org/2013/inlineXBRL") != npos;
}

std::string Edgarize(std::string_view html, LongWork& work) {
    const std::size_t first = html.find_first_not_of(' ');
    const std::string_view trimmed =
        first == npos ? std::string_view()
                      : html.substr(first, html.find_last_not_of(' ') + 1 - first);
    // The break pass leaves single CRs and the fixed texts bring LFs: the
    // cleaned document writes every line break as CR LF, so that no file
    // is saved with bare CRs (one line to most programs).
    auto clean = [&](std::string_view input, bool rootInFront) {
        return WithLineBreaks(Cleaner(input, rootInFront, trimmed.size(), work).Run(),
                              LineBreak::CrLf);
    };
    // A cleaned document has one root, the plain one: whatever comes before
    // the head (the root tag with its attributes, a document type) gives way
    // to it. A document without a head has it in place of its own root tag,
    // and one without either gets it in front. Tags written inside comments
    // are not the document's.
    if (const std::size_t head = FindStartTagOutsideComments(trimmed, "<head"); head != npos) {
        return clean(trimmed.substr(head), true);
    }
    const std::size_t root = FindStartTagOutsideComments(trimmed, "<html");
    const std::size_t rootEnd = root == npos ? npos : trimmed.find('>', root);
    if (rootEnd == npos) return clean(trimmed, true);
    std::string rooted;
    rooted.reserve(trimmed.size() + kRoot.size());
    rooted.append(trimmed.substr(0, root)).append(kRoot).append(trimmed.substr(rootEnd + 1));
    return clean(rooted, false);
}

std::string PutBackWrapper(std::string_view code, std::string cleaned) {
    if (PageContent(code).size() == code.size()) return cleaned;
    const PageSource source = DescribePageSource(code);
    return WithLineBreaks(source.prolog, LineBreak::CrLf) + cleaned +
           WithLineBreaks(source.epilog, LineBreak::CrLf);
}

}  // namespace tarlo
