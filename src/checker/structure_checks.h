#pragma once
// The structure check ("Error check"): nested FONT elements, a missing or
// improper TITLE, immediately repeated tags, and the Office paragraph marks
// "<o:p>" and "</o:p>". Text in, report text out, in one pass per check.
#include <string_view>

#include "checker/problem_report.h"
#include "text/long_work.h"

namespace tarlo {

// The work ticks now and then so that the window can let pending events run.
CheckRun RunStructureChecks(std::string_view text, LongWork& work = UnwatchedWork());

}  // namespace tarlo
