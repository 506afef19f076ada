// tarlo-cli validate: the EDGAR rules check on one document, as lines a
// person reads or as JSON for scripts.
#include <filesystem>
#include <ostream>

#include "checker/edgar_rules.h"
#include "cli/cli_command.h"

namespace tarlo::cli {

namespace {

int RunValidate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    bool json = false;
    bool haveFile = false;
    std::string file;
    for (const std::string& a : args) {
        if (a == "--json") {
            json = true;
        } else if (a.size() > 1 && a[0] == '-') {
            err << "tarlo-cli validate: unknown option '" << a << "'\n";
            return kExitUsage;
        } else if (haveFile) {
            err << "tarlo-cli validate: more than one FILE given\n";
            return kExitUsage;
        } else {
            file = a;
            haveFile = true;
        }
    }
    // The document's bytes exactly as written: the check counts offsets in
    // them and judges their encoding itself (a byte-order mark is a finding).
    const InputBytes in = ReadInputBytes(file);
    if (!in.bytes) {
        err << "tarlo-cli validate: " << in.error << "\n";
        return kExitUsage;
    }
    const std::string& bytes = *in.bytes;
    EdgarRulesOptions options;
    if (!file.empty() && file != "-") {
        const std::filesystem::path folder = std::filesystem::path(file).parent_path();
        options.documentFolder = folder.empty() ? "." : folder.string();
    }
    const EdgarRulesResult result = CheckEdgarRules(bytes, options);
    LineColumnCounter places(bytes);
    bool errors = false;
    if (json) {
        out << "{\"markup\":" << (result.xhtml ? "\"xhtml\"" : "\"html\"")
            << ",\"truncated\":" << (result.truncated ? "true" : "false") << ",\"findings\":[";
    }
    bool first = true;
    for (const EdgarFinding& f : result.findings) {
        errors = errors || f.severity == kSeverityError;
        const LineColumn at = places.At(f.offset);
        if (json) {
            out << (first ? "\n" : ",\n") << "{\"line\":" << at.line << ",\"column\":" << at.column
                << ",\"offset\":" << f.offset << ",\"length\":" << f.length << ",\"severity\":";
            JsonString(out, f.severity);
            out << ",\"rule\":";
            JsonString(out, f.rule);
            out << ",\"message\":";
            JsonString(out, f.message);
            out << "}";
        } else {
            out << at.line << ':' << at.column << ": " << f.severity << ' ' << f.rule << ' '
                << f.message << '\n';
        }
        first = false;
    }
    if (json) out << "\n]}\n";
    if (result.truncated) {
        err << "tarlo-cli validate: stopped after " << result.findings.size() << " findings\n";
    }
    return errors ? kExitFindings : kExitOk;
}

const CliRegistrar kValidate{
    {"validate", "validate [--json] [FILE|-]",
     "Checks the document against EDGAR's rules for HTML and Inline XBRL documents (EDGAR "
     "Filer Manual, Volume II, 5.2): characters, elements, attributes, character references, "
     "links and pictures, and for Inline XBRL the XHTML form and the Inline XBRL structure "
     "(namespaces, the header, contexts and units, ids, continuations, number facts, hidden "
     "facts). Reads FILE, or standard input for "
     "\"-\" or no FILE; pictures are looked for in FILE's folder. Prints one line per finding, "
     "\"LINE:COLUMN: SEVERITY RULE message\" (line and column from 1, the column in "
     "characters), in the order of the text. With --json prints one object: {\"markup\": "
     "\"html\" or \"xhtml\", \"truncated\": true when the check stopped at 100000 findings, "
     "\"findings\": [{\"line\", \"column\", \"offset\" and \"length\" (bytes of the file), "
     "\"severity\" (\"Error\" or \"Warning\"), \"rule\" (Filer Manual section, e.g. "
     "\"5.2.2.4\"), \"message\"}, ...]}. Exit status 0 when no finding is an Error, 1 when one "
     "is, 2 when the input cannot be read or the arguments are wrong.",
     RunValidate}};

}  // namespace

}  // namespace tarlo::cli
