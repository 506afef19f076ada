#include "cleanup/edgarize_ixbrl.h"

#include <cstddef>
#include <vector>

#include "cleanup/edgarize.h"
#include "text/line_breaks.h"
#include "text/page_source.h"
#include "text/text_scan.h"
#include "text/text_transfer.h"

namespace tarlo {

namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr std::string_view kInlineXbrlNamespace = "http://www.xbrl.org/2013/inlineXBRL";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool At(std::string_view text, std::size_t at, std::string_view what) {
    return text.substr(at, what.size()) == what;
}

// The element name's prefix ("ix" of "ix:header"), empty when it has none.
std::string_view Prefix(std::string_view name) {
    const std::size_t colon = name.find(':');
    return colon == npos ? std::string_view() : name.substr(0, colon);
}

// Office (o:, w:) and smart tags (st1: to st3:): EDGAR refuses them, and
// their content is the reader's text.
bool IsOfficeTag(std::string_view name) {
    const std::string prefix = AsciiLowerCopy(Prefix(name));
    return prefix == "o" || prefix == "w" || prefix == "st1" || prefix == "st2" || prefix == "st3";
}

bool IsTableSection(std::string_view name) {
    return name == "tbody" || name == "thead" || name == "tfoot";
}

// A start tag read as XML reads it: its name, where its class attribute
// stands (with the blanks before it), and whether it closes itself.
struct StartTag {
    std::string_view name;
    std::size_t classStart = npos;  // offsets in the tag
    std::size_t classEnd = npos;
    bool selfClosing = false;
    std::size_t length = 0;  // through its ">"
};

// The start tag at the front of `text` ("<" first); nothing when it does not
// read as XML: every attribute has "=" and a quoted value, and ">" ends it.
std::optional<StartTag> ReadStartTag(std::string_view text) {
    StartTag tag;
    std::size_t i = 1;
    while (i < text.size() && !IsBlank(text[i]) && text[i] != '>' && text[i] != '/') ++i;
    if (i == 1) return std::nullopt;
    tag.name = text.substr(1, i - 1);
    while (true) {
        const std::size_t blanks = i;
        while (i < text.size() && IsBlank(text[i])) ++i;
        if (i >= text.size()) return std::nullopt;
        if (text[i] == '>' || At(text, i, "/>")) {
            tag.selfClosing = text[i] == '/';
            tag.length = i + (tag.selfClosing ? 2 : 1);
            return tag;
        }
        if (i == blanks) return std::nullopt;  // attributes are apart
        const std::size_t nameStart = i;
        while (i < text.size() && !IsBlank(text[i]) && text[i] != '=' && text[i] != '>') ++i;
        const std::string_view attribute = text.substr(nameStart, i - nameStart);
        while (i < text.size() && IsBlank(text[i])) ++i;
        if (attribute.empty() || i >= text.size() || text[i] != '=') return std::nullopt;
        ++i;
        while (i < text.size() && IsBlank(text[i])) ++i;
        if (i >= text.size() || (text[i] != '"' && text[i] != '\'')) return std::nullopt;
        const std::size_t close = text.find(text[i], i + 1);
        if (close == npos) return std::nullopt;
        i = close + 1;
        if (attribute == "class") {
            tag.classStart = blanks;
            tag.classEnd = i;
        }
    }
}

// One open element of the rewrite.
struct Open {
    std::string_view name;
    bool dropTags = false;   // its start tag went; its end tag goes too
    bool dropWhole = false;  // it goes with its content
    bool tagging = false;    // an ix: element
};

class InlineXbrlCleaner {
  public:
    InlineXbrlCleaner(std::string_view in, bool dropElements, LongWork& work)
        : in_(in), dropElements_(dropElements), work_(work) {
        out_.reserve(in.size());
    }

    // The rewrite; nothing when elements were to go and a tag does not read
    // or does not pair, since taking away one half of a pair breaks the XML.
    std::optional<std::string> Run() {
        std::size_t turns = 0;
        while (pos_ < in_.size()) {
            if (++turns % 64 == 0) work_.Tick();
            const std::size_t lt = in_.find('<', pos_);
            if (lt == npos) {
                Emit(in_.substr(pos_));
                break;
            }
            Emit(in_.substr(pos_, lt - pos_));
            pos_ = lt;
            if (!Step()) return std::nullopt;
        }
        if (dropElements_ && !open_.empty()) return std::nullopt;
        return std::move(out_);
    }

  private:
    bool Step() {
        if (At(in_, pos_, "<!--")) {
            // The comments before the root element and inside the tagging
            // stay: the first are the document's own prolog, the second part
            // of a fact's or the header's content.
            const bool keep = open_.empty() || inTagging_ > 0;
            return Through("-->", keep);
        }
        if (At(in_, pos_, "<![CDATA[")) return Through("]]>", true);
        if (At(in_, pos_, "<?")) return Through("?>", true);
        if (At(in_, pos_, "<!")) return Through(">", true);
        if (At(in_, pos_, "</")) return EndTag();
        return StartTagStep();
    }

    // Copies (or, with !keep, leaves out) everything through `end`; without
    // it the rest goes out as it is.
    bool Through(std::string_view end, bool keep) {
        const std::size_t at = in_.find(end, pos_ + 1);
        const std::size_t stop = at == npos ? in_.size() : at + end.size();
        if (keep) Emit(in_.substr(pos_, stop - pos_));
        pos_ = stop;
        return true;
    }

    // Text that does not read as a tag goes out as it is, up to its ">".
    bool CopyUnread() {
        if (dropElements_) return false;
        return Through(">", true);
    }

    bool EndTag() {
        const std::size_t gt = in_.find('>', pos_);
        if (gt == npos) return CopyUnread();
        std::string_view name = in_.substr(pos_ + 2, gt - pos_ - 2);
        while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
        if (open_.empty() || open_.back().name != name) return CopyUnread();
        const Open closed = open_.back();
        open_.pop_back();
        if (!closed.dropTags) Emit(in_.substr(pos_, gt + 1 - pos_));
        if (closed.dropWhole) --dropping_;
        if (closed.tagging) --inTagging_;
        pos_ = gt + 1;
        return true;
    }

    bool StartTagStep() {
        const std::optional<StartTag> tag = ReadStartTag(in_.substr(pos_));
        if (!tag) return CopyUnread();
        const std::string_view text = in_.substr(pos_, tag->length);
        pos_ += tag->length;
        Open element{tag->name};
        // An ix: element and all it holds (the header, a text block's
        // markup, which is its value) go through as they are.
        element.tagging = AsciiLowerCopy(Prefix(tag->name)) == "ix";
        if (inTagging_ > 0 || element.tagging) {
            Emit(text);
        } else if (tag->name == "link" && tag->selfClosing) {
            // A style sheet link: EDGAR takes style only in attributes.
        } else if (dropElements_ && (tag->name == "script" || tag->name == "style")) {
            element.dropTags = element.dropWhole = true;
        } else if (dropElements_ &&
                   (IsOfficeTag(tag->name) || IsTableSection(tag->name) || tag->name == "link")) {
            element.dropTags = true;
        } else if (tag->classStart != npos && Prefix(tag->name).empty()) {
            // Without its style sheet a plain element's class says nothing;
            // the tagging's own attributes are never touched.
            Emit(text.substr(0, tag->classStart));
            Emit(text.substr(tag->classEnd));
        } else {
            Emit(text);
        }
        if (tag->selfClosing) return true;
        if (element.tagging) ++inTagging_;
        if (element.dropWhole) ++dropping_;
        open_.push_back(element);
        return true;
    }

    void Emit(std::string_view text) {
        if (dropping_ == 0) out_.append(text);
    }

    std::string_view in_;
    bool dropElements_;
    LongWork& work_;
    std::size_t pos_ = 0;
    std::string out_;
    std::vector<Open> open_;
    int inTagging_ = 0;
    int dropping_ = 0;
};

// True when the tag (from "<" up to its ">") is an ix: start tag or declares
// the Inline XBRL namespace.
bool TagNamesInlineXbrl(std::string_view tag) {
    if (FindFolded(tag.substr(0, 4), "<ix:", 0) == 0) return true;
    if (FindExact(tag, kInlineXbrlNamespace) != npos) return true;
    for (std::size_t at = FindFolded(tag, "xmlns:ix", 0); at != npos;
         at = FindFolded(tag, "xmlns:ix", at + 1)) {
        const std::size_t after = at + 8;
        if (after < tag.size() && (tag[after] == '=' || IsBlank(tag[after]))) return true;
    }
    return false;
}

}  // namespace

bool IsInlineXbrlDocument(std::string_view text) {
    if (!ClaimsXhtml(text)) return false;
    std::size_t pos = text.find('<');
    while (pos != npos) {
        if (At(text, pos, "<!--")) {
            const std::size_t end = text.find("-->", pos + 4);
            if (end == npos) return false;
            pos = text.find('<', end + 3);
            continue;
        }
        const std::size_t gt = text.find('>', pos);
        if (gt == npos) return false;
        if (TagNamesInlineXbrl(text.substr(pos, gt - pos))) return true;
        pos = text.find('<', gt);
    }
    return false;
}

std::string EdgarizeInlineXbrl(std::string_view xhtml, LongWork& work) {
    work.Stage("Cleaning code (Inline XBRL)...");
    CleaningStatistics statistics;
    statistics.sizeBefore = statistics.sizeNow = xhtml.size();
    work.Figures(StatisticsLine(statistics));
    std::optional<std::string> cleaned = InlineXbrlCleaner(xhtml, true, work).Run();
    if (!cleaned) cleaned = InlineXbrlCleaner(xhtml, false, work).Run();
    statistics.sizeNow = cleaned->size();
    work.Figures(StatisticsLine(statistics));
    work.Advance();
    // In XML a number in 128-159 is a control character: every character is
    // written by its code point.
    return WithLineBreaks(EncodeNonAsciiAsReferences(*cleaned, false), LineBreak::CrLf);
}

std::optional<std::string> CleanUpInlineXbrl(std::string_view code, LongWork& work) {
    const std::string_view content = PageContent(code);
    if (!IsInlineXbrlDocument(content)) return std::nullopt;
    const std::size_t start = static_cast<std::size_t>(content.data() - code.data());
    std::string whole = WithLineBreaks(code.substr(0, start), LineBreak::CrLf);
    whole += EdgarizeInlineXbrl(content, work);
    whole += WithLineBreaks(code.substr(start + content.size()), LineBreak::CrLf);
    return whole;
}

}  // namespace tarlo
