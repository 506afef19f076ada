// tarlo-cli table: the table wizard's HTML, for scripts.
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "insert/table_maker.h"

namespace tarlo::cli {

namespace {

const char* BoxName(TableBox box) {
    switch (box) {
        case TableBox::Rows:
            return "ROWS";
        case TableBox::Columns:
            return "COLS";
        case TableBox::Width:
            return "WIDTH";
    }
    return "";
}

int RunTable(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 5) {
        err << "tarlo-cli table: ROWS COLS WIDTH GRIDLINES COLOUR are needed (see tarlo-cli "
               "--help)\n";
        return kExitUsage;
    }
    // The same checks as the wizard's "Create Table"; where the wizard would
    // reset a box or build nothing, the script is told why.
    const TableDecision d = CheckTableBoxes(args[0], args[1], args[2]);
    switch (d.kind) {
        case TableDecision::ResetBox:
            err << "tarlo-cli table: " << BoxName(d.box) << " must be 1 to "
                << (d.box == TableBox::Width ? kMaxTableWidth : kMaxTableRows) << "\n";
            return kExitUsage;
        case TableDecision::NotANumber:
            err << "tarlo-cli table: " << BoxName(d.box) << " is not a whole number\n";
            return kExitUsage;
        case TableDecision::Nothing:
            err << "tarlo-cli table: ROWS, COLS and WIDTH must each be a number from 1 up\n";
            return kExitUsage;
        case TableDecision::Build:
            break;
    }
    const std::string table = MakeTable(d.rows, d.columns, d.width, TableBorder(args[3]), args[4]);
    out.write(table.data(), static_cast<std::streamsize>(table.size()));
    return kExitOk;
}

const CliRegistrar kTable({
    "table",
    "table ROWS COLS WIDTH GRIDLINES COLOUR",
    "Prints the HTML the table wizard inserts: ROWS and COLS 1 to 999, WIDTH 1 to 100 "
    "(percent), a border when GRIDLINES is exactly \"Yes\", odd rows coloured by COLOUR "
    "(None, Blue, Red, Green, Yellow or Grey; any other text colours nothing). Lines end in "
    "CR LF; the last, \"</table>\", has no line break.",
    RunTable,
});

}  // namespace

}  // namespace tarlo::cli
