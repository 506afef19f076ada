#include "editor/status_text.h"

namespace tarlo {

StatusLook LookOf(DocumentStatus status) {
    switch (status) {
        case DocumentStatus::Accurate:
            return {"Code is accurate.", false, RgbColor(0, 100, 0)};
        case DocumentStatus::Stale:
            return {"Code needs to be refreshed.", false, RgbColor(150, 0, 0)};
        case DocumentStatus::Awaiting:
            break;
    }
    return {"Awaiting status", true, kBlack};
}

std::string GroupThousands(std::int64_t n) {
    const bool negative = n < 0;
    std::string digits = std::to_string(negative ? -n : n);
    std::string out;
    out.reserve(digits.size() + digits.size() / 3 + 1);
    const std::size_t lead = digits.size() % 3;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (i + 3 - lead) % 3 == 0) out += ',';
        out += digits[i];
    }
    return negative ? "-" + out : out;
}

std::string LinePanelText(std::int64_t line) {
    return "Line: " + GroupThousands(line);
}

std::string ColumnPanelText(std::int64_t column) {
    return "Column: " + std::to_string(column);
}

}  // namespace tarlo
