#include "insert/table_maker.h"

#include <charconv>

namespace tarlo {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kPlainRow = "<tr>";
constexpr std::string_view kCellStart = "<td width = \"";
constexpr std::string_view kCellWidthEnd = "%\"";
constexpr std::string_view kFirstCellAlign = " align=Left Valign=Top";
constexpr std::string_view kOtherCellAlign = " align=Right Valign=Top";
constexpr std::string_view kCellText = "> Column ";
constexpr std::string_view kCellEnd = " </td>\r\n";
constexpr std::string_view kRowEnd = "</tr>";
constexpr std::string_view kTableEnd = "</table>";

struct Number {
    char digits[12];
    std::size_t length;
};

Number Digits(int value) {
    Number n{};
    n.length =
        static_cast<std::size_t>(std::to_chars(n.digits, n.digits + 12, value).ptr - n.digits);
    return n;
}

// The table's first line and the first row's opening tag. The missing blanks
// before "style=" and "cellspacing=" are part of what filers have always
// received from the wizard, so they stay.
std::string Header(int width, bool border, std::string_view colour) {
    std::string h = "<table border = \"";
    h += border ? '1' : '0';
    h += "\" width = \"";
    const Number w = Digits(width);
    h.append(w.digits, w.length);
    h += "%\"style= \"HEIGHT: 100px \"cellspacing= \"0\" cellpadding= \"0\">";
    h += kCrLf;
    h += ColouredRowTag(colour);
    h += kCrLf;
    return h;
}

std::string_view RowTag(int row, std::string_view colour) {
    return row % 2 == 1 ? ColouredRowTag(colour) : kPlainRow;
}

// A box's number: nothing for an empty or blank box, -1 for text that is not
// a whole number; values past any table's limits are kept as "large".
std::optional<long> BoxValue(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
        if (value > 1000000) value = 1000000;
    }
    return value;
}

}  // namespace

std::string_view ColouredRowTag(std::string_view colour) {
    if (colour == "Blue") return "<tr bgColor=#cceeff>";
    if (colour == "Red") return "<tr bgColor=#FF9999>";
    if (colour == "Green") return "<tr bgColor=#99FF99>";
    if (colour == "Yellow") return "<tr bgColor=#FFFFBB>";
    if (colour == "Grey") return "<tr bgColor=#DDDDDD>";
    return kPlainRow;
}

int TableColumnWidth(int width, int columns) {
    if (columns <= 0) return 0;
    const int q = width / columns;
    const int twiceRest = 2 * (width % columns);
    if (twiceRest > columns) return q + 1;
    if (twiceRest == columns) return q % 2 == 0 ? q : q + 1;
    return q;
}

std::uint64_t TableBytes(int rows, int columns, int width, std::string_view colour) {
    if (rows <= 0 || columns <= 0) return 0;
    const std::uint64_t widthDigits = Digits(TableColumnWidth(width, columns)).length;
    std::uint64_t row = kRowEnd.size();
    for (int c = 1; c <= columns; ++c) {
        row += kCellStart.size() + widthDigits + kCellWidthEnd.size() +
               (c == 1 ? kFirstCellAlign.size() : kOtherCellAlign.size()) + kCellText.size() +
               Digits(c).length + kCellEnd.size();
    }
    const auto oddRows = static_cast<std::uint64_t>((rows + 1) / 2);
    // Every row after the first is preceded by CR LF, its tag and CR LF.
    const std::uint64_t between = 2 * kCrLf.size() * static_cast<std::uint64_t>(rows - 1) +
                                  ColouredRowTag(colour).size() * (oddRows - 1) +
                                  kPlainRow.size() * (static_cast<std::uint64_t>(rows) - oddRows);
    return Header(width, false, colour).size() + row * static_cast<std::uint64_t>(rows) + between +
           kTableEnd.size();
}

std::string MakeTable(int rows, int columns, int width, bool border, std::string_view colour) {
    std::string text = Header(width, border, colour);
    if (rows <= 0 || columns <= 0) {
        text += kRowEnd;
        text += kTableEnd;
        return text;
    }
    text.reserve(TableBytes(rows, columns, width, colour));
    // One row's cells are the same in every row: built once, appended per row.
    const Number cellWidth = Digits(TableColumnWidth(width, columns));
    std::string cells;
    for (int c = 1; c <= columns; ++c) {
        cells += kCellStart;
        cells.append(cellWidth.digits, cellWidth.length);
        cells += kCellWidthEnd;
        cells += c == 1 ? kFirstCellAlign : kOtherCellAlign;
        cells += kCellText;
        const Number n = Digits(c);
        cells.append(n.digits, n.length);
        cells += kCellEnd;
    }
    for (int r = 1; r <= rows; ++r) {
        text += cells;
        text += kRowEnd;
        if (r < rows) {
            text += kCrLf;
            text += RowTag(r + 1, colour);
            text += kCrLf;
        }
    }
    text += kTableEnd;
    return text;
}

TableDecision CheckTableBoxes(std::string_view rows, std::string_view columns,
                              std::string_view width) {
    const std::optional<long> values[] = {BoxValue(rows), BoxValue(columns), BoxValue(width)};
    const TableBox boxes[] = {TableBox::Rows, TableBox::Columns, TableBox::Width};
    TableDecision d;
    // Too large first, rows before columns before width; an empty, blank or
    // unreadable box takes no part.
    const long limits[] = {kMaxTableRows, kMaxTableColumns, kMaxTableWidth};
    const char* resets[] = {"1", "1", "100"};
    for (int k = 0; k < 3; ++k) {
        if (values[k] && *values[k] > limits[k]) {
            d.kind = TableDecision::ResetBox;
            d.box = boxes[k];
            d.resetText = resets[k];
            return d;
        }
    }
    for (int k = 0; k < 3; ++k) {
        if (values[k] && *values[k] < 0) {
            d.kind = TableDecision::NotANumber;
            d.box = boxes[k];
            return d;
        }
    }
    for (const auto& v : values) {
        if (!v || *v == 0) {
            d.kind = TableDecision::Nothing;
            return d;
        }
    }
    d.kind = TableDecision::Build;
    d.rows = static_cast<int>(*values[0]);
    d.columns = static_cast<int>(*values[1]);
    d.width = static_cast<int>(*values[2]);
    return d;
}

}  // namespace tarlo
