#include "codeview/colour_roles.h"

#include <algorithm>

namespace tarlo {

namespace {

bool IsWord(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// Characters an attribute name may run over. A carriage return is not among
// them: the colouring turns it into a paragraph break first.
bool InName(unsigned char c) {
    return IsWord(c) || c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == ':' ||
           c == '-' || c == '.';
}

// A tag, as the colouring sees one: "<", at least one character that is not
// ">", then ">".
struct Tag {
    std::size_t open;   // position of "<"
    std::size_t close;  // position of ">"
};

std::vector<Tag> FindTags(std::string_view s) {
    std::vector<Tag> tags;
    std::size_t at = s.find('<');
    while (at != std::string_view::npos) {
        const std::size_t close = s.find('>', at + 1);
        if (close == std::string_view::npos) break;  // no later "<" can close either
        if (close == at + 1) {
            at = s.find('<', at + 1);
            continue;
        }
        tags.push_back({at, close});
        at = s.find('<', close + 1);
    }
    return tags;
}

// An attribute: the name (with the blank in front when that blank is part of
// the text) up to the value, and the value.
struct Attribute {
    std::size_t nameStart;
    std::size_t valueStart;
    std::size_t valueEnd;  // one past the value
};

// Where an attribute whose name runs to `runEnd` has its value, or 0 when
// none follows ("=" with optional blanks, then a quoted string or digits).
std::size_t ValueEndAfter(std::string_view s, std::size_t runEnd, std::size_t& valueStart) {
    std::size_t i = runEnd;
    if (i >= s.size() || s[i] != '=') return 0;
    ++i;
    while (i < s.size() && s[i] == ' ') ++i;
    if (i >= s.size()) return 0;
    valueStart = i;
    const char q = s[i];
    if (q == '"' || q == '\'') {
        const std::size_t close = s.find(q, i + 1);
        if (close == std::string_view::npos || close == i + 1) return 0;
        return close + 1;
    }
    if (!IsDigit(static_cast<unsigned char>(q))) return 0;
    while (i < s.size() && IsDigit(static_cast<unsigned char>(s[i]))) ++i;
    return i;
}

// The attributes, left to right, not overlapping. An attribute begins at a
// blank followed by a word character; the text right after a tag counts as
// following a blank, because the tag's colour switch ends in one.
std::vector<Attribute> FindAttributes(std::string_view s, const std::vector<Tag>& tags) {
    std::vector<Attribute> found;
    std::size_t nextTag = 0;
    std::size_t i = 0;
    while (i < s.size()) {
        while (nextTag < tags.size() && tags[nextTag].close + 1 < i) ++nextTag;
        const bool afterTag = nextTag < tags.size() && tags[nextTag].close + 1 == i;
        std::size_t first;  // first character of the name
        std::size_t nameStart;
        if (afterTag && IsWord(static_cast<unsigned char>(s[i]))) {
            first = i;
            nameStart = i;
        } else if (s[i] == ' ' && i + 1 < s.size() &&
                   IsWord(static_cast<unsigned char>(s[i + 1]))) {
            first = i + 1;
            nameStart = i;
        } else {
            ++i;
            continue;
        }
        std::size_t runEnd = first;
        while (runEnd < s.size() && InName(static_cast<unsigned char>(s[runEnd]))) ++runEnd;
        std::size_t valueStart = 0;
        const std::size_t valueEnd = ValueEndAfter(s, runEnd, valueStart);
        if (valueEnd == 0) {
            // Every later start inside this run reaches the same end and fails too.
            i = runEnd;
            continue;
        }
        found.push_back({nameStart, valueStart, valueEnd});
        i = valueEnd;
    }
    return found;
}

void Fill(std::vector<ColourRole>& roles, std::size_t from, std::size_t to, ColourRole role) {
    if (from < to)
        std::fill(roles.begin() + static_cast<long>(from), roles.begin() + static_cast<long>(to),
                  role);
}

// Text between tags that holds an "=" was taken for an attribute: it goes
// back to plain. A stretch runs from a ">" over no "<" to the last "=" before
// the next "<", and on over no ">" to the last "<" before the next ">".
void PlainBetweenTags(std::string_view s, std::vector<ColourRole>& roles) {
    std::size_t pos = 0;
    while (true) {
        const std::size_t gt = s.find('>', pos);
        if (gt == std::string_view::npos) return;
        const std::size_t lt = s.find('<', gt + 1);
        if (lt == std::string_view::npos) return;
        std::size_t eq = lt;
        while (eq > gt + 1 && s[eq - 1] != '=') --eq;
        if (eq == gt + 1) {
            pos = lt;
            continue;
        }
        --eq;  // the "="
        const std::size_t nextGt = s.find('>', eq + 1);
        if (nextGt != std::string_view::npos && nextGt < lt) {
            pos = lt;
            continue;
        }
        const std::size_t end =
            nextGt == std::string_view::npos ? s.rfind('<') : s.rfind('<', nextGt - 1);
        Fill(roles, gt + 1, end, ColourRole::Plain);
        pos = end + 1;
    }
}

// Comments show in the plain colour, each up to its own first "-->".
void PlainComments(std::string_view s, std::vector<ColourRole>& roles) {
    std::size_t at = s.find("<!--");
    while (at != std::string_view::npos) {
        const std::size_t end = s.find("-->", at + 5);
        if (end == std::string_view::npos) return;
        Fill(roles, at, end + 3, ColourRole::Plain);
        at = s.find("<!--", end + 3);
    }
}

}  // namespace

std::vector<ColourRole> ColourRolesPerByte(std::string_view s) {
    std::vector<ColourRole> roles(s.size(), ColourRole::Plain);
    const std::vector<Tag> tags = FindTags(s);
    // Where the tag colour switches on (at "<") and off (after ">").
    std::vector<std::size_t> switches;
    switches.reserve(tags.size() * 2);
    for (const Tag& t : tags) {
        Fill(roles, t.open, t.close + 1, ColourRole::Tag);
        switches.push_back(t.open);
        switches.push_back(t.close + 1);
    }
    const std::vector<Attribute> attributes = FindAttributes(s, tags);
    std::size_t sw = 0;
    for (std::size_t k = 0; k < attributes.size(); ++k) {
        const Attribute& a = attributes[k];
        Fill(roles, a.nameStart, a.valueStart, ColourRole::Name);
        // A value may reach over a tag's switches; from the first of them on,
        // the tag colouring shows through.
        while (sw < switches.size() && switches[sw] <= a.valueStart) ++sw;
        const std::size_t valueColourEnd =
            sw < switches.size() && switches[sw] < a.valueEnd ? switches[sw] : a.valueEnd;
        Fill(roles, a.valueStart, valueColourEnd, ColourRole::Value);
        // After the value the tag colour resumes until the next switch.
        while (sw < switches.size() && switches[sw] < a.valueEnd) ++sw;
        std::size_t tagEnd = sw < switches.size() ? switches[sw] : s.size();
        if (k + 1 < attributes.size() && attributes[k + 1].nameStart < tagEnd) {
            tagEnd = attributes[k + 1].nameStart;
        }
        Fill(roles, a.valueEnd, tagEnd, ColourRole::Tag);
    }
    PlainBetweenTags(s, roles);
    PlainComments(s, roles);
    return roles;
}

std::vector<RoleRun> ColourRoles(std::string_view html) {
    const std::vector<ColourRole> roles = ColourRolesPerByte(html);
    std::vector<RoleRun> runs;
    for (std::size_t i = 0; i < roles.size();) {
        std::size_t j = i + 1;
        while (j < roles.size() && roles[j] == roles[i]) ++j;
        runs.push_back({i, j - i, roles[i]});
        i = j;
    }
    return runs;
}

WinColor RoleColour(ColourRole role, const ColourSettings& colours) {
    switch (role) {
        case ColourRole::Tag:
            return colours.tag;
        case ColourRole::Name:
            return colours.attributeName;
        case ColourRole::Value:
            return colours.attributeValue;
        case ColourRole::Plain:
            break;
    }
    return colours.plain;
}

const char* RoleName(ColourRole role) {
    switch (role) {
        case ColourRole::Tag:
            return "tag";
        case ColourRole::Name:
            return "name";
        case ColourRole::Value:
            return "value";
        case ColourRole::Plain:
            break;
    }
    return "plain";
}

}  // namespace tarlo
