// tarlo-cli facts: every fact of an Inline XBRL document, one a line, as CSV
// or as JSON, so that two versions of a filing can be compared fact by fact.
#include <ostream>

#include "checker/edgar_rules.h"
#include "checker/ixbrl_facts.h"
#include "cli/cli_command.h"

namespace tarlo::cli {

namespace {

enum class Form { Lines, Csv, Json };

std::string_view Shown(const IxFact& f) {
    return f.hidden ? "hidden" : "shown";
}

// A CSV field: in quotes when it holds a comma, quote or line break.
void CsvField(std::ostream& out, std::string_view s) {
    if (s.find_first_of(",\"\r\n") == std::string_view::npos) {
        out << s;
        return;
    }
    out << '"';
    for (const char c : s) {
        if (c == '"') out << '"';
        out << c;
    }
    out << '"';
}

void WriteFact(std::ostream& out, Form form, const IxFact& f, const LineColumn& at, bool first) {
    const std::string_view value = f.readable ? std::string_view(f.value) : "(unreadable)";
    if (form == Form::Lines) {
        out << f.concept << '\t' << (f.nil ? "(nil)" : value) << '\t' << f.unit << '\t' << f.period
            << '\t' << f.entity << '\t' << f.decimals << '\t' << Shown(f) << '\t' << f.shown
            << '\n';
        return;
    }
    if (form == Form::Csv) {
        const std::string_view fields[] = {
            f.concept, f.nil ? "" : value, f.shown,  f.unit,    f.period,
            f.entity,  f.decimals,         Shown(f), f.context, f.id};
        bool firstField = true;
        for (std::string_view field : fields) {
            if (!firstField) out << ',';
            CsvField(out, field);
            firstField = false;
        }
        out << '\n';
        return;
    }
    out << (first ? "\n" : ",\n") << "{\"line\":" << at.line << ",\"column\":" << at.column
        << ",\"offset\":" << f.offset << ",\"element\":";
    JsonString(out, f.element);
    const std::pair<const char*, std::string_view> fields[] = {
        {"concept", f.concept}, {"id", f.id},         {"shown", f.shown}, {"context", f.context},
        {"period", f.period},   {"entity", f.entity}, {"unit", f.unit},   {"decimals", f.decimals}};
    for (const auto& [name, text] : fields) {
        out << ",\"" << name << "\":";
        JsonString(out, text);
    }
    out << ",\"value\":";
    if (f.nil || !f.readable) {
        out << "null";
    } else {
        JsonString(out, f.value);
    }
    out << ",\"nil\":" << (f.nil ? "true" : "false")
        << ",\"hidden\":" << (f.hidden ? "true" : "false") << "}";
}

int RunFacts(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Form form = Form::Lines;
    bool haveFile = false;
    std::string file;
    for (const std::string& a : args) {
        if (a == "--json") {
            form = Form::Json;
        } else if (a == "--csv") {
            form = Form::Csv;
        } else if (a.size() > 1 && a[0] == '-') {
            err << "tarlo-cli facts: unknown option '" << a << "'\n";
            return kExitUsage;
        } else if (haveFile) {
            err << "tarlo-cli facts: more than one FILE given\n";
            return kExitUsage;
        } else {
            file = a;
            haveFile = true;
        }
    }
    const InputText in = ReadInput(file);
    if (!in.text) {
        err << "tarlo-cli facts: " << in.error << "\n";
        return kExitUsage;
    }
    const std::string& text = *in.text;
    const IxFacts facts = ReadIxFacts(text);
    if (form == Form::Csv) {
        out << "concept,value,shown,unit,period,entity,decimals,visibility,context,id\n";
    }
    if (form == Form::Json) {
        out << "{\"contexts\":" << facts.contexts << ",\"units\":" << facts.units << ",\"facts\":[";
    }
    LineColumnCounter places(text);
    bool first = true;
    for (const IxFact& f : facts.facts) {
        WriteFact(out, form, f, form == Form::Json ? places.At(f.offset) : LineColumn{}, first);
        first = false;
    }
    if (form == Form::Json) out << "\n]}\n";
    // What the list rests on: a fact whose context or unit is broken means
    // nothing, so such a document does not pass.
    std::size_t errors = 0;
    for (const EdgarFinding& f : CheckInlineXbrlStructure(text).findings) {
        if (f.severity == kSeverityError) ++errors;
    }
    err << "tarlo-cli facts: " << facts.facts.size() << " facts, " << facts.contexts
        << " contexts, " << facts.units << " units";
    if (errors > 0) {
        err << "; " << errors << " Inline XBRL structure " << (errors == 1 ? "error" : "errors")
            << " (see tarlo-cli validate)";
    }
    err << "\n";
    return errors > 0 ? kExitFindings : kExitOk;
}

const CliRegistrar kFacts{
    {"facts", "facts [--json|--csv] [FILE|-]",
     "Lists every fact of an Inline XBRL document in the order of the text: its concept, the "
     "value it stands for once its format, scale and sign are applied (numbers as plain "
     "decimals, dates as 2024-12-31, durations as P1Y6M, yes/no as true or false, a fraction "
     "as a decimal where it ends, a text with its continuations, \"(nil)\" for a nil fact, "
     "\"(unreadable)\" where its format cannot read the shown text), its unit, the period and "
     "entity of its context, decimals, whether it is "
     "shown or kept in ix:hidden, and the text the document shows; one fact a line, the fields "
     "separated by tabs. With --csv the same as CSV with a header line (and the contextRef and "
     "id); with --json one object: {\"contexts\", \"units\", \"facts\": [{\"line\", \"column\", "
     "\"offset\", \"element\", \"concept\", \"id\", \"shown\", \"context\", \"period\", "
     "\"entity\", \"unit\", \"decimals\", \"value\" (null when nil or unreadable), \"nil\", "
     "\"hidden\"}, ...]}. The counts go to standard error. Reads FILE, or standard input for "
     "\"-\" or no FILE. Exit status 0, 1 when the document's Inline XBRL structure has Errors "
     "(tarlo-cli validate names them), 2 when the input cannot be read or the arguments are "
     "wrong.",
     RunFacts}};

}  // namespace

}  // namespace tarlo::cli
