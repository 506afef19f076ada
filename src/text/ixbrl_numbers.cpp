// Numbers as filings show them: thousands separators of each convention,
// units between whole and fraction, Indian grouping, dashes for zero and
// English number words; and a number moved by its scale.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "text/html_tokens.h"
#include "text/ixbrl_reading.h"
#include "text/ixbrl_transforms.h"
#include "text/text_encoding.h"
#include "text/text_scan.h"

namespace tarlo {

namespace ixt {

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

namespace {

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

}  // namespace

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

namespace {

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

}  // namespace

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

}  // namespace ixt

namespace {

using ixt::Canonical;
using ixt::DigitRun;
using ixt::kNbsp;
using ixt::ReadDecimal;
using ixt::ReadNumberWords;
using ixt::ReadWhole;
using ixt::TrimBlanks;

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

}  // namespace

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
