#include "replace_text.h"

#include <regex>

namespace tarlo {

std::string ReplaceText(const std::string& patrn, std::string_view replStr,
                        const std::string& textStr) {
    const std::regex re(patrn, std::regex::ECMAScript | std::regex::icase);
    std::string out;
    out.reserve(textStr.size());
    auto last = textStr.cbegin();
    for (std::sregex_iterator it(textStr.begin(), textStr.end(), re), end; it != end; ++it) {
        const std::smatch& m = *it;
        out.append(last, m[0].first);
        for (std::size_t i = 0; i < replStr.size(); ++i) {
            if (replStr[i] == '$' && i + 1 < replStr.size() &&
                (replStr[i + 1] == '1' || replStr[i + 1] == '2')) {
                const std::size_t group = static_cast<std::size_t>(replStr[i + 1] - '0');
                if (group < m.size() && m[group].matched) out.append(m[group].str());
                ++i;
            } else {
                out.push_back(replStr[i]);
            }
        }
        last = m[0].second;
    }
    out.append(last, textStr.cend());
    return out;
}

std::string RtfColorEntry(WinColor colour) {
    const WinColor red = colour % 256;
    const WinColor green = (colour % 65536) / 256;
    const WinColor blue = colour / 65536;
    return "\\red" + std::to_string(red) + "\\green" + std::to_string(green) + "\\blue" +
           std::to_string(blue) + ";";
}

}  // namespace tarlo
