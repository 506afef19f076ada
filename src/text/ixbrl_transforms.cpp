#include "text/ixbrl_transforms.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "text/html_tokens.h"
#include "text/text_encoding.h"
#include "text/text_scan.h"

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

constexpr std::string_view kNbsp = "\xC2\xA0";

std::string_view TrimBlanks(std::string_view s) {
    for (;;) {
        if (!s.empty() && IsMarkupSpace(s.front())) {
            s.remove_prefix(1);
        } else if (s.substr(0, 2) == kNbsp) {
            s.remove_prefix(2);
        } else {
            break;
        }
    }
    for (;;) {
        if (!s.empty() && IsMarkupSpace(s.back())) {
            s.remove_suffix(1);
        } else if (s.size() >= 2 && s.substr(s.size() - 2) == kNbsp) {
            s.remove_suffix(2);
        } else {
            break;
        }
    }
    return s;
}

std::size_t DigitRun(std::string_view s, std::size_t i) {
    std::size_t k = i;
    while (k < s.size() && IsAsciiDigit(s[k])) ++k;
    return k - i;
}

// The length of the separator from `separators` at s[i], or 0.
std::size_t SeparatorAt(std::string_view s, std::size_t i,
                        const std::vector<std::string_view>& separators) {
    for (std::string_view sep : separators) {
        if (s.substr(i, sep.size()) == sep) return sep.size();
    }
    return 0;
}

// Digits in groups of three after a first group of one to three, any
// separator of the list between groups, or one run of digits; appended to
// `digits`. Returns where the reading stopped.
std::size_t ReadWhole(std::string_view s, std::size_t i,
                      const std::vector<std::string_view>& separators, std::string& digits,
                      bool& ok) {
    std::size_t run = DigitRun(s, i);
    digits.append(s.substr(i, run));
    i += run;
    bool grouped = false;
    const std::size_t first = run;
    for (;;) {
        const std::size_t sep = run == 0 ? 0 : SeparatorAt(s, i, separators);
        if (sep == 0 || DigitRun(s, i + sep) == 0) break;
        run = DigitRun(s, i + sep);
        if (run != 3) {
            ok = false;
            return i;
        }
        grouped = true;
        digits.append(s.substr(i + sep, run));
        i += sep + run;
    }
    if (grouped && first > 3) ok = false;
    return i;
}

std::string Canonical(std::string whole, std::string_view fraction) {
    std::size_t zeros = 0;
    while (zeros + 1 < whole.size() && whole[zeros] == '0') ++zeros;
    whole.erase(0, zeros);
    if (whole.empty()) whole = "0";
    if (!fraction.empty()) whole += "." + std::string(fraction);
    return whole;
}

std::optional<std::string> ReadDecimal(std::string_view s,
                                       const std::vector<std::string_view>& separators,
                                       char point) {
    std::string whole;
    bool ok = true;
    std::size_t i = ReadWhole(s, 0, separators, whole, ok);
    std::string_view fraction;
    if (ok && i < s.size() && s[i] == point) {
        const std::size_t run = DigitRun(s, i + 1);
        fraction = s.substr(i + 1, run);
        i += 1 + run;
        ok = run > 0;
    }
    if (!ok || i != s.size() || (whole.empty() && fraction.empty())) return std::nullopt;
    return Canonical(whole, fraction);
}

// "5 dollars 25 cents", "5 Euro": a whole part, a unit, and a fraction of
// one or two digits with its unit.
std::optional<std::string> ReadUnitDecimal(std::string_view s,
                                           const std::vector<std::string_view>& separators) {
    std::string whole;
    bool ok = true;
    std::size_t i = ReadWhole(s, 0, separators, whole, ok);
    if (!ok || whole.empty() || i == s.size() || IsAsciiDigit(s[i])) return std::nullopt;
    while (i < s.size() && !IsAsciiDigit(s[i])) ++i;
    const std::size_t run = DigitRun(s, i);
    if (run > 2) return std::nullopt;
    std::string fraction(s.substr(i, run));
    i += run;
    while (i < s.size() && !IsAsciiDigit(s[i])) ++i;
    if (i != s.size()) return std::nullopt;
    if (fraction.size() == 1) fraction.insert(0, "0");
    return Canonical(whole, fraction);
}

struct Word {
    std::string_view word;
    std::uint64_t value;
};
constexpr std::array<Word, 28> kNumberWords{{
    {"zero", 0},     {"one", 1},      {"two", 2},        {"three", 3},     {"four", 4},
    {"five", 5},     {"six", 6},      {"seven", 7},      {"eight", 8},     {"nine", 9},
    {"ten", 10},     {"eleven", 11},  {"twelve", 12},    {"thirteen", 13}, {"fourteen", 14},
    {"fifteen", 15}, {"sixteen", 16}, {"seventeen", 17}, {"eighteen", 18}, {"nineteen", 19},
    {"twenty", 20},  {"thirty", 30},  {"forty", 40},     {"fifty", 50},    {"sixty", 60},
    {"seventy", 70}, {"eighty", 80},  {"ninety", 90},
}};
constexpr std::array<Word, 4> kScaleWords{{{"thousand", 1000},
                                           {"million", 1000000},
                                           {"billion", 1000000000},
                                           {"trillion", 1000000000000}}};

// English number words: "no" and "none" for zero, "twenty-one", "one
// hundred and five", "two million".
std::optional<std::string> ReadNumberWords(std::string_view s) {
    const std::string lower = AsciiLowerCopy(s);
    if (lower == "no" || lower == "none") return std::string("0");
    std::uint64_t total = 0;
    std::uint64_t current = 0;
    bool any = false;
    std::size_t i = 0;
    while (i < lower.size()) {
        const char c = lower[i];
        if (IsMarkupSpace(c) || c == '-' || c == ',') {
            ++i;
            continue;
        }
        std::size_t e = i;
        while (e < lower.size() && IsAsciiLetter(lower[e])) ++e;
        const std::string_view word = std::string_view(lower).substr(i, e - i);
        if (word.empty()) return std::nullopt;
        i = e;
        if (word == "and") continue;
        bool known = false;
        for (const Word& w : kNumberWords) {
            if (w.word == word) {
                current += w.value;
                known = true;
            }
        }
        if (word == "hundred") {
            current = (current == 0 ? 1 : current) * 100;
            known = true;
        }
        for (const Word& w : kScaleWords) {
            if (w.word == word) {
                total += (current == 0 ? 1 : current) * w.value;
                current = 0;
                known = true;
            }
        }
        if (!known) return std::nullopt;
        any = true;
    }
    if (!any) return std::nullopt;
    return std::to_string(total + current);
}

// One dash standing for zero: the hyphen-minus, the Unicode hyphens and
// dashes, the minus sign and their small and full-width forms.
bool IsDash(std::string_view s) {
    constexpr std::array<std::string_view, 13> kDashes{"-",
                                                       "\xD6\x8A",
                                                       "\xD6\xBE",
                                                       "\xE2\x80\x90",
                                                       "\xE2\x80\x91",
                                                       "\xE2\x80\x92",
                                                       "\xE2\x80\x93",
                                                       "\xE2\x80\x94",
                                                       "\xE2\x80\x95",
                                                       "\xE2\x88\x92",
                                                       "\xEF\xB9\x98",
                                                       "\xEF\xB9\xA3",
                                                       "\xEF\xBC\x8D"};
    for (std::string_view d : kDashes) {
        if (s == d) return true;
    }
    return false;
}

// "1,00,000.50" (groups of two before the last three) written with groups
// of three, so the Western reading takes it: "100,000.50". Digits grouped
// the Western way pass as they are.
bool RegroupIndian(std::string_view s, std::string& out) {
    std::size_t end = 0;
    while (end < s.size() && (IsAsciiDigit(s[end]) || s[end] == ',' || s[end] == ' ')) ++end;
    while (end > 0 && !IsAsciiDigit(s[end - 1])) --end;
    std::string digits;
    std::vector<std::size_t> groups;
    std::size_t run = 0;
    for (std::size_t k = 0; k < end; ++k) {
        if (IsAsciiDigit(s[k])) {
            digits += s[k];
            ++run;
        } else {
            if (run == 0) return false;
            groups.push_back(run);
            run = 0;
        }
    }
    groups.push_back(run);
    if (groups.size() > 1) {
        if (groups.back() != 3 || groups.front() > 3) return false;
        for (std::size_t g = 1; g + 1 < groups.size(); ++g) {
            if (groups[g] != 2 && groups[g] != 3) return false;
        }
    }
    std::string whole;
    for (std::size_t k = 0; k < digits.size(); ++k) {
        if (k > 0 && (digits.size() - k) % 3 == 0) whole += ',';
        whole += digits[k];
    }
    out = whole + std::string(s.substr(end));
    return true;
}

// Dates, durations and ballot boxes.

// The shown text cut into runs of digits and runs of letters; anything else
// (blanks, commas, slashes, dots, dashes) only separates them. An ordinal
// ending right after digits ("31st") is no word of its own.
struct Piece {
    std::string text;  // letters in lower case
    bool digits = false;
};

std::vector<Piece> Pieces(std::string_view s) {
    std::vector<Piece> pieces;
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (IsAsciiDigit(c) || IsAsciiLetter(c)) {
            const bool digits = IsAsciiDigit(c);
            std::size_t e = i;
            while (e < s.size() && (digits ? IsAsciiDigit(s[e]) : IsAsciiLetter(s[e]))) ++e;
            std::string text =
                digits ? std::string(s.substr(i, e - i)) : AsciiLowerCopy(s.substr(i, e - i));
            const bool ordinal = !digits && !pieces.empty() && pieces.back().digits && i > 0 &&
                                 IsAsciiDigit(s[i - 1]) &&
                                 (text == "st" || text == "nd" || text == "rd" || text == "th");
            if (!ordinal) pieces.push_back({std::move(text), digits});
            i = e;
        } else {
            // Any other byte, including the bytes of a character beyond
            // ASCII, separates.
            ++i;
        }
    }
    return pieces;
}

int SmallNumber(const Piece& p) {
    if (!p.digits || p.text.size() > 4) return -1;
    return std::stoi(p.text);
}

constexpr std::array<std::string_view, 12> kMonthNames{
    "january", "february", "march",     "april",   "may",      "june",
    "july",    "august",   "september", "october", "november", "december"};

// An English month name in full or cut to three letters ("sept" too).
int MonthNamed(const Piece& p) {
    if (p.digits || p.text.size() < 3) return 0;
    for (std::size_t m = 0; m < kMonthNames.size(); ++m) {
        const std::string_view name = kMonthNames[m];
        if (p.text == name || p.text == name.substr(0, 3) || (m == 8 && p.text == "sept")) {
            return static_cast<int>(m) + 1;
        }
    }
    return 0;
}

int MonthRoman(const Piece& p) {
    constexpr std::array<std::string_view, 12> kRoman{"i",   "ii",   "iii", "iv", "v",  "vi",
                                                      "vii", "viii", "ix",  "x",  "xi", "xii"};
    for (std::size_t m = 0; m < kRoman.size(); ++m) {
        if (!p.digits && p.text == kRoman[m]) return static_cast<int>(m) + 1;
    }
    return 0;
}

// A year written with four digits, or two for this century.
int YearOf(const Piece& p) {
    if (!p.digits || (p.text.size() != 4 && p.text.size() != 2)) return -1;
    const int y = std::stoi(p.text);
    return p.text.size() == 2 ? 2000 + y : y;
}

int DaysIn(int year, int month) {
    constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

std::string TwoDigits(int n) {
    return std::string(1, static_cast<char>('0' + n / 10)) + static_cast<char>('0' + n % 10);
}

// The ISO form of what was read: "2024-12-31", "--12-31" (a day of any
// year), "2024-12"; nothing for a day the month does not have.
std::optional<std::string> IsoDate(int year, int month, int day) {
    if (month < 1 || month > 12) return std::nullopt;
    // Without a year, 29 February is a day some year has.
    if (day != -2 && (day < 1 || day > DaysIn(year < 0 ? 2000 : year, month))) {
        return std::nullopt;
    }
    std::string out = year < 0 ? "-" : std::to_string(year);
    out += "-" + TwoDigits(month);
    if (day != -2) out += "-" + TwoDigits(day);
    return out;
}

// The parts a date transformation reads, in the order the name gives them:
// 'd' day, 'm' month number, 'n' month name, 'r' month in Roman numerals,
// 'y' year.
std::optional<std::string> ReadDate(std::string_view order, std::string_view shown) {
    const std::vector<Piece> pieces = Pieces(shown);
    if (pieces.size() != order.size()) return std::nullopt;
    int year = -1;
    int month = 0;
    int day = -2;  // no day in the name
    for (std::size_t k = 0; k < order.size(); ++k) {
        const Piece& p = pieces[k];
        switch (order[k]) {
            case 'd':
                day = p.digits && p.text.size() <= 2 ? SmallNumber(p) : -1;
                if (day < 1) return std::nullopt;
                break;
            case 'm':
                month = p.digits && p.text.size() <= 2 ? SmallNumber(p) : 0;
                break;
            case 'n':
                month = MonthNamed(p);
                break;
            case 'r':
                month = MonthRoman(p);
                break;
            default:
                year = YearOf(p);
                if (year < 0) return std::nullopt;
                break;
        }
    }
    if (year < 0 && day == -2) return std::nullopt;
    return IsoDate(year, month, day);
}

// The order of parts a date transformation's name gives, or nothing for a
// name this reading does not know (month names of languages other than
// English, era years).
std::optional<std::string_view> DateOrder(std::string_view name) {
    struct Named {
        std::string_view name;
        std::string_view order;
    };
    static constexpr Named kDates[] = {
        {"date-day-month", "dm"},
        {"date-day-month-year", "dmy"},
        {"date-day-monthname-en", "dn"},
        {"date-day-monthname-year-en", "dny"},
        {"date-day-monthroman", "dr"},
        {"date-day-monthroman-year", "dry"},
        {"date-month-day", "md"},
        {"date-month-day-year", "mdy"},
        {"date-month-year", "my"},
        {"date-monthname-day-en", "nd"},
        {"date-monthname-day-year-en", "ndy"},
        {"date-monthname-year-en", "ny"},
        {"date-monthroman-year", "ry"},
        {"date-year-month", "ym"},
        {"date-year-month-day", "ymd"},
        {"date-year-monthname-en", "yn"},
        // The same readings under the third registry's names.
        {"datedaymonth", "dm"},
        {"datedaymonthen", "dn"},
        {"datedaymonthyear", "dmy"},
        {"datedaymonthyearen", "dny"},
        {"datemonthday", "md"},
        {"datemonthdayen", "nd"},
        {"datemonthdayyear", "mdy"},
        {"datemonthdayyearen", "ndy"},
        {"datemonthyear", "my"},
        {"datemonthyearen", "ny"},
        {"dateyearmonthday", "ymd"},
        {"dateyearmonthen", "yn"},
    };
    for (const Named& d : kDates) {
        if (d.name == name) return d.order;
    }
    return std::nullopt;
}

// "Third quarter 2024", "2024 Q3", "last quarter of 2024": the last day
// of that calendar quarter.
std::optional<std::string> ReadQuarterEnd(std::string_view shown) {
    const std::vector<Piece> pieces = Pieces(shown);
    int quarter = 0;
    int year = -1;
    for (const Piece& p : pieces) {
        if (p.digits && p.text.size() == 4 && year < 0) {
            year = std::stoi(p.text);
            continue;
        }
        int q = 0;
        if (p.digits && p.text.size() == 1) q = p.text[0] - '0';
        if (p.text == "first") q = 1;
        if (p.text == "second") q = 2;
        if (p.text == "third") q = 3;
        if (p.text == "fourth" || p.text == "last") q = 4;
        if (q >= 1 && q <= 4) {
            if (quarter != 0) return std::nullopt;
            quarter = q;
        } else if (p.digits) {
            return std::nullopt;
        }
    }
    if (quarter == 0 || year < 0) return std::nullopt;
    return IsoDate(year, quarter * 3, DaysIn(year, quarter * 3));
}

// A number of years, months, weeks, days or hours ("1.5", "-2") as a
// duration: a fraction of a year goes on in months, of a month in days (a
// month of 30.4375 days), of a day in hours; what is left below that is
// dropped. Units that come to zero after the first are left out.
std::optional<std::string> ReadDurationNumber(char unit, std::string_view shown) {
    std::string_view s = TrimBlanks(shown);
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    const std::optional<std::string> plain = ReadDecimal(s, {}, '.');
    if (!plain) return std::nullopt;
    const double n = std::stod(*plain);
    if (n > 1e12) return std::nullopt;
    const auto whole = [](double v) { return static_cast<long long>(v); };
    long long years = -1, months = -1, days = -1, hours = -1;
    if (unit == 'Y') {
        years = whole(n);
        const double m = (n - static_cast<double>(years)) * 12;
        months = whole(m);
        days = whole((m - static_cast<double>(months)) * 30.4375);
    } else if (unit == 'M') {
        months = whole(n);
        days = whole((n - static_cast<double>(months)) * 30.4375);
    } else if (unit == 'W') {
        days = whole(n * 7);
    } else if (unit == 'D') {
        days = whole(n);
        hours = whole((n - static_cast<double>(days)) * 24);
    } else {
        hours = whole(n);
    }
    const bool zero = years <= 0 && months <= 0 && days <= 0 && hours <= 0;
    std::string out = negative && !zero ? "-P" : "P";
    bool written = false;
    const auto part = [&](long long v, const char* designator, bool time) {
        if (v < 0 || (v == 0 && written)) return;
        if (time) out += 'T';
        out += std::to_string(v) + designator;
        written = true;
    };
    part(years, "Y", false);
    part(months, "M", false);
    part(days, "D", false);
    part(hours, "H", true);
    return out;
}

// "Five years, two months", "30 days", "one year and six months": years,
// then months, then days, each at most once, in words or up to four digits.
std::optional<std::string> ReadDurationWords(std::string_view shown) {
    const std::string lower = AsciiLowerCopy(TrimBlanks(shown));
    constexpr std::array<std::string_view, 3> kUnits{"year", "month", "day"};
    std::array<std::string, 3> parts;
    std::size_t next = 0;  // units come in this order
    std::string words;
    bool any = false;
    std::size_t i = 0;
    while (i <= lower.size()) {
        std::size_t e = i;
        while (e < lower.size() && (IsAsciiLetter(lower[e]) || IsAsciiDigit(lower[e]))) ++e;
        const std::string_view word = std::string_view(lower).substr(i, e - i);
        std::size_t unit = kUnits.size();
        for (std::size_t u = 0; u < kUnits.size(); ++u) {
            if (word == kUnits[u] || word == std::string(kUnits[u]) + "s") unit = u;
        }
        if (unit < kUnits.size()) {
            if (unit < next || words.empty()) return std::nullopt;
            std::optional<std::string> count;
            if (words == "zero" || words == "no" || words == "none") {
                count = "0";
            } else if (!words.empty() && IsAsciiDigit(words[0])) {
                if (words.size() > 4 || DigitRun(words, 0) != words.size()) return std::nullopt;
                count = Canonical(words, {});
            } else {
                count = ReadNumberWords(words);
            }
            if (!count) return std::nullopt;
            parts[unit] = *count;
            next = unit + 1;
            words.clear();
            any = true;
        } else if (!word.empty() && word != "and") {
            if (!words.empty()) words += ' ';
            words += word;
        }
        i = e + 1;
    }
    if (!any || !words.empty()) return std::nullopt;
    std::string out = "P";
    constexpr std::array<char, 3> kDesignators{'Y', 'M', 'D'};
    for (std::size_t u = 0; u < parts.size(); ++u) {
        if (!parts[u].empty() && parts[u] != "0") out += parts[u] + kDesignators[u];
    }
    return out == "P" ? std::string("P0D") : out;
}

// A ballot box alone: U+2610 empty, U+2611 ticked, U+2612 crossed.
int BallotBox(std::string_view shown) {
    const std::string_view s = TrimBlanks(shown);
    if (s == "\xE2\x98\x90") return 0;
    if (s == "\xE2\x98\x91" || s == "\xE2\x98\x92") return 1;
    return -1;
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

std::optional<std::string> ReadShownNumber(std::string_view name, std::string_view shown) {
    const std::string_view s = TrimBlanks(shown);
    if (name == "fixed-zero") return std::string("0");
    if (name == "zerodash") {
        if (IsDash(s)) return std::string("0");
        return std::nullopt;
    }
    // The third registry's names for the same readings; its Indian forms
    // group the digits by two before the last three.
    if (name == "numdotdecimal") return ReadShownNumber("num-dot-decimal", s);
    if (name == "numcommadecimal") return ReadShownNumber("num-comma-decimal", s);
    if (name == "numunitdecimal") return ReadShownNumber("num-unit-decimal", s);
    if (name == "numdotdecimalin" || name == "numunitdecimalin") {
        std::string western;
        if (!RegroupIndian(s, western)) return std::nullopt;
        return ReadShownNumber(name == "numdotdecimalin" ? "num-dot-decimal" : "num-unit-decimal",
                               western);
    }
    if (name == "numinf") return std::string("INF");
    if (name == "numneginf") return std::string("-INF");
    if (name == "numnan") return std::string("NaN");
    if (name.empty()) return ReadDecimal(s, {}, '.');
    if (name == "numwordsen") {
        if (auto plain = ReadDecimal(s, {}, '.')) return plain;
        return ReadNumberWords(s);
    }
    const bool apos = name.size() > 5 && name.substr(name.size() - 5) == "-apos";
    const std::string_view base = apos ? name.substr(0, name.size() - 5) : name;
    std::vector<std::string_view> separators{" ", kNbsp};
    if (apos) separators.push_back("'");
    if (base == "num-dot-decimal") {
        separators.push_back(",");
        return ReadDecimal(s, separators, '.');
    }
    if (base == "num-comma-decimal") {
        separators.push_back(".");
        return ReadDecimal(s, separators, ',');
    }
    if (base == "num-unit-decimal") {
        separators.push_back(",");
        separators.push_back(".");
        return ReadUnitDecimal(s, separators);
    }
    return std::nullopt;
}

bool ReadsShownValue(std::string_view name) {
    if (DateOrder(name)) return true;
    constexpr std::array<std::string_view, 16> kRead{
        "fixed-true",     "fixed-false", "fixed-empty",   "booleantrue",
        "booleanfalse",   "nocontent",   "boolballotbox", "yesnoballotbox",
        "datequarterend", "duryear",     "durmonth",      "durweek",
        "durday",         "durhour",     "durwordsen",    "zerodash"};
    for (std::string_view r : kRead) {
        if (r == name) return true;
    }
    return name == "fixed-zero" || name.substr(0, 3) == "num";
}

std::optional<std::string> ReadShownValue(std::string_view name, std::string_view shown) {
    if (const auto order = DateOrder(name)) return ReadDate(*order, shown);
    if (name == "fixed-true" || name == "booleantrue") return std::string("true");
    if (name == "fixed-false" || name == "booleanfalse") return std::string("false");
    if (name == "fixed-empty" || name == "nocontent") return std::string();
    if (name == "boolballotbox" || name == "yesnoballotbox") {
        const int box = BallotBox(shown);
        if (box < 0) return std::nullopt;
        if (name == "boolballotbox") return std::string(box ? "true" : "false");
        return std::string(box ? "Yes" : "No");
    }
    if (name == "datequarterend") return ReadQuarterEnd(shown);
    if (name == "duryear") return ReadDurationNumber('Y', shown);
    if (name == "durmonth") return ReadDurationNumber('M', shown);
    if (name == "durweek") return ReadDurationNumber('W', shown);
    if (name == "durday") return ReadDurationNumber('D', shown);
    if (name == "durhour") return ReadDurationNumber('H', shown);
    if (name == "durwordsen") return ReadDurationWords(shown);
    return ReadShownNumber(name, shown);
}

std::string ScaleNumber(std::string_view number, int scale) {
    const std::size_t point = number.find('.');
    if (number.empty() || !IsAsciiDigit(number.back())) return std::string(number);
    // A scale no filing uses would only make a line of zeros.
    if (scale > 400 || scale < -400) return std::string(number) + "E" + std::to_string(scale);
    std::string digits(number.substr(0, point));
    if (point != std::string_view::npos) digits += number.substr(point + 1);
    const long wholeLength =
        static_cast<long>(point == std::string_view::npos ? number.size() : point) + scale;
    std::string whole;
    std::string fraction;
    if (wholeLength <= 0) {
        fraction = std::string(static_cast<std::size_t>(-wholeLength), '0') + digits;
    } else if (static_cast<std::size_t>(wholeLength) >= digits.size()) {
        whole = digits + std::string(static_cast<std::size_t>(wholeLength) - digits.size(), '0');
    } else {
        whole = digits.substr(0, static_cast<std::size_t>(wholeLength));
        fraction = digits.substr(static_cast<std::size_t>(wholeLength));
    }
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    return Canonical(whole, fraction);
}

void AppendXmlText(std::string& out, std::string_view raw) {
    std::size_t i = 0;
    while (i < raw.size()) {
        const std::size_t amp = raw.find('&', i);
        if (amp == std::string_view::npos) {
            out.append(raw.substr(i));
            return;
        }
        out.append(raw.substr(i, amp - i));
        const CharacterReference r =
            ReadCharacterReference(raw, amp, raw.size(), ReferenceNames::XmlNames);
        const std::string_view written = raw.substr(amp, r.end - amp);
        if (!r.terminated) {
            out.append(written);
        } else if (r.form != CharacterReference::Form::Named) {
            if (r.codePoint <= 0x10FFFF) {
                AppendUtf8(out, static_cast<char32_t>(r.codePoint));
            } else {
                out.append(written);
            }
        } else if (r.name == "amp") {
            out += '&';
        } else if (r.name == "lt") {
            out += '<';
        } else if (r.name == "gt") {
            out += '>';
        } else if (r.name == "quot") {
            out += '"';
        } else if (r.name == "apos") {
            out += '\'';
        } else {
            out.append(written);
        }
        i = std::max(r.end, amp + 1);
    }
}

}  // namespace tarlo
