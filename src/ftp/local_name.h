#pragma once
// Which remote names may become a file name in the user's chosen folder. A
// server decides what it lists; none of its names may lead a download out of
// that folder or make a name that means something else.
#include <string>
#include <string_view>

namespace tarlo::ftp {

// True when name can be used as one file name inside a local folder: not
// empty, no "/" or "\", no "..", no NUL or other control character, and
// not "." (which is the folder itself).
bool IsSafeLocalName(std::string_view name);

// The name for a message: control characters shown as "\r", "\n", "\xNN",
// so that a hostile name cannot rewrite the terminal line that reports it.
std::string PrintableName(std::string_view name);

}  // namespace tarlo::ftp
