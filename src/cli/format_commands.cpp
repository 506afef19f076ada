// tarlo-cli format and colorize: the code formatter and the colouring of the
// code window, driven without a window.
#include <charconv>
#include <cstring>
#include <ostream>
#include <string_view>
#include <vector>

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

// The role names with their line break, by role.
struct RoleText {
    char text[8];
    std::size_t length;
};

RoleText MakeRoleText(ColourRole role) {
    RoleText t{};
    t.length = std::strlen(RoleName(role));
    std::memcpy(t.text, RoleName(role), t.length);
    t.text[t.length++] = '\n';
    return t;
}

const RoleText kRoleTexts[] = {MakeRoleText(ColourRole::Plain), MakeRoleText(ColourRole::Tag),
                               MakeRoleText(ColourRole::Name), MakeRoleText(ColourRole::Value)};

// Writes the colour runs of `text` as lines "START LENGTH ROLE", through one
// buffer of fixed size: a filing of many megabytes has millions of runs.
void WriteRunLines(const std::string& text, std::ostream& out) {
    constexpr std::size_t kBuffer = 1 << 18;
    constexpr std::size_t kLongestLine = 2 * 20 + 2 + 8;  // two 64-bit numbers, a role
    std::vector<char> buffer(kBuffer);
    char* const begin = buffer.data();
    char* const limit = begin + kBuffer - kLongestLine;
    char* p = begin;
    ColourRolesStream(text, [&](const RoleRun* runs, std::size_t count) {
        for (std::size_t k = 0; k < count; ++k) {
            if (p > limit) {
                out.write(begin, p - begin);
                p = begin;
            }
            p = std::to_chars(p, p + 20, runs[k].start).ptr;
            *p++ = ' ';
            p = std::to_chars(p, p + 20, runs[k].length).ptr;
            *p++ = ' ';
            const RoleText& name = kRoleTexts[static_cast<std::size_t>(runs[k].role)];
            std::memcpy(p, name.text, sizeof name.text);  // the line has room for all of it
            p += name.length;
        }
    });
    out.write(begin, p - begin);
}

const CliRegistrar kFormat({
    "format",
    "format [FILE]",
    "Prints the HTML laid out one tag per line, indented by nesting depth, as the code "
    "window's \"Format HTML\" does (CR LF line breaks; preformatted elements kept as they are).",
    [](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
        std::string text;
        if (!ReadOneInput("format", args, text, err)) return kExitUsage;
        // Written as it is produced, through one buffer: the indentation of a
        // long filing can come to many times the filing's own size.
        constexpr std::size_t kBuffer = 1 << 18;
        std::vector<char> buffer(kBuffer);
        std::size_t used = 0;
        FormatHtmlTo(text, [&](std::string_view piece) {
            if (used + piece.size() > kBuffer) {
                out.write(buffer.data(), static_cast<std::streamsize>(used));
                used = 0;
            }
            if (piece.size() >= kBuffer) {
                out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
                return;
            }
            std::memcpy(buffer.data() + used, piece.data(), piece.size());
            used += piece.size();
        });
        out.write(buffer.data(), static_cast<std::streamsize>(used));
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
        WriteRunLines(text, out);
        return kExitOk;
    },
});

}  // namespace

}  // namespace tarlo::cli
