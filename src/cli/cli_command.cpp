#include "cli/cli_command.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "editor/text_encoding.h"

namespace tarlo::cli {

namespace {

std::vector<CliCommand>& Registry() {
    static std::vector<CliCommand> commands;
    return commands;
}

void PrintHelp(std::ostream& out) {
    out << "tarlo-cli: Tarlo's batch front end. Reads FILE, or standard input when FILE is\n"
           "\"-\" or absent (UTF-8, or Windows-1252 when the bytes are not valid UTF-8), and\n"
           "writes UTF-8 to standard output.\n\nUsage: tarlo-cli COMMAND [ARGS]\n\nCommands:\n";
    for (const CliCommand& c : Registry()) {
        out << "  " << c.usage << "\n      " << c.help << "\n";
    }
    out << "\nExit status: 0 on success, 2 on a bad argument or an unreadable file.\n";
}

}  // namespace

void RegisterCliCommand(CliCommand command) {
    Registry().push_back(std::move(command));
}

const std::vector<CliCommand>& CliCommands() {
    return Registry();
}

InputText ReadInput(const std::string& path) {
    InputText in;
    std::string bytes;
    if (path.empty() || path == "-") {
        std::ostringstream buffer;
        buffer << std::cin.rdbuf();
        bytes = buffer.str();
    } else {
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            in.error = "cannot read " + path;
            return in;
        }
        bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        if (file.bad()) {
            in.error = "cannot read " + path;
            return in;
        }
    }
    in.text = DecodeDocumentBytes(bytes);
    return in;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintHelp(args.empty() ? err : out);
        return args.empty() ? kExitUsage : kExitOk;
    }
    for (const CliCommand& c : Registry()) {
        if (c.name != args[0]) continue;
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        for (const std::string& a : rest) {
            if (a == "--help") {
                out << "Usage: tarlo-cli " << c.usage << "\n" << c.help << "\n";
                return kExitOk;
            }
        }
        return c.run(rest, out, err);
    }
    err << "tarlo-cli: unknown command '" << args[0] << "' (see tarlo-cli --help)\n";
    return kExitUsage;
}

}  // namespace tarlo::cli
