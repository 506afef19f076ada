#pragma once
// Under CI (CI=true) a skipped test counts as a failure: whatever a test
// needs (the corpus, an SSH server, an X server and its tools) the set-up
// installs, so a skip there means a check did not run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <iostream>

namespace tarlo::test {

inline bool UnderCi() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && std::strcmp(ci, "true") == 0;
}

// The run's exit code, made a failure when a test was skipped under CI.
inline int FailSkipsUnderCi(int code) {
    if (!UnderCi()) return code;
    const auto& unit = *::testing::UnitTest::GetInstance();
    int skipped = 0;
    for (int s = 0; s < unit.total_test_suite_count(); ++s) {
        const auto& suite = *unit.GetTestSuite(s);
        for (int t = 0; t < suite.total_test_count(); ++t) {
            const auto& info = *suite.GetTestInfo(t);
            if (!info.should_run() || !info.result()->Skipped()) continue;
            ++skipped;
            std::cerr << "Skipped under CI: " << suite.name() << '.' << info.name() << '\n';
        }
    }
    return skipped > 0 ? 1 : code;
}

}  // namespace tarlo::test
