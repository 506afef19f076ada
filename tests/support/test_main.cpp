// The logic tests' main: gtest's own, except that under CI a skipped test
// fails the run.
#include <gtest/gtest.h>

#include "support/ci_skips.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return tarlo::test::FailSkipsUnderCi(RUN_ALL_TESTS());
}
