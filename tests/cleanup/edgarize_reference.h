#pragma once
// A second, deliberately plain clean-up that the tests hold the real one to:
// it consumes the remaining input from the front, searches it afresh for
// every rule and builds every text by appending. Slow, and written to be read
// against the rules rather than to be fast.
#include <string>

namespace tarlo::reference {

std::string Edgarize(const std::string& html);

}  // namespace tarlo::reference
