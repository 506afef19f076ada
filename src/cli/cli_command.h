#pragma once
// tarlo-cli's commands. Each command lives in its own file and registers
// itself with a CliRegistrar; the front end dispatches on the first argument.
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarlo::cli {

// Exit codes shared by every command.
constexpr int kExitOk = 0;
constexpr int kExitFindings = 1;  // the command ran and found errors
constexpr int kExitUsage = 2;     // bad argument or unreadable file

struct CliCommand {
    std::string name;
    std::string usage;  // "format [FILE]"
    std::string help;   // one paragraph
    // args are the arguments after the command's name.
    std::function<int(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)>
        run;
};

void RegisterCliCommand(CliCommand command);
const std::vector<CliCommand>& CliCommands();

struct CliRegistrar {
    explicit CliRegistrar(CliCommand command) { RegisterCliCommand(std::move(command)); }
};

// The bytes of FILE, or of standard input for "-" or no FILE, read whole
// before anything is written. On failure there are no bytes, and the error
// names what could not be read and why, in one line: "cannot read a.htm: Is a
// directory", "cannot read standard input: it is closed". Every command that
// reads a document reads it through here, so they all fail alike.
struct InputBytes {
    std::optional<std::string> bytes;
    std::string error;
};
InputBytes ReadInputBytes(const std::string& path);

// The text a command works on: the bytes ReadInputBytes reads, where those
// that are not valid UTF-8 are read as Windows-1252.
struct InputText {
    std::optional<std::string> text;
    std::string error;
    // The bytes were not UTF-8 and were read as Windows-1252: a command that
    // gives the document back writes it in the same encoding.
    bool windows1252 = false;
};
InputText ReadInput(const std::string& path);

// `s` as a JSON string, quotes included: quotes, backslashes and control
// characters escaped, everything else as it is (the text is UTF-8).
void JsonString(std::ostream& out, std::string_view s);

// Runs the front end on argv-style arguments; what main() returns.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tarlo::cli
