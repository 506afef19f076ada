#pragma once
// modFormat: the code formatter. It puts one tag per line, indented by nesting
// depth, so that a filing pasted from a word processor becomes readable code.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "text/long_work.h"

namespace tarlo {

// A tag found by GetTag: its text from "<" to ">" inclusive, empty when there
// is no complete tag after the position.
struct TagRecord {
    std::string text;
    std::size_t start = 0;   // 0-based position of its "<"
    std::size_t length = 0;  // end less start
};

// Every occurrence of `find` replaced, left to right, case-sensitive, without
// rescanning replaced text.
std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement);

// The first complete tag whose "<" lies at or after `from` (0-based).
TagRecord GetTag(std::string_view text, std::size_t from);

// "!--" for a comment, else the text after "<" up to the first blank or ">".
std::string GetTagName(std::string_view tag);

// " >" -> ">", "< " -> "<", "> <" -> "><", one pass each.
std::string TidyTagSpaces(std::string_view text);

// One segment per "<", each on its own line, indented by nesting depth (at
// most 100 blanks are written; the depth goes on counting). The work ticks
// once per segment.
std::string IndentHtml(std::string_view text, LongWork& work = UnwatchedWork());

// The whole pipeline: line breaks and tabs out, indent, tidy. Preformatted
// elements (pre, xmp, listing, plaintext, textarea) come through verbatim.
// Formatting the result again gives it back unchanged.
std::string FormatHtml(std::string_view html, LongWork& work = UnwatchedWork());

// Receives a text piece by piece, in order.
using TextSink = std::function<void(std::string_view)>;

// Receives FormatHtml's result in order: pieces of text, and the blanks of
// each line's indentation by count, which a writer can hand on without
// building them. A text piece is valid only during the call.
class FormatSink {
  public:
    virtual ~FormatSink() = default;
    virtual void Text(std::string_view piece) = 0;
    virtual void Blanks(std::size_t count) = 0;
};

// A shared block of blanks that indentation can be handed on from.
std::string_view BlankBlock();

// FormatHtml's result handed over piece by piece instead of held whole: the
// indentation of a long filing can run to hundreds of megabytes.
void FormatHtmlTo(std::string_view html, FormatSink& sink, LongWork& work = UnwatchedWork());
void FormatHtmlTo(std::string_view html, const TextSink& sink, LongWork& work = UnwatchedWork());

}  // namespace tarlo
