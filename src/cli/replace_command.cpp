// tarlo-cli replace: the find window's Replace All, driven without a window.
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "find/find_text.h"
#include "text/text_encoding.h"

namespace tarlo::cli {

namespace {

bool IsAscii(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

int RunReplace(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    SearchOptions options;
    std::vector<std::string> words;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "--whole-word") {
            options.wholeWord = true;
        } else if (!optionsEnded && arg == "--match-case") {
            options.matchCase = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            // FIND and REPLACEMENT may start with "-" after "--"; FILE "-" is
            // standard input.
            err << "tarlo-cli replace: unknown option '" << arg << "' (see tarlo-cli --help)\n";
            return kExitUsage;
        } else {
            words.push_back(arg);
        }
    }
    if (words.size() < 2) {
        err << "tarlo-cli replace: FIND and REPLACEMENT are needed (see tarlo-cli --help)\n";
        return kExitUsage;
    }
    if (words.size() > 3) {
        err << "tarlo-cli replace: too many arguments (see tarlo-cli --help)\n";
        return kExitUsage;
    }
    // An empty text to find replaces nothing in the window; in a script it is
    // nearly always a variable that was not set, so it is refused.
    if (words[0].empty()) {
        err << "tarlo-cli replace: the text to find is empty\n";
        return kExitUsage;
    }
    InputText in = ReadInput(words.size() == 3 ? words[2] : std::string());
    if (!in.text) {
        err << "tarlo-cli replace: " << in.error << "\n";
        return kExitUsage;
    }
    const std::string& text = *in.text;
    const ReplaceAllResult result = ReplaceAllText(text, words[0], words[1], options);
    if (in.windows1252) {
        // A Windows-1252 filing comes back in Windows-1252, changed only where
        // replaced; UTF-8 only when the replacement has characters it lacks.
        const std::string utf8 = ApplyReplaceAll(text, result);
        const std::string bytes = EncodeDocumentBytes(utf8);
        if (bytes.size() == utf8.size() && !IsAscii(utf8)) {
            err << "tarlo-cli replace: REPLACEMENT has characters Windows-1252 lacks; the text "
                   "is written as UTF-8\n";
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        err << result.count << (result.count == 1 ? " replacement\n" : " replacements\n");
        return kExitOk;
    }
    // Only the stretch between the first and the last occurrence is new; the
    // rest is written straight from the text read.
    if (result.count == 0) {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    } else {
        out.write(text.data(), static_cast<std::streamsize>(result.from));
        out.write(result.replaced.data(), static_cast<std::streamsize>(result.replaced.size()));
        out.write(text.data() + result.to, static_cast<std::streamsize>(text.size() - result.to));
    }
    err << result.count << (result.count == 1 ? " replacement\n" : " replacements\n");
    return kExitOk;
}

const CliRegistrar kReplace({
    "replace",
    "replace [--whole-word] [--match-case] FIND REPLACEMENT [FILE]",
    "Prints the text with every occurrence of FIND replaced by REPLACEMENT, as the find "
    "window's \"Replace All\" does: left to right, the replacement never searched again, "
    "letters compared without regard to case unless --match-case, and with --whole-word only "
    "occurrences no letter, digit or \"_\" touches. The number of replacements goes to "
    "standard error.",
    RunReplace,
});

}  // namespace

}  // namespace tarlo::cli
