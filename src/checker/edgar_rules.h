#pragma once
// The EDGAR rules check: what the SEC's acceptance checks refuse in an HTML
// or Inline XBRL (XHTML) document, each finding tied to its EDGAR Filer
// Manual (Volume II) section and to the bytes it names.
//
//   5.2.1.1   characters outside EDGAR's set (raw non-ASCII, control
//             characters, "^", a byte-order mark)
//   5.2.2.2   more than one <html> element
//   5.2.2.3   elements EDGAR does not know; body content inside <head>
//   5.2.2.4   elements EDGAR refuses (script, style, form, tbody, ...)
//   5.2.2.5   attributes EDGAR refuses (on..., meta http-equiv, body
//             background, xmlns in an HTML document)
//   5.2.2.6   named character references outside EDGAR's list
//   5.2.2.10  active content, references that leave the submission,
//             pictures that are not local .jpg/.gif or are animated, nested
//             tables
//   5.2.5     Inline XBRL documents: XHTML well-formedness (tags, attributes,
//             entities), the elements and attributes EDGAR blocks there, the
//             same reference, picture and table rules, and the Inline XBRL
//             structure: namespaces, the header, contexts and units, ids,
//             continuations, number facts, exclusions, relationships and
//             hidden facts (checker/edgar_ixbrl_rules.h); each such finding
//             names the part of the standards it comes from
//   6.5.8     Inline XBRL documents: a context no fact names
//
// The check is one pass over the bytes plus a pass per finding for its
// place; it takes any bytes (UTF-8, Windows-1252, broken markup) and never
// reads outside them. The XBRL taxonomy itself (concepts, their types) is not
// read: facts are judged by their markup.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "checker/problem_report.h"

namespace tarlo {

struct EdgarRulesOptions {
    enum class Markup {
        Detect,  // XHTML when the text has an XML declaration, an <html> with
                 // xmlns, or ix: elements; HTML otherwise
        Html,
        Xhtml,
    };
    Markup markup = Markup::Detect;
    // The folder the document is saved in: pictures it names are read from
    // there (is a .gif animated, is a .jpg a JPEG). Empty: pictures are
    // judged by their names only.
    std::string documentFolder;
    // The check stops collecting after this many findings (0: no limit) and
    // says so in EdgarRulesResult::truncated.
    std::size_t maxFindings = 100000;
};

struct EdgarFinding {
    std::string rule;        // Filer Manual section: "5.2.2.4"
    std::string severity;    // kSeverityError (EDGAR suspends the filing) or kSeverityWarning
    std::string subject;     // what it names, short: "<script>", "onclick", "&bull;"
    std::string message;     // what is wrong and what to do, in one or two sentences
    std::string fix;         // what to do alone (the message ends with it)
    std::size_t offset = 0;  // byte offset in the checked text
    std::size_t length = 0;  // bytes named, at least 1 unless the text is empty
};

struct EdgarRulesResult {
    std::vector<EdgarFinding> findings;  // in text order
    bool xhtml = false;                  // the text was checked as XHTML
    bool truncated = false;              // maxFindings was reached
};

EdgarRulesResult CheckEdgarRules(std::string_view text, const EdgarRulesOptions& options = {});

// The Inline XBRL structure rules alone (namespaces, header, contexts and
// units, ids, continuations, number facts, hidden facts): what a list of the
// facts must hold for its values to mean anything.
EdgarRulesResult CheckInlineXbrlStructure(std::string_view text);

// True when the text reads as XHTML / Inline XBRL (see Markup::Detect).
bool LooksLikeXhtml(std::string_view text);

// Every rule identifier a finding can carry, in the order listed above.
const std::vector<std::string>& EdgarRuleIds();

// The finding as a row for the Error Report window: Description = message,
// Code = "EDGAR <rule> <subject>", Severity, Fix = the finding's fix,
// Position = byte offset (the window selects the character there). Bars and
// line breaks in the texts become spaces, so the report text stays one line.
ProblemRecord ToProblemRecord(const EdgarFinding& finding);

// 1-based line and column of a byte offset; the column counts characters
// (a UTF-8 sequence is one, any other byte is one). Lines end at LF, CR LF or
// a lone CR.
struct LineColumn {
    std::size_t line = 1;
    std::size_t column = 1;
};
LineColumn LineColumnAt(std::string_view text, std::size_t offset);

// The same for many offsets in increasing order, in one pass over the text.
class LineColumnCounter {
  public:
    explicit LineColumnCounter(std::string_view text) : text_(text) {}
    // Offsets must not decrease between calls; a smaller one starts over.
    LineColumn At(std::size_t offset);

  private:
    std::string_view text_;
    std::size_t at_ = 0;
    LineColumn here_;
};

}  // namespace tarlo
