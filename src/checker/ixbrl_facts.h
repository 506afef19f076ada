#pragma once
// The facts an Inline XBRL document reports, as a reviewer reads them: each
// fact's concept, the text the document shows, the value that text stands for
// once its format, scale and sign are applied, the period and entity of its
// context, its unit and decimals, and whether it is shown or kept in
// ix:hidden. One pass over the document; contexts and units may come after
// the facts that name them, continuations after the facts they continue.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarlo {

struct IxFact {
    std::size_t offset = 0;  // its start tag
    std::size_t end = 0;     // just past its end tag (or its self-closing start tag)
    std::string element;     // "ix:nonFraction", "ix:nonNumeric", "ix:fraction"
    std::string concept;     // "us-gaap:Revenues"
    std::string id;
    std::string shown;  // the text as shown, blanks run together; a text block is cut at 200 bytes;
                        // a fraction shows "numerator/denominator"
    // numbers: "294866000000"; fractions: "0.75", or "1/3" where no decimal
    // ends; texts: as shown, with their continuations, or what their format
    // reads ("2024-12-31", "P1Y6M", "true"); empty when nil
    std::string value;
    bool readable = true;  // false: the format cannot read the shown text
    bool nil = false;
    bool hidden = false;
    std::string context;  // its contextRef
    std::string period;   // "2024-12-31", or "2023-10-01/2024-09-28"
    std::string entity;   // the identifier, "0000320193"
    std::string unit;     // "iso4217:USD", "iso4217:USD/xbrli:shares"; empty for texts
    std::string decimals;
};

struct IxFacts {
    std::vector<IxFact> facts;  // in document order
    std::size_t contexts = 0;
    std::size_t units = 0;
};

IxFacts ReadIxFacts(std::string_view text);

}  // namespace tarlo
