#include "editor/status_text.h"

#include "text/number_text.h"

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

std::string LinePanelText(std::int64_t line) {
    return "Line: " + GroupThousands(line);
}

std::string ColumnPanelText(std::int64_t column) {
    return "Column: " + std::to_string(column);
}

}  // namespace tarlo
