// The number facts of an Inline XBRL document: ix:nonFraction's scale, sign,
// decimals, precision and format, and whether what it shows is the number
// its format reads (and so whether a hidden fact could have been shown).
#include <algorithm>
#include <optional>

#include "checker/edgar_ixbrl_names.h"
#include "checker/edgar_ixbrl_rules.h"
#include "text/ixbrl_transforms.h"

namespace tarlo::edgar_rules {

using namespace ixbrl_names;

namespace {

using Kind = EdgarIxbrlRules::Kind;

bool IsInteger(std::string_view s, bool sign) {
    if (sign && !s.empty() && (s[0] == '-' || s[0] == '+')) s.remove_prefix(1);
    if (s.empty()) return false;
    for (const char c : s) {
        if (!IsAsciiDigit(c)) return false;
    }
    return true;
}

bool IsBlank(std::string_view s) {
    for (const char c : s) {
        if (!IsMarkupSpace(c)) return false;
    }
    return true;
}

std::string_view TrimSpace(std::string_view s) {
    while (!s.empty() && IsMarkupSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsMarkupSpace(s.back())) s.remove_suffix(1);
    return s;
}

// A value a transformation could have produced from shown text: a date,
// a duration or a boolean. Such a fact can be shown and tagged where it is.
bool LooksTransformable(std::string_view v) {
    if (v == "true" || v == "false") return true;
    if (v.size() == 10 && v[4] == '-' && v[7] == '-' && IsInteger(v.substr(0, 4), false) &&
        IsInteger(v.substr(5, 2), false) && IsInteger(v.substr(8, 2), false)) {
        return true;
    }
    if (!v.empty() && v[0] == '-') v.remove_prefix(1);
    if (v.size() < 3 || v[0] != 'P') return false;
    for (const char c : v.substr(1)) {
        if (!IsAsciiDigit(c) && c != '.' &&
            std::string_view("YMWDTHS").find(c) == std::string_view::npos) {
            return false;
        }
    }
    return true;
}

const char* ValueKindName(IxValueKind kind) {
    switch (kind) {
        case IxValueKind::Date:
            return "a date";
        case IxValueKind::Duration:
            return "a duration";
        case IxValueKind::Boolean:
            return "true or false";
        case IxValueKind::Text:
            return "a text";
        case IxValueKind::Number:
            break;
    }
    return "a number";
}

}  // namespace

void EdgarIxbrlRules::NumberAttributes(const HtmlToken& tag, Reading& fact) {
    const HtmlAttribute* decimals = nullptr;
    const HtmlAttribute* precision = nullptr;
    bool formatted = false;
    fact.readNumber = true;
    for (const HtmlAttribute& a : tag.attributes) {
        const std::size_t length = a.end - a.nameAt;
        const std::string subject = Printable(a.name);
        const std::string value = "\"" + Printable(a.value) + "\"";
        const std::string_view v = TrimSpace(a.value);
        if (a.name == "scale" && !IsInteger(v, true)) {
            Error(subject, "The scale " + value + " is not a whole number", kNonFractionSource,
                  "Write the power of ten the shown number is in, such as 6 for millions.",
                  a.nameAt, length);
        } else if (a.name == "sign" && a.value != "-") {
            Error(subject, "The sign " + value + " is not \"-\", the only sign a fact takes",
                  kNonFractionSource,
                  "Write sign=\"-\" for a negative value, or remove the attribute.", a.nameAt,
                  length);
        } else if (a.name == "decimals") {
            decimals = &a;
            if (v != "INF" && !IsInteger(v, true)) {
                Error(subject, "The decimals " + value + " is neither a whole number nor INF",
                      kDecimalsSource,
                      "Write how many decimals are exact, such as -6 for millions.", a.nameAt,
                      length);
            }
        } else if (a.name == "precision") {
            precision = &a;
            if (v != "INF" && !IsInteger(v, false)) {
                Error(subject,
                      "The precision " + value + " is neither a whole number of 0 or more nor INF",
                      kDecimalsSource, "Use decimals instead.", a.nameAt, length);
            }
        } else if (a.name == "format") {
            formatted = true;
            fact.readNumber = Format(a, true, fact);
        } else if (a.name.size() > 4 && a.name.substr(a.name.size() - 4) == ":nil") {
            std::string_view local;
            if (NamespaceOf(a.name, a.nameAt, length, local) == kXsiNs) {
                fact.nil = v == "true" || v == "1";
            }
        }
    }
    if (!formatted) fact.format.clear();
    if (decimals && precision) {
        Error("precision", "The fact has both decimals and precision", kDecimalsSource,
              "Keep decimals and remove precision.", precision->nameAt,
              precision->end - precision->nameAt);
    } else if (!fact.nil && !decimals && !precision) {
        Error(Tag(tag.name), "The number has neither decimals nor precision", kDecimalsSource,
              "Add decimals saying how many decimals are exact.", fact.at, fact.length);
    } else if (fact.nil && (decimals || precision)) {
        const HtmlAttribute* a = decimals ? decimals : precision;
        Error(Printable(a->name), "A fact with xsi:nil=\"true\" has no value to be exact about",
              kDecimalsSource, "Remove " + Printable(a->name) + ".", a->nameAt, a->end - a->nameAt);
    }
}

bool EdgarIxbrlRules::Format(const HtmlAttribute& a, bool number, Reading& fact) {
    std::string_view local;
    const std::size_t length = a.end - a.nameAt;
    const std::string_view ns = NamespaceOf(TrimSpace(a.value), a.valueAt, a.value.size(), local);
    const std::string shown = "\"" + Printable(a.value) + "\"";
    if (!IsAcceptedTransformRegistry(ns)) {
        for (std::string_view reported : reportedRegistries_) {
            if (reported == ns) return false;
        }
        reportedRegistries_.push_back(ns);
        Error(Printable(a.value),
              "The format " + shown + " is not from a transformation registry EDGAR accepts" +
                  (ns.empty() ? std::string()
                              : " (its prefix stands for \"" + Printable(ns, 80) + "\")"),
              kFormatSource,
              "Use ixt: bound to \"" + std::string(kIxtRegistry4) + "\" or ixt-sec: bound to \"" +
                  std::string(kIxtSecRegistry) +
                  "\"; this is said once for every format of this kind.",
              a.nameAt, length);
        return false;
    }
    const std::optional<IxValueKind> kind = TransformKind(ns, local);
    if (!kind) {
        Error(Printable(a.value), "The registry has no transformation " + shown, kFormatSource,
              "Use a transformation the registry names, such as ixt:num-dot-decimal.", a.nameAt,
              length);
        return false;
    }
    if (number && *kind != IxValueKind::Number) {
        Error(
            Printable(a.value),
            "The format " + shown + " gives " + ValueKindName(*kind) +
                ", not the number an ix:nonFraction reports",
            kFormatSource,
            "Use a number format such as ixt:num-dot-decimal, or tag the value with ix:nonNumeric.",
            a.nameAt, length);
        return false;
    }
    fact.format = std::string(local);
    return true;
}

// A formatted text fact whose text (with its continuations) the format
// cannot read.
void EdgarIxbrlRules::ValueUnread(const std::string& format, std::string_view text, std::size_t at,
                                  std::size_t length) {
    if (ReadShownValue(format, text)) return;
    const bool blank = IsBlank(text);
    const std::string shown = Printable(TrimSpace(text));
    // The SEC's lists of names (exchanges, states, countries, filer
    // categories) grow, and ours holds only the names it could confirm: a name
    // it does not know may still be one EDGAR takes, so it is said, not
    // refused.
    static constexpr std::string_view kNameLists[] = {"exchnameen", "stateprovnameen",
                                                      "countrynameen", "edgarprovcountryen",
                                                      "entityfilercategoryen"};
    for (const std::string_view list : kNameLists) {
        if (format == list && !blank) {
            Warning(shown,
                    "The shown text \"" + shown + "\" is not a name the format " + format +
                        " is known to read",
                    kNonNumericSource,
                    "Check the name against the SEC's list for this format, or give the format "
                    "that reads it.",
                    at, length);
            return;
        }
    }
    Error(blank ? Tag("ix:nonNumeric") : shown,
          (blank ? std::string("The fact shows nothing") : "The shown text \"" + shown + "\"") +
              " cannot be read with the format " + format,
          kNonNumericSource,
          "Tag only what the format reads (such as the date), or give the format that reads it.",
          at, length);
}

// The text of a formatted fact goes on in the continuations its chain
// names; a chain that loops or breaks is reported on its own, and what was
// reached is read.
void EdgarIxbrlRules::SettleContinuedValues() {
    for (ContinuedValue& v : continuedValues_) {
        std::vector<std::string_view> seen;
        std::string_view next = v.next;
        // A value a format reads is short: a long chain need not be joined
        // whole to know it reads as nothing.
        while (seen.size() < continuationTexts_.size() && v.text.size() <= 4096) {
            const auto it = continuationTexts_.find(next);
            if (it == continuationTexts_.end() ||
                std::find(seen.begin(), seen.end(), next) != seen.end()) {
                break;
            }
            seen.push_back(next);
            v.text += it->second.text;
            next = it->second.next;
        }
        ValueUnread(v.format, v.text, v.at, v.length);
    }
}

void EdgarIxbrlRules::Finished(const Reading& fact, std::size_t contentEnd) {
    const std::size_t contentLength = contentEnd > fact.contentAt ? contentEnd - fact.contentAt : 0;
    const std::size_t at = contentLength > 0 ? fact.contentAt : fact.at;
    const std::size_t length = contentLength > 0 ? contentLength : fact.length;
    const bool blank = IsBlank(fact.text);
    if (fact.kind == Kind::NonFraction) {
        if (fact.nil && (!blank || fact.nested > 0)) {
            Error("xsi:nil", "The fact is marked xsi:nil=\"true\" but shows a value",
                  kNonFractionSource, "Remove xsi:nil, or the shown value.", at, length);
        } else if (fact.nested > 0 && !blank) {
            Error(Printable(TrimSpace(fact.text)),
                  "An ix:nonFraction holds text beside its nested ix:nonFraction",
                  kNonFractionSource, "Move the text outside the outer fact.", at, length);
        } else if (!fact.nil && fact.nested == 0 && fact.readNumber &&
                   !ReadShownNumber(fact.format, fact.text)) {
            if (blank) {
                Error(Tag("ix:nonFraction"),
                      "The number shows nothing; a fact without a value is marked xsi:nil=\"true\"",
                      kNonFractionSource, "Write the number, or mark the fact xsi:nil=\"true\".",
                      at, length);
            } else {
                Error(Printable(TrimSpace(fact.text)),
                      "The shown text \"" + Printable(TrimSpace(fact.text)) +
                          "\" cannot be read as a number" +
                          (fact.format.empty() ? std::string(" without a format")
                                               : " with the format " + fact.format),
                      kNonFractionSource,
                      "Tag only the digits, or give the format that reads them.", at, length);
            }
        }
    }
    if (fact.kind == Kind::Continuation) {
        continuationTexts_.emplace(fact.id, ContinuationText{fact.text, fact.continuedAt});
        return;
    }
    if (fact.kind == Kind::NonNumeric && fact.readValue && !fact.nil) {
        if (fact.continuedAt.empty()) {
            ValueUnread(fact.format, fact.text, at, length);
        } else {
            continuedValues_.push_back({fact.format, fact.text, fact.continuedAt, at, length});
        }
    }
    if (!fact.hidden || fact.dei || fact.id.empty()) return;
    const bool shownKind =
        fact.kind != Kind::NonNumeric || LooksTransformable(TrimSpace(fact.text));
    if (shownKind && !(fact.kind == Kind::NonFraction && fact.nil)) {
        hiddenFacts_.push_back({fact.id, fact.concept, fact.at, fact.length});
    }
}

}  // namespace tarlo::edgar_rules
