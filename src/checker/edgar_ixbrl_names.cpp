#include "checker/edgar_ixbrl_names.h"

#include <array>

#include "text/ixbrl_transforms.h"

namespace tarlo::edgar_rules::ixbrl_names {

namespace {

const std::array<ExpectedNamespace, 8> kExpected{{
    {"ix", "http://www.xbrl.org/2013/inlineXBRL", "the Inline XBRL 1.1 namespace",
     "Inline XBRL 1.1: namespaces"},
    {"xbrli", "http://www.xbrl.org/2003/instance", "the XBRL instance namespace",
     "XBRL 2.1: namespaces"},
    {"link", "http://www.xbrl.org/2003/linkbase", "the XBRL linkbase namespace",
     "XBRL 2.1: namespaces"},
    {"xlink", "http://www.w3.org/1999/xlink", "the XLink namespace", "XLink 1.0: namespace"},
    {"xbrldi", "http://xbrl.org/2006/xbrldi", "the XBRL Dimensions instance namespace",
     "XBRL Dimensions 1.0: namespaces"},
    {"xsi", "http://www.w3.org/2001/XMLSchema-instance", "the XML Schema instance namespace",
     "XML Schema: namespaces"},
    {"ixt", "http://www.xbrl.org/inlineXBRL/transformation/2020-02-12",
     "a transformation registry EDGAR accepts", kFormatSource},
    {"ixt-sec", "http://www.sec.gov/inlineXBRL/transformation/2015-08-31",
     "the SEC's transformation registry", kFormatSource},
}};

}  // namespace

bool ExpectedNamespace::accepts(std::string_view bound) const {
    // EDGAR names the prefix each registry takes: ixt for the XBRL
    // registries it accepts, ixt-sec for the SEC's own.
    if (prefix == "ixt") return IsAcceptedTransformRegistry(bound) && bound != kIxtSecRegistry;
    return bound == ns;
}

const ExpectedNamespace* ExpectedFor(std::string_view prefix) {
    for (const ExpectedNamespace& e : kExpected) {
        if (e.prefix == prefix) return &e;
    }
    return nullptr;
}

std::string_view ConventionalNamespace(std::string_view prefix) {
    const ExpectedNamespace* e = ExpectedFor(prefix);
    return e ? std::string_view(e->ns) : std::string_view();
}

}  // namespace tarlo::edgar_rules::ixbrl_names
