#include "checker/problem_report.h"

#include <charconv>

#include "text/number_text.h"

namespace tarlo {

std::string SerialiseRecord(const ProblemRecord& record) {
    std::string line;
    line.reserve(record.Description.size() + record.Code.size() + record.Severity.size() +
                 record.Fix.size() + 16);
    line.append(record.Description).append("|");
    line.append(record.Code).append("|");
    line.append(record.Severity).append("|");
    line.append(record.Fix).append("|");
    line.append(std::to_string(record.Position)).append("\r\n");
    return line;
}

void AppendRecord(std::string& reportText, const ProblemRecord& record) {
    // Straight onto the report: a run on a word-processor page appends
    // hundreds of thousands of records.
    reportText.append(record.Description).append("|");
    reportText.append(record.Code).append("|");
    reportText.append(record.Severity).append("|");
    reportText.append(record.Fix).append("|");
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, record.Position).ptr;
    reportText.append(digits, static_cast<std::size_t>(end - digits)).append("\r\n");
}

ReportRow RowOf(const ProblemRecord& record) {
    return ReportRow{record.Description, record.Code, record.Severity, record.Fix,
                     std::to_string(record.Position)};
}

std::vector<ReportRow> ReportRows(std::string_view reportText) {
    std::vector<ReportRow> rows;
    std::size_t from = 0;
    while (true) {
        const std::size_t end = reportText.find("\r\n", from);
        // The piece after the last CR LF is not a record.
        if (end == std::string_view::npos) break;
        const std::string_view record = reportText.substr(from, end - from);
        from = end + 2;
        std::vector<std::string_view> fields;
        std::size_t start = 0;
        while (true) {
            const std::size_t bar = record.find('|', start);
            fields.push_back(record.substr(
                start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
            if (bar == std::string_view::npos) break;
            start = bar + 1;
        }
        auto field = [&fields](std::size_t i) {
            return i < fields.size() ? std::string(fields[i]) : std::string();
        };
        ReportRow row;
        row.issue = field(0);
        row.code = field(1);
        row.severity = field(2);
        row.recommendation = field(3);
        row.tag = fields.size() >= 6 ? field(5) : field(4);
        rows.push_back(std::move(row));
    }
    return rows;
}

ProblemCounts CountProblems(const std::vector<ReportRow>& rows) {
    ProblemCounts counts;
    for (const ReportRow& row : rows) {
        if (row.severity == kSeverityError) {
            ++counts.errors;
        } else if (row.severity == kSeverityWarning) {
            ++counts.warnings;
        } else if (row.severity == kSeverityNegligible) {
            ++counts.negligible;
        }
    }
    return counts;
}

ProblemCounts CountProblems(std::string_view reportText) {
    ProblemCounts counts;
    std::size_t from = 0;
    for (std::size_t end = reportText.find("\r\n"); end != std::string_view::npos;
         from = end + 2, end = reportText.find("\r\n", from)) {
        // The severity is the third field of the line.
        const std::string_view line = reportText.substr(from, end - from);
        const std::size_t first = line.find('|');
        if (first == std::string_view::npos) continue;
        const std::size_t second = line.find('|', first + 1);
        if (second == std::string_view::npos) continue;
        const std::size_t third = line.find('|', second + 1);
        const std::string_view severity =
            line.substr(second + 1, third == std::string_view::npos ? std::string_view::npos
                                                                    : third - second - 1);
        if (severity == kSeverityError) {
            ++counts.errors;
        } else if (severity == kSeverityWarning) {
            ++counts.warnings;
        } else if (severity == kSeverityNegligible) {
            ++counts.negligible;
        }
    }
    return counts;
}

namespace {

std::string CountText(std::int32_t count, const char* none, const char* one, const char* many) {
    if (count <= 0) return none;
    return GroupThousands(count) + (count == 1 ? one : many);
}

}  // namespace

std::string ErrorsText(std::int32_t count) {
    return CountText(count, "No errors", " error", " errors");
}

std::string WarningsText(std::int32_t count) {
    return CountText(count, "No warnings", " warning", " warnings");
}

std::string NegligibleText(std::int32_t count) {
    return CountText(count, "No negligible items", " negligible item", " negligible items");
}

std::optional<std::int32_t> TagPosition(std::string_view tag) {
    if (tag.empty()) return std::nullopt;
    const char* begin = tag.data();
    const char* end = tag.data() + tag.size();
    if (*begin == '+') ++begin;
    std::int32_t value = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end || begin == end) return std::nullopt;
    return value;
}

}  // namespace tarlo
