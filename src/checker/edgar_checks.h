#pragma once
// The EDGAR conformance check: a missing or improper TITLE, Office markup
// ("<o:", "</o:", "mso" style names, "<w:", "</w:") and raw typographic or
// special characters, which a filing must spell in plain ASCII or as a
// numeric character reference.
#include <string_view>

#include "checker/problem_report.h"
#include "text/long_work.h"

namespace tarlo {

// The work advances once as the markup scans begin and after each of the 33
// scans; the stages are "Checking for Microsoft codes..." and "Checking for
// unacceptable characters...".
CheckRun RunEdgarChecks(std::string_view text, LongWork& work = UnwatchedWork());

// The same run handing each record to `sink` as it is found instead of
// keeping it: the run returned holds the caret's move only, no records and no
// report text.
CheckRun RunEdgarChecks(std::string_view text, const RecordSink& sink,
                        LongWork& work = UnwatchedWork());

}  // namespace tarlo
