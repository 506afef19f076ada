#pragma once
// The code-to-page direction of the element-wise sync: after a code edit the
// page rebuilds only the smallest element around the changed bytes, so that
// a key typed in a large filing costs the page one element, not the whole
// document, and the page keeps its scroll position.
//
// An element is handed over only where both source maps (of the code the
// page was built from, and of the new code) can be trusted to name the very
// element the page holds and the one a whole push would build: the element
// sits at the same place with the same name in both, only the edit lies
// between their ranges, nothing on its way from the root or inside it was
// made or moved by the parser, and it has its end tag (or is void, or in
// XHTML closed by "/>"). Edits that touch the prolog, the root element, head
// or body give no patch: the page then takes the code whole.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/byte_range.h"
#include "text/source_map.h"

namespace tarlo {

// Where two texts differ: the bytes between their common prefix and their
// common suffix, in each.
struct ChangedSpan {
    ByteRange before;
    ByteRange after;
};
ChangedSpan ChangedBytes(std::string_view before, std::string_view after);

// One element for the page to rebuild.
struct PageElementPatch {
    // Element-child indices from the document: {0} is the root element.
    std::vector<int> path;
    std::string name;  // as the map spells it
    std::string html;  // the element's bytes in the new code, start tag to end tag
};

// `before`/`after`: the part of the code the page shows (PageContent), as
// the page was built from it and as it is now, with their maps (of the same
// syntax, the one the page reads them in). Nothing when the edit cannot be
// confined to one trusted element.
std::optional<PageElementPatch> PatchForCodeEdit(std::string_view before,
                                                 const SourceMap& beforeMap, std::string_view after,
                                                 const SourceMap& afterMap, bool xhtml);

}  // namespace tarlo
