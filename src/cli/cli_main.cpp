// tarlo-cli: the batch front end of Tarlo's core, for filing agents' scripts.
#include <iostream>

#include "cli/cli_command.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int code = tarlo::cli::RunCli(args, std::cout, std::cerr);
    std::cout.flush();
    return code;
}
