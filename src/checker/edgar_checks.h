#pragma once
// The EDGAR conformance check: a missing or improper TITLE, Office markup
// ("<o:", "</o:", "mso" style names, "<w:", "</w:") and raw typographic or
// special characters, which a filing must spell in plain ASCII or as a
// numeric character reference.
#include <functional>
#include <string_view>

#include "checker/problem_report.h"

namespace tarlo {

enum class EdgarStage { MicrosoftCodes, UnacceptableCharacters };

struct EdgarCheckHooks {
    std::function<void(EdgarStage)> stage;  // a group of scans begins
    std::function<void()> scanDone;         // after each of the 33 scans
};

CheckRun RunEdgarChecks(std::string_view text, const EdgarCheckHooks& hooks = {});

}  // namespace tarlo
