#pragma once
// The colorizer's decision for every character of the HTML source: tag,
// attribute name, attribute value or plain text. The window maps the roles
// to the colours of the current window mode.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "text/colour.h"

namespace tarlo {

enum class ColourRole : std::uint8_t { Plain, Tag, Name, Value };

// A stretch of the text in one role; start and length in bytes of UTF-8.
struct RoleRun {
    std::size_t start;
    std::size_t length;
    ColourRole role;
    bool operator==(const RoleRun& o) const {
        return start == o.start && length == o.length && role == o.role;
    }
};

// The role of every byte of `html`, as the colorizer's four replacements and
// its two corrections decide it, in one pass over the text. Adjacent runs of
// one role are merged; the runs cover the whole text in order.
std::vector<RoleRun> ColourRoles(std::string_view html);

// The same runs handed to `sink` in order, a batch at a time, without holding
// them all at once: a filing of many megabytes has millions of runs.
void ColourRolesStream(std::string_view html,
                       const std::function<void(const RoleRun* runs, std::size_t count)>& sink);

// The same, one role per byte.
std::vector<ColourRole> ColourRolesPerByte(std::string_view html);

// The colour a role takes under the given palette.
WinColor RoleColour(ColourRole role, const ColourSettings& colours);

// "plain", "tag", "name", "value".
const char* RoleName(ColourRole role);

}  // namespace tarlo
