// The recovery copy's bytes, the names of runs and their copies, and when a
// copy is due: all without a file system or a clock.
#include <gtest/gtest.h>

#include <string>

#include "startup/recovery_copy.h"

namespace tarlo {
namespace {

TEST(RecoveryCopyTest, AnyTextAndPathComeBackByteForByte) {
    std::string every;
    for (int c = 0; c < 256; ++c) every.push_back(static_cast<char>(c));
    const RecoveryCopy cases[] = {
        {"/home/agent/10-K.htm", "<html>\r\n<body>caf\xc3\xa9</body>\r\n</html>"},
        {"", ""},
        // A path with a line feed, and a text that looks like the header.
        {"/tmp/odd\nname.html", "path 3\nabc\ntext 99\n"},
        {"/tmp/a.html", every + every},
        {"/tmp/nul.html", std::string("a\0b\0", 4)},
    };
    for (const RecoveryCopy& copy : cases) {
        const auto back = DecodeRecoveryCopy(EncodeRecoveryCopy(copy));
        ASSERT_TRUE(back) << copy.path;
        EXPECT_EQ(back->path, copy.path);
        EXPECT_EQ(back->text, copy.text);
    }
}

TEST(RecoveryCopyTest, OnlyWholeCopiesAreRead) {
    const std::string whole = EncodeRecoveryCopy({"/tmp/f.html", "<p>twelve</p>"});
    ASSERT_TRUE(DecodeRecoveryCopy(whole));
    // Every shorter prefix is a copy cut short, never a shorter document.
    for (std::size_t n = 0; n < whole.size(); ++n) {
        EXPECT_FALSE(DecodeRecoveryCopy(whole.substr(0, n))) << n;
    }
    EXPECT_FALSE(DecodeRecoveryCopy(whole + "x"));
    EXPECT_FALSE(DecodeRecoveryCopy("<html></html>"));
    std::string otherFormat = whole;
    otherFormat[otherFormat.find('1')] = '2';
    EXPECT_FALSE(DecodeRecoveryCopy(otherFormat));
    // Lengths that are not plain decimal numbers.
    EXPECT_FALSE(DecodeRecoveryCopy("Tarlo recovery copy 1\npath -1\n\ntext 0\n"));
    EXPECT_FALSE(DecodeRecoveryCopy("Tarlo recovery copy 1\npath 0x0\n\ntext 0\n"));
    EXPECT_FALSE(
        DecodeRecoveryCopy("Tarlo recovery copy 1\npath 99999999999999999999999\n\ntext 0\n"));
    EXPECT_TRUE(DecodeRecoveryCopy("Tarlo recovery copy 1\npath 0\n\ntext 0\n"));
}

TEST(RecoveryCopyTest, RunsAreNamedByProcessAndStartAndCopiesByRun) {
    EXPECT_EQ(RecoveryRunName(4711, 1718000000123), "4711-1718000000123");
    // The same process id in another run is another name.
    EXPECT_NE(RecoveryRunName(4711, 1), RecoveryRunName(4711, 2));
    EXPECT_EQ(RecoveryRunOfCopy("4711-1718000000123.copy"), "4711-1718000000123");
    for (const char* other :
         {"4711-1718000000123.lock", "4711-17.copy.tmp", ".copy", "-1.copy", "1-.copy",
          "abc-1.copy", "1-2-3.copy", "../1-2.copy", "4711.copy", "1-2.COPY"}) {
        EXPECT_FALSE(RecoveryRunOfCopy(other)) << other;
    }
    // Locks likewise; QLockFile's own helper file beside one is no lock.
    EXPECT_EQ(RecoveryRunOfLock("4711-1718000000123.lock"), "4711-1718000000123");
    for (const char* other : {"4711-17.copy", "4711-17.lock.rmlock", "x-1.lock", "1-2.LOCK"}) {
        EXPECT_FALSE(RecoveryRunOfLock(other)) << other;
    }
}

TEST(RecoveryCopyTest, ACopyWaitsForQuietAndForTheIntervalSinceTheLast) {
    const RecoveryTiming t{2000, 60000};
    // Never written yet: the first quiet moment.
    EXPECT_EQ(RecoveryWriteDelay(5000, std::nullopt, t), 2000);
    // Written 10 s ago: not before 60 s have passed since.
    EXPECT_EQ(RecoveryWriteDelay(110000, 100000, t), 50000);
    // Written long ago: the quiet time alone.
    EXPECT_EQ(RecoveryWriteDelay(500000, 100000, t), 2000);
    // Just short of the interval: still at least the quiet time.
    EXPECT_EQ(RecoveryWriteDelay(159500, 100000, t), 2000);
}

TEST(RecoveryCopyTest, TheTimingKnobTakesOnlySensibleValues) {
    const RecoveryTiming defaults;
    EXPECT_EQ(defaults.quietMs, 1000);
    EXPECT_EQ(defaults.intervalMs, 3000);
    // However recent the last copy, a change is in a copy within three
    // seconds of the user's last key.
    EXPECT_EQ(RecoveryWriteDelay(100000, 100000, defaults), 3000);
    EXPECT_EQ(RecoveryWriteDelay(100000, 90000, defaults), 1000);
    const RecoveryTiming set = ParseRecoveryTiming("200,1000");
    EXPECT_EQ(set.quietMs, 200);
    EXPECT_EQ(set.intervalMs, 1000);
    for (const char* bad : {"", "200", "200,", ",1000", "a,b", "200,100", "5,1000", "-1,1000",
                            "200,1000,3", " 200,1000", "200,90000000"}) {
        const RecoveryTiming t = ParseRecoveryTiming(bad);
        EXPECT_EQ(t.quietMs, defaults.quietMs) << bad;
        EXPECT_EQ(t.intervalMs, defaults.intervalMs) << bad;
    }
    EXPECT_EQ(ParseRecoveryTiming(nullptr).intervalMs, defaults.intervalMs);
}

}  // namespace
}  // namespace tarlo
