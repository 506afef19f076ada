// The SEC's name-to-code transformations: a stock exchange, a state or
// province, a country or a filer category written out in English on a cover
// page, read into the code the dei taxonomy expects ("New York Stock
// Exchange" -> "NYSE", "California" -> "CA"). Names match whatever their
// letter case, with blanks (no-break spaces and line breaks too) run
// together; a name the table does not hold cannot be read.
#include <array>
#include <string>

#include "text/ixbrl_reading.h"

namespace tarlo::ixt {

namespace {

struct CodedName {
    std::string_view code;
    std::string_view names;  // in lower case, one blank apart; '|' between variants
};

// Exchanges with their dei exchange codes. A leading "the" and a closing
// "LLC" or "Inc." (with or without a comma) may go with any of them.
constexpr std::array<CodedName, 21> kExchanges{{
    {"BOX", "box exchange"},
    {"BX", "nasdaq bx"},
    {"C2", "cboe c2 exchange"},
    {"CBOE", "cboe exchange"},
    {"CboeBYX", "cboe byx exchange"},
    {"CboeBZX", "cboe bzx exchange"},
    {"CboeEDGA", "cboe edga exchange"},
    {"CboeEDGX", "cboe edgx exchange"},
    {"CHX", "chicago stock exchange"},
    {"GEMX", "nasdaq gemx"},
    {"IEX", "investors exchange"},
    {"ISE", "nasdaq ise"},
    {"MIAX", "miami international securities exchange"},
    {"MRX", "nasdaq mrx"},
    {"NASDAQ", "nasdaq|nasdaq stock market|nasdaq global market|nasdaq global select market"},
    {"NYSE", "nyse|new york stock exchange"},
    {"NYSEAMER", "nyse american"},
    {"NYSEArca", "nyse arca"},
    {"NYSENAT", "nyse national"},
    {"PEARL", "miax pearl"},
    {"Phlx", "nasdaq phlx"},
}};

// The states and the federal district of the United States by their postal
// codes, which are their EDGAR codes too.
constexpr std::array<CodedName, 51> kUsStates{{
    {"AL", "alabama"},        {"AK", "alaska"},         {"AZ", "arizona"},
    {"AR", "arkansas"},       {"CA", "california"},     {"CO", "colorado"},
    {"CT", "connecticut"},    {"DE", "delaware"},       {"DC", "district of columbia"},
    {"FL", "florida"},        {"GA", "georgia"},        {"HI", "hawaii"},
    {"ID", "idaho"},          {"IL", "illinois"},       {"IN", "indiana"},
    {"IA", "iowa"},           {"KS", "kansas"},         {"KY", "kentucky"},
    {"LA", "louisiana"},      {"ME", "maine"},          {"MD", "maryland"},
    {"MA", "massachusetts"},  {"MI", "michigan"},       {"MN", "minnesota"},
    {"MS", "mississippi"},    {"MO", "missouri"},       {"MT", "montana"},
    {"NE", "nebraska"},       {"NV", "nevada"},         {"NH", "new hampshire"},
    {"NJ", "new jersey"},     {"NM", "new mexico"},     {"NY", "new york"},
    {"NC", "north carolina"}, {"ND", "north dakota"},   {"OH", "ohio"},
    {"OK", "oklahoma"},       {"OR", "oregon"},         {"PA", "pennsylvania"},
    {"RI", "rhode island"},   {"SC", "south carolina"}, {"SD", "south dakota"},
    {"TN", "tennessee"},      {"TX", "texas"},          {"UT", "utah"},
    {"VT", "vermont"},        {"VA", "virginia"},       {"WA", "washington"},
    {"WV", "west virginia"},  {"WI", "wisconsin"},      {"WY", "wyoming"},
}};

// The territories of the United States by their postal codes.
constexpr std::array<CodedName, 6> kUsTerritories{{
    {"AS", "american samoa"},
    {"GU", "guam"},
    {"MP", "northern mariana islands"},
    {"PR", "puerto rico"},
    {"UM", "united states minor outlying islands"},
    {"VI", "virgin islands, u.s.|u.s. virgin islands"},
}};

// The Canadian provinces and territories by their postal codes.
constexpr std::array<CodedName, 13> kCanadianProvinces{{
    {"AB", "alberta"},
    {"BC", "british columbia"},
    {"MB", "manitoba"},
    {"NB", "new brunswick"},
    {"NL", "newfoundland and labrador|newfoundland"},
    {"NS", "nova scotia"},
    {"NT", "northwest territories"},
    {"NU", "nunavut"},
    {"ON", "ontario"},
    {"PE", "prince edward island"},
    {"QC",
     "quebec|qu\xC3\xA9"
     "bec"},
    {"SK", "saskatchewan"},
    {"YT", "yukon"},
}};

// The Canadian provinces under their EDGAR codes, which differ from the
// postal ones; EDGAR also takes them with ", Canada" after them. The
// territories of the United States are among the countries there.
constexpr std::array<CodedName, 11> kEdgarProvinces{{
    {"A0", "alberta|alberta, canada|alberta canada"},
    {"A1", "british columbia|british columbia, canada|british columbia canada"},
    {"A2", "manitoba|manitoba, canada|manitoba canada"},
    {"A3", "new brunswick|new brunswick, canada|new brunswick canada"},
    {"A4",
     "newfoundland|newfoundland, canada|newfoundland canada|newfoundland and labrador|"
     "newfoundland and labrador, canada|newfoundland and labrador canada"},
    {"A5", "nova scotia|nova scotia, canada|nova scotia canada"},
    {"A6", "ontario|ontario, canada|ontario canada"},
    {"A7", "prince edward island|prince edward island, canada|prince edward island canada"},
    {"A8",
     "quebec|quebec, canada|quebec canada|qu\xC3\xA9"
     "bec|qu\xC3\xA9"
     "bec, canada|qu\xC3\xA9"
     "bec canada"},
    {"A9", "saskatchewan|saskatchewan, canada|saskatchewan canada"},
    {"B0", "yukon|yukon, canada|yukon canada"},
}};

template <std::size_t N>
std::optional<std::string> CodeOf(const std::array<CodedName, N>& table, std::string_view name) {
    for (const CodedName& c : table) {
        if (ListsName(c.names, name)) return std::string(c.code);
    }
    return std::nullopt;
}

std::optional<std::string> CountryCode(std::string_view name, bool edgar) {
    const std::optional<CountryCodes> country = FindCountry(name);
    if (!country) return std::nullopt;
    const std::string_view code = edgar ? country->edgar : country->iso;
    if (code.empty()) return std::nullopt;
    return std::string(code);
}

bool CutPrefix(std::string& s, std::string_view prefix) {
    if (s.compare(0, prefix.size(), prefix) != 0) return false;
    s.erase(0, prefix.size());
    return true;
}

bool CutSuffix(std::string& s, std::string_view suffix) {
    if (s.size() < suffix.size() ||
        s.compare(s.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return false;
    }
    s.erase(s.size() - suffix.size());
    return true;
}

std::optional<std::string> ExchangeCode(std::string name) {
    CutPrefix(name, "the ");
    for (std::string_view form : {", llc", " llc", ", inc.", " inc.", ", inc", " inc"}) {
        if (CutSuffix(name, form)) break;
    }
    return CodeOf(kExchanges, name);
}

std::optional<std::string> FilerCategory(std::string_view name) {
    if (name == "large accelerated filer") return std::string("Large Accelerated Filer");
    if (name == "accelerated filer") return std::string("Accelerated Filer");
    if (name == "non-accelerated filer" || name == "non accelerated filer" ||
        name == "nonaccelerated filer" ||
        name ==
            "non\xE2\x80\x91"
            "accelerated filer" ||
        name ==
            "non\xE2\x80\x93"
            "accelerated filer") {
        return std::string("Non-accelerated Filer");
    }
    return std::nullopt;
}

}  // namespace

bool IsNameCodeTransform(std::string_view name) {
    return name == "exchnameen" || name == "stateprovnameen" || name == "countrynameen" ||
           name == "edgarprovcountryen" || name == "entityfilercategoryen";
}

std::optional<std::string> ReadNameCode(std::string_view name, std::string_view shown) {
    const std::string folded = FoldedName(shown);
    if (name == "exchnameen") return ExchangeCode(folded);
    if (name == "countrynameen") return CountryCode(folded, false);
    if (name == "entityfilercategoryen") return FilerCategory(folded);
    if (name == "stateprovnameen") {
        if (auto code = CodeOf(kUsStates, folded)) return code;
        if (auto code = CodeOf(kUsTerritories, folded)) return code;
        return CodeOf(kCanadianProvinces, folded);
    }
    if (name == "edgarprovcountryen") {
        if (auto code = CodeOf(kUsStates, folded)) return code;
        if (auto code = CodeOf(kEdgarProvinces, folded)) return code;
        return CountryCode(folded, true);
    }
    return std::nullopt;
}

}  // namespace tarlo::ixt
