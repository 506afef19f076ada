// Names on a cover page read into the codes the dei taxonomy expects.
#include <gtest/gtest.h>

#include "text/ixbrl_transforms.h"

namespace tarlo {
namespace {

TEST(IxbrlNameCodes, NamesReadIntoCodesWhateverTheirCaseAndBlanks) {
    const struct {
        const char* format;
        const char* shown;
        const char* code;  // null: not a name of that list
    } cases[] = {
        // As the corpus filings write them, and the forms the list allows
        // around a name: "The", "LLC" / "Inc." with or without a comma.
        {"exchnameen", "The Nasdaq Stock Market LLC", "NASDAQ"},
        {"exchnameen", "New York Stock Exchange", "NYSE"},
        {"exchnameen", "the\xC2\xA0nasdaq  global select\n market, llc", "NASDAQ"},
        {"exchnameen", "NYSE", "NYSE"},
        {"exchnameen", "NYSE American LLC", "NYSEAMER"},
        {"exchnameen", "NYSE Arca, Inc.", "NYSEArca"},
        {"exchnameen", "Cboe BZX Exchange, Inc.", "CboeBZX"},
        {"exchnameen", "Nasdaq PHLX LLC", "Phlx"},
        {"exchnameen", "London Stock Exchange", nullptr},
        {"exchnameen", "New York Stock Exchange LLC extra", nullptr},
        {"exchnameen", "", nullptr},
        {"stateprovnameen", "California", "CA"},
        {"stateprovnameen", " new   YORK ", "NY"},
        {"stateprovnameen", "District of Columbia", "DC"},
        {"stateprovnameen", "Puerto Rico", "PR"},
        {"stateprovnameen",
         "QU\xC3\x89"
         "BEC",
         "QC"},
        {"stateprovnameen", "Ontario", "ON"},
        {"stateprovnameen", "Newyork", nullptr},
        {"stateprovnameen", "CA", nullptr},
        {"countrynameen", "Cayman Islands", "KY"},
        {"countrynameen", "United States of America", "US"},
        {"countrynameen", "the netherlands", "NL"},
        {"countrynameen", "C\xC3\xB4te d'Ivoire", "CI"},
        {"countrynameen", "South Sudan", "SS"},
        {"countrynameen", "Atlantis", nullptr},
        // EDGAR's own codes: states keep their postal codes, provinces and
        // countries have codes of their own, some countries none.
        {"edgarprovcountryen", "Delaware", "DE"},
        {"edgarprovcountryen", "Ontario, Canada", "A6"},
        {"edgarprovcountryen", "British Columbia", "A1"},
        {"edgarprovcountryen", "Canada", "Z4"},
        {"edgarprovcountryen", "Cayman Islands", "E9"},
        {"edgarprovcountryen", "Germany", "2M"},
        {"edgarprovcountryen", "United Kingdom", "X0"},
        {"edgarprovcountryen", "American Samoa", "B5"},
        {"edgarprovcountryen", "Puerto Rico", "PR"},
        {"edgarprovcountryen", "Nunavut", nullptr},
        {"edgarprovcountryen", "South Sudan", nullptr},
        {"entityfilercategoryen", "Large accelerated filer", "Large Accelerated Filer"},
        {"entityfilercategoryen", "ACCELERATED FILER", "Accelerated Filer"},
        {"entityfilercategoryen", "Non-accelerated filer", "Non-accelerated Filer"},
        {"entityfilercategoryen", "Smaller reporting company", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " \"" + c.shown + "\"");
        EXPECT_TRUE(ReadsShownValue(c.format));
        const std::optional<std::string> code = ReadShownValue(c.format, c.shown);
        if (c.code) {
            ASSERT_TRUE(code);
            EXPECT_EQ(*code, c.code);
        } else {
            EXPECT_FALSE(code) << *code;
        }
    }
}

}  // namespace
}  // namespace tarlo
