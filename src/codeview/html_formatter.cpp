#include "codeview/html_formatter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "text/find_replace.h"

namespace tarlo {

namespace {

using Range = std::pair<std::size_t, std::size_t>;  // [first, second)

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view word) {
    if (at + word.size() > text.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (Lower(text[at + i]) != word[i]) return false;
    }
    return true;
}

// The formatter finds its lines with literal rules, not through
// HtmlTokenizer: every "<" starts a line, wherever it stands, and a tag runs
// to the first ">" after its "<". A browser's reading (the tokenizer's) sees
// no markup inside a comment, a quoted value or script and style content,
// and formatted code has always shown those broken at each "<": Word's
// <style><!-- ... --></style> has the "<!--" on a line of its own, and
// <script>if (a<b) c();</script> puts "<b) c();" on the next line. Changing
// that would re-lay every formatted filing that holds such text.
//
// Elements whose content is laid out as written: reflowing them would change
// what the reader of the filing sees. They are found by the same literal
// rule: a "<pre>" inside a comment starts one too.
constexpr std::array<std::string_view, 5> kVerbatim = {"pre", "xmp", "listing", "plaintext",
                                                       "textarea"};

// The verbatim elements of the text, in order. An element runs from its
// opening "<name" to the ">" of the first "</name>" after it, or to the end.
std::vector<Range> VerbatimElements(std::string_view text) {
    std::vector<Range> out;
    std::size_t at = text.find('<');
    while (at != std::string_view::npos) {
        std::size_t end = std::string_view::npos;
        for (std::string_view name : kVerbatim) {
            const std::size_t after = at + 1 + name.size();
            if (!StartsWithNoCase(text, at + 1, name) || after >= text.size()) continue;
            const char d = text[after];
            if (d != '>' && d != ' ' && d != '\t' && d != '\r' && d != '\n' && d != '/') continue;
            const std::string closer = "</" + std::string(name) + ">";
            end = text.size();
            for (std::size_t c = text.find('<', after); c != std::string_view::npos;
                 c = text.find('<', c + 1)) {
                if (StartsWithNoCase(text, c, closer)) {
                    end = c + closer.size();
                    break;
                }
            }
            break;
        }
        if (end == std::string_view::npos) {
            at = text.find('<', at + 1);
        } else {
            out.emplace_back(at, end);
            at = end >= text.size() ? std::string_view::npos : text.find('<', end);
        }
    }
    return out;
}

bool IsBreak(char c) {
    return c == ' ' || c == '\r' || c == '\n';
}

// Whether a run of line breaks between `before` and `after` stands for a
// blank: it lies inside running text, or between a tag and the word after
// it. Before a tag the formatter starts a new line anyway.
bool RunIsBlank(char before, char after) {
    return !IsBreak(before) && !IsBreak(after) && after != '<' && after != '>';
}

// Removes runs of CR LF pairs and tabs. A run between two characters of
// running text, or after a tag and before a word, becomes one blank, so
// words that Word wrapped across lines stay apart. Blanks after a run that
// lead up to a "<" belong to the run: they are the indentation of code
// formatted before, so formatting it again gives it back unchanged.
// Verbatim elements are copied as they are; their places in the result are
// returned in `kept`.
std::string RemoveLineBreaks(std::string_view text, const std::vector<Range>& verbatim,
                             std::vector<Range>& kept) {
    std::string out;
    out.reserve(text.size());
    std::size_t next = 0;  // next verbatim element
    std::size_t i = 0;
    while (i < text.size()) {
        if (next < verbatim.size() && i == verbatim[next].first) {
            const std::size_t from = out.size();
            out.append(text.substr(i, verbatim[next].second - i));
            kept.emplace_back(from, out.size());
            i = verbatim[next].second;
            ++next;
            continue;
        }
        const bool pair = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if (!pair && text[i] != '\t') {
            // Copy up to the next place where a run or a verbatim element may start.
            const std::size_t limit = next < verbatim.size() ? verbatim[next].first : text.size();
            std::size_t j = i + 1;
            while (j < limit && text[j] != '\r' && text[j] != '\t') ++j;
            out.append(text.substr(i, j - i));
            i = j;
            continue;
        }
        const std::size_t runStart = i;
        while (i < text.size()) {
            if (text[i] == '\t') {
                ++i;
            } else if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                i += 2;
            } else {
                break;
            }
        }
        std::size_t blanks = i;
        while (blanks < text.size() && text[blanks] == ' ') ++blanks;
        if (blanks < text.size() && text[blanks] == '<') i = blanks;
        if (runStart > 0 && i < text.size() && RunIsBlank(text[runStart - 1], text[i])) {
            out.push_back(' ');
        }
    }
    return out;
}

// The name of a tag as GetTagName gives it, without copying it.
std::string_view TagName(std::string_view tag) {
    if (tag.size() < 2 || tag[0] != '<') return {};
    if (tag.substr(1, 3) == "!--") return "!--";
    std::size_t end = tag.find(' ');
    if (end == std::string_view::npos) end = tag.find('>');
    if (end == std::string_view::npos || end < 1) return {};
    return tag.substr(1, end - 1);
}

// Whether a tag of this name (any case) leaves the indentation as it is.
bool KeepsIndent(std::string_view name) {
    static constexpr std::array<std::string_view, 10> kFlat = {
        "br", "hr", "img", "meta", "applet", "p", "!--", "input", "!doctype", "area"};
    for (std::string_view n : kFlat) {
        if (n.size() == name.size() && StartsWithNoCase(name, 0, n)) return true;
    }
    return false;
}

// The window's form of the result: the whole text in one string.
class StringSink final : public FormatSink {
  public:
    explicit StringSink(std::string& out) : out_(out) {}
    void Text(std::string_view piece) override { out_.append(piece); }
    void Blanks(std::size_t n) override { out_.append(n, ' '); }

  private:
    std::string& out_;
};

// A caller's function fed the indentation from the shared block of blanks.
class TextSinkAdapter final : public FormatSink {
  public:
    explicit TextSinkAdapter(const TextSink& sink) : sink_(sink) {}
    void Text(std::string_view piece) override { sink_(piece); }
    void Blanks(std::size_t n) override {
        const std::string_view block = BlankBlock();
        while (n > 0) {
            const std::size_t take = std::min(n, block.size());
            sink_(block.substr(0, take));
            n -= take;
        }
    }

  private:
    const TextSink& sink_;
};

// The blank rules of TidyTagSpaces on one piece of the indented text. Every
// rule needs a blank next to "<" or ">" on one line, and pieces are separated
// by CR LF and the indentation, so tidying piece by piece gives what tidying
// the whole text would, without ever scanning the indentation.
void PutTidied(FormatSink& out, std::string_view piece, std::string& scratch) {
    // Most pieces have no blank beside "<" or ">": nothing to do for them.
    // Only the places of those two characters are looked at.
    auto blankBeside = [piece](char mark) {
        for (std::size_t k = piece.find(mark); k != std::string_view::npos;
             k = piece.find(mark, k + 1)) {
            if ((k > 0 && piece[k - 1] == ' ') || (k + 1 < piece.size() && piece[k + 1] == ' ')) {
                return true;
            }
        }
        return false;
    };
    const bool touched = blankBeside('>') || blankBeside('<');
    if (!touched) {
        out.Text(piece);
        return;
    }
    scratch.assign(piece);
    FindReplaceInPlace(scratch, " >", ">");
    FindReplaceInPlace(scratch, "< ", "<");
    FindReplaceInPlace(scratch, "> <", "><");
    out.Text(scratch);
}

void PutPiece(FormatSink& out, std::string_view piece, bool tidy, std::string& scratch) {
    if (tidy) {
        PutTidied(out, piece, scratch);
    } else {
        out.Text(piece);
    }
}

// The tags of a text, asked for from left to right: each is the text from a
// "<" up to the first ">" after it. Every segment asks for its own tag and
// the next one, so the ">" found for one answers the other; and where many
// "<" share one ">" far ahead (or none at all), that ">" is looked for once,
// not once per "<".
class TagsAhead {
  public:
    explicit TagsAhead(std::string_view text) : text_(text) {}

    // Empty when there is no tag at `at` or it has no ">".
    std::string_view At(std::size_t at) {
        if (at == std::string_view::npos) return {};
        if (!searched_ || (gt_ != std::string_view::npos && gt_ <= at)) {
            gt_ = text_.find('>', at + 1);
            searched_ = true;
        }
        if (gt_ == std::string_view::npos) return {};
        return text_.substr(at, gt_ - at + 1);
    }

  private:
    std::string_view text_;
    std::size_t gt_ = std::string_view::npos;
    bool searched_ = false;
};

bool ClosesItself(std::string_view tag) {
    return tag.size() >= 2 && tag.substr(tag.size() - 2) == "/>";
}

// Whether the tag after a segment lets that segment raise the depth: every
// tag does except the ten names and a tag that closes itself. No tag, or one
// without its ">", has the empty name, which lets it too.
bool LetsRaise(std::string_view following) {
    return !KeepsIndent(TagName(following)) && !ClosesItself(following);
}

// Indentation wider than this is not written: past some twenty levels the
// blanks only push the code off the screen, and a filing of thousands of
// unclosed tags would grow by hundreds of megabytes. The depth itself goes
// on counting, so the lines come back to their levels as elements close.
constexpr std::int64_t kWidestIndent = 100;

void PutIndent(FormatSink& out, std::int64_t indent) {
    out.Text("\r\n");
    out.Blanks(static_cast<std::size_t>(std::min(indent, kWidestIndent)));
}

// The indenter over text whose verbatim elements are given. With `tidy`, the
// blank rules are applied to everything outside the verbatim elements.
//
// Every opening segment owes one raise of the depth, which it makes unless
// the tag after it is one of the ten names or closes itself. A raise not
// made passes to that next segment; a segment whose own tag closes itself
// owes a raise only when one was passed to it, so a cell that closes itself
// between two ordinary cells leaves the depth where it was.
void Indent(std::string_view text, const std::vector<Range>& verbatim, bool tidy, FormatSink& out,
            LongWork& work) {
    std::string scratch;
    std::int64_t indent = 0;
    bool passed = false;  // the segment before owed a raise it could not make
    TagsAhead tags(text);
    std::size_t lt = text.find('<');
    PutPiece(out, text.substr(0, lt == std::string_view::npos ? text.size() : lt), tidy, scratch);
    std::size_t next = 0;
    while (lt != std::string_view::npos) {
        work.Tick();
        while (next < verbatim.size() && verbatim[next].first < lt) ++next;
        if (next < verbatim.size() && verbatim[next].first == lt) {
            // A verbatim element is a segment of its own and leaves the depth alone.
            const std::size_t end = verbatim[next].second;
            const std::size_t e = end >= text.size() ? text.size() : text.find('<', end);
            const std::size_t stop = e == std::string_view::npos ? text.size() : e;
            PutIndent(out, indent);
            out.Text(text.substr(lt, end - lt));
            PutPiece(out, text.substr(end, stop - end), tidy, scratch);
            lt = e == std::string_view::npos || e >= text.size() ? std::string_view::npos : e;
            passed = false;
            continue;
        }
        const std::size_t e = text.find('<', lt + 1);
        const std::size_t stop = e == std::string_view::npos ? text.size() : e;
        const bool closing = lt + 1 < text.size() && text[lt + 1] == '/';
        if (closing) {
            indent -= 5;
            if (indent < 0) indent *= -2;
        }
        PutIndent(out, indent);
        PutPiece(out, text.substr(lt, stop - lt), tidy, scratch);
        const bool owes = !closing && (passed || !ClosesItself(tags.At(lt)));
        const bool raises = owes && LetsRaise(tags.At(e));
        if (raises) indent += 5;
        passed = owes && !raises;
        lt = e;
    }
}

// The line breaks and tabs taken out, the preformatted elements located.
std::string Flatten(std::string_view html, std::vector<Range>& verbatim) {
    return RemoveLineBreaks(html, VerbatimElements(html), verbatim);
}

}  // namespace

std::string_view BlankBlock() {
    static const std::string kBlanks(1 << 16, ' ');
    return kBlanks;
}

std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement) {
    return FindReplace(text, find, replacement);
}

TagRecord GetTag(std::string_view text, std::size_t from) {
    TagRecord tag;
    const std::size_t a = text.find('<', from);
    if (a == std::string_view::npos) return tag;
    const std::size_t b = text.find('>', a + 1);
    if (b == std::string_view::npos) return tag;
    tag.text = std::string(text.substr(a, b - a + 1));
    tag.start = a;
    tag.length = b - a;
    return tag;
}

std::string GetTagName(std::string_view tag) {
    return std::string(TagName(tag));
}

std::string TidyTagSpaces(std::string_view text) {
    std::string out = ReplaceAll(text, " >", ">");
    out = ReplaceAll(out, "< ", "<");
    return ReplaceAll(out, "> <", "><");
}

std::string IndentHtml(std::string_view text, LongWork& work) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    StringSink to(out);
    Indent(text, VerbatimElements(text), false, to, work);
    return out;
}

std::string FormatHtml(std::string_view html, LongWork& work) {
    std::vector<Range> verbatim;
    const std::string flat = Flatten(html, verbatim);
    std::string out;
    out.reserve(flat.size() + flat.size() / 2);
    StringSink to(out);
    Indent(flat, verbatim, true, to, work);
    return out;
}

void FormatHtmlTo(std::string_view html, FormatSink& sink, LongWork& work) {
    std::vector<Range> verbatim;
    const std::string flat = Flatten(html, verbatim);
    Indent(flat, verbatim, true, sink, work);
}

void FormatHtmlTo(std::string_view html, const TextSink& sink, LongWork& work) {
    TextSinkAdapter adapter(sink);
    FormatHtmlTo(html, adapter, work);
}

}  // namespace tarlo
