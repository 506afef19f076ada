#include "checker/ixbrl_facts.h"

#include <charconv>
#include <optional>
#include <unordered_map>

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
    Denominator,
};

struct Open {
    std::string_view name;
    Role role = Role::Other;
};

struct Reading {
    std::size_t index = 0;  // into the facts
    bool number = false;    // an ix:nonFraction
    std::string text;
    std::string_view format;
    std::string_view scale;
    std::string_view sign;
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
                StartFact(tag, local == "nonFraction");
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
            return Role::Denominator;
        }
        return Role::Other;
    }

    void StartFact(const HtmlToken& tag, bool number) {
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
        if (excluded_ > 0) return;
        // A nested fact's text is also its outer fact's.
        for (Reading& r : reading_) {
            if (r.text.size() < kReadLimit) r.text += text;
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
            case Role::Denominator:
                --denominator_;
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
        f.shown = Collapsed(r.text);
        if (f.nil) {
            f.readable = true;
        } else if (r.number) {
            Number(f, r);
        } else {
            std::string_view local;
            NamespaceOf(r.format, local);
            if (local == "fixed-true" || local == "fixed-false") {
                f.value = local == "fixed-true" ? "true" : "false";
            } else if (local != "fixed-empty") {
                f.value = f.shown;
            }
        }
        if (f.shown.size() > kShownLimit) f.shown.resize(kShownLimit);
        if (f.value.size() > kShownLimit) f.value.resize(kShownLimit);
    }

    void Number(IxFact& f, const Reading& r) {
        std::string_view local;
        const std::string_view ns =
            r.format.empty() ? std::string_view() : NamespaceOf(r.format, local);
        std::optional<std::string> number;
        if (r.format.empty()) {
            number = ReadShownNumber({}, r.text);
        } else if (TransformKind(ns, local) == IxValueKind::Number) {
            number = ReadShownNumber(local, r.text);
        }
        f.readable = number.has_value();
        if (!number) return;
        int scale = 0;
        const std::string_view digits = r.scale.substr(r.scale.substr(0, 1) == "+" ? 1 : 0);
        const auto read = std::from_chars(digits.data(), digits.data() + digits.size(), scale);
        if (!r.scale.empty() &&
            (read.ec != std::errc() || read.ptr != digits.data() + digits.size())) {
            f.readable = false;
            return;
        }
        f.value = ScaleNumber(*number, scale);
        if (r.sign == "-" && f.value != "0") f.value.insert(0, "-");
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
