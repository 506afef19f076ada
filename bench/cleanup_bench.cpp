// Figures for the clean-up and the two checks, each beside HTML Tidy on the
// same file in the same run: "tarlo-cli clean" against Tidy's Word clean-up,
// "tarlo-cli check" plus "check --edgar" against Tidy's error listing. The
// files are a generated 10 MB filing, a generated 10 MB word-processor page
// and any files named on the command line. Figures only, never pass / fail.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "filing_generator.h"
#include "program_folder.h"
#include "word_filing_generator.h"

namespace {

// Median wall time of a shell command in milliseconds, output discarded.
double CommandMs(const std::string& command) {
    std::vector<double> runs;
    for (int i = 0; i < 3; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system((command + " >/dev/null 2>&1").c_str()) == -1) return -1;
        runs.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

std::string Quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

void Measure(const std::string& cli, const std::string& name, const std::string& path,
             bool haveTidy) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const double mb = static_cast<double>(in.tellg()) / (1024.0 * 1024.0);
    const std::string file = Quote(path);
    const double clean = CommandMs(cli + " clean " + file);
    const double check =
        CommandMs(cli + " check " + file) + CommandMs(cli + " check --edgar " + file);
    double tidyClean = -1;
    double tidyCheck = -1;
    if (haveTidy) {
        tidyClean = CommandMs("tidy -q --word-2000 yes --bare yes --clean yes " + file);
        tidyCheck = CommandMs("tidy -q -e " + file);
    }
    auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    std::printf(
        "%-36s %7.2f MB | clean %8.1f ms  tidy %8.1f ms  ratio %5.3f | checks %8.1f ms"
        "  tidy -e %8.1f ms  ratio %5.3f\n",
        name.c_str(), mb, clean, tidyClean, ratio(clean, tidyClean), check, tidyCheck,
        ratio(check, tidyCheck));
}

std::string WriteTemp(const std::string& name, const std::string& text) {
    const char* tmp = std::getenv("TMPDIR");
    const std::string path = std::string(tmp ? tmp : "/tmp") + "/tarlo_cleanup_bench_" +
                             std::to_string(getpid()) + "_" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string cli = Quote(tarlo::bench::ExecutableFolder() + "/tarlo-cli");
    const bool haveTidy = std::system("command -v tidy >/dev/null 2>&1") == 0;
    if (!haveTidy) std::printf("tidy not found: peer figures are shown as -1\n");
    std::vector<std::pair<std::string, std::string>> files;
    const std::string filing = WriteTemp("filing.htm", tarlo::bench::GenerateFiling(10u << 20));
    const std::string word = WriteTemp("word.htm", tarlo::bench::GenerateWordFiling(10u << 20));
    files.emplace_back("generated filing", filing);
    files.emplace_back("generated word page", word);
    for (int i = 1; i < argc; ++i) {
        const std::string path = argv[i];
        files.emplace_back(path.substr(path.rfind('/') + 1), path);
    }
    for (const auto& [name, path] : files) Measure(cli, name, path, haveTidy);
    std::remove(filing.c_str());
    std::remove(word.c_str());
    return 0;
}
