#include "startup/command_line.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tarlo {

namespace {

// Qt's options that take the next argument as their value.
constexpr std::array<std::string_view, 14> kQtOptionsWithValue{
    "platform",        "platformpluginpath",
    "platformtheme",   "plugin",
    "qwindowgeometry", "qwindowicon",
    "qwindowtitle",    "style",
    "stylesheet",      "display",
    "geometry",        "title",
    "session",         "name"};

bool IsQtOptionWithValue(std::string_view name) {
    return std::find(kQtOptionsWithValue.begin(), kQtOptionsWithValue.end(), name) !=
           kQtOptionsWithValue.end();
}

// Qt accepts -style and --style, with the value next or after "=".
std::string_view OptionName(std::string_view option) {
    while (!option.empty() && option.front() == '-') option.remove_prefix(1);
    return option.substr(0, option.find('='));
}

CommandLine Error(std::string message) {
    CommandLine line;
    line.action = CommandLine::Action::Error;
    line.message = std::move(message);
    return line;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (arg == "--help" || arg == "-h") {
                line.action = CommandLine::Action::Help;
                return line;
            }
            if (arg == "--version") {
                line.action = CommandLine::Action::Version;
                return line;
            }
            if (IsQtOptionWithValue(OptionName(arg))) {
                if (arg.find('=') != std::string::npos) continue;
                if (i + 1 == args.size()) return Error("option " + arg + " needs a value");
                ++i;
                continue;
            }
            // Our own options are long ones; Qt's flags (-reverse) start with
            // one dash and are Qt's business.
            if (arg.compare(0, 2, "--") == 0) return Error("unknown option " + arg);
            continue;
        }
        if (arg.empty()) return Error("an empty file name");
        if (!line.file.empty()) return Error("only one file can be opened at a time");
        line.file = arg;
    }
    return line;
}

std::string HelpText() {
    return "Usage: tarlo [FILE]\n"
           "Tarlo, the HTML editor for EDGAR filings.\n"
           "\n"
           "Opens FILE (.htm or .html) in the editor, or an empty document.\n"
           "\n"
           "  -h, --help     show this help and end\n"
           "      --version  show Tarlo's version and end\n"
           "  --             what follows is a file name, even when it starts with -\n"
           "\n"
           "The window's own help opens with F1.\n";
}

std::string VersionText(std::string_view program) {
    return std::string(program) + " " + TARLO_VERSION + "\n" + std::string(kLicenceLine) + "\n";
}

}  // namespace tarlo
