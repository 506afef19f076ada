#pragma once
// What the tarlo-cli tests share: the front end run in-process, with what it
// printed, and input files written to the test's temporary folder.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_command.h"

namespace tarlo::cli::test {

struct Result {
    int code;
    std::string out;
    std::string err;
};

inline Result Cli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunCli(args, out, err);
    return {code, out.str(), err.str()};
}

inline std::string WriteTemp(const std::string& name, const std::string& bytes) {
    const std::string path = testing::TempDir() + name;
    std::ofstream f(path, std::ios::binary);
    f << bytes;
    return path;
}

}  // namespace tarlo::cli::test
