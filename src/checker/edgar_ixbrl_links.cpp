// What the Inline XBRL elements name, settled once the whole document has
// been read: contexts and units, continuations, relationships, the header
// and the hidden facts.
#include <unordered_map>
#include <unordered_set>

#include "checker/edgar_ixbrl_names.h"
#include "checker/edgar_ixbrl_rules.h"

namespace tarlo::edgar_rules {

using namespace ixbrl_names;

namespace {

using Kind = EdgarIxbrlRules::Kind;

bool IsFactKind(Kind kind) {
    return kind == Kind::NonFraction || kind == Kind::NonNumeric || kind == Kind::Fraction ||
           kind == Kind::Tuple;
}

std::string Quoted(std::string_view id) {
    return "\"" + Printable(id) + "\"";
}

}  // namespace

void EdgarIxbrlRules::Finish() {
    while (!stack_.empty()) Close(findings_.text().size());
    for (const Unbound& u : unbound_) {
        Error(Printable(u.prefix) + ":",
              "The prefix " + Printable(u.prefix) + " is used without a declaration (" +
                  std::to_string(u.uses) + (u.uses == 1 ? " use" : " uses") + ", the first here)",
              kNamespacesSource,
              "Declare it on the <html> element, as xmlns:" + Printable(u.prefix) +
                  "=\"...\" with its namespace name.",
              u.at, u.length);
    }
    if (inline_ && headers_ == 0) {
        Error("ix:header", "The document has Inline XBRL facts but no ix:header", kHeaderSource,
              "Add one ix:header, in a <div style=\"display:none\">, holding ix:references and "
              "ix:resources.",
              firstIxAt_, firstIxLength_);
    }
    SettleReferences();
    SettleContinuations();
    SettleContinuedValues();
    SettleHidden();
}

void EdgarIxbrlRules::SettleReferences() {
    const auto names = [&](const Ref& r, Kind kind) {
        const auto it = ids_.find(r.id);
        return it != ids_.end() && it->second.kind == kind;
    };
    // Without any ix:resources the header's finding says it all: every fact
    // naming a context it cannot have would only repeat it.
    if (!resourcesSeen_) return;
    for (const Ref& r : contextRefs_) {
        if (names(r, Kind::Context)) continue;
        Error(Quoted(r.id), "The contextRef " + Quoted(r.id) + " names no context",
              kResourcesSource,
              "Name the id of an xbrli:context in ix:resources, or add that context.", r.at,
              r.length);
    }
    UnusedContexts();
    for (const Ref& r : unitRefs_) {
        if (names(r, Kind::Unit)) continue;
        Error(Quoted(r.id), "The unitRef " + Quoted(r.id) + " names no unit", kResourcesSource,
              "Name the id of an xbrli:unit in ix:resources, or add that unit.", r.at, r.length);
    }
    for (const bool to : {false, true}) {
        for (const Ref& r : to ? toRefs_ : fromRefs_) {
            const auto it = ids_.find(r.id);
            if (it != ids_.end() &&
                (IsFactKind(it->second.kind) || (to && it->second.kind == Kind::Footnote))) {
                continue;
            }
            Error(Quoted(r.id),
                  std::string(to ? "toRefs" : "fromRefs") + " names " + Quoted(r.id) +
                      (it == ids_.end() ? ", which no element has as its id"
                                        : (to ? ", which is neither a fact nor a footnote"
                                              : ", which is not a fact")),
                  kRelationshipSource, "Name the id of the fact the relationship is about.", r.at,
                  r.length);
        }
    }
}

// A context no fact names. The Filer Manual's rule (6.5.8) is a "must", and
// the SEC's own validation reports it as an error, so it is one here.
void EdgarIxbrlRules::UnusedContexts() {
    std::unordered_set<std::string_view> named;
    for (const Ref& r : contextRefs_) named.insert(r.id);
    for (const auto& [id, defined] : ids_) {
        if (defined.kind != Kind::Context || named.count(id) != 0) continue;
        findings_.Error(
            kUnusedContext, Quoted(id),
            "The context " + Quoted(id) + " is named by no fact (" + kUnusedContextSource + ").",
            "Remove the context, or tag the fact that belongs to it.", defined.at, defined.length);
    }
}

void EdgarIxbrlRules::SettleContinuations() {
    // Each continuation: where it goes next (an index into continued_).
    std::unordered_map<std::string_view, std::size_t> next;
    std::unordered_map<std::string_view, int> reached;
    for (std::size_t k = 0; k < continued_.size(); ++k) {
        const Continued& c = continued_[k];
        const Ref& r = c.to;
        const auto it = ids_.find(r.id);
        if (it == ids_.end() || it->second.kind != Kind::Continuation) {
            Error(Quoted(r.id),
                  "continuedAt names " + Quoted(r.id) +
                      (it == ids_.end() ? ", which no element has as its id"
                                        : ", which is not an ix:continuation"),
                  kContinuationSource, "Name the id of the ix:continuation that goes on.", r.at,
                  r.length);
            continue;
        }
        if (++reached[r.id] > 1) {
            Error(Quoted(r.id),
                  "The ix:continuation " + Quoted(r.id) + " is already continued from elsewhere",
                  kContinuationSource, "Each continuation goes on from one place only.", r.at,
                  r.length);
            continue;
        }
        if (c.fromKind == Kind::Continuation && !c.from.empty()) next.emplace(c.from, k);
    }
    for (const Ref& c : continuations_) {
        if (reached.count(c.id) != 0) continue;
        Error(Quoted(c.id),
              "The ix:continuation " + Quoted(c.id) +
                  " goes on from nothing: no continuedAt "
                  "names it",
              kContinuationSource, "Name it in continuedAt of the fact it continues, or remove it.",
              c.at, c.length);
    }
    // A chain that comes back to itself: each continuation is walked once.
    enum : char { kUnseen, kOnPath, kDone };
    std::unordered_map<std::string_view, char> state;
    std::vector<std::string_view> path;
    for (const Ref& start : continuations_) {
        std::string_view at = start.id;
        path.clear();
        while (state[at] == kUnseen) {
            state[at] = kOnPath;
            path.push_back(at);
            const auto step = next.find(at);
            if (step == next.end()) break;
            const std::string_view to = continued_[step->second].to.id;
            if (state[to] == kOnPath) {
                const Ref& r = continued_[step->second].to;
                Error(Quoted(r.id),
                      "This continuedAt leads back into its own chain, which never ends",
                      kContinuationSource, "End the chain at its last ix:continuation.", r.at,
                      r.length);
                break;
            }
            at = to;
        }
        for (std::string_view p : path) state[p] = kDone;
    }
}

void EdgarIxbrlRules::SettleHidden() {
    std::unordered_map<std::string_view, bool> shownBy;
    for (const Ref& r : hiddenStyles_) {
        const auto it = ids_.find(r.id);
        if (it != ids_.end() && it->second.hidden && IsFactKind(it->second.kind)) {
            shownBy[r.id] = true;
            continue;
        }
        Error(Quoted(r.id),
              "The style -sec-ix-hidden names " + Quoted(r.id) + ", which is no fact in ix:hidden",
              kHiddenSource, "Name the id of the hidden fact this text shows, or remove the style.",
              r.at, r.length);
    }
    for (const HiddenFact& f : hiddenFacts_) {
        if (shownBy.count(f.id) != 0) continue;
        Warning(Printable(f.concept),
                "The fact " + Quoted(f.id) + " (" + Printable(f.concept) +
                    ") is kept in ix:hidden though its value can be shown",
                kHiddenSource,
                "Tag the value where the document shows it, or point a -sec-ix-hidden style on "
                "the text that shows it at this fact.",
                f.at, f.length);
    }
}

}  // namespace tarlo::edgar_rules
