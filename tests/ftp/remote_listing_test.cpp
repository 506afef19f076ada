// The remote listing, the command texts and the local-name rule, on the
// shapes real servers send.
#include <gtest/gtest.h>

#include "ftp/command_text.h"
#include "ftp/local_name.h"
#include "ftp/remote_listing.h"

namespace tarlo::ftp {
namespace {

TEST(RemoteListing, MlsdFacts) {
    EXPECT_EQ(ParseMlsdLine("type=dir;modify=20240101000000;perm=el; my docs"),
              (RemoteEntry{"my docs", true}));
    EXPECT_EQ(ParseMlsdLine("Type=File;Size=12; a b.htm"), (RemoteEntry{"a b.htm", false}));
    // The name is everything after the first blank, its own blanks too.
    EXPECT_EQ(ParseMlsdLine("type=file;size=1;  leading"), (RemoteEntry{" leading", false}));
    EXPECT_EQ(ParseMlsdLine("type=OS.unix=slink:/x; link"), (RemoteEntry{"link", false}));
    EXPECT_FALSE(ParseMlsdLine("type=cdir; /pub"));
    EXPECT_FALSE(ParseMlsdLine("type=pdir; /"));
    EXPECT_FALSE(ParseMlsdLine("type=dir; .."));
    EXPECT_FALSE(ParseMlsdLine("y"));
    EXPECT_FALSE(ParseMlsdLine("just words"));
}

TEST(RemoteListing, UnixAndWindowsListLines) {
    EXPECT_EQ(ParseListLine("drwxr-xr-x   2 ann  staff    4096 Jan  1 12:00 my docs"),
              (RemoteEntry{"my docs", true}));
    EXPECT_EQ(ParseListLine("-rw-r--r--   1 ann  staff     321 Dec 31  2023 10-K  final.htm"),
              (RemoteEntry{"10-K  final.htm", false}));
    // No group column, a name that looks like a date.
    EXPECT_EQ(ParseListLine("-rw-r--r-- 1 ann 5 Mar 3 09:15 Jan 1 12:00 x"),
              (RemoteEntry{"Jan 1 12:00 x", false}));
    EXPECT_EQ(ParseListLine("lrwxrwxrwx 1 root root 7 Feb 10 2022 www -> var/www\r"),
              (RemoteEntry{"www", false}));
    EXPECT_EQ(ParseListLine("01-02-23  10:15AM       <DIR>          Annual Report"),
              (RemoteEntry{"Annual Report", true}));
    EXPECT_EQ(ParseListLine("01/02/2023  10:15PM              1234 q 1.htm"),
              (RemoteEntry{"q 1.htm", false}));
    EXPECT_FALSE(ParseListLine("total 12"));
    EXPECT_FALSE(ParseListLine("drwxr-xr-x 2 ann staff 4096 Jan 1 12:00 ."));
    EXPECT_FALSE(ParseListLine("drwxr-xr-x 2 ann staff 4096 Jan 1 12:00 .."));
    EXPECT_FALSE(ParseListLine("drwxr-xr-x 2 ann staff 4096 Jan 1 12:00"));
    EXPECT_FALSE(ParseListLine(""));
}

TEST(RemoteListing, WholeAnswersKeepTheLastLine) {
    const auto mlsd =
        ParseListing("type=dir; sub\r\ntype=file; a.htm\r\ntype=file; last.htm", true);
    ASSERT_EQ(mlsd.size(), 3u);
    EXPECT_EQ(mlsd[2], (RemoteEntry{"last.htm", false}));
    const auto list = ParseListing(
        "total 2\n-rw-r--r-- 1 a b 1 Jan 1 12:00 one\n-rw-r--r-- 1 a b 1 Jan 1 12:00 two", false);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].name, "two");

    EXPECT_EQ(FormatListing({{"sub", true}, {"a b.htm", false}, {"x\r\ny", false}}),
              "sub/\r\na b.htm\r\n");

    // The window's line splitting: CR ends a line, LF is dropped, blank lines
    // are skipped, and a last line without CR is still a line.
    EXPECT_EQ(SplitResponseLines("a/\r\nb c\r\n  \r\n\nlast"),
              (std::vector<std::string>{"a/", "b c", "last"}));
    EXPECT_TRUE(SplitResponseLines("").empty());
}

TEST(LocalName, OnlyPlainNamesBecomeLocalFiles) {
    for (const char* ok : {"a.htm", "a b.htm", "10-K.htm", ".hidden", "caf\xc3\xa9.htm"})
        EXPECT_TRUE(IsSafeLocalName(ok)) << ok;
    for (const char* bad : {"", ".", "..", "../evil", "/etc/x", "a/b", "a\\b", "x\r\ny",
                            "tab\there", "a..b", "..hidden", "del\x7f"})
        EXPECT_FALSE(IsSafeLocalName(bad)) << PrintableName(bad);
    EXPECT_FALSE(IsSafeLocalName(std::string_view("a\0b", 3)));
    EXPECT_EQ(PrintableName("x\r\ny\x1b[2J"), "x\\r\\ny\\x1B[2J");
}

TEST(CommandText, TheWindowsCommands) {
    auto get = ParseCommandText("GET \"a b.htm\" \"/home/ann/a b.htm\"");
    ASSERT_TRUE(get);
    EXPECT_EQ(get->verb, Verb::Get);
    EXPECT_EQ(get->args, (std::vector<std::string>{"a b.htm", "/home/ann/a b.htm"}));
    auto cd = ParseCommandText("CD \"my docs/\"");
    ASSERT_TRUE(cd);
    EXPECT_EQ(cd->verb, Verb::Cd);
    EXPECT_EQ(cd->args[0], "my docs/");
    auto plain = ParseCommandText("cd my docs/");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->args[0], "my docs/");
    auto mkdir = ParseCommandText("MKDIR \"\"");
    ASSERT_TRUE(mkdir);
    EXPECT_EQ(mkdir->args[0], "");
    EXPECT_TRUE(ParseCommandText("DIR"));
    EXPECT_TRUE(ParseCommandText("CDUP"));
    EXPECT_TRUE(ParseCommandText("CLOSE"));

    EXPECT_FALSE(ParseCommandText("LS"));
    EXPECT_FALSE(ParseCommandText("GET \"only one\""));
    EXPECT_FALSE(ParseCommandText("DELETE \"open"));
    EXPECT_FALSE(ParseCommandText("DIR \"x\""));
    EXPECT_FALSE(ParseCommandText("PUT \"a\" \"b\" \"c\""));
}

}  // namespace
}  // namespace tarlo::ftp
