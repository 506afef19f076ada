#include "document/document.h"

#include <cstdlib>

namespace tarlo {

WinColor CodeLook::ForegroundColorValue() const {
    if (ForegroundColor.empty()) return kWhite;
    char* end = nullptr;
    const unsigned long v = std::strtoul(ForegroundColor.c_str(), &end, 10);
    if (end == nullptr || *end != '\0' || v > 0xFFFFFFUL) return kWhite;
    return static_cast<WinColor>(v);
}

}  // namespace tarlo
