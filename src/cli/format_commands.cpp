// tarlo-cli format and colorize: the code formatter and the colouring of the
// code window, driven without a window.
#include <ostream>

#include "cli/cli_command.h"
#include "codeview/colour_roles.h"
#include "codeview/mod_format.h"

namespace tarlo::cli {

namespace {

// The text of the one optional FILE argument, or a usage failure.
bool ReadOneInput(const std::string& command, const std::vector<std::string>& args,
                  std::string& text, std::ostream& err) {
    if (args.size() > 1) {
        err << "tarlo-cli " << command << ": too many arguments (see tarlo-cli --help)\n";
        return false;
    }
    if (!args.empty() && args[0].size() > 1 && args[0][0] == '-') {
        err << "tarlo-cli " << command << ": unknown option '" << args[0]
            << "' (see tarlo-cli --help)\n";
        return false;
    }
    InputText in = ReadInput(args.empty() ? std::string() : args[0]);
    if (!in.text) {
        err << "tarlo-cli " << command << ": " << in.error << "\n";
        return false;
    }
    text = std::move(*in.text);
    return true;
}

const CliRegistrar kFormat({
    "format",
    "format [FILE]",
    "Prints the HTML laid out one tag per line, indented by nesting depth, as the code "
    "window's \"Format HTML\" does (CR LF line breaks; preformatted elements kept as they are).",
    [](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
        std::string text;
        if (!ReadOneInput("format", args, text, err)) return kExitUsage;
        const std::string formatted = FormatHtml(text);
        out.write(formatted.data(), static_cast<std::streamsize>(formatted.size()));
        return kExitOk;
    },
});

const CliRegistrar kColorize({
    "colorize",
    "colorize [FILE]",
    "Prints the colour runs of the HTML, one per line: START LENGTH ROLE, in bytes of the "
    "UTF-8 text, ROLE one of plain, tag, name, value; the runs cover the whole text in order.",
    [](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
        std::string text;
        if (!ReadOneInput("colorize", args, text, err)) return kExitUsage;
        std::string lines;
        for (const RoleRun& r : ColourRoles(text)) {
            lines += std::to_string(r.start);
            lines += ' ';
            lines += std::to_string(r.length);
            lines += ' ';
            lines += RoleName(r.role);
            lines += '\n';
        }
        out.write(lines.data(), static_cast<std::streamsize>(lines.size()));
        return kExitOk;
    },
});

}  // namespace

}  // namespace tarlo::cli
