#pragma once
// The colorizer's route taken literally, for comparison with the one-pass
// colouring: the four regular-expression replacements into RTF, the RTF read
// back character by character, then the two corrections. Short text only.
#include <string>
#include <vector>

#include "codeview/html_colorizer.h"

namespace tarlo::test {

std::vector<ColourRole> ReferenceRoles(const std::string& text);

}  // namespace tarlo::test
