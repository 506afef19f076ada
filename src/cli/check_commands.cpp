// tarlo-cli clean and check: the clean-up's result, and the report text of
// the structure check or (with --edgar) the EDGAR conformance check.
#include <ostream>

#include "checker/edgar_checks.h"
#include "checker/problem_report.h"
#include "checker/structure_checks.h"
#include "cleanup/edgarize.h"
#include "cleanup/edgarize_ixbrl.h"
#include "cli/cli_command.h"
#include "text/page_source.h"

namespace tarlo::cli {

namespace {

struct Arguments {
    std::string file;
    bool edgar = false;
    std::string error;
};

Arguments ParseArguments(const std::string& command, const std::vector<std::string>& args,
                         bool allowEdgar) {
    Arguments parsed;
    bool haveFile = false;
    for (const std::string& a : args) {
        if (allowEdgar && a == "--edgar") {
            parsed.edgar = true;
        } else if (a.size() > 1 && a[0] == '-') {
            parsed.error = "tarlo-cli " + command + ": unknown option '" + a + "'";
            return parsed;
        } else if (haveFile) {
            parsed.error = "tarlo-cli " + command + ": more than one FILE given";
            return parsed;
        } else {
            parsed.file = a;
            haveFile = true;
        }
    }
    return parsed;
}

int RunClean(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    // The look a style sheet gives each element is what a page engine
    // computes (cascade, specificity, inheritance, the browser's own
    // defaults); the command line has none, and a look worked out otherwise
    // would differ from the editor's. It is said plainly rather than half done.
    for (const std::string& a : args) {
        if (a == "--keep-layout") {
            err << "tarlo-cli clean: --keep-layout needs the page engine that lays the document "
                   "out, which only the editor has; open the document in Tarlo and use Tools > "
                   "Clean up, keeping the layout\n";
            return kExitUsage;
        }
    }
    const Arguments parsed = ParseArguments("clean", args, false);
    if (!parsed.error.empty()) {
        err << parsed.error << "\n";
        return kExitUsage;
    }
    const InputText in = ReadInput(parsed.file);
    if (!in.text) {
        err << "tarlo-cli clean: " << in.error << "\n";
        return kExitUsage;
    }
    // An empty document is left alone, as the command leaves an empty page.
    if (in.text->empty()) return kExitOk;
    // An Inline XBRL filing is cleaned in the form that keeps its tagging.
    if (const std::optional<std::string> inlineXbrl = CleanUpInlineXbrl(*in.text)) {
        out << *inlineXbrl;
    } else {
        // A filing in its EDGAR wrapper is cleaned inside it, as in the editor.
        out << PutBackWrapper(*in.text, Edgarize(PageContent(*in.text)));
    }
    return kExitOk;
}

// The EDGAR check's report, each record written as it is found: a page full
// of typographic characters gives a report many times its own size, which is
// never held whole.
int WriteEdgarReport(const std::string& text, std::ostream& out) {
    constexpr std::size_t kBuffer = 1 << 16;
    std::string buffer;
    buffer.reserve(2 * kBuffer);
    bool errors = false;
    RunEdgarChecks(text, [&](const ProblemRecord& record) {
        AppendRecord(buffer, record);
        errors = errors || record.Severity == kSeverityError;
        if (buffer.size() >= kBuffer) {
            out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            buffer.clear();
        }
    });
    out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    return errors ? kExitFindings : kExitOk;
}

int RunCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments parsed = ParseArguments("check", args, true);
    if (!parsed.error.empty()) {
        err << parsed.error << "\n";
        return kExitUsage;
    }
    const InputText in = ReadInput(parsed.file);
    if (!in.text) {
        err << "tarlo-cli check: " << in.error << "\n";
        return kExitUsage;
    }
    if (parsed.edgar) return WriteEdgarReport(*in.text, out);
    const CheckRun run = RunStructureChecks(*in.text);
    out << run.reportText;
    return CountProblems(std::string_view(run.reportText)).errors > 0 ? kExitFindings : kExitOk;
}

const CliRegistrar kClean{{"clean", "clean [FILE]",
                           "Cleans word-processor and spreadsheet HTML into plain HTML for "
                           "EDGAR and prints the result (line breaks as CR LF). An Inline XBRL "
                           "document keeps its tagging, namespaces and hidden facts.",
                           RunClean}};

const CliRegistrar kCheck{
    {"check", "check [--edgar] [FILE]",
     "Prints the structure check's problem report, or with --edgar the EDGAR conformance "
     "check's: one line per problem, Description|Code|Severity|Fix|Position and CR LF, the "
     "position counted in bytes. Exit status 1 when a problem is an Error.",
     RunCheck}};

}  // namespace

}  // namespace tarlo::cli
