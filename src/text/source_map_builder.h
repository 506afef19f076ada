#pragma once
// What the HTML and XHTML readers of the source map share: making nodes,
// linking them into the tree (also before a sibling, and moving children, as
// an HTML parser does with misnested markup), closing elements at a place,
// and the tokens of the code read from any offset on.
#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "text/source_map.h"

namespace tarlo {

// The tokenizer's tokens with offsets into the whole text, able to jump
// ahead: an element whose content is text to the parser (title, iframe)
// makes the reading resume at its end tag. Attribute offsets stay relative.
class TokenStream {
  public:
    TokenStream(std::string_view text, HtmlSyntax syntax)
        : text_(text), syntax_(syntax), tokenizer_(text, syntax) {}
    bool Next(HtmlToken& token) {
        if (!tokenizer_.Next(token)) return false;
        token.start += base_;
        token.end += base_;
        token.nameAt += base_;
        return true;
    }
    void SkipTo(std::size_t at) {
        base_ = at;
        tokenizer_ = HtmlTokenizer(text_.substr(at), syntax_);
    }

  private:
    std::string_view text_;
    HtmlSyntax syntax_;
    HtmlTokenizer tokenizer_;
    std::size_t base_ = 0;
};

class SourceMapBuilder {
  public:
    SourceMapBuilder(SourceMap& map, std::string_view text);

  protected:
    // The id of a name; `fold` lower-cases it first.
    std::uint32_t Intern(std::string_view name, bool fold);
    std::uint32_t NewNode(SourceNodeKind kind, std::size_t start, std::size_t end);
    std::uint32_t NewElement(std::uint32_t name, std::size_t start, std::size_t end, bool implied);
    void Append(std::uint32_t parent, std::uint32_t child);
    void InsertBefore(std::uint32_t parent, std::uint32_t child, std::uint32_t before);
    void Detach(std::uint32_t node);
    void MoveChildren(std::uint32_t from, std::uint32_t to);
    // Text at the end of `parent` (or before `before`): the text node there
    // grows when one is there, as the page joins neighbouring text.
    void AddText(std::uint32_t parent, std::uint32_t before, std::size_t start, std::size_t end);
    void SetEndTag(std::uint32_t node, std::size_t start, std::size_t end);
    // Fixes an element's whole range: to its end tag, or to `at` where the
    // parser closed it, and never short of its last child.
    void Close(std::uint32_t node, std::size_t at);
    void MarkUncertain(std::uint32_t node);
    // XHTML: the first place that is not well-formed.
    void Fail(std::size_t at, std::string what) {
        if (!map_.problem_) map_.problem_ = SourceMapProblem{static_cast<int>(at), std::move(what)};
    }
    std::uint32_t LastChild(std::uint32_t node) const { return lastChild_[node]; }
    SourceNode& N(std::uint32_t node) { return map_.nodes_[node]; }
    // Gives the map its lookup tables; the last step.
    void Finish();

    SourceMap& map_;
    std::string_view text_;

  private:
    std::vector<std::uint32_t> lastChild_;
    std::vector<std::uint32_t> prevSibling_;
    std::unordered_map<std::string, std::uint32_t> nameIds_;
    std::string key_;
    // The last id seen per first letter, last letter and length: most tags
    // repeat a few names, and this spares hashing them (id + 1; 0 is empty).
    std::array<std::uint32_t, 512> recent_{};
    bool reordered_ = false;  // some node went in before a sibling or moved
};

// The HTML reading (source_map_html.cpp).
void BuildHtmlSourceMap(SourceMap& map, std::string_view text);

}  // namespace tarlo
