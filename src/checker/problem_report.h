#pragma once
// A problem found by a check, and the report text a check run builds from
// them: one line per problem, "Description|Code|Severity|Fix|Position" and
// CR LF. The report window reads its rows and counts back from that text.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/byte_range.h"

namespace tarlo {

inline constexpr std::string_view kSeverityError = "Error";
inline constexpr std::string_view kSeverityWarning = "Warning";
inline constexpr std::string_view kSeverityNegligible = "Negligible";

struct ProblemRecord {
    std::string Description;
    std::string Code;
    std::string Severity;  // "Error", "Warning" or "Negligible"
    std::string Fix;
    // Where the problem is in the code text: a byte offset, or that offset
    // plus 1 for the checks that count from 1 (0 then means "nowhere").
    std::int32_t Position = 0;
};

// Takes each record of a run as it is found, in report order. A run over a
// word-processor page can find millions; a sink that writes each one out
// holds none of them.
using RecordSink = std::function<void(const ProblemRecord&)>;

// The record's line of the report, CR LF included.
std::string SerialiseRecord(const ProblemRecord& record);
void AppendRecord(std::string& reportText, const ProblemRecord& record);

// One row of the report window as the report text gives it. A record whose
// Code holds a "|" has its later fields shifted by one; the tag still takes
// the position.
struct ReportRow {
    std::string issue;           // field 1
    std::string code;            // field 2
    std::string severity;        // field 3
    std::string recommendation;  // field 4
    std::string tag;             // field 5, or field 6 where there is one
};

std::vector<ReportRow> ReportRows(std::string_view reportText);

// The report window's row of a record: its fields as they are, whatever
// characters its code holds, and its position as the tag.
ReportRow RowOf(const ProblemRecord& record);

struct ProblemCounts {
    std::int32_t errors = 0;
    std::int32_t warnings = 0;
    std::int32_t negligible = 0;
};

// Counts by the exact severity text; any other severity counts nowhere.
ProblemCounts CountProblems(const std::vector<ReportRow>& rows);
// The same counts read straight from the report text, without its rows.
ProblemCounts CountProblems(std::string_view reportText);

// The status-bar texts: "No errors", "1 error", "1,234 errors", and the same
// for warnings and negligible items.
std::string ErrorsText(std::int32_t count);
std::string WarningsText(std::int32_t count);
std::string NegligibleText(std::int32_t count);

// The position a row's tag stands for, when it is a whole number.
std::optional<std::int32_t> TagPosition(std::string_view tag);

// What a check run produces: its records, and their text form for
// tarlo-cli and the golden files.
struct CheckRun {
    std::vector<ProblemRecord> records;
    std::string reportText;
    // The code text's selection after the run: the checks move the caret (and
    // their searches select what they find) as they go; only the last move
    // shows. Nothing when no record moved it.
    std::optional<ByteRange> selection;
    bool focusCode = false;  // a record gave the code view the focus

    void Add(ProblemRecord record) {
        AppendRecord(reportText, record);
        records.push_back(std::move(record));
    }
};

}  // namespace tarlo
