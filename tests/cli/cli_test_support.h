#pragma once
// What the tarlo-cli tests share: the front end run in-process or as the
// program, with what it printed, and input files written to the test's
// temporary folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
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

// Runs a shell command line, as a script would run tarlo-cli; its exit
// status, standard output and standard error.
inline Result Shell(const std::string& command) {
    Result r{-1, "", ""};
    const std::string errors = testing::TempDir() + "shell_stderr.txt";
    FILE* pipe = popen((command + " 2>" + errors).c_str(), "r");
    if (!pipe) return r;
    char block[4096];
    std::size_t got = 0;
    while ((got = fread(block, 1, sizeof block, pipe)) > 0) r.out.append(block, got);
    const int status = pclose(pipe);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(errors, std::ios::binary);
    r.err.assign(std::istreambuf_iterator<char>(err), {});
    return r;
}

}  // namespace tarlo::cli::test
