// The table wizard's HTML and the checks of "Create Table", without a window;
// tarlo-cli table beside them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "cli/cli_command.h"
#include "insert/table_maker.h"

namespace tarlo {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

TEST(MakeTable, GoldenExampleByteForByte) {
    const std::string expected = ReadFile(TEST_DATA_DIR "/table/blue_2x2/expected.html");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(MakeTable(2, 2, 100, TableBorder("No"), "Blue"), expected);
    // tarlo-cli table writes the same bytes.
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(cli::RunCli({"table", "2", "2", "100", "No", "Blue"}, out, err), cli::kExitOk);
    EXPECT_EQ(out.str(), expected);
}

TEST(MakeTable, ColumnWidthsRowColoursAndBorder) {
    EXPECT_EQ(TableColumnWidth(100, 3), 33);
    EXPECT_EQ(TableColumnWidth(100, 6), 17);
    EXPECT_EQ(TableColumnWidth(100, 8), 12);  // 12.5: tie to even
    EXPECT_EQ(TableColumnWidth(90, 4), 22);   // 22.5
    EXPECT_EQ(TableColumnWidth(100, 40), 2);  // 2.5
    EXPECT_EQ(TableColumnWidth(70, 20), 4);   // 3.5: tie to even is up here
    EXPECT_EQ(TableColumnWidth(1, 999), 0);

    const std::string grey = MakeTable(1, 3, 100, false, "Grey");
    EXPECT_EQ(Count(grey, "<tr bgColor=#DDDDDD>"), 1u);
    EXPECT_EQ(Count(grey, "<tr>"), 0u);
    EXPECT_EQ(Count(grey, "width = \"33%\""), 3u);
    EXPECT_EQ(grey.substr(grey.size() - 13), "</tr></table>");

    const std::string red = MakeTable(3, 1, 50, TableBorder("Yes"), "Red");
    EXPECT_NE(red.find("<table border = \"1\" width = \"50%\""), std::string::npos);
    const std::size_t r1 = red.find("<tr bgColor=#FF9999>");
    const std::size_t r2 = red.find("\r\n<tr>\r\n");
    const std::size_t r3 = red.find("<tr bgColor=#FF9999>", r1 + 1);
    EXPECT_TRUE(r1 < r2 && r2 < r3 && r3 != std::string::npos);
    EXPECT_EQ(Count(red, "<tr"), 3u);

    EXPECT_NE(MakeTable(1, 1, 100, TableBorder("yes"), "None").find("border = \"0\""),
              std::string::npos);
    // A typed colour that is none of the choices colours nothing.
    const std::string plain = MakeTable(2, 1, 100, false, "Purple");
    EXPECT_EQ(Count(plain, "<tr>"), 2u);
    EXPECT_EQ(Count(plain, "bgColor"), 0u);
    EXPECT_EQ(Count(MakeTable(4, 1, 100, false, "None"), "<tr>"), 4u);
}

TEST(MakeTable, SizeIsKnownBeforeBuilding) {
    for (const auto& c :
         {std::make_tuple(1, 1, 1, "None"), std::make_tuple(2, 2, 100, "Blue"),
          std::make_tuple(7, 13, 90, "Yellow"), std::make_tuple(120, 101, 100, "Purple")}) {
        const auto [rows, cols, width, colour] = c;
        EXPECT_EQ(TableBytes(rows, cols, width, colour),
                  MakeTable(rows, cols, width, false, colour).size())
            << rows << "x" << cols;
    }
    // The largest table is about 60 MB: it fits the editor's 64 MB on its own.
    const std::uint64_t largest = TableBytes(999, 999, 100, "Blue");
    EXPECT_GT(largest, 55'000'000u);
    EXPECT_LT(largest, 64ULL * 1024 * 1024);
}

TEST(TableBoxes, CheckedInTheWizardsOrder) {
    auto check = [](const char* r, const char* c, const char* w) {
        return CheckTableBoxes(r, c, w);
    };
    // Rows too large wins over columns and width, and even over other boxes
    // that are valid.
    TableDecision d = check("1000", "5000", "500");
    EXPECT_EQ(d.kind, TableDecision::ResetBox);
    EXPECT_EQ(d.box, TableBox::Rows);
    EXPECT_EQ(d.resetText, "1");
    d = check("999", "1000", "500");
    EXPECT_EQ(d.box, TableBox::Columns);
    EXPECT_EQ(d.resetText, "1");
    d = check("5", "4", "101");
    EXPECT_EQ(d.kind, TableDecision::ResetBox);
    EXPECT_EQ(d.box, TableBox::Width);
    EXPECT_EQ(d.resetText, "100");
    // Blank boxes take no part in step one.
    EXPECT_EQ(check("", "1000", "").box, TableBox::Columns);
    EXPECT_EQ(check("  ", "4", "101").box, TableBox::Width);

    d = check("999", " 999 ", "100");
    EXPECT_EQ(d.kind, TableDecision::Build);
    EXPECT_EQ(d.rows, 999);
    EXPECT_EQ(d.columns, 999);
    EXPECT_EQ(d.width, 100);
    EXPECT_EQ(check("5", "", "100").kind, TableDecision::Nothing);
    EXPECT_EQ(check("5", "00", "100").kind, TableDecision::Nothing);
    EXPECT_EQ(check("5", "4", "0").kind, TableDecision::Nothing);
    EXPECT_EQ(check("5", "4", "   ").kind, TableDecision::Nothing);
    EXPECT_EQ(check("099999999999", "4", "100").kind, TableDecision::ResetBox);
    // Pasted text that is not a whole number is pointed out.
    d = check("5", "4x", "100");
    EXPECT_EQ(d.kind, TableDecision::NotANumber);
    EXPECT_EQ(d.box, TableBox::Columns);
    EXPECT_EQ(check("-3", "4", "100").kind, TableDecision::NotANumber);
    EXPECT_EQ(check("5", "4", "1.5").box, TableBox::Width);

    EXPECT_TRUE(TableKeyAccepted('0'));
    EXPECT_TRUE(TableKeyAccepted('9'));
    EXPECT_TRUE(TableKeyAccepted(8));
    EXPECT_TRUE(TableKeyAccepted(127));
    EXPECT_FALSE(TableKeyAccepted('a'));
    EXPECT_FALSE(TableKeyAccepted('-'));
    EXPECT_FALSE(TableKeyAccepted(' '));
    EXPECT_FALSE(TableKeyAccepted(13));
}

TEST(TableCli, RefusesWhatTheWizardWouldNotBuild) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(cli::RunCli({"table", "1000", "2", "100", "No", "None"}, out, err), cli::kExitUsage);
    EXPECT_EQ(err.str(), "tarlo-cli table: ROWS must be 1 to 999\n");
    err.str("");
    EXPECT_EQ(cli::RunCli({"table", "2", "2", "101", "No", "None"}, out, err), cli::kExitUsage);
    EXPECT_EQ(err.str(), "tarlo-cli table: WIDTH must be 1 to 100\n");
    err.str("");
    EXPECT_EQ(cli::RunCli({"table", "2", "0", "100", "No", "None"}, out, err), cli::kExitUsage);
    err.str("");
    EXPECT_EQ(cli::RunCli({"table", "2", "x", "100", "No", "None"}, out, err), cli::kExitUsage);
    EXPECT_EQ(err.str(), "tarlo-cli table: COLS is not a whole number\n");
    EXPECT_EQ(cli::RunCli({"table", "2", "2", "100"}, out, err), cli::kExitUsage);
    EXPECT_TRUE(out.str().empty());
}

}  // namespace
}  // namespace tarlo
