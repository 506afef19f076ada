#include "checker/edgar_findings.h"

#include <algorithm>

#include "checker/problem_report.h"
#include "text/text_encoding.h"
#include "text/text_scan.h"
#include "text/windows1252.h"

namespace tarlo::edgar_rules {

std::string Printable(std::string_view raw, std::size_t limit) {
    std::string out;
    std::size_t i = 0;
    while (i < raw.size() && out.size() < limit) {
        char32_t cp = 0;
        std::size_t len = NextUtf8(raw, i, cp);
        if (len == 0) {
            cp = FromWindows1252(static_cast<unsigned char>(raw[i]));
            len = 1;
        }
        if (cp < 0x20 || cp == 0x7F) cp = ' ';
        AppendUtf8(out, cp);
        i += len;
    }
    if (i < raw.size()) out += "...";
    return out;
}

std::string Tag(std::string_view name) {
    return "<" + Printable(name) + ">";
}

std::string_view LowerInto(std::string& buffer, std::string_view s) {
    buffer.assign(s.begin(), s.end());
    for (char& c : buffer) c = AsciiLower(c);
    return buffer;
}

EdgarFindings::EdgarFindings(std::string_view text, std::size_t maxFindings, bool xhtml)
    : text_(text), maxFindings_(maxFindings) {
    result_.xhtml = xhtml;
}

void EdgarFindings::Add(const char* rule, std::string_view severity, std::string subject,
                        std::string problem, std::string fix, std::size_t offset,
                        std::size_t length) {
    if (maxFindings_ != 0 && result_.findings.size() >= maxFindings_) {
        result_.truncated = true;
        return;
    }
    offset = std::min(offset, text_.size());
    length = std::min(length, text_.size() - offset);
    if (length == 0 && offset < text_.size()) length = 1;
    EdgarFinding f;
    f.rule = rule;
    f.severity = std::string(severity);
    f.subject = std::move(subject);
    f.message = problem + " " + fix;
    f.fix = std::move(fix);
    f.offset = offset;
    f.length = length;
    result_.findings.push_back(std::move(f));
}

void EdgarFindings::Error(const char* rule, std::string subject, std::string problem,
                          std::string fix, std::size_t offset, std::size_t length) {
    Add(rule, kSeverityError, std::move(subject), std::move(problem), std::move(fix), offset,
        length);
}

void EdgarFindings::Warning(const char* rule, std::string subject, std::string problem,
                            std::string fix, std::size_t offset, std::size_t length) {
    Add(rule, kSeverityWarning, std::move(subject), std::move(problem), std::move(fix), offset,
        length);
}

EdgarRulesResult EdgarFindings::Take() {
    std::stable_sort(
        result_.findings.begin(), result_.findings.end(),
        [](const EdgarFinding& a, const EdgarFinding& b) { return a.offset < b.offset; });
    return std::move(result_);
}

}  // namespace tarlo::edgar_rules
