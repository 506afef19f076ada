// Both check runs on arbitrary bytes: they always end, and every record is
// well formed, in its check's order, and points at what it names.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "checker/edgar_checks.h"
#include "checker/problem_report.h"
#include "checker/structure_checks.h"

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when text holds `lower` at offset p, ASCII letters folded.
bool HoldsAt(std::string_view text, long long p, std::string_view lower) {
    if (p < 0 || static_cast<std::size_t>(p) + lower.size() > text.size()) return false;
    for (std::size_t i = 0; i < lower.size(); ++i) {
        if (Lower(text[static_cast<std::size_t>(p) + i]) != lower[i]) return false;
    }
    return true;
}

// Reads "digits CR LF" at `at`; aborts when the line does not end so.
long long Position(std::string_view report, std::size_t& at) {
    const std::size_t start = at;
    bool negative = false;
    if (at < report.size() && report[at] == '-') {
        negative = true;
        ++at;
    }
    long long value = 0;
    while (at < report.size() && report[at] >= '0' && report[at] <= '9') {
        value = value * 10 + (report[at] - '0');
        if (value > (1LL << 40)) std::abort();
        ++at;
    }
    if (at == start || report.substr(at, 2) != "\r\n") std::abort();
    at += 2;
    return negative ? -value : value;
}

bool Takes(std::string_view report, std::size_t& at, std::string_view literal) {
    if (report.substr(at, literal.size()) != literal) return false;
    at += literal.size();
    return true;
}

void CheckStructure(std::string_view text) {
    const std::string report = tarlo::RunStructureChecks(text).reportText;
    const long long n = static_cast<long long>(text.size());
    std::size_t at = 0;
    int stage = 0;  // records come grouped by check, checks in their order
    long long last = -1;
    auto enter = [&](int s) {
        if (s < stage) std::abort();
        if (s > stage) last = -1;
        stage = s;
    };
    while (at < report.size()) {
        if (Takes(report, at, "Nested codes|<FONT>|Warning|Combine nested codes into one|")) {
            enter(1);
            const long long a = Position(report, at);
            if (a <= last || !HoldsAt(text, a - 1, "<font")) std::abort();
            last = a;
        } else if (Takes(report, at,
                         "Improper or missing code|<TITLE>|Error|Add missing code(s)|")) {
            enter(2);
            const long long a = Position(report, at);
            if (a != 0 && !HoldsAt(text, a - 1, "<title>")) std::abort();
            if (a > n) std::abort();
        } else if (Takes(report, at, "Immediate similar codes|")) {
            enter(3);
            // The code is the tag in upper case: "<" up to its only ">".
            const std::size_t gt = report.find('>', at);
            if (gt == std::string::npos || report[at] != '<') std::abort();
            const std::string code = report.substr(at, gt + 1 - at);
            at = gt + 1;
            if (!Takes(report, at,
                       "|Negligible|Can be ignored...consolidate codes or leave as is|")) {
                std::abort();
            }
            const long long a = Position(report, at);
            if (a <= last || !HoldsAt(text, a - 1, "") || a > n) std::abort();
            std::string lowerCode;
            for (char c : code) lowerCode += Lower(c);
            if (!HoldsAt(text, a - 1, lowerCode)) std::abort();
            last = a;
        } else {
            const std::string fix =
                "|Warning|Remove manually from code or use the Cleanup button to remove|";
            const bool open = Takes(report, at, "Unnecessary Microsoft code|<o:p>" + fix);
            if (!open && !Takes(report, at, "Unnecessary Microsoft code|</o:p>" + fix)) {
                std::abort();
            }
            enter(open ? 4 : 5);
            const long long p = Position(report, at);
            if (p <= last || !HoldsAt(text, p, open ? "<o:p>" : "</o:p>")) std::abort();
            last = p;
        }
    }
}

void CheckEdgar(std::string_view text) {
    const std::string report = tarlo::RunEdgarChecks(text).reportText;
    const long long n = static_cast<long long>(text.size());
    for (const tarlo::ReportRow& row : tarlo::ReportRows(report)) {
        if (row.severity != "Error" && row.severity != "Warning") std::abort();
        if (row.tag.empty() || row.issue.empty() || row.recommendation.empty()) std::abort();
        std::size_t at = 0;
        const std::string tag = row.tag + "\r\n";
        const long long p = Position(tag, at);
        if (p < 0 || p > n) std::abort();
        if (row.code == "<TITLE>") {
            if (p != 0 && !HoldsAt(text, p - 1, "<title>")) std::abort();
        } else if (row.code == "<o:" || row.code == "</o:" || row.code == "mso" ||
                   row.code == "<w:" || row.code == "</w:") {
            if (!HoldsAt(text, p, row.code)) std::abort();
        } else {
            // A raw character: a byte of UTF-8 beyond ASCII starts there.
            if (p >= n || static_cast<unsigned char>(text[static_cast<std::size_t>(p)]) < 0xC2) {
                std::abort();
            }
        }
    }
    // Every record is one line of five fields: none of them holds "|".
    std::size_t lines = 0;
    std::size_t bars = 0;
    for (std::size_t i = 0; i < report.size(); ++i) {
        if (report[i] == '|') ++bars;
        if (report.compare(i, 2, "\r\n") == 0) ++lines;
    }
    if (bars != lines * 4) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckStructure(text);
    CheckEdgar(text);
    return 0;
}
