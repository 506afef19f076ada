// Peak memory of each tarlo-cli command that reads a document, beside HTML
// Tidy's on the same file in the same run: on a generated 20 MB page of
// typographic, non-ASCII text (a word-processor filing at its worst for the
// checks) and on any files named on the command line. Each figure is the
// program's maximum resident set size, and its multiple of the input's size.
// Figures only, never pass / fail.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "program_folder.h"

namespace {

// Paragraphs of prose whose quotes, dashes, signs and accented letters are
// raw characters, each of them one the EDGAR check reports.
std::string GenerateTypographicPage(std::size_t bytes) {
    std::string out = "<html><head><title>Annual report</title></head><body>\r\n";
    const char* const paragraph =
        "<p class=MsoNormal>The Company\u2019s \u201cnet revenue\u201d rose 12\u00bd% \u2014 "
        "\u00a9 2024 \u2013 see \u00a7 4.2 \u2026 caf\u00e9 \u00e6on \u2122 \u00b1 \u20ac "
        "\u00a3 \u00a5 \u00b5 \u2020 \u2021 \u00b7 \u00b6 \u00d7 \u00f7 \u00ae</p>\r\n";
    while (out.size() < bytes) out += paragraph;
    return out + "</body></html>\r\n";
}

// The peak resident size in kilobytes of `argv` run on `input`, its output
// thrown away; -1 when it could not run.
long PeakKilobytes(const std::vector<std::string>& argv, const std::string& input) {
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        const int in = open(input.c_str(), O_RDONLY);
        const int null = open("/dev/null", O_WRONLY);
        if (in < 0 || null < 0) _exit(127);
        dup2(in, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return -1;
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 127) return -1;
    return usage.ru_maxrss;
}

void Measure(const std::string& cli, const std::string& name, const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || status.st_size <= 0) {
        std::printf("%s: cannot be read\n", name.c_str());
        return;
    }
    const double megabytes = static_cast<double>(status.st_size) / (1024.0 * 1024.0);
    std::printf("%s, %.1f MB (peak resident size, and its multiple of the input)\n", name.c_str(),
                megabytes);
    const std::vector<std::vector<std::string>> commands = {
        {"format"},   {"colorize"},         {"clean"}, {"check"}, {"check", "--edgar"},
        {"validate"}, {"replace", "a", "b"}};
    const long tidy = PeakKilobytes({"tidy", "-q", "-e", "-"}, path);
    for (const auto& words : commands) {
        std::vector<std::string> argv = {cli};
        argv.insert(argv.end(), words.begin(), words.end());
        const long peak = PeakKilobytes(argv, path);
        std::string label = "tarlo-cli";
        for (const std::string& w : words) label += " " + w;
        std::printf("  %-26s %8.1f MB  %5.2fx", label.c_str(), peak / 1024.0,
                    peak / 1024.0 / megabytes);
        if (tidy > 0) std::printf("  ratio to tidy -e -q %.2f", static_cast<double>(peak) / tidy);
        std::printf("\n");
    }
    std::printf("  %-26s %8.1f MB  %5.2fx\n", "tidy -e -q", tidy / 1024.0,
                tidy / 1024.0 / megabytes);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string cli = tarlo::bench::ExecutableFolder() + "/tarlo-cli";
    const char* tmp = std::getenv("TMPDIR");
    const std::string generated =
        std::string(tmp && tmp[0] ? tmp : "/tmp") + "/tarlo_cli_memory_bench.htm";
    {
        std::ofstream out(generated, std::ios::binary);
        out << GenerateTypographicPage(20u << 20);
    }
    Measure(cli, "generated typographic page", generated);
    for (int i = 1; i < argc; ++i) Measure(cli, argv[i], argv[i]);
    std::remove(generated.c_str());
    return 0;
}
