// tarlo-cli run as a script runs it, on input that cannot be read: every
// command that reads a document stops with exit status 2 and the reason on
// standard error, and writes nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "cli_test_support.h"

namespace tarlo::cli {
namespace {

using test::Result;
using test::Shell;

TEST(CliReadFailures, EveryDocumentCommandStopsWithTheReasonAndWritesNothing) {
    // Each command that reads FILE or standard input, with its other arguments.
    const std::vector<std::vector<std::string>> commands = {
        {"format"},        {"colorize"},           {"clean"},
        {"check"},         {"check", "--edgar"},   {"replace", "a", "b"},
        {"validate"},      {"validate", "--json"}, {"facts"},
        {"facts", "--csv"}};
    // A command added later that reads a document belongs in the list above.
    std::set<std::string> listed;
    for (const auto& c : commands) listed.insert(c[0]);
    for (const CliCommand& c : CliCommands()) {
        if (c.name != "table" && c.name != "ftp") {
            EXPECT_EQ(listed.count(c.name), 1u) << c.name;
        }
    }

    const std::filesystem::path scratch = testing::TempDir() + "read_failures";
    std::filesystem::create_directories(scratch / "empty");
    const std::string folder = (scratch / "empty").string();
    const std::string absent = (scratch / "absent.htm").string();
    struct Failure {
        std::string input;  // the FILE argument or a redirection of standard input
        std::string error;
    };
    const std::vector<Failure> failures = {
        {"/proc/self/mem", "cannot read /proc/self/mem: Input/output error"},
        {folder, "cannot read " + folder + ": Is a directory"},
        {absent, "cannot read " + absent + ": No such file or directory"},
        {"- < " + folder, "cannot read standard input: Is a directory"},
        {"< " + folder, "cannot read standard input: Is a directory"},
        {"<&-", "cannot read standard input: it is closed"},
    };
    const std::string cli = TARLO_CLI;
    for (const auto& command : commands) {
        std::string line = "cd " + scratch.string() + " && " + cli;
        for (const std::string& word : command) line += " " + word;
        for (const Failure& f : failures) {
            const Result r = Shell(line + " " + f.input);
            const std::string what = command[0] + " " + f.input;
            EXPECT_EQ(r.code, kExitUsage) << what;
            EXPECT_EQ(r.out, "") << what;
            EXPECT_EQ(r.err, "tarlo-cli " + command[0] + ": " + f.error + "\n") << what;
        }
    }
    // Nothing was written beside the input either.
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(scratch)) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"empty"});
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

}  // namespace
}  // namespace tarlo::cli
