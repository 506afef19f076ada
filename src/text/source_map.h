#pragma once
// The source map of the code: the element tree the page builds from the code,
// each node with the bytes it came from. The two views can then trade single
// elements instead of the whole document: a page edit names its changed nodes
// by their paths, and the map says which bytes of the code they are; a code
// edit asks for the smallest element around the changed bytes, and only that
// element is handed to the page.
//
// HTML is read the way the page's parser reads it, for what filings hold:
// implied html, head, body and tbody, void elements, paragraphs, list items
// and cells closed by what follows them, stray end tags ignored, formatting
// elements carried over into the blocks after them. Where the page's tree can
// be built but not laid over the code (text or tags moved out of a table,
// misnested formatting moved by the parser), the nodes are marked uncertain
// and counted: the sync falls back to the whole document there. XHTML is
// read as the XML tree it is; a document that is not well-formed says where.
//
// One pass over the tokenizer's tokens, linear in the text's length; the
// nodes live in one flat vector in the order their first bytes come.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/byte_range.h"
#include "text/html_tokens.h"

namespace tarlo {

enum class SourceNodeKind : std::uint8_t {
    Document,  // the root: the whole text
    Element,
    Text,
    Comment,  // also what an HTML parser reads as one: <?...>, <!...> other than a DOCTYPE
    Doctype,
    Instruction,  // XHTML: <?...?>
    CData,        // XHTML: <![CDATA[...]]>
};

constexpr std::uint32_t kNoSourceNode = 0xFFFFFFFFu;

struct SourceNode {
    SourceNodeKind kind = SourceNodeKind::Element;
    // The code holds no start tag for this element: the parser made it (html,
    // head, body, tbody, tr left out, a formatting element carried on, the p
    // that a </p> without one makes). Its start tag range is empty, at the
    // place where the parser made it.
    bool implied = false;
    // The page's tree here cannot be laid over the code's bytes.
    bool uncertain = false;
    std::uint32_t name = 0;  // elements: index into SourceMap::Name
    std::uint32_t parent = kNoSourceNode;
    std::uint32_t firstChild = kNoSourceNode;
    std::uint32_t nextSibling = kNoSourceNode;
    ByteRange startTag;  // elements: the start tag; other nodes: their bytes
    ByteRange endTag;    // elements: the end tag; length 0 when it has none or it is implied
    // From the start tag's first byte to the end tag's last, or, when the end
    // is implied, to where the parser closed the element.
    ByteRange whole;
    bool HasEndTag() const { return endTag.length > 0; }
};

// Where an XHTML document stops being well-formed.
struct SourceMapProblem {
    int at = 0;  // byte offset
    std::string what;
};

class SourceMap {
  public:
    static SourceMap Build(std::string_view code, HtmlSyntax syntax);

    const std::vector<SourceNode>& Nodes() const { return nodes_; }
    const SourceNode& Node(std::uint32_t index) const { return nodes_[index]; }
    static constexpr std::uint32_t Root() { return 0; }
    // An element's name: lower case for HTML, as written for XHTML.
    const std::string& Name(std::uint32_t index) const { return names_[nodes_[index].name]; }
    std::size_t ElementCount() const { return elementCount_; }
    // Places where the page's tree may differ from this one's bytes.
    int UncertainPlaces() const { return uncertainPlaces_; }
    // XHTML only: the first place that is not well-formed; the tree holds
    // what came before it.
    const std::optional<SourceMapProblem>& Problem() const { return problem_; }

    // The smallest element whose whole range holds `range`; kNoSourceNode when
    // none does. O(log n + depth).
    std::uint32_t EnclosingElement(ByteRange range) const;
    // The node at a path of element-child indices from the root ({0} is the
    // root element, {} the document); kNoSourceNode when there is none.
    // O(depth).
    std::uint32_t NodeAtPath(const std::vector<int>& path) const;
    // The path of an element, as NodeAtPath takes it; empty for any other
    // node. O(depth).
    std::vector<int> PathOf(std::uint32_t node) const;

  private:
    friend class SourceMapBuilder;
    void IndexElementChildren(bool inNodeOrder);

    std::vector<SourceNode> nodes_;
    std::vector<std::string> names_;
    std::size_t elementCount_ = 0;
    int uncertainPlaces_ = 0;
    std::optional<SourceMapProblem> problem_;
    // Each node's element children, together: [childAt_[i], childAt_[i + 1]).
    std::vector<std::uint32_t> childAt_;
    std::vector<std::uint32_t> elementChildren_;
    std::vector<std::uint32_t> elementIndex_;  // an element's place among its parent's
};

}  // namespace tarlo
