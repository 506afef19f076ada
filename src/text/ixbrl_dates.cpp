// Dates, durations and ballot boxes as filings show them, and the reading
// of a shown value under any transformation this editor knows.
#include <array>
#include <string>
#include <vector>

#include "text/html_tokens.h"
#include "text/ixbrl_reading.h"
#include "text/ixbrl_transforms.h"
#include "text/text_scan.h"

namespace tarlo {

namespace {

using ixt::Canonical;
using ixt::DigitRun;
using ixt::ReadDecimal;
using ixt::ReadNumberWords;
using ixt::TrimBlanks;

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
    return name == "fixed-zero" || name.substr(0, 3) == "num" || ixt::IsNameCodeTransform(name);
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
    if (ixt::IsNameCodeTransform(name)) return ixt::ReadNameCode(name, shown);
    return ReadShownNumber(name, shown);
}

}  // namespace tarlo
