#pragma once
// The element-wise refresh: the page names the elements the user changed
// (by their place in the tree and their markup), and the code takes just
// those elements back, so that everything the user did not touch stays as
// it was written, byte for byte (tag case, "<td/>", attribute quotes).
//
// A change of an element's child list (paragraphs joined, a list or a
// table put in, text pasted) comes as the stretch of children between those
// the page still holds as the code wrote them: just that stretch of the
// code is replaced, so that a change among the body's children does not
// rewrite the body.
//
// An element is taken back only where the code's source map can be trusted
// to name the very bytes the page built it from: the element is in the code
// with its own start tag and its end tag (or is void or, in XHTML, closed by
// "/>"), nothing inside it was made or moved by the parser, and every step
// of its place names the element the page names. Anything else gives no
// patch, and the refresh takes the page whole.
//
// Within an element, a start tag the page sees as the code wrote it (same
// attributes, same values, in any order) and the code's end tag are kept:
// a change of content rewrites the content only.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/byte_range.h"
#include "text/line_breaks.h"
#include "text/source_map.h"

namespace tarlo {

// One changed element as the page describes it.
struct PageElementEdit {
    // Element-child indices from the document: {0} is the root element.
    std::vector<int> path;
    // The tag name at every step of the path (the element's own last), as
    // the page spells it: upper case for an HTML page.
    std::vector<std::string> names;
    // The element's markup as the page serialises it (outer HTML, or XML);
    // for a stretch of its children, their markup.
    std::string html;
    // Set when only a stretch of the element's children changed: child nodes
    // [from, to) of the `count` it had (texts and comments counted) are
    // replaced by `html`, and the element's own tags stay.
    struct Children {
        int from = 0;
        int to = 0;
        int count = 0;
        int nowCount = 0;  // the children the element has now
    };
    std::optional<Children> children = std::nullopt;
    // Where the element is in the page now, and the tree the page holds
    // for the piece: for each node in order, "<NAME" then its content then
    // ">" for an element, "#" for a text, "!" for a comment, "?" for any
    // other node. Names as the page spells them (upper case in HTML).
    std::vector<int> nowPath = {};
    std::string shape = {};
};

struct CodeReplacement {
    ByteRange range;
    std::string text;
};

// The replacements that bring the code up to date with the changed
// elements, in text order and not overlapping, each turned into code text
// as the whole refresh turns the page (PageElementToCode, then the
// document's line breaks); nothing when any element cannot be trusted.
// `xhtml`: the page is an XML page showing XHTML code.
std::optional<std::vector<CodeReplacement>> PatchCodeFromPage(
    std::string_view code, bool xhtml, LineBreak lineBreak,
    const std::vector<PageElementEdit>& edits);

// Whether the code, once patched, reads back into the tree the page holds
// for every piece (its map has the piece's shape at the piece's place).
// Some trees the page can hold have no markup that reads back into them (a
// list inside a paragraph: the parser closes the paragraph first); there
// the page must be written from the code again, or the next edit would be
// matched to the wrong bytes.
bool CodeReadsAsPage(const SourceMap& map, bool xhtml, const std::vector<PageElementEdit>& edits);

// The replacements as one: the stretch from the first to the last, less the
// bytes at either end that stay the same (never splitting a character), so
// that the code changes in one step and the step holds only what changed.
CodeReplacement AsOneReplacement(std::string_view code,
                                 const std::vector<CodeReplacement>& replacements);

}  // namespace tarlo
