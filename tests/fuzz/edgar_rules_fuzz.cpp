// The EDGAR rules check on arbitrary bytes, as HTML and as XHTML: it always
// ends, every finding names a known rule and bytes inside the text, the
// findings come in text order, and the line/column helper agrees with a
// plain count. The Inline XBRL structure alone and the list of facts read
// the same bytes: they end, and every fact names a place inside the text, in
// text order.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "checker/edgar_rules.h"
#include "checker/ixbrl_facts.h"

namespace {

void Check(std::string_view text, tarlo::EdgarRulesOptions::Markup markup) {
    tarlo::EdgarRulesOptions options;
    options.markup = markup;
    options.maxFindings = 500;
    const tarlo::EdgarRulesResult result = tarlo::CheckEdgarRules(text, options);
    const auto& ids = tarlo::EdgarRuleIds();
    if (result.findings.size() > 500) std::abort();
    std::size_t last = 0;
    tarlo::LineColumnCounter places(text);
    for (const tarlo::EdgarFinding& f : result.findings) {
        if (std::find(ids.begin(), ids.end(), f.rule) == ids.end()) std::abort();
        if (f.severity != "Error" && f.severity != "Warning") std::abort();
        if (f.offset > text.size() || f.length > text.size() - f.offset) std::abort();
        if (f.length == 0 && !text.empty()) std::abort();
        if (f.offset < last) std::abort();
        if (f.message.empty() || f.fix.empty()) std::abort();
        last = f.offset;
        const tarlo::LineColumn a = places.At(f.offset);
        const tarlo::LineColumn b = tarlo::LineColumnAt(text, f.offset);
        if (a.line != b.line || a.column != b.column || a.line < 1 || a.column < 1) std::abort();
        const tarlo::ProblemRecord record = tarlo::ToProblemRecord(f);
        if (record.Position < 0 || static_cast<std::size_t>(record.Position) != f.offset) {
            std::abort();
        }
        for (const std::string* s : {&record.Description, &record.Code, &record.Fix}) {
            if (s->find_first_of("|\r\n") != std::string::npos) std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Check(text, tarlo::EdgarRulesOptions::Markup::Html);
    Check(text, tarlo::EdgarRulesOptions::Markup::Xhtml);
    Check(text, tarlo::EdgarRulesOptions::Markup::Detect);
    for (const tarlo::EdgarFinding& f : tarlo::CheckInlineXbrlStructure(text).findings) {
        if (f.offset > text.size() || f.length > text.size() - f.offset) std::abort();
    }
    std::size_t last = 0;
    for (const tarlo::IxFact& f : tarlo::ReadIxFacts(text).facts) {
        if (f.offset >= text.size() || f.offset < last) std::abort();
        if (f.shown.size() > 200 || f.value.size() > 200) std::abort();
        last = f.offset;
    }
    return 0;
}
