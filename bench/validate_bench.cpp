// Figures for the EDGAR rules check beside HTML Tidy's error listing
// ("tidy -e -q") on the same file in the same run: the check in-process, and
// "tarlo-cli validate" as a program, on a generated 10 MB filing, on the
// corpus Inline XBRL filings (where the Inline XBRL structure rules run too:
// the 4 MB one is to check in well under 0.3 s) and on any files named on the
// command line. Figures only, never pass / fail.
#include <unistd.h>

#include <QDir>
#include <QStandardPaths>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "checker/edgar_rules.h"
#include "filing_generator.h"
#include "program_folder.h"

#ifndef TARLO_CORPUS_DIR
#define TARLO_CORPUS_DIR "../shared/corpus"
#endif

namespace {

double CheckMs(const std::string& text, std::size_t& findings) {
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        findings = tarlo::CheckEdgarRules(text).findings.size();
        runs.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    return tarlo::bench::Median(runs);
}

void Measure(const QString& cli, const QString& tidy, const std::string& name,
             const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    std::size_t findings = 0;
    const double check = CheckMs(text, findings);
    const QString file = QString::fromStdString(path);
    const double program = tarlo::bench::ProgramMs(cli, {"validate", file});
    const double tidyMs = tarlo::bench::ProgramMs(tidy, {"-e", "-q", file});
    std::printf(
        "%-34s %6.1f MB  findings %7zu  check %8.1f ms  tarlo-cli validate %8.1f ms  "
        "tidy -e -q %8.1f ms",
        name.c_str(), text.size() / (1024.0 * 1024.0), findings, check, program, tidyMs);
    if (tidyMs > 0) {
        std::printf("  ratio check/tidy %.3f  validate/tidy %.3f", check / tidyMs,
                    program / tidyMs);
    }
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    const QString cli = QString::fromStdString(tarlo::bench::ExecutableFolder() + "/tarlo-cli");
    const QString tidy = QStandardPaths::findExecutable("tidy");
    if (tidy.isEmpty()) std::printf("tidy is not installed: its column stays -1\n");
    const std::string generated = QDir::tempPath().toStdString() + "/tarlo_validate_bench.htm";
    {
        std::ofstream out(generated, std::ios::binary);
        out << tarlo::bench::GenerateFiling(10u << 20);
    }
    Measure(cli, tidy, "generated filing", generated);
    for (const char* name : {"edgar-10k-2024-ixbrl-a.htm", "edgar-10k-2024-ixbrl-b.htm"}) {
        const std::string path = std::string(TARLO_CORPUS_DIR) + "/" + name;
        if (std::ifstream(path).good()) Measure(cli, tidy, name, path);
    }
    for (int i = 1; i < argc; ++i) Measure(cli, tidy, argv[i], argv[i]);
    std::remove(generated.c_str());
    return 0;
}
