#include "codeview/html_colorizer.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tarlo {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

constexpr bool WordChar(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Characters an attribute name may run over. A carriage return is not among
// them: the colouring turns it into a paragraph break first.
constexpr bool NameChar(unsigned char c) {
    return WordChar(c) || c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
           c == ':' || c == '-' || c == '.';
}

// Bit 1: a word character; bit 2: a character a name may run over.
constexpr std::array<unsigned char, 256> MakeClasses() {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c) {
        t[static_cast<std::size_t>(c)] =
            static_cast<unsigned char>((WordChar(static_cast<unsigned char>(c)) ? 1 : 0) |
                                       (NameChar(static_cast<unsigned char>(c)) ? 2 : 0));
    }
    return t;
}

constexpr std::array<unsigned char, 256> kClasses = MakeClasses();

inline bool IsWord(char c) {
    return (kClasses[static_cast<unsigned char>(c)] & 1) != 0;
}

inline bool InName(char c) {
    return (kClasses[static_cast<unsigned char>(c)] & 2) != 0;
}

inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The first `c` in s[from, to), or kNone.
std::size_t FindChar(std::string_view s, char c, std::size_t from, std::size_t to) {
    if (from >= to) return kNone;
    const void* p = std::memchr(s.data() + from, c, to - from);
    return p ? static_cast<std::size_t>(static_cast<const char*>(p) - s.data()) : kNone;
}

std::size_t FindChar(std::string_view s, char c, std::size_t from) {
    return FindChar(s, c, from, s.size());
}

// The last `c` in s[from, to), or kNone.
std::size_t FindLastChar(std::string_view s, char c, std::size_t from, std::size_t to) {
    if (from >= to) return kNone;
#if defined(__GLIBC__)
    const void* p = memrchr(s.data() + from, c, to - from);
    return p ? static_cast<std::size_t>(static_cast<const char*>(p) - s.data()) : kNone;
#else
    for (std::size_t i = to; i > from; --i) {
        if (s[i - 1] == c) return i - 1;
    }
    return kNone;
#endif
}

// A tag, as the colouring sees one: "<", at least one character that is not
// ">", then ">". The tags come one at a time, left to right.
//
// The colouring reads the text with these literal rules, not through
// HtmlTokenizer, whose tags end where a browser's do: a quoted value hides a
// ">" from it, a "<" before a blank is text, script content is no markup.
// The code view has always coloured those the literal way, and a person's
// eye follows the colours: in <p title="a>b">x</p> the tag colour stops at
// the first ">" and "b"" shows plain; in "if x < y > z" the stretch "< y >"
// is a tag; in <script>if (a<b) c();</script> "<b) c();</script>" is one.
class TagCursor {
  public:
    explicit TagCursor(std::string_view s) : s_(s), at_(FindChar(s, '<', 0)) { Advance(); }

    bool valid() const { return valid_; }
    std::size_t open() const { return open_; }    // position of "<"
    std::size_t close() const { return close_; }  // position of ">"

    void Advance() {
        valid_ = false;
        while (at_ != kNone) {
            const std::size_t close = FindChar(s_, '>', at_ + 1);
            if (close == kNone) {  // no later "<" can close either
                at_ = kNone;
                return;
            }
            if (close == at_ + 1) {
                at_ = FindChar(s_, '<', at_ + 1);
                continue;
            }
            open_ = at_;
            close_ = close;
            valid_ = true;
            at_ = FindChar(s_, '<', close + 1);
            return;
        }
    }

  private:
    std::string_view s_;
    std::size_t at_;
    std::size_t open_ = 0;
    std::size_t close_ = 0;
    bool valid_ = false;
};

// A stretch [start, end) in one role; an empty one at the end of the text
// marks a layer that has no more.
struct Segment {
    std::size_t start;
    std::size_t end;
    ColourRole role;
};

// The tag colour of every tag.
class TagLayer {
  public:
    explicit TagLayer(std::string_view s) : tags_(s), size_(s.size()) {}
    Segment Next() {
        if (!tags_.valid()) return {size_, size_, ColourRole::Plain};
        const Segment seg{tags_.open(), tags_.close() + 1, ColourRole::Tag};
        tags_.Advance();
        return seg;
    }

  private:
    TagCursor tags_;
    std::size_t size_;
};

// An attribute: the name (with the blank in front when that blank is part of
// the text) up to the value, and the value.
struct Attribute {
    std::size_t nameStart;
    std::size_t valueStart;
    std::size_t valueEnd;        // one past the value
    std::size_t valueColourEnd;  // where the value colour ends
    std::size_t nextSwitch;      // the first switch at valueEnd or after, or the text's end
};

// Where an attribute whose name runs to `runEnd` has its value, or 0 when
// none follows ("=" with optional blanks, then a quoted string or digits).
std::size_t ValueEndAfter(std::string_view s, std::size_t runEnd, std::size_t& valueStart) {
    std::size_t i = runEnd;
    if (i >= s.size() || s[i] != '=') return 0;
    ++i;
    while (i < s.size() && s[i] == ' ') ++i;
    if (i >= s.size()) return 0;
    valueStart = i;
    const char q = s[i];
    if (q == '"' || q == '\'') {
        const std::size_t close = FindChar(s, q, i + 1);
        if (close == kNone || close == i + 1) return 0;
        return close + 1;
    }
    if (!IsDigit(q)) return 0;
    while (i < s.size() && IsDigit(s[i])) ++i;
    return i;
}

// The colours the attributes put over the tags: the name, the value, and the
// tag colour resuming after the value up to the next place the tag colour
// switches (at "<" and after ">") or the next attribute.
class AttributeLayer {
  public:
    explicit AttributeLayer(std::string_view s) : s_(s), tags_(s) {
        have_ = FindAttribute(cur_);
        if (have_) haveNext_ = FindAttribute(next_);
    }

    Segment Next() {
        while (true) {
            if (pending_ < count_) return segs_[pending_++];
            if (!have_) return {s_.size(), s_.size(), ColourRole::Plain};
            Colour();
            cur_ = next_;
            have_ = haveNext_;
            if (have_) haveNext_ = FindAttribute(next_);
        }
    }

  private:
    // The switch at or after the cursor: "<" of the tag, or one past its ">".
    std::size_t Switch() const {
        if (!tags_.valid()) return kNone;
        return phase_ == 0 ? tags_.open() : tags_.close() + 1;
    }
    void NextSwitch() {
        if (phase_ == 0) {
            phase_ = 1;
        } else {
            phase_ = 0;
            tags_.Advance();
        }
    }
    // Moves to the first switch at `p` or after (the queries only go forward).
    std::size_t SwitchFrom(std::size_t p) {
        std::size_t w;
        while ((w = Switch()) != kNone && w < p) NextSwitch();
        return w;
    }

    // The segments of the current attribute (the next one already found).
    void Colour() {
        const Attribute& a = cur_;
        count_ = 0;
        pending_ = 0;
        segs_[count_++] = {a.nameStart, a.valueStart, ColourRole::Name};
        segs_[count_++] = {a.valueStart, a.valueColourEnd, ColourRole::Value};
        // After the value the tag colour resumes until the next switch or
        // the next attribute.
        std::size_t tagEnd = a.nextSwitch;
        if (haveNext_ && next_.nameStart < tagEnd) tagEnd = next_.nameStart;
        if (a.valueEnd < tagEnd) segs_[count_++] = {a.valueEnd, tagEnd, ColourRole::Tag};
    }

    // The next attribute, left to right, not overlapping the last. An
    // attribute begins at a blank followed by a word character; the text right
    // after a tag counts as following a blank, because the tag's colour switch
    // ends in one.
    bool FindAttribute(Attribute& out) {
        const std::string_view s = s_;
        const std::size_t n = s.size();
        std::size_t i = i_;
        while (i < n) {
            // The first tag ending at i - 1 or later: the switch cursor's tag.
            const std::size_t w = SwitchFrom(i);
            const std::size_t tagPoint = w == kNone ? kNone : tags_.close() + 1;
            std::size_t first;  // first character of the name
            std::size_t nameStart;
            if (tagPoint == i && IsWord(s[i])) {
                first = i;
                nameStart = i;
            } else if (s[i] == ' ' && i + 1 < n && IsWord(s[i + 1])) {
                first = i + 1;
                nameStart = i;
            } else {
                // On to the next blank or the next end of a tag.
                ++i;
                if (tagPoint != kNone && tagPoint < i) continue;  // the next tag is not known yet
                const std::size_t limit = tagPoint != kNone ? tagPoint : n;
                const char* p = s.data();
                while (i < limit && p[i] != ' ') ++i;
                continue;
            }
            std::size_t runEnd = first;
            while (runEnd < n && InName(s[runEnd])) ++runEnd;
            std::size_t valueStart = 0;
            const std::size_t valueEnd = ValueEndAfter(s, runEnd, valueStart);
            if (valueEnd == 0) {
                // Every later start inside this run reaches the same end and fails too.
                i = runEnd;
                continue;
            }
            // A value may reach over a tag's switches; from the first of them
            // on, the tag colouring shows through.
            const std::size_t inside = SwitchFrom(valueStart + 1);
            const std::size_t valueColourEnd =
                inside != kNone && inside < valueEnd ? inside : valueEnd;
            const std::size_t after = SwitchFrom(valueEnd);
            out = {nameStart, valueStart, valueEnd, valueColourEnd, after != kNone ? after : n};
            i_ = valueEnd;
            return true;
        }
        i_ = n;
        return false;
    }

    std::string_view s_;
    TagCursor tags_;
    int phase_ = 0;
    std::size_t i_ = 0;
    Attribute cur_{};
    Attribute next_{};
    bool have_ = false;
    bool haveNext_ = false;
    Segment segs_[3]{};
    int count_ = 0;
    int pending_ = 0;
};

// Text between tags that holds an "=" was taken for an attribute: it goes
// back to plain. A stretch runs from a ">" over no "<" to the last "=" before
// the next "<", and on over no ">" to the last "<" before the next ">".
class PlainBetweenTagsLayer {
  public:
    explicit PlainBetweenTagsLayer(std::string_view s) : s_(s) {}
    Segment Next() {
        const std::string_view s = s_;
        const std::size_t n = s.size();
        while (pos_ != kNone) {
            const std::size_t gt = FindChar(s, '>', pos_);
            if (gt == kNone) break;
            const std::size_t lt = FindChar(s, '<', gt + 1);
            if (lt == kNone) break;
            // The last "=" in (gt, lt).
            const std::size_t eq = FindLastChar(s, '=', gt + 1, lt);
            if (eq == kNone) {
                pos_ = lt;
                continue;
            }
            const std::size_t nextGt = FindChar(s, '>', eq + 1);
            if (nextGt != kNone && nextGt < lt) {
                pos_ = lt;
                continue;
            }
            const std::size_t end = nextGt == kNone ? s.rfind('<') : s.rfind('<', nextGt - 1);
            pos_ = end + 1;
            return {gt + 1, end, ColourRole::Plain};
        }
        pos_ = kNone;
        return {n, n, ColourRole::Plain};
    }

  private:
    std::string_view s_;
    std::size_t pos_ = 0;
};

// Comments show in the plain colour, each up to its own first "-->".
class CommentLayer {
  public:
    explicit CommentLayer(std::string_view s) : s_(s), at_(s.find("<!--")) {}
    Segment Next() {
        const std::size_t n = s_.size();
        if (at_ == std::string_view::npos) return {n, n, ColourRole::Plain};
        const std::size_t end = s_.find("-->", at_ + 5);
        if (end == std::string_view::npos) {
            at_ = std::string_view::npos;
            return {n, n, ColourRole::Plain};
        }
        const Segment seg{at_, end + 3, ColourRole::Plain};
        at_ = s_.find("<!--", end + 3);
        return seg;
    }

  private:
    std::string_view s_;
    std::size_t at_;
};

// Collects runs, merging neighbours of one role, and hands them on in batches.
class RunBatcher {
  public:
    explicit RunBatcher(const std::function<void(const RoleRun*, std::size_t)>& sink)
        : sink_(sink) {}

    // The run from `start` to where the next one begins.
    void Add(std::size_t start, ColourRole role) {
        if (open_ && role == role_) return;  // the pending run reaches on
        if (open_) Push(start);
        open_ = true;
        start_ = start;
        role_ = role;
    }

    void Finish(std::size_t end) {
        if (open_) Push(end);
        if (count_ > 0) sink_(batch_.data(), count_);
        count_ = 0;
    }

  private:
    void Push(std::size_t end) {
        batch_[count_++] = {start_, end - start_, role_};
        if (count_ == batch_.size()) {
            sink_(batch_.data(), count_);
            count_ = 0;
        }
    }

    const std::function<void(const RoleRun*, std::size_t)>& sink_;
    std::array<RoleRun, 1024> batch_{};
    std::size_t count_ = 0;
    bool open_ = false;
    std::size_t start_ = 0;
    ColourRole role_ = ColourRole::Plain;
};

}  // namespace

void ColourRolesStream(std::string_view s,
                       const std::function<void(const RoleRun* runs, std::size_t count)>& sink) {
    const std::size_t n = s.size();
    if (n == 0) return;
    // The layers from the top: what a higher one colours hides the ones below;
    // where none colours, the text is plain.
    CommentLayer comments(s);
    PlainBetweenTagsLayer between(s);
    AttributeLayer attributes(s);
    TagLayer tags(s);
    Segment c = comments.Next();
    Segment b = between.Next();
    Segment a = attributes.Next();
    Segment t = tags.Next();
    RunBatcher out(sink);
    std::size_t pos = 0;
    while (pos < n) {
        while (c.end <= pos && c.start < n) c = comments.Next();
        while (b.end <= pos && b.start < n) b = between.Next();
        while (a.end <= pos && a.start < n) a = attributes.Next();
        while (t.end <= pos && t.start < n) t = tags.Next();
        // Each segment now ends after pos (or is the empty end marker).
        std::size_t bound;
        ColourRole role;
        if (c.start <= pos && pos < c.end) {
            bound = c.end;
            role = ColourRole::Plain;
        } else if (b.start <= pos && pos < b.end) {
            bound = std::min(b.end, c.start);
            role = ColourRole::Plain;
        } else if (a.start <= pos && pos < a.end) {
            bound = std::min({a.end, b.start, c.start});
            role = a.role;
        } else if (t.start <= pos && pos < t.end) {
            bound = std::min({t.end, a.start, b.start, c.start});
            role = ColourRole::Tag;
        } else {
            bound = std::min({t.start, a.start, b.start, c.start});
            role = ColourRole::Plain;
        }
        out.Add(pos, role);
        pos = bound;
    }
    out.Finish(n);
}

std::vector<RoleRun> ColourRoles(std::string_view html) {
    std::vector<RoleRun> runs;
    ColourRolesStream(html, [&runs](const RoleRun* batch, std::size_t count) {
        runs.insert(runs.end(), batch, batch + count);
    });
    return runs;
}

std::vector<ColourRole> ColourRolesPerByte(std::string_view html) {
    std::vector<ColourRole> roles(html.size(), ColourRole::Plain);
    ColourRolesStream(html, [&roles](const RoleRun* batch, std::size_t count) {
        for (std::size_t k = 0; k < count; ++k) {
            std::fill_n(roles.begin() + static_cast<long>(batch[k].start), batch[k].length,
                        batch[k].role);
        }
    });
    return roles;
}

WinColor RoleColour(ColourRole role, const ColourSettings& colours) {
    switch (role) {
        case ColourRole::Tag:
            return colours.tag;
        case ColourRole::Name:
            return colours.attributeName;
        case ColourRole::Value:
            return colours.attributeValue;
        case ColourRole::Plain:
            break;
    }
    return colours.plain;
}

const char* RoleName(ColourRole role) {
    switch (role) {
        case ColourRole::Tag:
            return "tag";
        case ColourRole::Name:
            return "name";
        case ColourRole::Value:
            return "value";
        case ColourRole::Plain:
            break;
    }
    return "plain";
}

}  // namespace tarlo
