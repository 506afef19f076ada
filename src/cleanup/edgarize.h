#pragma once
// "Edgarize": rewrites word-processor and spreadsheet HTML into the plain
// HTML EDGAR accepts. Office markup, smart tags, comments, spans and
// generator tags go; presentation attributes are stripped from the common
// tags; line breaks are collapsed; a few fixed replacements follow.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "text/long_work.h"

namespace tarlo {

// What the statistics line shows while the clean-up runs.
struct CleaningStatistics {
    std::size_t sizeBefore = 0;  // bytes of the input, trimmed
    std::size_t sizeNow = 0;     // bytes of the output so far
    long long minutes = 0;       // whole minutes since the start
};

// "Code Size : Before 1200 -> Now 300 Bytes , 0 Minutes Passed"
std::string StatisticsLine(const CleaningStatistics& s);

// The whole rewrite, text in, text out. The result has one root tag, a plain
// one, in place of everything before the head (in a document without a head,
// in place of its own root tag). Presentation attributes go with their
// whole value, also after blanks that follow the "=", so the attributes
// around them stay intact; a row start with a height or style becomes a
// plain one. A run of line breaks becomes one,
// except inside preformatted text, which keeps its blanks and its lines as they were; every line
// break of the result is written as CR LF. While it runs, the work ticks often and gets the
// statistics line at the start and whenever a tick lets events run; the fixed replacements are the
// stage "Replacing codes...", and each of them advances the work by one.
std::string Edgarize(std::string_view html, LongWork& work = UnwatchedWork());

// A filing inside its EDGAR wrapper (<DOCUMENT>, <TYPE>, ... <TEXT> before
// the <html> element, </TEXT></DOCUMENT> after it) is cleaned inside it: the
// clean-up works on the HTML document within, and the wrapper's lines go back
// around the result, their line breaks written as CR LF like the result's.
// Dropping the wrapper's head while keeping its tail would leave a half
// wrapper EDGAR cannot read. `cleaned` as it is for code without a wrapper.
std::string PutBackWrapper(std::string_view code, std::string cleaned);

// True when the text is an Inline XBRL document: it holds an ix: element (in
// any case) or declares the Inline XBRL namespace. Cleaning such a filing
// strips markup its tagged facts rely on (the style that hides its header,
// the ids its references point at), so the user is warned first.
bool IsInlineXbrl(std::string_view html);

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

// The ten fixed replacements, in their order; `after` runs after each. The
// root tag gets the empty title only in a text that holds no title tag.
std::string ApplyFixedReplacements(std::string text, const std::function<void()>& after = {});

}  // namespace tarlo
