#include "insert/special_symbols.h"

namespace tarlo {

namespace {

// The codes are Windows-1252 byte values written out literally rather than
// computed, so that each one reads as the text a filer would type.
constexpr std::array<SymbolCell, kSymbolCount> kCells = {{
    {"LabelDagger", 1, 1, U'\u2020', "Dagger", "&#134;"},
    {"LabelDD", 1, 2, U'\u2021', "Double dagger", "&#135;"},
    {"Label1", 1, 3, U'\u00B9', "Superscript one", "&#185;"},
    {"Label2", 1, 4, U'\u00B2', "Superscript two", "&#178;"},
    {"Label3", 1, 5, U'\u00B3', "Superscript three", "&#179;"},
    {"LabelPound", 1, 6, U'\u00A3', "Pound sign", "&#163;"},
    {"LabelYen", 1, 7, U'\u00A5', "Yen sign", "&#165;"},
    {"LabelEuro", 1, 8, U'\u20AC', "Euro sign", "&#128;"},
    {"LabelQ", 1, 9, U'\u00BC', "One quarter", "&#188;"},
    {"LabelHalf", 1, 10, U'\u00BD', "One half", "&#189;"},
    {"Label34", 1, 11, U'\u00BE', "Three quarters", "&#190;"},
    {"LabelUncheck", 2, 1, 0, "Empty check box", "<strong><FONT face=Wingdings>o</font></strong>",
     'o'},
    {"LabelCheck", 2, 2, 0, "Crossed check box", "<strong><FONT face=Wingdings>x</font></strong>",
     'x'},
    {"LabelCopyright", 2, 3, U'\u00A9', "Copyright sign", "&#169;"},
    {"LabelRegistered", 2, 4, U'\u00AE', "Registered sign", "&#174;"},
    {"LabelTM", 2, 5, U'\u2122', "Trade mark sign", "&#153;"},
    {"LabelSection", 2, 6, U'\u00A7', "Section sign", "&#167;"},
    {"LabelEllipsis", 2, 7, U'\u2026', "Ellipsis", "&#133;"},
    {"LabelCent", 2, 8, U'\u00A2', "Cent sign", "&#162;"},
    {"LabelAE", 2, 9, U'\u00E6', "Small ligature ae", "&#230;"},
    {"LabelN", 2, 10, U'\u2013', "En dash", "&#150;"},
    {"LabelPara", 2, 11, U'\u00B6', "Pilcrow", "&#182;"},
    {"LabelPlus", 3, 1, U'\u00B1', "Plus-minus sign", "&#177;"},
    {"LabelBullet", 3, 2, U'\u00B7', "Middle dot", "&#183;"},
    {"LabelMicron", 3, 3, U'\u00B5', "Micro sign", "&#181;"},
    {"LabelDiv", 3, 4, U'\u00F7', "Division sign", "&#247;"},
    {"LabeMult", 3, 5, U'\u00D7', "Multiplication sign", "&#215;"},
    {"LabelLeftQ", 3, 6, U'\u201C', "Left double quotation mark", "&#147;"},
    {"LabelRightQ", 3, 7, U'\u201D', "Right double quotation mark", "&#148;"},
    {"LabelLeftApos", 3, 8, U'\u2018', "Left single quotation mark", "&#145;"},
    {"LabelApos", 3, 9, U'\u2019', "Right single quotation mark", "&#146;"},
    {"LabelM", 3, 10, U'\u2014', "Em dash", "&#151;"},
    {"LabelMile", 3, 11, U'\u2030', "Per mille sign", "&#137;"},
}};

}  // namespace

const std::array<SymbolCell, kSymbolCount>& SymbolCells() {
    return kCells;
}

}  // namespace tarlo
