// The front end's own conventions: help, unknown commands, reading input.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "cli/cli_command.h"

namespace tarlo::cli {
namespace {

TEST(CliFrontEnd, HelpUnknownCommandsAndInput) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCli({"--help"}, out, err), kExitOk);
    EXPECT_NE(out.str().find("Usage: tarlo-cli COMMAND"), std::string::npos);
    for (const CliCommand& c : CliCommands()) {
        EXPECT_NE(out.str().find(c.usage), std::string::npos) << c.name;
    }
    EXPECT_EQ(RunCli({}, out, err), kExitUsage);
    err.str("");
    EXPECT_EQ(RunCli({"frobnicate"}, out, err), kExitUsage);
    EXPECT_EQ(err.str(), "tarlo-cli: unknown command 'frobnicate' (see tarlo-cli --help)\n");
    out.str("");
    EXPECT_EQ(RunCli({"--version"}, out, err), kExitOk);
    EXPECT_EQ(out.str().rfind("tarlo-cli 0.", 0), 0u) << out.str();
    EXPECT_NE(out.str().find("(GPL-3.0-or-later).\n"), std::string::npos) << out.str();

    const InputText missing = ReadInput("/nonexistent/dir/file.htm");
    EXPECT_FALSE(missing.text.has_value());
    EXPECT_EQ(missing.error, "cannot read /nonexistent/dir/file.htm: No such file or directory");

    const std::string path = testing::TempDir() + "cli_input.htm";
    {
        std::ofstream f(path, std::ios::binary);
        f << "caf\xe9 \x96";  // Windows-1252
    }
    const InputText read = ReadInput(path);
    ASSERT_TRUE(read.text.has_value());
    EXPECT_EQ(*read.text, "caf\u00e9 \u2013");
    std::remove(path.c_str());
}

}  // namespace
}  // namespace tarlo::cli
