// Reading an Inline XBRL document tag by tag: namespaces in scope, where each
// Inline XBRL element stands, its attributes, and the content of the facts
// whose value matters (number facts in edgar_ixbrl_numbers.cpp). What the
// elements name is settled at the end (edgar_ixbrl_links.cpp).
#include "checker/edgar_ixbrl_rules.h"

#include <algorithm>
#include <optional>

#include "checker/edgar_ixbrl_names.h"
#include "text/ixbrl_transforms.h"
#include "text/text_scan.h"

namespace tarlo::edgar_rules {

using namespace ixbrl_names;

namespace {

using Kind = EdgarIxbrlRules::Kind;

std::optional<Kind> IxElementKind(std::string_view local) {
    struct Named {
        std::string_view name;
        Kind kind;
    };
    static constexpr Named kElements[] = {
        {"continuation", Kind::Continuation},
        {"denominator", Kind::Other},
        {"exclude", Kind::Exclude},
        {"footnote", Kind::Footnote},
        {"fraction", Kind::Fraction},
        {"header", Kind::Header},
        {"hidden", Kind::Hidden},
        {"nonFraction", Kind::NonFraction},
        {"nonNumeric", Kind::NonNumeric},
        {"numerator", Kind::Other},
        {"references", Kind::References},
        {"relationship", Kind::Relationship},
        {"resources", Kind::Resources},
        {"tuple", Kind::Tuple},
    };
    for (const Named& e : kElements) {
        if (e.name == local) return e.kind;
    }
    return std::nullopt;
}

bool IsFact(Kind kind) {
    return kind == Kind::NonFraction || kind == Kind::NonNumeric || kind == Kind::Fraction;
}

// An xs:integer as written: an optional sign, then digits.
}  // namespace

void EdgarIxbrlRules::Error(std::string subject, const std::string& problem, const char* source,
                            std::string fix, std::size_t at, std::size_t length) {
    findings_.Error(kInline, std::move(subject), problem + " (" + source + ").", std::move(fix), at,
                    length);
}

void EdgarIxbrlRules::Warning(std::string subject, const std::string& problem, const char* source,
                              std::string fix, std::size_t at, std::size_t length) {
    findings_.Warning(kInline, std::move(subject), problem + " (" + source + ").", std::move(fix),
                      at, length);
}

void EdgarIxbrlRules::Declare(const HtmlAttribute& a, std::uint32_t& bindings) {
    std::string_view prefix;
    if (a.name == "xmlns") {
        prefix = {};
    } else if (a.name.substr(0, 6) == "xmlns:") {
        prefix = a.name.substr(6);
        const std::size_t length = a.end - a.nameAt;
        if (a.value.empty()) {
            Error(Printable(a.name),
                  "The prefix " + Printable(prefix) + " is declared with an empty namespace name",
                  kNamespacesSource, "Give it its namespace name, or remove the declaration.",
                  a.nameAt, length);
        } else if (const ExpectedNamespace* expected = ExpectedFor(prefix)) {
            if (!expected->accepts(a.value)) {
                Error(Printable(a.name),
                      "The prefix " + Printable(prefix) + " is bound to \"" + Printable(a.value) +
                          "\", not to " + expected->what,
                      expected->source, std::string("Bind it to \"") + expected->ns + "\".",
                      a.valueAt, a.value.size());
            }
        }
    } else {
        return;
    }
    scopes_[prefix].push_back(a.value);
    declared_.push_back(prefix);
    ++bindings;
}

std::string_view EdgarIxbrlRules::Resolve(std::string_view prefix, std::size_t at,
                                          std::size_t length) {
    if (prefix == "xml") return kXmlNs;
    const auto scope = scopes_.find(prefix);
    if (scope != scopes_.end() && !scope->second.empty()) return scope->second.back();
    if (prefix.empty()) return {};
    const auto [entry, added] = unboundIndex_.emplace(prefix, unbound_.size());
    if (added) unbound_.push_back({prefix, at, length, 0});
    ++unbound_[entry->second].uses;
    // Read on as if the usual name were bound, so one missing declaration
    // is one finding, not one per element.
    return ConventionalNamespace(prefix);
}

std::string_view EdgarIxbrlRules::NamespaceOf(std::string_view qname, std::size_t at,
                                              std::size_t length, std::string_view& local) {
    const std::size_t colon = qname.find(':');
    if (colon == std::string_view::npos) {
        local = qname;
        return Resolve({}, at, length);
    }
    local = qname.substr(colon + 1);
    return Resolve(qname.substr(0, colon), at, length);
}

EdgarIxbrlRules::Kind EdgarIxbrlRules::Classify(const HtmlToken& tag, std::string_view ns,
                                                std::string_view local) {
    if (ns == kXbrliNs) {
        if (local == "context") return Kind::Context;
        if (local == "unit") return Kind::Unit;
        return Kind::Other;
    }
    if (ns != kIxNs) return Kind::Other;
    if (!inline_) {
        inline_ = true;
        firstIxAt_ = tag.start;
        firstIxLength_ = tag.end - tag.start;
    }
    const std::optional<Kind> kind = IxElementKind(local);
    if (!kind) {
        Error(Tag(tag.name),
              "Inline XBRL has no element " + Printable(local) + " (names keep their case)",
              kElementsSource, "Use one of the Inline XBRL elements, written as it is named.",
              tag.start, tag.end - tag.start);
        return Kind::Other;
    }
    return *kind;
}

void EdgarIxbrlRules::Placement(const HtmlToken& tag, Kind kind) {
    Open* parent = stack_.empty() ? nullptr : &stack_.back();
    const Kind parentKind = parent ? parent->kind : Kind::Other;
    const std::size_t at = tag.start;
    const std::size_t length = tag.end - tag.start;
    const std::string subject = Tag(tag.name);
    if (parentKind == Kind::NonFraction) {
        Reading& outer = reading_[static_cast<std::size_t>(parent->fact)];
        if (kind != Kind::NonFraction) {
            Error(subject,
                  "An ix:nonFraction holds an element " + subject +
                      "; it may hold only text or one ix:nonFraction",
                  kNonFractionSource, "Move the element outside the fact, around it.", at, length);
        } else if (++outer.nested > 1) {
            Error(subject, "An ix:nonFraction holds more than one ix:nonFraction",
                  kNonFractionSource, "Keep one nested fact, or tag each number on its own.", at,
                  length);
        }
    }
    switch (kind) {
        case Kind::Header:
            if (++headers_ > 1) {
                Error(subject, "A second ix:header; a document has exactly one", kHeaderSource,
                      "Move its contents into the first ix:header and remove this one.", at,
                      length);
            }
            break;
        case Kind::Hidden:
        case Kind::References:
        case Kind::Resources:
            if (parentKind != Kind::Header) {
                Error(subject, "The element " + subject + " stands outside the ix:header",
                      kHeaderSource, "Move it into the ix:header.", at, length);
            } else if (kind == Kind::References) {
                parent->hasReferences = true;
            } else if (kind == Kind::Resources) {
                parent->hasResources = true;
                resourcesSeen_ = true;
            }
            if (kind == Kind::Hidden) ++hiddenDepth_;
            break;
        case Kind::Context:
        case Kind::Unit:
            if (parentKind != Kind::Resources) {
                Error(subject,
                      std::string("A ") + (kind == Kind::Context ? "context" : "unit") +
                          " stands outside ix:resources",
                      kResourcesSource, "Move it into the ix:resources of the ix:header.", at,
                      length);
            }
            break;
        case Kind::Exclude:
            ++excludes_;
            if (excludeHosts_ == 0) {
                Error(subject,
                      "An ix:exclude stands outside any ix:nonNumeric, ix:continuation or "
                      "ix:footnote",
                      kExcludeSource, "Remove the ix:exclude tags, keeping what they hold.", at,
                      length);
            }
            break;
        case Kind::NonNumeric:
        case Kind::Continuation:
        case Kind::Footnote:
            ++excludeHosts_;
            break;
        default:
            break;
    }
}

void EdgarIxbrlRules::StartTag(const HtmlToken& tag) {
    Open open;
    open.name = tag.name;
    open.at = tag.start;
    open.length = tag.end - tag.start;
    for (const HtmlAttribute& a : tag.attributes) Declare(a, open.bindings);
    std::string_view local;
    const std::string_view ns = NamespaceOf(tag.name, tag.nameAt, tag.name.size(), local);
    open.kind = Classify(tag, ns, local);
    Placement(tag, open.kind);
    Attributes(tag, open.kind, open);
    stack_.push_back(open);
    ++openCount_[tag.name];
    if (tag.selfClosing) Close(tag.end);
}

void EdgarIxbrlRules::EndTag(const HtmlToken& tag) {
    const auto open = openCount_.find(tag.name);
    if (open == openCount_.end() || open->second == 0) return;
    // The XHTML rules report what is left open; here it simply ends.
    while (!stack_.empty() && stack_.back().name != tag.name) Close(tag.start);
    if (!stack_.empty()) Close(tag.start);
}

void EdgarIxbrlRules::Text(const HtmlToken& text) {
    const std::string_view raw = findings_.text().substr(text.start, text.end - text.start);
    for (std::size_t k = 0; k < reading_.size(); ++k) {
        Reading& fact = reading_[k];
        // A number's own text is what it holds outside a nested number; a
        // text fact's value holds the text of the facts nested in it, but
        // not what an ix:exclude holds.
        const bool innermost = k + 1 == reading_.size();
        if (!innermost && !fact.readValue) continue;
        if ((fact.kind == Kind::NonNumeric || fact.kind == Kind::Continuation) &&
            excludes_ > fact.excludeBase) {
            continue;
        }
        // A fact's value that matters here is short; a long text block need
        // not be copied whole to know it is no number.
        if (fact.text.size() > 4096) continue;
        AppendXmlText(fact.text, raw);
    }
}

void EdgarIxbrlRules::Close(std::size_t contentEnd) {
    const Open o = stack_.back();
    stack_.pop_back();
    --openCount_[o.name];
    for (std::uint32_t k = 0; k < o.bindings; ++k) {
        scopes_[declared_.back()].pop_back();
        declared_.pop_back();
    }
    switch (o.kind) {
        case Kind::Hidden:
            --hiddenDepth_;
            break;
        case Kind::NonNumeric:
        case Kind::Continuation:
        case Kind::Footnote:
            --excludeHosts_;
            break;
        case Kind::Exclude:
            --excludes_;
            break;
        case Kind::Header:
            if (!o.hasReferences || !o.hasResources) {
                Error(Tag(o.name),
                      std::string("The ix:header holds no ") +
                          (o.hasReferences ? "ix:resources" : "ix:references") +
                          (o.hasReferences || o.hasResources ? "" : " and no ix:resources"),
                      kHeaderSource,
                      "Keep the taxonomy reference in ix:references and the contexts and units "
                      "in ix:resources, both inside the ix:header.",
                      o.at, o.length);
            }
            break;
        default:
            break;
    }
    if (o.fact >= 0) {
        Finished(reading_.back(), contentEnd);
        reading_.pop_back();
    }
}

void EdgarIxbrlRules::Attributes(const HtmlToken& tag, Kind kind, Open& open) {
    const bool hidden = hiddenDepth_ > 0 && kind != Kind::Hidden;
    Reading fact;
    fact.kind = kind;
    fact.at = tag.start;
    fact.length = tag.end - tag.start;
    fact.contentAt = tag.end;
    fact.hidden = hidden;
    fact.excludeBase = excludes_;
    const HtmlAttribute* context = nullptr;
    const HtmlAttribute* unit = nullptr;
    const HtmlAttribute* concept = nullptr;
    const std::size_t continuedBefore = continued_.size();
    for (const HtmlAttribute& a : tag.attributes) {
        const std::size_t length = a.end - a.nameAt;
        if (a.name.substr(0, 5) != "xmlns" && a.name.find(':') != std::string_view::npos) {
            std::string_view local;
            NamespaceOf(a.name, a.nameAt, length, local);
        }
        if (a.name == "id") {
            fact.id = a.value;
            const auto [entry, added] =
                ids_.emplace(a.value, Defined{kind, hidden, a.nameAt, length});
            if (!added) {
                const std::string id = "\"" + Printable(a.value) + "\"";
                if (kind == Kind::Context || kind == Kind::Unit) {
                    Error(id,
                          std::string("The ") + (kind == Kind::Context ? "context " : "unit ") +
                              id + " is defined a second time",
                          kResourcesSource, "Keep one definition and remove this one.", a.nameAt,
                          length);
                } else {
                    Error(id, "The id " + id + " is already used by an element before this one",
                          kIdSource, "Give this element an id of its own.", a.nameAt, length);
                }
            }
        } else if (a.name == "style") {
            HiddenStyle(a);
        } else if (a.name == "contextRef") {
            context = &a;
        } else if (a.name == "unitRef") {
            unit = &a;
        } else if (a.name == "name" && (IsFact(kind) || kind == Kind::Tuple)) {
            concept = &a;
        } else if (a.name == "continuedAt" &&
                   (kind == Kind::NonNumeric || kind == Kind::Continuation ||
                    kind == Kind::Footnote)) {
            continued_.push_back({{}, kind, {a.value, a.nameAt, length}});
        } else if (kind == Kind::Relationship && (a.name == "fromRefs" || a.name == "toRefs")) {
            std::vector<Ref>& refs = a.name == "fromRefs" ? fromRefs_ : toRefs_;
            std::size_t k = 0;
            while (k < a.value.size()) {
                while (k < a.value.size() && IsMarkupSpace(a.value[k])) ++k;
                std::size_t e = k;
                while (e < a.value.size() && !IsMarkupSpace(a.value[e])) ++e;
                if (e > k) refs.push_back({a.value.substr(k, e - k), a.valueAt + k, e - k});
                k = e;
            }
        }
    }
    for (std::size_t k = continuedBefore; k < continued_.size(); ++k) continued_[k].from = fact.id;
    if (kind == Kind::Continuation) {
        if (fact.id.empty()) {
            Error(Tag(tag.name), "An ix:continuation has no id, so nothing can continue into it",
                  kContinuationSource, "Give it the id that the continuedAt before it names.",
                  fact.at, fact.length);
        } else {
            continuations_.push_back({fact.id, fact.at, fact.length});
        }
    }
    if (kind == Kind::Continuation && !fact.id.empty()) {
        // Its text may be the rest of a formatted fact's value.
        fact.readValue = true;
        if (continued_.size() > continuedBefore) fact.continuedAt = continued_.back().to.id;
        open.fact = static_cast<int>(reading_.size());
        reading_.push_back(std::move(fact));
        return;
    }
    if (!IsFact(kind)) return;
    if (context) {
        contextRefs_.push_back({context->value, context->nameAt, context->end - context->nameAt});
    } else {
        Error(Tag(tag.name), "The fact has no contextRef", kFactSource,
              "Add contextRef naming the context of the value.", fact.at, fact.length);
    }
    if (concept) {
        std::string_view local;
        const std::string_view ns =
            NamespaceOf(concept->value, concept->valueAt, concept->value.size(), local);
        fact.concept = concept->value;
        fact.dei = ns.substr(0, kDeiNsStart.size()) == kDeiNsStart;
    } else {
        Error(Tag(tag.name), "The fact has no name", kFactSource,
              "Add name with the concept the value reports.", fact.at, fact.length);
    }
    if (kind != Kind::NonNumeric) {
        if (unit) {
            unitRefs_.push_back({unit->value, unit->nameAt, unit->end - unit->nameAt});
        } else {
            Error(Tag(tag.name), "The number has no unitRef", kNonFractionSource,
                  "Add unitRef naming the unit of the value.", fact.at, fact.length);
        }
    }
    if (kind == Kind::NonFraction) {
        NumberAttributes(tag, fact);
    } else if (kind == Kind::NonNumeric) {
        bool formatted = false;
        for (const HtmlAttribute& a : tag.attributes) {
            if (a.name == "format") formatted = Format(a, false, fact);
            if (a.name.size() > 4 && a.name.substr(a.name.size() - 4) == ":nil") {
                std::string_view local;
                if (NamespaceOf(a.name, a.nameAt, a.end - a.nameAt, local) == kXsiNs) {
                    fact.nil = a.value == "true" || a.value == "1";
                }
            }
        }
        // Text that goes on in continuations is read whole once the chain
        // is known.
        fact.readValue = formatted && ReadsShownValue(fact.format);
        if (continued_.size() > continuedBefore) fact.continuedAt = continued_.back().to.id;
    }
    if (kind == Kind::NonFraction || hidden || fact.readValue) {
        open.fact = static_cast<int>(reading_.size());
        reading_.push_back(std::move(fact));
    }
}

void EdgarIxbrlRules::HiddenStyle(const HtmlAttribute& a) {
    constexpr std::string_view kProperty = "-sec-ix-hidden";
    std::size_t k = 0;
    while ((k = FindFolded(a.value, kProperty, k)) != std::string_view::npos) {
        k += kProperty.size();
        while (k < a.value.size() && IsMarkupSpace(a.value[k])) ++k;
        if (k >= a.value.size() || a.value[k] != ':') continue;
        ++k;
        while (k < a.value.size() && IsMarkupSpace(a.value[k])) ++k;
        std::size_t e = k;
        while (e < a.value.size() && a.value[e] != ';' && !IsMarkupSpace(a.value[e])) ++e;
        hiddenStyles_.push_back(
            {a.value.substr(k, e - k), a.valueAt + k, std::max<std::size_t>(e - k, 1)});
        k = e;
    }
}

}  // namespace tarlo::edgar_rules
