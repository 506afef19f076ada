#pragma once
// The colorizer's small text helpers.
#include <string>
#include <string_view>

#include "text/colour.h"

namespace tarlo {

// Every match of the regular expression `patrn` (ECMAScript, ignoring case)
// in `textStr` replaced by `replStr`, where "$1" and "$2" stand for the first
// and second bracketed group and nothing else is special. Meant for short
// text: the regular-expression engine recurses per character.
std::string ReplaceText(const std::string& patrn, std::string_view replStr,
                        const std::string& textStr);

// The colour-table entry of a Windows colour: "\redR\greenG\blueB;".
std::string RtfColorEntry(WinColor colour);

}  // namespace tarlo
