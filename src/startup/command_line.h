#pragma once
// The program's command line: `tarlo [FILE]`, `tarlo --help`, `tarlo --version`.
// Qt's own options (-platform NAME, -style NAME, -reverse, ...) are left to Qt.
#include <string>
#include <string_view>
#include <vector>

namespace tarlo {

struct CommandLine {
    enum class Action {
        Run,      // start the window, opening `file` when it is not empty
        Help,     // print HelpText() and end
        Version,  // print VersionText() and end
        Error,    // print `message` and a hint to standard error and end with status 2
    };
    Action action = Action::Run;
    std::string file;
    std::string message;
};

// `args` without the program's own name.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// What --help prints.
std::string HelpText();
// What --version prints: "Tarlo " and the version, then a line break.
// Tarlo's licence, as its version line and the About window state it.
inline constexpr std::string_view kLicenceLine =
    "License: GNU General Public License, version 3 or later (GPL-3.0-or-later).";
inline constexpr std::string_view kLicenceName = "GPL-3.0-or-later";

// "Tarlo 0.1" (or the program named) and the licence line, each ending in a
// line break.
std::string VersionText(std::string_view program = "Tarlo");

}  // namespace tarlo
