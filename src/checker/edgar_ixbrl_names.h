#pragma once
// The names the Inline XBRL rules check against: the namespaces the standards
// give the Inline XBRL, instance, linkbase, XLink and transformation
// prefixes, and the parts of the standards each finding points to.
#include <string_view>

namespace tarlo::edgar_rules::ixbrl_names {

constexpr std::string_view kIxNs = "http://www.xbrl.org/2013/inlineXBRL";
constexpr std::string_view kXbrliNs = "http://www.xbrl.org/2003/instance";
constexpr std::string_view kLinkNs = "http://www.xbrl.org/2003/linkbase";
constexpr std::string_view kXlinkNs = "http://www.w3.org/1999/xlink";
constexpr std::string_view kXbrldiNs = "http://xbrl.org/2006/xbrldi";
constexpr std::string_view kXsiNs = "http://www.w3.org/2001/XMLSchema-instance";
constexpr std::string_view kXmlNs = "http://www.w3.org/XML/1998/namespace";
// Concepts of the SEC's cover page taxonomy start so, whatever its year.
constexpr std::string_view kDeiNsStart = "http://xbrl.sec.gov/dei/";

// Where each rule comes from, as a finding names it.
constexpr const char* kNamespacesSource = "Namespaces in XML 1.0: prefixes are declared";
constexpr const char* kElementsSource = "Inline XBRL 1.1: its elements";
constexpr const char* kHeaderSource = "Inline XBRL 1.1: ix:header";
constexpr const char* kResourcesSource = "Inline XBRL 1.1: ix:resources";
constexpr const char* kIdSource = "XML 1.0: id values are unique";
constexpr const char* kFactSource = "Inline XBRL 1.1: facts name their concept and context";
constexpr const char* kNonFractionSource = "Inline XBRL 1.1: ix:nonFraction";
constexpr const char* kNonNumericSource = "Inline XBRL 1.1: ix:nonNumeric";
constexpr const char* kUnusedContextSource = "EDGAR Filer Manual 6.5.8: unused contexts";
constexpr const char* kFormatSource = "Inline XBRL transformation registries EDGAR accepts";
constexpr const char* kDecimalsSource = "XBRL 2.1: precision and decimals";
constexpr const char* kContinuationSource = "Inline XBRL 1.1: ix:continuation";
constexpr const char* kExcludeSource = "Inline XBRL 1.1: ix:exclude";
constexpr const char* kRelationshipSource = "Inline XBRL 1.1: ix:relationship";
constexpr const char* kHiddenSource = "EDGAR Filer Manual 5.2.5: hidden facts";

// The one namespace a well-known prefix must be bound to.
struct ExpectedNamespace {
    std::string_view prefix;
    const char* ns;    // what to bind it to
    const char* what;  // "the Inline XBRL namespace"
    const char* source;
    bool accepts(std::string_view bound) const;
};

// The expectation for `prefix`, or null for a prefix of the filer's own.
const ExpectedNamespace* ExpectedFor(std::string_view prefix);

// The namespace a well-known prefix stands for when it is used undeclared,
// so that the rest of the document reads on; empty for any other prefix.
std::string_view ConventionalNamespace(std::string_view prefix);

}  // namespace tarlo::edgar_rules::ixbrl_names
