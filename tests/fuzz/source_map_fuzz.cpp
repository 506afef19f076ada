// The source map on arbitrary bytes, as HTML and as XHTML: it always ends,
// every node lies inside the text, children lie inside their parent where the
// map is certain, a tag the code holds starts with '<', and the lookups find
// each element again by its path and by its own range.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "text/source_map.h"

namespace {

bool Inside(tarlo::ByteRange r, tarlo::ByteRange outer) {
    return r.start >= outer.start && r.end() <= outer.end();
}

void Check(std::string_view text, tarlo::HtmlSyntax syntax) {
    const tarlo::SourceMap map = tarlo::SourceMap::Build(text, syntax);
    const auto& nodes = map.Nodes();
    if (nodes.empty()) std::abort();
    const tarlo::ByteRange all{0, static_cast<int>(text.size())};
    for (std::uint32_t i = 0; i < nodes.size(); ++i) {
        const tarlo::SourceNode& n = nodes[i];
        if (!Inside(n.whole, all) || !Inside(n.startTag, all)) std::abort();
        // A child lies inside its parent, except where the parser moved
        // content (misnested formatting, fostered table content): the map
        // marks those places uncertain and the sync does not use them.
        if (n.parent != tarlo::kNoSourceNode && !n.uncertain && !nodes[n.parent].uncertain &&
            !Inside(n.whole, nodes[n.parent].whole)) {
            std::abort();
        }
        if (n.kind != tarlo::SourceNodeKind::Element) continue;
        if (n.HasEndTag() && !Inside(n.endTag, n.whole)) std::abort();
        if (!n.implied && n.startTag.length > 0 &&
            text[static_cast<std::size_t>(n.startTag.start)] != '<') {
            std::abort();
        }
        if (map.NodeAtPath(map.PathOf(i)) != i) std::abort();
        const std::uint32_t around = map.EnclosingElement(n.whole);
        if (around != tarlo::kNoSourceNode && !Inside(n.whole, nodes[around].whole)) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Check(text, tarlo::HtmlSyntax::Html);
    Check(text, tarlo::HtmlSyntax::Xhtml);
    return 0;
}
