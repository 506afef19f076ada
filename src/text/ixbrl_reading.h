#pragma once
// What the readings of shown Inline XBRL values share among their files:
// blanks around a value, runs of digits, plain decimals in their shortest
// form and English number words. Not for use outside these readings.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarlo::ixt {

// The no-break space as UTF-8; filings use it as a blank and as a thousands
// separator.
constexpr std::string_view kNbsp = "\xC2\xA0";

// `s` without blanks (markup spaces and no-break spaces) at either end.
std::string_view TrimBlanks(std::string_view s);

// How many ASCII digits follow from s[i] on.
std::size_t DigitRun(std::string_view s, std::size_t i);

// Digits before and after the point in their shortest form: no leading
// zeros, "0" for none.
std::string Canonical(std::string whole, std::string_view fraction);

// A number with the thousands `separators` between groups of three and
// `point` before the fraction, as ReadShownNumber gives it.
std::optional<std::string> ReadDecimal(std::string_view s,
                                       const std::vector<std::string_view>& separators, char point);

// English number words: "no" and "none" for zero, "twenty-one", "one
// hundred and five", "two million".
std::optional<std::string> ReadNumberWords(std::string_view s);

// The SEC's transformations from an English name to a code: exchanges,
// states and provinces, countries (ISO and EDGAR codes), filer categories.
bool IsNameCodeTransform(std::string_view name);

// The code the shown name stands for under one of those, or nothing when the
// list of that transformation does not hold the name.
std::optional<std::string> ReadNameCode(std::string_view name, std::string_view shown);

// A shown name as the name lists hold it: lower case (ASCII letters and
// the accented Latin capitals), blanks run together, none at the ends.
std::string FoldedName(std::string_view shown);

// Whether `names` (variants one '|' apart) holds `name` exactly.
bool ListsName(std::string_view names, std::string_view name);

// A country's ISO 3166 two-letter code and its EDGAR code.
struct CountryCodes {
    std::string_view iso;
    std::string_view edgar;
};

// The country of that folded name, in English as the ISO list writes it
// or as it is commonly written.
std::optional<CountryCodes> FindCountry(std::string_view foldedName);

}  // namespace tarlo::ixt
