#pragma once
// The real filings the tests read live outside the repository, in
// ../shared/corpus: documents written by others are not ours to commit. Where
// they are missing, a test that needs one skips on a developer's machine, but
// under CI (CI=true) it fails and says where it looked: a filer-work test that
// quietly did not run must never pass a build.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/ci_skips.h"

#define TARLO_NEED_CORPUS()                                                              \
    do {                                                                                 \
        if (!std::filesystem::is_directory(TARLO_CORPUS_DIR)) {                          \
            if (::tarlo::test::UnderCi()) FAIL() << "no corpus at " << TARLO_CORPUS_DIR; \
            GTEST_SKIP() << "no corpus at " << TARLO_CORPUS_DIR;                         \
        }                                                                                \
    } while (0)
