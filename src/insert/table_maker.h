#pragma once
// The table maker's HTML (`maketable`) and the checks of its "Create Table"
// button, without the window: the window and tarlo-cli both build through
// these.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarlo {

// The largest row and column count, and the widest table in percent.
inline constexpr int kMaxTableRows = 999;
inline constexpr int kMaxTableColumns = 999;
inline constexpr int kMaxTableWidth = 100;

// The colour choices of "Alternate Row Color:", in list order.
inline constexpr std::string_view kTableColours[] = {"None",  "Blue",   "Red",
                                                     "Green", "Yellow", "Grey"};

// The tag that opens the odd rows for a colour choice. A typed colour that is
// none of the choices colours nothing: its rows open with "<tr>".
std::string_view ColouredRowTag(std::string_view colour);

// Width in percent of each column: width / columns, rounded to the nearest
// whole number, ties to the even one (100 / 8 gives 12, 90 / 4 gives 22).
int TableColumnWidth(int width, int columns);

// The table's HTML as the wizard inserts it: rows and columns of
// placeholder cells, the first cell of a row left-aligned and the others
// right-aligned, odd rows opened with the coloured tag, lines ending in
// CR LF except the last, which ends in "</table>".
std::string MakeTable(int rows, int columns, int width, bool border, std::string_view colour);

// The number of bytes MakeTable gives, without building it: a table larger
// than the editor can hold is refused before anything is built.
std::uint64_t TableBytes(int rows, int columns, int width, std::string_view colour);

// The gridlines choice gives a border only when it reads exactly "Yes".
inline bool TableBorder(std::string_view gridlines) {
    return gridlines == "Yes";
}

// What "Create Table" does with the three number boxes, in its order: a
// count too large puts the box back to its largest start ("1" for rows and
// columns, "100" for the width) and builds nothing; a box that is empty,
// blank or zero builds nothing; a box that is not a whole number (pasted
// text) builds nothing and is pointed out; otherwise the table is built.
enum class TableBox { Rows, Columns, Width };
struct TableDecision {
    enum Kind { Build, ResetBox, Nothing, NotANumber } kind = Nothing;
    TableBox box = TableBox::Rows;  // the box reset or pointed out
    std::string resetText;          // what ResetBox writes into it
    int rows = 0;
    int columns = 0;
    int width = 0;
};
TableDecision CheckTableBoxes(std::string_view rows, std::string_view columns,
                              std::string_view width);

// Whether a key press may reach a number box: digits, Backspace (8) and
// code 127.
inline bool TableKeyAccepted(int code) {
    return (code >= '0' && code <= '9') || code == 8 || code == 127;
}

}  // namespace tarlo
