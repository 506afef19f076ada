// The transformation registries EDGAR accepts and the names each holds, with
// the kind of value every name gives.
#include <array>
#include <cstddef>

#include "text/ixbrl_transforms.h"

namespace tarlo {

namespace {

struct Named {
    std::string_view name;
    IxValueKind kind;
};

using K = IxValueKind;

// The third XBRL registry, still taken: names without hyphens, languages
// and scripts run into the name.
constexpr std::array<Named, 31> kRegistry3{{
    {"booleanfalse", K::Boolean},
    {"booleantrue", K::Boolean},
    {"calindaymonthyear", K::Date},
    {"datedaymonth", K::Date},
    {"datedaymonthdk", K::Date},
    {"datedaymonthen", K::Date},
    {"datedaymonthyear", K::Date},
    {"datedaymonthyeardk", K::Date},
    {"datedaymonthyearen", K::Date},
    {"datedaymonthyearin", K::Date},
    {"dateerayearmonthdayjp", K::Date},
    {"dateerayearmonthjp", K::Date},
    {"datemonthday", K::Date},
    {"datemonthdayen", K::Date},
    {"datemonthdayyear", K::Date},
    {"datemonthdayyearen", K::Date},
    {"datemonthyear", K::Date},
    {"datemonthyeardk", K::Date},
    {"datemonthyearen", K::Date},
    {"datemonthyearin", K::Date},
    {"dateyearmonthcjk", K::Date},
    {"dateyearmonthday", K::Date},
    {"dateyearmonthdaycjk", K::Date},
    {"dateyearmonthen", K::Date},
    {"nocontent", K::Text},
    {"numcommadecimal", K::Number},
    {"numdotdecimal", K::Number},
    {"numdotdecimalin", K::Number},
    {"numunitdecimal", K::Number},
    {"numunitdecimalin", K::Number},
    {"zerodash", K::Number},
}};

// The fourth XBRL registry's transformations that carry no language.
constexpr std::array<Named, 20> kRegistry4{{
    {"date-day-month", K::Date},
    {"date-day-month-year", K::Date},
    {"date-day-monthroman", K::Date},
    {"date-day-monthroman-year", K::Date},
    {"date-ind-day-monthname-year-hi", K::Date},
    {"date-jpn-era-year-month", K::Date},
    {"date-jpn-era-year-month-day", K::Date},
    {"date-month-day", K::Date},
    {"date-month-day-year", K::Date},
    {"date-month-year", K::Date},
    {"date-monthroman-year", K::Date},
    {"date-year-month", K::Date},
    {"date-year-month-day", K::Date},
    {"fixed-empty", K::Text},
    {"fixed-false", K::Boolean},
    {"fixed-true", K::Boolean},
    {"fixed-zero", K::Number},
    {"num-comma-decimal", K::Number},
    {"num-dot-decimal", K::Number},
    {"num-unit-decimal", K::Number},
}};

// What the fifth version adds: apostrophes as thousands separators.
constexpr std::array<Named, 3> kRegistry5Only{{
    {"num-comma-decimal-apos", K::Number},
    {"num-dot-decimal-apos", K::Number},
    {"num-unit-decimal-apos", K::Number},
}};

// Dates with month names exist for the languages the registry lists with
// each pattern ("date-monthname-day-year" only in English); the fifth
// version adds Welsh to three of them.
struct NamedMonthDate {
    std::string_view pattern;
    std::string_view languages;  // two letters each, one blank apart
    std::string_view fifthAlso;  // what the fifth version adds
};
constexpr std::array<NamedMonthDate, 8> kNamedMonthDates{{
    {"date-day-monthname", "bg cs da de el en es et fi fr hr it lv nl no pl pt ro sk sl sv", "cy"},
    {"date-day-monthname-year", "bg cs da de el en es et fi fr hi hr it nl no pl pt ro sk sl sv",
     "cy"},
    {"date-monthname-day", "en hu lt", ""},
    {"date-monthname-day-year", "en", ""},
    {"date-monthname-year", "bg cs da de el en es et fi fr hi hr it nl no pl pt ro sk sl sv", "cy"},
    {"date-year-day-monthname", "lv", ""},
    {"date-year-monthname", "en hu lt lv", ""},
    {"date-year-monthname-day", "hu lt", ""},
}};

constexpr std::array<Named, 18> kSecRegistry{{
    {"boolballotbox", K::Boolean},
    {"countrynameen", K::Text},
    {"datequarterend", K::Date},
    {"durday", K::Duration},
    {"durhour", K::Duration},
    {"durmonth", K::Duration},
    {"durweek", K::Duration},
    {"durwordsen", K::Duration},
    {"duryear", K::Duration},
    {"edgarprovcountryen", K::Text},
    {"entityfilercategoryen", K::Text},
    {"exchnameen", K::Text},
    {"numinf", K::Number},
    {"numnan", K::Number},
    {"numneginf", K::Number},
    {"numwordsen", K::Number},
    {"stateprovnameen", K::Text},
    {"yesnoballotbox", K::Text},
}};

template <std::size_t N>
std::optional<IxValueKind> Find(const std::array<Named, N>& table, std::string_view name) {
    for (const Named& n : table) {
        if (n.name == name) return n.kind;
    }
    return std::nullopt;
}

bool ListsLanguage(std::string_view languages, std::string_view language) {
    for (std::size_t k = 0; k + 2 <= languages.size(); k += 3) {
        if (languages.substr(k, 2) == language) return true;
    }
    return false;
}

bool IsNamedMonthDate(std::string_view name, bool fifth) {
    if (name.size() < 4 || name[name.size() - 3] != '-') return false;
    const std::string_view language = name.substr(name.size() - 2);
    const std::string_view pattern = name.substr(0, name.size() - 3);
    for (const NamedMonthDate& d : kNamedMonthDates) {
        if (d.pattern != pattern) continue;
        return ListsLanguage(d.languages, language) ||
               (fifth && ListsLanguage(d.fifthAlso, language));
    }
    return false;
}

}  // namespace

bool IsAcceptedTransformRegistry(std::string_view ns) {
    return ns == kIxtRegistry3 || ns == kIxtRegistry4 || ns == kIxtRegistry5 ||
           ns == kIxtSecRegistry;
}

std::optional<IxValueKind> TransformKind(std::string_view ns, std::string_view name) {
    if (ns == kIxtSecRegistry) return Find(kSecRegistry, name);
    if (ns == kIxtRegistry3) return Find(kRegistry3, name);
    if (ns != kIxtRegistry4 && ns != kIxtRegistry5) return std::nullopt;
    if (const auto kind = Find(kRegistry4, name)) return kind;
    if (ns == kIxtRegistry5) {
        if (const auto kind = Find(kRegistry5Only, name)) return kind;
    }
    if (IsNamedMonthDate(name, ns == kIxtRegistry5)) return IxValueKind::Date;
    return std::nullopt;
}

}  // namespace tarlo
