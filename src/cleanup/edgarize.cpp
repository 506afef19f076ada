#include "cleanup/edgarize.h"

#include <algorithm>
#include <array>
#include <initializer_list>

#include "cleanup/find_replace.h"
#include "cleanup/text_scan.h"

namespace tarlo {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t npos = std::string_view::npos;

// The longest prefix the classification compares ("<meta name=originator").
constexpr std::size_t kFrontLength = 24;

bool IsTagEnd(char c) {
    return c == '>' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Prefixes are a few bytes: a plain loop beats a library call per test.
bool StartsWith(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (s[i] != prefix[i]) return false;
    }
    return true;
}

// The character after "<" decides which rules can apply at all.
bool SecondIs(std::string_view front, std::string_view candidates) {
    return front.size() > 1 && candidates.find(front[1]) != std::string_view::npos;
}

bool StartsWithAny(std::string_view s, std::initializer_list<std::string_view> prefixes) {
    for (std::string_view p : prefixes) {
        if (StartsWith(s, p)) return true;
    }
    return false;
}

// Generator and layout tags that carry nothing a filing needs.
bool IsDroppedHeadTag(std::string_view front) {
    return SecondIs(front, "tml") &&
           StartsWithAny(front, {"<tr height", "<tr style", "<meta name=progid",
                                 "<meta name=generator", "<meta name=originator", "<link rel="});
}

// The common tags whose presentation attributes are stripped. The prefixes
// also take longer names: "<b" the body, line-break and big tags, "<p" the
// pre tag, "<tr" every row tag not dropped before.
bool IsStrippedTag(std::string_view front) {
    return SecondIs(front, "hadcitpblu") &&
           StartsWithAny(front, {"<html", "<a ", "<div", "<col s", "<img", "<table", "<tr", "<td",
                                 "<p", "<b", "<li", "<ul"});
}

// Spans, Office tags (o:, w:) and smart tags (st1: to st3:).
bool IsDroppedOfficeTag(std::string_view front) {
    return SecondIs(front, "sow/") &&
           StartsWithAny(front, {"<span", "</span", "<o", "</o", "<w", "</w",
                                 "<st1:", "</st1:", "<st2:", "</st2:", "<st3:", "</st3:"});
}

// Ordered lists share their first letter with the Office o: tags; they are
// kept so that their numbering survives.
bool IsOrderedListTag(std::string_view front) {
    if (StartsWith(front, "<ol")) return front.size() > 3 && IsTagEnd(front[3]);
    if (StartsWith(front, "</ol")) return front.size() > 4 && IsTagEnd(front[4]);
    return false;
}

bool OpensPreformatted(std::string_view front) {
    return StartsWith(front, "<pre") && front.size() > 4 && (IsTagEnd(front[4]) || front[4] == '/');
}

// What replaces everything before the head.
constexpr std::string_view kRoot = "<html>\n";

class Cleaner {
  public:
    Cleaner(std::string_view input, std::size_t sizeBefore, const EdgarizeHooks& hooks)
        : in_(input),
          hooks_(hooks),
          gt_(input, ">"),
          lt_(input, "<"),
          commentEnd_(input, "-->"),
          lastApostrophe_(input.rfind('\'')),
          start_(Clock::now()),
          lastReport_(start_) {
        stats_.sizeBefore = sizeBefore;
        out_.reserve(input.size() + kRoot.size());
    }

    std::string Run() {
        Report();
        // The plain root tag put in front goes straight out: it is copied
        // unchanged, and the line feed after it is text that joins whatever
        // text begins the input.
        out_.append(kRoot);
        std::size_t turns = 0;
        while (pos_ < in_.size()) {
            if (++turns % 64 == 0) MaybeReport();
            if (!Step()) break;
        }
        if (inPre_) kept_.push_back({preStart_, out_.size()});
        std::string broken = CollapseLineBreaks(out_, kept_);
        if (hooks_.replacing) hooks_.replacing();
        return ApplyFixedReplacements(std::move(broken), hooks_.replaced);
    }

  private:
    // One classification of the front; false when the loop ends.
    bool Step() {
        // Every rule but the last starts with "<": text goes straight out.
        if (in_[pos_] != '<') {
            CopyText();
            return true;
        }
        std::array<char, kFrontLength> buffer{};
        const std::size_t n = std::min(kFrontLength, in_.size() - pos_);
        for (std::size_t i = 0; i < n; ++i) buffer[i] = AsciiLower(in_[pos_ + i]);
        const std::string_view front(buffer.data(), n);

        if (IsDroppedHeadTag(front)) return DropTag();
        if (StartsWith(front, "<!--")) {
            DropComment();
            return true;
        }
        if (StartsWith(front, "<![if") || StartsWith(front, "<![endif]")) return DropTag();
        if (IsStrippedTag(front)) return CopyStrippedTag(front);
        if (!IsOrderedListTag(front) && IsDroppedOfficeTag(front)) return DropTag();
        if (StartsWith(front, "</")) return CopyClosingTag(front);
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
        std::string tag(in_.substr(pos_, gt - pos_));
        StripAttributes(tag, gt);
        const std::size_t at = out_.size();
        out_ += tag;
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
    // Each attribute is removed once, only when it lies inside the tag.
    void StripAttributes(std::string& tag, std::size_t gt) const {
        for (std::string_view name : {"class", "name=", "x:num", "x:fmla", "x:str"}) {
            const std::size_t k = tag.find(name);
            if (k == npos) continue;
            const std::size_t blank = tag.find(' ', k);
            tag.erase(k, (blank == npos ? tag.size() : blank + 1) - k);
        }
        if (const std::size_t k = tag.find("style"); k != npos) {
            std::size_t end = tag.size();
            if (const std::size_t open = tag.find('\'', k); open != npos) {
                const std::size_t close = tag.find('\'', open + 1);
                if (close != npos) end = close + 1;
            } else if (lastApostrophe_ == npos || lastApostrophe_ < gt) {
                // No apostrophe anywhere ahead: the value is in double quotes.
                end = ClosingDoubleQuote(tag, k);
            }
            tag.erase(k, end - k);
        }
        if (const std::size_t k = tag.find(" id="); k != npos) {
            tag.erase(k, ClosingDoubleQuote(tag, k) - k);
        }
    }

    // Just past the second double quote at or after k, or the end of the tag.
    static std::size_t ClosingDoubleQuote(const std::string& tag, std::size_t k) {
        const std::size_t open = tag.find('"', k);
        if (open == npos) return tag.size();
        const std::size_t close = tag.find('"', open + 1);
        return close == npos ? tag.size() : close + 1;
    }

    void MaybeReport() {
        if (Clock::now() - lastReport_ >= hooks_.interval) Report();
    }

    void Report() {
        if (!hooks_.cleaning) return;
        const Clock::time_point now = Clock::now();
        lastReport_ = now;
        stats_.sizeNow = out_.size();
        stats_.minutes = std::chrono::duration_cast<std::chrono::minutes>(now - start_).count();
        hooks_.cleaning(stats_);
    }

    std::string_view in_;
    const EdgarizeHooks& hooks_;
    std::size_t pos_ = 0;
    std::string out_;
    ForwardFinder gt_;
    ForwardFinder lt_;
    ForwardFinder commentEnd_;
    std::size_t lastApostrophe_;
    bool inPre_ = false;
    std::size_t preStart_ = 0;
    std::vector<KeptRange> kept_;
    CleaningStatistics stats_;
    Clock::time_point start_;
    Clock::time_point lastReport_;
};

}  // namespace

std::string StatisticsLine(const CleaningStatistics& s) {
    return "Code Size : Before " + std::to_string(s.sizeBefore) + " -> Now " +
           std::to_string(s.sizeNow) + " Bytes , " + std::to_string(s.minutes) + " Minutes Passed";
}

std::string CollapseLineBreaks(std::string_view text, const std::vector<KeptRange>& kept) {
    std::string out;
    out.reserve(text.size());
    char last = '\0';
    auto collapse = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            // Copy the run up to the next blank or line break in one go.
            std::size_t run = i;
            while (run < to && text[run] != ' ' && text[run] != '\r' && text[run] != '\n') ++run;
            if (run > i) {
                out.append(text.substr(i, run - i));
                last = text[run - 1];
                i = run;
                if (i == to) break;
            }
            const char c = text[i];
            if (c == ' ' && i + 1 < to && text[i + 1] == '>') continue;
            if (c == '\r' || c == '\n') {
                if (last == '\r') continue;
                out += '\r';
                last = '\r';
                continue;
            }
            out += c;
            last = c;
        }
    };
    std::size_t at = 0;
    for (const KeptRange& r : kept) {
        if (r.start < at || r.end > text.size() || r.start > r.end) continue;
        collapse(at, r.start);
        out.append(text.substr(r.start, r.end - r.start));
        if (r.end > r.start) last = text[r.end - 1];
        at = r.end;
    }
    collapse(at, text.size());
    return out;
}

namespace {

using Replacement = std::pair<std::string_view, std::string_view>;

constexpr std::array<Replacement, 10> kReplacements{{
    {"<html>", "<html>\n<title>\n</title>\n"},
    {"<div><br></div>", ""},
    {"<P></P>", ""},
    {"<LI>", ""},
    {"<EM>", ""},
    {"</EM>", ""},
    {"<DIV><BR></DIV>", ""},
    {"\u2026", "..."},
    {"...nbsp;", " "},
    {"<TD>", "<td Valign=Top>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"},
}};

// Which of the replacements' texts occur in `text`, found in three readings
// of it instead of one per replacement: the eight tags are looked for at
// every "<" in one go.
std::array<bool, kReplacements.size()> Occurring(std::string_view text) {
    std::array<bool, kReplacements.size()> found{};
    for (std::size_t lt = text.find('<'); lt != npos; lt = text.find('<', lt + 1)) {
        const std::string_view front = text.substr(lt, 16);
        for (std::size_t r = 0; r < kReplacements.size(); ++r) {
            const std::string_view find = kReplacements[r].first;
            if (!found[r] && find[0] == '<' && StartsWith(front, find)) found[r] = true;
        }
    }
    found[7] = text.find(kReplacements[7].first) != npos;
    found[8] = text.find(kReplacements[8].first) != npos;
    return found;
}

}  // namespace

std::string ApplyFixedReplacements(std::string text, const std::function<void()>& after) {
    // A replacement that removes text can join the pieces of a later text,
    // so the survey is taken again after every replacement that changed
    // something. Most filings hold few of these texts: the rest cost nothing.
    std::array<bool, kReplacements.size()> occurring = Occurring(text);
    for (std::size_t r = 0; r < kReplacements.size(); ++r) {
        if (occurring[r]) {
            text = FindReplace(text, kReplacements[r].first, kReplacements[r].second);
            // The empty title goes in after the root tag and cannot complete
            // any other text; every other change may.
            if (r > 0 && r + 1 < kReplacements.size()) occurring = Occurring(text);
        }
        if (after) after();
    }
    return text;
}

std::string Edgarize(std::string_view html, const EdgarizeHooks& hooks) {
    const std::size_t first = html.find_first_not_of(' ');
    const std::string_view trimmed =
        first == npos ? std::string_view()
                      : html.substr(first, html.find_last_not_of(' ') + 1 - first);
    // Whatever comes before the head (the root tag and its attributes) gives
    // way to a plain root tag.
    const std::size_t head = trimmed.find("<head");
    const std::string_view input = head == npos ? trimmed : trimmed.substr(head);
    return Cleaner(input, trimmed.size(), hooks).Run();
}

}  // namespace tarlo
