#pragma once
// What the parts of the EDGAR rules check share: the Filer Manual sections
// findings carry, the collector that keeps findings up to the limit, and the
// printable copies of document bytes that messages quote.
#include <cstddef>
#include <string>
#include <string_view>

#include "checker/edgar_rules.h"

namespace tarlo::edgar_rules {

constexpr const char* kCharacters = "5.2.1.1";
constexpr const char* kHtmlTags = "5.2.2.2";
constexpr const char* kUnknownElement = "5.2.2.3";
constexpr const char* kRefusedElement = "5.2.2.4";
constexpr const char* kRefusedAttribute = "5.2.2.5";
constexpr const char* kEntity = "5.2.2.6";
constexpr const char* kReferences = "5.2.2.10";
constexpr const char* kInline = "5.2.5";
constexpr const char* kUnusedContext = "6.5.8";

constexpr const char* kCleanupRemoves = " Cleanup removes them.";

// A short, printable, valid UTF-8 copy of some bytes of the document, for a
// message: bytes that are not UTF-8 are read as Windows-1252, control
// characters become spaces, and more than `limit` bytes end in "...".
std::string Printable(std::string_view raw, std::size_t limit = 48);

// "<name>" for a message, the name printable.
std::string Tag(std::string_view name);

// `s` with ASCII letters in lower case, written into `buffer` (one buffer
// serves every tag of a check) and viewed there.
std::string_view LowerInto(std::string& buffer, std::string_view s);

// The findings of one check of one text, in the order they are found, up
// to the limit of EdgarRulesOptions::maxFindings.
class EdgarFindings {
  public:
    EdgarFindings(std::string_view text, std::size_t maxFindings, bool xhtml);

    std::string_view text() const { return text_; }
    bool xhtml() const { return result_.xhtml; }
    // True once a finding was turned away: the check may stop.
    bool Full() const { return result_.truncated; }
    // The section a rule that XHTML documents fall under as a whole carries.
    const char* Rule(const char* htmlRule) const { return xhtml() ? kInline : htmlRule; }

    void Error(const char* rule, std::string subject, std::string problem, std::string fix,
               std::size_t offset, std::size_t length);
    void Warning(const char* rule, std::string subject, std::string problem, std::string fix,
                 std::size_t offset, std::size_t length);

    // The findings in text order; findings at one offset keep the order
    // they were found in.
    EdgarRulesResult Take();

  private:
    void Add(const char* rule, std::string_view severity, std::string subject, std::string problem,
             std::string fix, std::size_t offset, std::size_t length);

    std::string_view text_;
    std::size_t maxFindings_;
    EdgarRulesResult result_;
};

}  // namespace tarlo::edgar_rules
