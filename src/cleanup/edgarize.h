#pragma once
// "Edgarize": rewrites word-processor and spreadsheet HTML into the plain
// HTML EDGAR accepts. Office markup, smart tags, comments, spans and
// generator tags go; presentation attributes are stripped from the common
// tags; line breaks are collapsed; a few fixed replacements follow.
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarlo {

// What the statistics line shows while the clean-up runs.
struct CleaningStatistics {
    std::size_t sizeBefore = 0;  // bytes of the input, trimmed
    std::size_t sizeNow = 0;     // bytes of the output so far
    long long minutes = 0;       // whole minutes since the start
};

// "Code Size : Before 1200 -> Now 300 Bytes , 0 Minutes Passed"
std::string StatisticsLine(const CleaningStatistics& s);

// How the clean-up lets its window keep up. Every hook is optional.
struct EdgarizeHooks {
    // Once at the start of the cleaning loop, then at most once per interval.
    std::function<void(const CleaningStatistics&)> cleaning;
    // The fixed replacements are about to run.
    std::function<void()> replacing;
    // After each fixed replacement.
    std::function<void()> replaced;
    std::chrono::milliseconds interval{15};
};

// The whole rewrite, text in, text out. Line breaks of the result are single
// CRs (a run of breaks becomes one), except inside preformatted text, which
// keeps its blanks and its lines as they were.
std::string Edgarize(std::string_view html, const EdgarizeHooks& hooks = {});

// A stretch of the cleaned output [start, end) that the line-break pass
// leaves alone: preformatted text from its opening tag through "</pre>".
struct KeptRange {
    std::size_t start;
    std::size_t end;
};

// The line-break pass over the loop's output: " >" becomes ">", every line
// break becomes a CR and a run of CRs becomes one, outside the kept ranges
// (ascending, not overlapping).
std::string CollapseLineBreaks(std::string_view text, const std::vector<KeptRange>& kept = {});

// The ten fixed replacements, in their order; `after` runs after each.
std::string ApplyFixedReplacements(std::string text, const std::function<void()>& after = {});

}  // namespace tarlo
