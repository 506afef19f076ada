// Figures for building the source map of the code beside two parsers that
// build a tree from the same file in the same run: "xmllint --html --noout"
// (or "xmllint --noout" for XHTML) and HTML Tidy's "tidy -q -e". The map is
// built in-process; the peers are programs, their start-up included. Also
// the lookups the sync makes per edit: the enclosing element of a range and
// the node at a path. On a generated 10 MB filing, the corpus's largest
// filing, and any files named on the command line. Figures only.
#include <QDir>
#include <QStandardPaths>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "filing_generator.h"
#include "text/page_source.h"
#include "text/source_map.h"

namespace {

double MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double BuildMs(const std::string& text, tarlo::HtmlSyntax syntax, tarlo::SourceMap& map) {
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        map = tarlo::SourceMap::Build(text, syntax);
        runs.push_back(MsSince(start));
    }
    return tarlo::bench::Median(runs);
}

// Microseconds per lookup: the enclosing element of a few bytes spread over
// the text, then each found element's path and back.
double LookupUs(const tarlo::SourceMap& map, std::size_t textSize) {
    constexpr int kLookups = 100000;
    const auto start = std::chrono::steady_clock::now();
    std::size_t found = 0;
    for (int i = 0; i < kLookups; ++i) {
        const int at = static_cast<int>((static_cast<std::size_t>(i) * 7919u * 104729u) % textSize);
        const std::uint32_t node = map.EnclosingElement(tarlo::ByteRange{at, 3});
        if (node != tarlo::kNoSourceNode && map.NodeAtPath(map.PathOf(node)) == node) ++found;
    }
    const double ms = MsSince(start);
    if (found == 0) std::printf("(no element found by any lookup)\n");
    return ms * 1000.0 / kLookups;
}

void Measure(const QString& xmllint, const QString& tidy, const std::string& name,
             const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    const bool xhtml = tarlo::ClaimsXhtml(text);
    tarlo::SourceMap map;
    const double html = BuildMs(text, tarlo::HtmlSyntax::Html, map);
    const std::size_t elements = map.ElementCount();
    const int uncertain = map.UncertainPlaces();
    double xml = -1;
    if (xhtml) xml = BuildMs(text, tarlo::HtmlSyntax::Xhtml, map);
    const double lookup = LookupUs(map, text.size());
    const QString file = QString::fromStdString(path);
    const double xmllintHtml = tarlo::bench::ProgramMs(xmllint, {"--html", "--noout", file});
    const double xmllintXml = xhtml ? tarlo::bench::ProgramMs(xmllint, {"--noout", file}) : -1;
    const double tidyMs = tarlo::bench::ProgramMs(tidy, {"-q", "-e", file});
    const double mb = text.size() / (1024.0 * 1024.0);
    std::printf("%-34s %5.1f MB  elements %7zu  uncertain %4d\n", name.c_str(), mb, elements,
                uncertain);
    std::printf("    HTML map %7.1f ms (%6.1f MB/s)  xmllint --html %7.1f ms  tidy -q -e %7.1f ms",
                html, mb * 1000.0 / html, xmllintHtml, tidyMs);
    if (xmllintHtml > 0) std::printf("  ratio map/xmllint %.3f", html / xmllintHtml);
    if (tidyMs > 0) std::printf("  map/tidy %.3f", html / tidyMs);
    std::printf("\n");
    if (xhtml) {
        std::printf("    XHTML map %6.1f ms  xmllint (XML) %7.1f ms", xml, xmllintXml);
        if (xmllintXml > 0) std::printf("  ratio %.3f", xml / xmllintXml);
        std::printf("\n");
    }
    std::printf("    lookup (enclosing element, path, node at path) %.2f us\n", lookup);
}

}  // namespace

int main(int argc, char** argv) {
    const QString xmllint = QStandardPaths::findExecutable("xmllint");
    const QString tidy = QStandardPaths::findExecutable("tidy");
    if (xmllint.isEmpty()) std::printf("xmllint is not installed: its column stays -1\n");
    if (tidy.isEmpty()) std::printf("tidy is not installed: its column stays -1\n");
    const std::string generated = QDir::tempPath().toStdString() + "/tarlo_source_map_bench.htm";
    {
        std::ofstream out(generated, std::ios::binary);
        out << tarlo::bench::GenerateFiling(10u << 20);
    }
    Measure(xmllint, tidy, "generated filing", generated);
    const std::filesystem::path largest =
        std::filesystem::path(TARLO_CORPUS_DIR) / "edgar-10k-2024-ixbrl-b.htm";
    if (argc == 1 && std::filesystem::exists(largest)) {
        Measure(xmllint, tidy, largest.filename().string(), largest.string());
    }
    for (int i = 1; i < argc; ++i) Measure(xmllint, tidy, argv[i], argv[i]);
    std::remove(generated.c_str());
    return 0;
}
