#pragma once
// The Inline XBRL structure of an XHTML document, as EDGAR reads it (5.2.5):
// - every namespace prefix bound, and the Inline XBRL, instance, linkbase,
//   XLink and transformation prefixes bound to the names the standards give;
// - one ix:header holding ix:references and ix:resources; ix:hidden,
//   ix:references and ix:resources only there, contexts and units only in
//   ix:resources;
// - every contextRef and unitRef naming a context or unit, each defined once,
//   every context named by some fact (6.5.8), and every id used once;
// - continuedAt chains that reach an ix:continuation, each continued from one
//   place only, and that end;
// - ix:nonFraction: a format of a registry EDGAR accepts that turns the shown
//   text into a number, or empty content with xsi:nil; scale an integer, sign
//   only "-", decimals or precision well formed; nothing inside but text or
//   one nested ix:nonFraction;
// - ix:nonNumeric with a format: its text, with what its continuations and
//   nested facts hold but not what ix:exclude holds, is what the format
//   reads (a date, a duration, a ballot box);
// - ix:exclude only inside ix:nonNumeric, ix:continuation or ix:footnote;
//   ix:relationship naming facts (and footnotes) that exist;
// - facts kept in ix:hidden whose value the document could show, and
//   -sec-ix-hidden styles that name no hidden fact.
// Each finding says which part of the standards it comes from.
//
// It reads the tokens the XHTML rules read, in the same pass; what names
// something further on (a contextRef before the resources, a continuedAt
// before its continuation) is settled in Finish. Linear in the text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "checker/edgar_findings.h"
#include "text/html_tokens.h"

namespace tarlo::edgar_rules {

class EdgarIxbrlRules {
  public:
    explicit EdgarIxbrlRules(EdgarFindings& findings) : findings_(findings) {}

    void StartTag(const HtmlToken& tag);
    void EndTag(const HtmlToken& tag);
    void Text(const HtmlToken& text);
    // At the end of the text: what names other elements, and the header.
    void Finish();

    // The kinds of element the rules tell apart.
    enum class Kind : std::uint8_t {
        Other,
        Header,
        Hidden,
        References,
        Resources,
        NonFraction,
        NonNumeric,
        Fraction,
        Tuple,
        Continuation,
        Footnote,
        Exclude,
        Relationship,
        Context,
        Unit,
    };

  private:
    struct Open {
        std::string_view name;
        std::size_t at = 0;
        std::size_t length = 0;
        Kind kind = Kind::Other;
        std::uint32_t bindings = 0;  // prefixes this element declares
        int fact = -1;               // its entry in reading_
        bool hasReferences = false;  // ix:header: what it holds
        bool hasResources = false;
    };
    // A fact whose content matters: an ix:nonFraction, an ix:nonNumeric with
    // a format this check reads, or a hidden fact.
    struct Reading {
        Kind kind = Kind::Other;
        std::size_t at = 0;
        std::size_t length = 0;
        std::size_t contentAt = 0;
        std::string_view id;
        std::string_view concept;
        std::string format;  // the transformation to read it with
        bool readNumber = false;
        bool readValue = false;  // an ix:nonNumeric its format must read, or an
                                 // ix:continuation whose text such a fact may take
        int excludeBase = 0;     // ix:exclude open around it
        std::string_view continuedAt;
        bool nil = false;
        bool hidden = false;
        bool dei = false;
        int nested = 0;  // ix:nonFraction children
        std::string text;
    };
    struct Ref {
        std::string_view id;
        std::size_t at = 0;
        std::size_t length = 0;
    };
    struct Continued {
        std::string_view from;  // the id of the element continued, if any
        Kind fromKind = Kind::Other;
        Ref to;
    };
    struct Defined {
        Kind kind = Kind::Other;
        bool hidden = false;
        std::size_t at = 0;
        std::size_t length = 0;
    };
    struct Unbound {
        std::string_view prefix;
        std::size_t at = 0;
        std::size_t length = 0;
        int uses = 0;
    };
    struct HiddenFact {
        std::string_view id;
        std::string_view concept;
        std::size_t at = 0;
        std::size_t length = 0;
    };

    // Namespaces.
    void Declare(const HtmlAttribute& a, std::uint32_t& bindings);
    std::string_view Resolve(std::string_view prefix, std::size_t at, std::size_t length);
    std::string_view NamespaceOf(std::string_view qname, std::size_t at, std::size_t length,
                                 std::string_view& local);
    // What the element is and whether it stands where it may.
    Kind Classify(const HtmlToken& tag, std::string_view ns, std::string_view local);
    void Placement(const HtmlToken& tag, Kind kind);
    void Attributes(const HtmlToken& tag, Kind kind, Open& open);
    void NumberAttributes(const HtmlToken& tag, Reading& fact);
    bool Format(const HtmlAttribute& a, bool number, Reading& fact);
    void HiddenStyle(const HtmlAttribute& a);
    void Close(std::size_t contentEnd);
    void Finished(const Reading& fact, std::size_t contentEnd);
    void SettleReferences();
    void UnusedContexts();
    void SettleContinuations();
    void SettleContinuedValues();
    void ValueUnread(const std::string& format, std::string_view text, std::size_t at,
                     std::size_t length);
    void SettleHidden();

    void Error(std::string subject, const std::string& problem, const char* source, std::string fix,
               std::size_t at, std::size_t length);
    void Warning(std::string subject, const std::string& problem, const char* source,
                 std::string fix, std::size_t at, std::size_t length);

    EdgarFindings& findings_;
    std::vector<Open> stack_;
    std::unordered_map<std::string_view, int> openCount_;
    std::vector<Reading> reading_;
    std::unordered_map<std::string_view, std::vector<std::string_view>> scopes_;
    std::vector<std::string_view> declared_;  // prefixes in the order they were bound
    std::vector<Unbound> unbound_;
    std::unordered_map<std::string_view, std::size_t> unboundIndex_;
    std::vector<std::string_view> reportedRegistries_;

    std::unordered_map<std::string_view, Defined> ids_;
    std::vector<Ref> contextRefs_;
    std::vector<Ref> unitRefs_;
    std::vector<Continued> continued_;
    std::vector<Ref> continuations_;
    std::vector<Ref> fromRefs_;
    std::vector<Ref> toRefs_;
    std::vector<HiddenFact> hiddenFacts_;
    // Formatted text facts that go on in continuations, read once the
    // continuations are known; the continuations' text and where each goes on.
    struct ContinuedValue {
        std::string format;
        std::string text;
        std::string_view next;
        std::size_t at = 0;
        std::size_t length = 0;
    };
    struct ContinuationText {
        std::string text;
        std::string_view next;
    };
    std::vector<ContinuedValue> continuedValues_;
    std::unordered_map<std::string_view, ContinuationText> continuationTexts_;
    std::vector<Ref> hiddenStyles_;

    std::size_t firstIxAt_ = 0;
    std::size_t firstIxLength_ = 0;
    bool inline_ = false;
    bool resourcesSeen_ = false;  // an ix:resources in an ix:header
    int headers_ = 0;
    int hiddenDepth_ = 0;
    int excludeHosts_ = 0;  // open ix:nonNumeric, ix:continuation, ix:footnote
    int excludes_ = 0;      // open ix:exclude
};

}  // namespace tarlo::edgar_rules
