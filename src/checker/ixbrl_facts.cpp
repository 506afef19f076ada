#include "checker/ixbrl_facts.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "text/html_tokens.h"
#include "text/ixbrl_transforms.h"

namespace tarlo {

namespace {

constexpr std::string_view kIxNs = "http://www.xbrl.org/2013/inlineXBRL";
constexpr std::string_view kXbrliNs = "http://www.xbrl.org/2003/instance";
constexpr std::size_t kShownLimit = 200;
constexpr std::size_t kReadLimit = 4096;

enum class Role {
    Other,
    Fact,
    Hidden,
    Exclude,
    Context,
    Identifier,
    StartDate,
    EndDate,
    Instant,
    Unit,
    Measure,
    UnitDenominator,
    Continuation,
    Numerator,    // of an ix:fraction
    Denominator,  // of an ix:fraction
};

struct Open {
    std::string_view name;
    Role role = Role::Other;
};

struct Reading {
    std::size_t index = 0;  // into the facts
    bool number = false;    // an ix:nonFraction
    bool fraction = false;  // an ix:fraction
    int excludeBase = 0;    // ix:exclude open around it: their text is not its
    std::string text;
    std::string_view format;
    std::string_view scale;
    std::string_view sign;
    std::string_view continuedAt;
    // An ix:fraction's parts, as numbers, and as shown.
    std::optional<std::string> numerator;
    std::optional<std::string> denominator;
    std::string numeratorShown;
    std::string denominatorShown;
    bool partUnreadable = false;
    bool negative = false;
};

// An ix:numerator or ix:denominator being read.
struct Part {
    std::size_t reading = 0;  // its fraction's place in the open readings
    bool numerator = true;
    int excludeBase = 0;
    std::string text;
    std::string_view format;
    std::string_view scale;
    std::string_view sign;
};

// An ix:continuation: its text, and where its own text goes on.
struct Continued {
    std::string_view id;
    std::string_view next;
    int excludeBase = 0;
    std::string text;
};

// A fact whose text goes on in ix:continuation elements, perhaps further on
// in the document: its value is known at the end.
struct Pending {
    Reading reading;
};

struct Context {
    std::string start;
    std::string end;
    std::string instant;
    std::string entity;
};

struct Unit {
    std::string numerator;
    std::string denominator;
};

std::string Collapsed(std::string_view s) {
    std::string out;
    bool blank = false;
    for (const char c : s) {
        if (IsMarkupSpace(c)) {
            blank = !out.empty();
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

std::string_view Attribute(const HtmlToken& tag, std::string_view name) {
    for (const HtmlAttribute& a : tag.attributes) {
        if (a.name == name) return a.value;
    }
    return {};
}

// A decimal number as digits and the count of them after the point;
// nothing when it has too many digits to divide here.
std::optional<std::pair<std::uint64_t, int>> Digits(std::string_view number) {
    std::uint64_t value = 0;
    int after = -1;
    int count = 0;
    for (const char c : number) {
        if (c == '.') {
            after = 0;
            continue;
        }
        if (!IsAsciiDigit(c) || ++count > 18) return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (after >= 0) ++after;
    }
    return std::make_pair(value, after < 0 ? 0 : after);
}

std::uint64_t Gcd(std::uint64_t a, std::uint64_t b) {
    while (b != 0) {
        const std::uint64_t t = a % b;
        a = b;
        b = t;
    }
    return a;
}

bool TimesTen(std::uint64_t& v, int times) {
    for (int k = 0; k < times; ++k) {
        if (v > std::numeric_limits<std::uint64_t>::max() / 10) return false;
        v *= 10;
    }
    return true;
}

// numerator / denominator (both as ReadShownNumber gives them) as a
// decimal when it ends, else "numerator/denominator"; nothing for a zero
// denominator.
std::optional<std::string> DivideExactly(const std::string& numerator,
                                         const std::string& denominator) {
    const auto n = Digits(numerator);
    const auto d = Digits(denominator);
    if (d && d->first == 0) return std::nullopt;
    const std::string asWritten = numerator + "/" + denominator;
    if (!n || !d) return asWritten;
    // n/10^a over d/10^b is n*10^b over d*10^a.
    std::uint64_t top = n->first;
    std::uint64_t bottom = d->first;
    if (!TimesTen(top, d->second) || !TimesTen(bottom, n->second)) return asWritten;
    const std::uint64_t g = Gcd(top, bottom);
    top /= g;
    bottom /= g;
    // It ends as a decimal when the denominator has no factor but 2 and 5.
    int twos = 0;
    int fives = 0;
    std::uint64_t rest = bottom;
    for (; rest % 2 == 0; rest /= 2) ++twos;
    for (; rest % 5 == 0; rest /= 5) ++fives;
    if (rest != 1) return asWritten;
    const int places = std::max(twos, fives);
    std::uint64_t power = 1;
    if (!TimesTen(power, places)) return asWritten;
    const std::uint64_t factor = power / bottom;
    if (top != 0 && factor > std::numeric_limits<std::uint64_t>::max() / top) return asWritten;
    return ScaleNumber(std::to_string(top * factor), -places);
}

class FactReader {
  public:
    explicit FactReader(std::string_view text) : text_(text) {}

    IxFacts Read() {
        HtmlTokenizer tokens(text_, HtmlSyntax::Xhtml);
        HtmlToken token;
        while (tokens.Next(token)) {
            tokenEnd_ = token.end;
            if (token.kind == HtmlTokenKind::StartTag) {
                StartTag(token);
                if (token.selfClosing) Close();
            } else if (token.kind == HtmlTokenKind::EndTag) {
                EndTag(token.name);
            } else if (token.kind == HtmlTokenKind::Text) {
                Text(text_.substr(token.start, token.end - token.start));
            }
        }
        tokenEnd_ = text_.size();
        while (!stack_.empty()) Close();
        FollowContinuations();
        for (IxFact& f : result_.facts) Settle(f);
        result_.contexts = contexts_.size();
        result_.units = units_.size();
        return std::move(result_);
    }

  private:
    std::string_view NamespaceOf(std::string_view qname, std::string_view& local) const {
        const std::size_t colon = qname.find(':');
        local = colon == std::string_view::npos ? qname : qname.substr(colon + 1);
        const auto it = prefixes_.find(colon == std::string_view::npos ? std::string_view()
                                                                       : qname.substr(0, colon));
        return it == prefixes_.end() ? std::string_view() : it->second;
    }

    void StartTag(const HtmlToken& tag) {
        // Filings declare their prefixes once, on <html>; a later
        // declaration of the same prefix simply takes over.
        for (const HtmlAttribute& a : tag.attributes) {
            if (a.name == "xmlns") prefixes_[{}] = a.value;
            if (a.name.substr(0, 6) == "xmlns:") prefixes_[a.name.substr(6)] = a.value;
        }
        std::string_view local;
        const std::string_view ns = NamespaceOf(tag.name, local);
        Open open{tag.name, Role::Other};
        if (ns == kIxNs) {
            if (local == "nonFraction" || local == "nonNumeric" || local == "fraction") {
                open.role = Role::Fact;
                StartFact(tag, local == "nonFraction", local == "fraction");
            } else if ((local == "numerator" || local == "denominator") && !reading_.empty() &&
                       reading_.back().fraction) {
                open.role = local == "numerator" ? Role::Numerator : Role::Denominator;
                Part part;
                part.reading = reading_.size() - 1;
                part.numerator = local == "numerator";
                part.excludeBase = excluded_;
                part.format = Attribute(tag, "format");
                part.scale = Attribute(tag, "scale");
                part.sign = Attribute(tag, "sign");
                parts_.push_back(part);
            } else if (local == "continuation") {
                open.role = Role::Continuation;
                Continued c;
                c.id = Attribute(tag, "id");
                c.next = Attribute(tag, "continuedAt");
                c.excludeBase = excluded_;
                openContinued_.push_back(continued_.size());
                continued_.push_back(std::move(c));
            } else if (local == "hidden") {
                open.role = Role::Hidden;
                ++hidden_;
            } else if (local == "exclude") {
                open.role = Role::Exclude;
                ++excluded_;
            }
        } else if (ns == kXbrliNs) {
            open.role = XbrliRole(tag, local);
        }
        stack_.push_back(open);
        ++openCount_[tag.name];
    }

    Role XbrliRole(const HtmlToken& tag, std::string_view local) {
        if (local == "context") {
            context_ = &contexts_[Attribute(tag, "id")];
            return Role::Context;
        }
        if (local == "unit") {
            unit_ = &units_[Attribute(tag, "id")];
            return Role::Unit;
        }
        if (local == "identifier") return Role::Identifier;
        if (local == "startDate") return Role::StartDate;
        if (local == "endDate") return Role::EndDate;
        if (local == "instant") return Role::Instant;
        if (local == "measure") return Role::Measure;
        if (local == "unitDenominator") {
            ++denominator_;
            return Role::UnitDenominator;
        }
        return Role::Other;
    }

    void StartFact(const HtmlToken& tag, bool number, bool fraction) {
        IxFact f;
        f.offset = tag.start;
        f.element = std::string(tag.name);
        f.concept = std::string(Attribute(tag, "name"));
        f.id = std::string(Attribute(tag, "id"));
        f.context = std::string(Attribute(tag, "contextRef"));
        f.unit = std::string(Attribute(tag, "unitRef"));
        f.decimals = std::string(Attribute(tag, "decimals"));
        f.hidden = hidden_ > 0;
        for (const HtmlAttribute& a : tag.attributes) {
            const std::size_t colon = a.name.find(':');
            if (colon != std::string_view::npos && a.name.substr(colon) == ":nil") {
                f.nil = a.value == "true" || a.value == "1";
            }
        }
        Reading r;
        r.index = result_.facts.size();
        r.number = number;
        r.fraction = fraction;
        r.excludeBase = excluded_;
        r.continuedAt = Attribute(tag, "continuedAt");
        r.format = Attribute(tag, "format");
        r.scale = Attribute(tag, "scale");
        r.sign = Attribute(tag, "sign");
        reading_.push_back(r);
        result_.facts.push_back(std::move(f));
    }

    void Text(std::string_view raw) {
        if (stack_.empty()) return;
        std::string text;
        AppendXmlText(text, raw);
        const Role role = stack_.back().role;
        if (role == Role::Identifier || role == Role::StartDate || role == Role::EndDate ||
            role == Role::Instant) {
            if (context_) ContextPart(role) += Collapsed(text);
            return;
        }
        if (role == Role::Measure) {
            if (unit_) {
                std::string& into = denominator_ > 0 ? unit_->denominator : unit_->numerator;
                into += (into.empty() ? "" : "*") + Collapsed(text);
            }
            return;
        }
        // A nested fact's text is also its outer fact's; what an ix:exclude
        // holds is no part of the facts around it.
        for (Reading& r : reading_) {
            if (r.excludeBase == excluded_ && r.text.size() < kReadLimit) r.text += text;
        }
        for (Part& p : parts_) {
            if (p.excludeBase == excluded_ && p.text.size() < kReadLimit) p.text += text;
        }
        for (const std::size_t c : openContinued_) {
            Continued& into = continued_[c];
            if (into.excludeBase == excluded_ && into.text.size() < kReadLimit) into.text += text;
        }
    }

    std::string& ContextPart(Role role) {
        if (role == Role::Identifier) return context_->entity;
        if (role == Role::StartDate) return context_->start;
        if (role == Role::EndDate) return context_->end;
        return context_->instant;
    }

    void EndTag(std::string_view name) {
        const auto open = openCount_.find(name);
        if (open == openCount_.end() || open->second == 0) return;
        while (!stack_.empty() && stack_.back().name != name) Close();
        if (!stack_.empty()) Close();
    }

    void Close() {
        const Open o = stack_.back();
        stack_.pop_back();
        --openCount_[o.name];
        switch (o.role) {
            case Role::Fact:
                Finish(reading_.back());
                reading_.pop_back();
                break;
            case Role::Hidden:
                --hidden_;
                break;
            case Role::Exclude:
                --excluded_;
                break;
            case Role::Context:
                context_ = nullptr;
                break;
            case Role::Unit:
                unit_ = nullptr;
                break;
            case Role::UnitDenominator:
                --denominator_;
                break;
            case Role::Numerator:
            case Role::Denominator:
                FinishPart(parts_.back());
                parts_.pop_back();
                break;
            case Role::Continuation:
                openContinued_.pop_back();
                break;
            default:
                break;
        }
    }

    void Finish(const Reading& r) {
        IxFact& f = result_.facts[r.index];
        // The token that closes it: its own end tag, or whatever closed it
        // when the end tag is missing.
        f.end = tokenEnd_;
        if (!r.number && !r.fraction && !r.continuedAt.empty()) {
            pending_.push_back({r});
            return;
        }
        Evaluate(f, r);
    }

    void Evaluate(IxFact& f, const Reading& r) const {
        f.shown = Collapsed(r.text);
        if (f.nil) {
            f.readable = true;
        } else if (r.number) {
            Number(f, r);
        } else if (r.fraction) {
            Fraction(f, r);
        } else if (!r.format.empty()) {
            Transformed(f, r);
        } else {
            f.value = f.shown;
        }
        if (f.shown.size() > kShownLimit) f.shown.resize(kShownLimit);
        if (f.value.size() > kShownLimit) f.value.resize(kShownLimit);
    }

    // A text fact with a format: a date, a duration, a yes or no. A format
    // of no registry EDGAR takes, or text the format cannot read, leaves it
    // without a value; a transformation read by lists this reading does not
    // keep (month names of other languages) leaves the text.
    void Transformed(IxFact& f, const Reading& r) const {
        std::string_view local;
        const std::string_view ns = NamespaceOf(r.format, local);
        if (!TransformKind(ns, local)) {
            f.readable = false;
        } else if (!ReadsShownValue(local)) {
            f.value = f.shown;
        } else if (const std::optional<std::string> value = ReadShownValue(local, r.text)) {
            f.value = *value;
        } else {
            f.readable = false;
        }
    }

    // A fact's text goes on in each ix:continuation its continuedAt chain
    // names, in chain order, wherever they stand; a chain that comes back on
    // itself ends there (the rules check reports it).
    void FollowContinuations() {
        std::unordered_map<std::string_view, std::size_t> byId;
        for (std::size_t k = 0; k < continued_.size(); ++k) byId.emplace(continued_[k].id, k);
        for (Pending& p : pending_) {
            std::unordered_set<std::size_t> seen;
            std::string_view next = p.reading.continuedAt;
            for (;;) {
                const auto it = byId.find(next);
                if (it == byId.end() || !seen.insert(it->second).second) break;
                const Continued& c = continued_[it->second];
                if (p.reading.text.size() < kReadLimit) p.reading.text += c.text;
                next = c.next;
            }
            Evaluate(result_.facts[p.reading.index], p.reading);
        }
    }

    // The number a text shows under a number format and scale, or nothing.
    std::optional<std::string> ReadNumber(std::string_view format, std::string_view scaleText,
                                          std::string_view text) const {
        std::string_view local;
        const std::string_view ns =
            format.empty() ? std::string_view() : NamespaceOf(format, local);
        std::optional<std::string> number;
        if (format.empty()) {
            number = ReadShownNumber({}, text);
        } else if (TransformKind(ns, local) == IxValueKind::Number) {
            number = ReadShownNumber(local, text);
        }
        if (!number) return std::nullopt;
        int scale = 0;
        const std::string_view digits = scaleText.substr(scaleText.substr(0, 1) == "+" ? 1 : 0);
        const auto read = std::from_chars(digits.data(), digits.data() + digits.size(), scale);
        if (!scaleText.empty() &&
            (read.ec != std::errc() || read.ptr != digits.data() + digits.size())) {
            return std::nullopt;
        }
        return ScaleNumber(*number, scale);
    }

    void Number(IxFact& f, const Reading& r) const {
        const std::optional<std::string> number = ReadNumber(r.format, r.scale, r.text);
        f.readable = number.has_value();
        if (!number) return;
        f.value = *number;
        if (r.sign == "-" && f.value != "0") f.value.insert(0, "-");
    }

    void FinishPart(const Part& p) {
        Reading& r = reading_[p.reading];
        const std::optional<std::string> number = ReadNumber(p.format, p.scale, p.text);
        if (!number) r.partUnreadable = true;
        if (p.sign == "-") r.negative = !r.negative;
        (p.numerator ? r.numerator : r.denominator) = number;
        (p.numerator ? r.numeratorShown : r.denominatorShown) = Collapsed(p.text);
    }

    // An ix:fraction: its numerator over its denominator, as a decimal
    // where that ends ("3/4" -> "0.75"), else as the two numbers read
    // ("1/3"). It shows its two parts with a slash between them.
    void Fraction(IxFact& f, const Reading& r) const {
        if (r.numerator || r.denominator) {
            f.shown = r.numeratorShown + "/" + r.denominatorShown;
        }
        if (r.partUnreadable || !r.numerator || !r.denominator) {
            f.readable = false;
            return;
        }
        const std::optional<std::string> value = DivideExactly(*r.numerator, *r.denominator);
        if (!value) {
            f.readable = false;
            return;
        }
        f.value = *value;
        if (r.negative && f.value != "0") f.value.insert(0, "-");
    }

    void Settle(IxFact& f) const {
        const auto c = contexts_.find(f.context);
        if (c != contexts_.end()) {
            f.entity = c->second.entity;
            f.period = c->second.instant.empty() ? c->second.start + "/" + c->second.end
                                                 : c->second.instant;
        }
        if (f.unit.empty()) return;
        const auto u = units_.find(f.unit);
        if (u != units_.end()) {
            f.unit = u->second.numerator +
                     (u->second.denominator.empty() ? "" : "/" + u->second.denominator);
        }
    }

    std::string_view text_;
    IxFacts result_;
    std::unordered_map<std::string_view, std::string_view> prefixes_;
    std::vector<Open> stack_;
    std::unordered_map<std::string_view, int> openCount_;
    std::vector<Reading> reading_;
    std::vector<Part> parts_;
    std::vector<Continued> continued_;
    std::vector<std::size_t> openContinued_;
    std::vector<Pending> pending_;
    std::unordered_map<std::string_view, Context> contexts_;
    std::unordered_map<std::string_view, Unit> units_;
    Context* context_ = nullptr;
    Unit* unit_ = nullptr;
    std::size_t tokenEnd_ = 0;  // past the token being read
    int hidden_ = 0;
    int excluded_ = 0;
    int denominator_ = 0;
};

}  // namespace

IxFacts ReadIxFacts(std::string_view text) {
    return FactReader(text).Read();
}

}  // namespace tarlo
